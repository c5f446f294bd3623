// Image bar, image point and delta point series, and the library's own
// small pictures they start with.
#include "chart/series/imagebar.h"
#include "chart/engine/teeaxis.h"
#include "platform/graphics/graphics.h"
#include <algorithm>

QM_CLASS_OWNED(TImageBarSeries, TBarSeries, TComponent)
QM_CLASS_OWNED(TCustomImagePointSeries, TPointSeries, TComponent)
QM_CLASS_OWNED(TImagePointSeries, TCustomImagePointSeries, TComponent)
QM_CLASS_OWNED(TDeltaPointSeries, TCustomImagePointSeries, TComponent)

// A picture is stored only when it is not the one the series starts with.
QM_PUBLISHED(TImageBarSeries,
             Prop("Image", &Self::Image, &Self::SetImage).Stored(&Self::IsImageStored),
             Prop("ImageTiled", &Self::ImageTiled, &Self::SetImageTiled).Default(false));
QM_PUBLISHED(
    TImagePointSeries,
    Prop("ImagePoint", &Self::ImagePoint, &Self::SetImagePoint).Stored(&Self::IsImagePointStored),
    Prop("ImageTransparent", &Self::ImageTransparent, &Self::SetImageTransparent).Default(true),
    Prop("OnGetImage", &Self::OnGetImage));
// The style reloads all three pictures: it comes first, so a file's own
// pictures are read after it.
QM_PUBLISHED(
    TDeltaPointSeries,
    Prop("ImageStyle", &Self::ImageStyle, &Self::SetImageStyle).Default(disSmiles),
    Prop("EqualImage", &Self::EqualImage, &Self::SetEqualImage).Stored(&Self::IsEqualImageStored),
    Prop("GreaterImage", &Self::GreaterImage, &Self::SetGreaterImage)
        .Stored(&Self::IsGreaterImageStored),
    Prop("LowerImage", &Self::LowerImage, &Self::SetLowerImage).Stored(&Self::IsLowerImageStored),
    Prop("ImageTransparent", &Self::ImageTransparent, &Self::SetImageTransparent).Default(false));

// ---------------------------------------------------------------------------
// Pictures: small drawings made on first use.

void TeeLoadSeriesPicture(TPicture* Picture, const AnsiString& Name) {
    struct TLook {
        const char* Name;
        TColor Face, Mark;
        int Shape; // 0 plain, 1 up, 2 down, 3 level
    };
    static const TLook looks[] = {
        {"TeeMoney", 0x00C000, 0x00FFFF, 0},       {"TeeDefaultImage", 0xFF8000, 0xFFFFFF, 0},
        {"TeeEqualSmile", 0x00FFFF, 0x000000, 3},  {"TeeGreaterSmile", 0x00FFFF, 0x008000, 1},
        {"TeeLowerSmile", 0x00FFFF, 0x0000FF, 2},  {"TeeEqualHand", 0xC0C0C0, 0x000000, 3},
        {"TeeGreaterHand", 0xC0C0C0, 0x008000, 1}, {"TeeLowerHand", 0xC0C0C0, 0x0000FF, 2}};
    for (const TLook& l : looks) {
        if (Name != l.Name) continue;
        TBitmap b(16, 16);
        TCanvas* c = b.Canvas();
        c->Brush()->SetColor(l.Face);
        c->Pen()->SetColor(clBlack);
        c->Rectangle(0, 0, 16, 16);
        c->Brush()->SetColor(l.Mark);
        c->Pen()->SetColor(l.Mark);
        switch (l.Shape) {
        case 0:
            c->Ellipse(4, 4, 12, 12);
            break;
        case 1:
            c->Rectangle(4, 4, 12, 8);
            break;
        case 2:
            c->Rectangle(4, 8, 12, 12);
            break;
        default:
            c->Rectangle(4, 7, 12, 9);
        }
        Picture->SetGraphic(&b);
        return;
    }
    Picture->SetGraphic(nullptr);
}

namespace {
bool HasGraphic(const TPicture* P) {
    return P->Graphic() && !P->Graphic()->Empty();
}

// Whether Picture differs from the library's picture of that resource name.
bool DiffersFrom(const TPicture* Picture, const char* Resource) {
    TPicture start;
    TeeLoadSeriesPicture(&start, Resource);
    if (HasGraphic(Picture) != HasGraphic(&start)) return true;
    if (!HasGraphic(Picture)) return false;
    return Picture->Graphic()->ClassType() != start.Graphic()->ClassType() ||
           Picture->Graphic()->SaveToBytes() != start.Graphic()->SaveToBytes();
}

const char* DeltaResource(TDeltaImageStyle Style, int Which) {
    static const char* const names[2][3] = {{"TeeEqualSmile", "TeeGreaterSmile", "TeeLowerSmile"},
                                            {"TeeEqualHand", "TeeGreaterHand", "TeeLowerHand"}};
    return names[Style == disHands][Which];
}
} // namespace

// ---------------------------------------------------------------------------
// TImageBarSeries

TImageBarSeries::TImageBarSeries(TComponent* AOwner)
    : TBarSeries(AOwner), FImage(std::make_unique<TPicture>()) {
    TeeLoadSeriesPicture(FImage.get(), "TeeMoney");
    FImage->SetStoreEmpty(true);
    FImage->OnChange = [this](TObject*) { Repaint(); };
}

bool TImageBarSeries::IsImageStored() const {
    return DiffersFrom(FImage.get(), "TeeMoney");
}

TImageBarSeries::~TImageBarSeries() = default;

void TImageBarSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TImageBarSeries*>(Source)) {
        FImage->Assign(s->FImage.get());
        FImageTiled = s->FImageTiled;
    }
    TBarSeries::Assign(Source);
}

void TImageBarSeries::SetImage(TPicture* Value) {
    FImage->Assign(Value);
    Repaint();
}

void TImageBarSeries::DrawBar(int BarIndex, int StartPos, int EndPos) {
    TBarSeries::DrawBar(BarIndex, StartPos, EndPos);
    if (!HasGraphic(FImage.get())) return;
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* canvas = chart->Canvas();
    const bool is3D = chart->View3D();
    TRect r(BarRect.Left, std::min(StartPos, EndPos), BarRect.Right, std::max(StartPos, EndPos));
    if (BarPen()->Visible()) {
        int w = BarPen()->Width();
        if (w > 1) w &= ~1;
        r.Left += w;
        r.Top += w;
        if (!is3D) --r.Right, --r.Bottom;
    }
    const bool orthogonal = chart->View3DOptions() && chart->View3DOptions()->Orthogonal();
    if (!is3D || orthogonal) {
        if (is3D) {
            const TPoint a = canvas->Calculate3DPosition(r.Left, r.Top, StartZ());
            const TPoint b = canvas->Calculate3DPosition(r.Right, r.Bottom, StartZ());
            r = TRect(a.x, a.y, b.x, b.y);
        }
    }
    TGraphic* g = FImage->Graphic();
    if (FImageTiled) {
        const int w = g->Width(), h = g->Height();
        if (w < 1 || h < 1) return;
        canvas->ClipRectangle(r);
        // Rows grow from the bar's base.
        const bool upwards = CalcYPos(BarIndex) <= GetOriginPos(BarIndex);
        for (int y = upwards ? r.Bottom - h : r.Top; upwards ? y + h > r.Top : y < r.Bottom;
             y += upwards ? -h : h)
            for (int x = r.Left; x < r.Right; x += w)
                canvas->Draw(x, y, g);
        canvas->UnClipRectangle();
    } else if (is3D && !orthogonal) {
        canvas->StretchDraw(r, g, StartZ());
    } else {
        canvas->StretchDraw(r, g);
    }
}

void TImageBarSeries::PrepareForGallery(bool IsEnabled) {
    TBarSeries::PrepareForGallery(IsEnabled);
    Clear();
    FillSampleValues(2);
}

// ---------------------------------------------------------------------------
// Image points

TCustomImagePointSeries::TCustomImagePointSeries(TComponent* AOwner)
    : TPointSeries(AOwner), FImage(std::make_unique<TPicture>()) {}

TCustomImagePointSeries::~TCustomImagePointSeries() = default;

void TCustomImagePointSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCustomImagePointSeries*>(Source)) {
        FImage->Assign(s->FImage.get());
        FImageTransparent = s->FImageTransparent;
    }
    TPointSeries::Assign(Source);
}

void TCustomImagePointSeries::SetImagePoint(TPicture* Value) {
    FImage->Assign(Value);
    if (FImage->Width() > 0) Pointer()->ChangeHorizSize(FImage->Width());
    if (FImage->Height() > 0) Pointer()->ChangeVertSize(FImage->Height());
    Repaint();
}

void TCustomImagePointSeries::DrawValue(int ValueIndex) {
    if (!HasGraphic(FImage.get())) {
        TPointSeries::DrawValue(ValueIndex);
        return;
    }
    if (OnGetImage) OnGetImage(this, ValueIndex, FImage.get());
    if (!HasGraphic(FImage.get())) return;
    TCanvas3D* canvas = ParentChart()->Canvas();
    const int x = CalcXPos(ValueIndex), y = CalcYPos(ValueIndex);
    const int h = Pointer()->HorizSize(), v = Pointer()->VertSize();
    TPoint a(x - h, y - v), b(x + h, y + v);
    if (ParentChart()->View3D()) {
        a = canvas->Calculate3DPosition(a, StartZ());
        b = canvas->Calculate3DPosition(b, StartZ());
    }
    FImage->Graphic()->SetTransparent(FImageTransparent);
    canvas->StretchDraw(TRect(a.x, a.y, b.x, b.y), FImage->Graphic());
}

void TCustomImagePointSeries::PrepareForGallery(bool IsEnabled) {
    TPointSeries::PrepareForGallery(IsEnabled);
    if (ParentChart() && ParentChart()->View3DOptions())
        ParentChart()->View3DOptions()->SetOrthogonal(true);
}

TImagePointSeries::TImagePointSeries(TComponent* AOwner) : TCustomImagePointSeries(AOwner) {
    TPicture p;
    TeeLoadSeriesPicture(&p, "TeeDefaultImage");
    SetImagePoint(&p);
    FImage->SetStoreEmpty(true);
    FImageTransparent = true;
}

bool TImagePointSeries::IsImagePointStored() const {
    return DiffersFrom(FImage.get(), "TeeDefaultImage");
}

TDeltaPointSeries::TDeltaPointSeries(TComponent* AOwner)
    : TCustomImagePointSeries(AOwner), FEqual(std::make_unique<TPicture>()),
      FGreater(std::make_unique<TPicture>()), FLower(std::make_unique<TPicture>()) {
    for (TPicture* p : {FEqual.get(), FGreater.get(), FLower.get()})
        p->SetStoreEmpty(true);
    // Each point is drawn at the size of its picture: no size of its own to edit.
    Pointer()->AllowChangeSize = false;
    SetImageStyle(disSmiles);
}

bool TDeltaPointSeries::IsEqualImageStored() const {
    return DiffersFrom(FEqual.get(), DeltaResource(FImageStyle, 0));
}
bool TDeltaPointSeries::IsGreaterImageStored() const {
    return DiffersFrom(FGreater.get(), DeltaResource(FImageStyle, 1));
}
bool TDeltaPointSeries::IsLowerImageStored() const {
    return DiffersFrom(FLower.get(), DeltaResource(FImageStyle, 2));
}

TDeltaPointSeries::~TDeltaPointSeries() = default;

void TDeltaPointSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TDeltaPointSeries*>(Source)) {
        FImageStyle = s->FImageStyle;
        FEqual->Assign(s->FEqual.get());
        FGreater->Assign(s->FGreater.get());
        FLower->Assign(s->FLower.get());
    }
    TCustomImagePointSeries::Assign(Source);
}

void TDeltaPointSeries::SetImageStyle(TDeltaImageStyle Value) {
    FImageStyle = Value;
    TeeLoadSeriesPicture(FEqual.get(), DeltaResource(Value, 0));
    TeeLoadSeriesPicture(FGreater.get(), DeltaResource(Value, 1));
    TeeLoadSeriesPicture(FLower.get(), DeltaResource(Value, 2));
    // The pointer holds the size the style's pictures are drawn at.
    TakePictureSize(FEqual.get());
    Repaint();
}

void TDeltaPointSeries::TakePictureSize(TPicture* P) {
    if (P->Width() > 0) Pointer()->ChangeHorizSize(P->Width());
    if (P->Height() > 0) Pointer()->ChangeVertSize(P->Height());
}

void TDeltaPointSeries::SetEqualImage(TPicture* Value) {
    FEqual->Assign(Value);
}
void TDeltaPointSeries::SetGreaterImage(TPicture* Value) {
    FGreater->Assign(Value);
}
void TDeltaPointSeries::SetLowerImage(TPicture* Value) {
    FLower->Assign(Value);
}

TPicture* TDeltaPointSeries::DeltaImage(int ValueIndex) const {
    if (ValueIndex <= 0) return FEqual.get();
    const double previous = YValues()->Value(ValueIndex - 1), value = YValues()->Value(ValueIndex);
    if (previous > value) return FGreater.get();
    if (previous < value) return FLower.get();
    return FEqual.get();
}

// Each point is drawn at the size of its picture and the room about the
// points is that of the largest; the pointer's sizes stay as they were set, so
// a paint stores nothing and the first paint lays the chart out as the next.
void TDeltaPointSeries::TakeLargestPictureSize() {
    int w = 0, h = 0;
    for (TPicture* p : {FEqual.get(), FGreater.get(), FLower.get()}) {
        w = std::max(w, p->Width());
        h = std::max(h, p->Height());
    }
    if (w > 0) Pointer()->ChangeHorizSize(w);
    if (h > 0) Pointer()->ChangeVertSize(h);
}

void TDeltaPointSeries::DrawValue(int ValueIndex) {
    TPicture* p = DeltaImage(ValueIndex);
    FImage->Assign(p);
    TPointerSizeKeeper keep(Pointer());
    TakePictureSize(p);
    TCustomImagePointSeries::DrawValue(ValueIndex);
}

void TDeltaPointSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin) {
    TPointerSizeKeeper keep(Pointer());
    TakeLargestPictureSize();
    TCustomImagePointSeries::CalcHorizMargins(LeftMargin, RightMargin);
}

void TDeltaPointSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin) {
    TPointerSizeKeeper keep(Pointer());
    TakeLargestPictureSize();
    TCustomImagePointSeries::CalcVerticalMargins(TopMargin, BottomMargin);
}

void TDeltaPointSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    TPointerSizeKeeper keep(Pointer());
    TakeLargestPictureSize();
    TCustomImagePointSeries::DrawLegendShape(ValueIndex, Rect);
}

bool TDeltaPointSeries::ClickedPointer(int ValueIndex, int PX, int PY, int X, int Y) {
    TPointerSizeKeeper keep(Pointer());
    TakePictureSize(DeltaImage(ValueIndex));
    return TCustomImagePointSeries::ClickedPointer(ValueIndex, PX, PY, X, Y);
}
