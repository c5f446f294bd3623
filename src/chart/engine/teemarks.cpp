// Series marks: positions, per-point looks, layout, drawing and hit test.
#include "chart/engine/teemarks.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teemarksplace.h"
#include "chart/engine/teeseries.h"
#include "platform/classes/filer.h"
#include "platform/classes/props.h"
#include "platform/classes/streams.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

// Identifiers of the shape's enumerations, as the shape unit gives them.

// ---------------------------------------------------------------------------
// Positions

void TSeriesMarkPosition::Assign(const TSeriesMarkPosition& Source) {
    ArrowFrom = Source.ArrowFrom;
    ArrowTo = Source.ArrowTo;
    Height = Source.Height;
    LeftTop = Source.LeftTop;
    Width = Source.Width;
}

TSeriesMarksPositions::~TSeriesMarksPositions() {
    Clear();
}

TSeriesMarkPosition* TSeriesMarksPositions::Ensure(int Index) {
    if (Index < 0) ListIndexError(Index);
    if (Index >= Count()) SetCount(Index + 1);
    auto* p = static_cast<TSeriesMarkPosition*>(Items(Index));
    if (!p) {
        auto made = std::make_unique<TSeriesMarkPosition>();
        p = made.get();
        SetItems(Index, made.release());
    }
    return p;
}

void TSeriesMarksPositions::Put(int Index, const TSeriesMarkPosition& Position) {
    TSeriesMarkPosition* p = Ensure(Index);
    p->Custom = true;
    p->Assign(Position);
}

TSeriesMarkPosition* TSeriesMarksPositions::Get(int Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return static_cast<TSeriesMarkPosition*>(Items(Index));
}

void TSeriesMarksPositions::Automatic(int Index) {
    if (TSeriesMarkPosition* p = Get(Index)) p->Custom = false;
}

bool TSeriesMarksPositions::ExistCustom() const {
    for (int i = 0; i < Count(); ++i)
        if (TSeriesMarkPosition* p = Get(i); p && p->Custom) return true;
    return false;
}

void TSeriesMarksPositions::Delete(int Index) {
    std::unique_ptr<TSeriesMarkPosition> old(static_cast<TSeriesMarkPosition*>(Items(Index)));
    TList::Delete(Index);
}

void TSeriesMarksPositions::Clear() {
    for (int i = 0; i < Count(); ++i)
        std::unique_ptr<TSeriesMarkPosition> old(Get(i));
    TList::Clear();
}

// ---------------------------------------------------------------------------
// Per-point looks

TMarksItem::TMarksItem(TCustomTeePanel* AOwner) : TTeeCustomShape(AOwner) {
    SetColor(clInfoBk);
}

TMarksItems::~TMarksItems() {
    for (int i = 0; i < Count(); ++i)
        std::unique_ptr<TMarksItem> old(Find(i));
    TList::Clear();
}

TMarksItem* TMarksItems::Find(int Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return static_cast<TMarksItem*>(Items(Index));
}

TMarksItem* TMarksItems::Get(int Index) {
    if (Index < 0) ListIndexError(Index);
    if (Index >= Count()) SetCount(Index + 1);
    auto* item = static_cast<TMarksItem*>(Items(Index));
    if (!item) {
        auto made = std::make_unique<TMarksItem>(FMarks ? FMarks->ParentChart() : nullptr);
        made->SetColor(clInfoBk);
        made->Shadow()->SetDefaults(clGray, 1);
        item = made.get();
        SetItems(Index, made.release());
    }
    return item;
}

void TMarksItems::Delete(int Index) {
    std::unique_ptr<TMarksItem> old(static_cast<TMarksItem*>(Items(Index)));
    TList::Delete(Index);
}

void TMarksItems::Clear() {
    for (int i = 0; i < Count(); ++i)
        std::unique_ptr<TMarksItem> old(Find(i));
    TList::Clear();
    if (FMarks && FMarks->ParentSeries()) FMarks->ParentSeries()->Repaint();
}

TSeriesMarksGradient::TSeriesMarksGradient(TNotifyEvent ChangedEvent)
    : TTeeGradient(std::move(ChangedEvent)) {
    SetDirection(gdRightLeft);
    SetEndColor(clWhite);
    SetStartColor(clSilver);
}

// ---------------------------------------------------------------------------
// Marks

TSeriesMarks::TSeriesMarks(TChartSeries* AOwner) : TTeeCustomShape(nullptr), FParentSeries(AOwner) {
    FCallout = std::make_unique<TMarksCallout>(AOwner);
    FPositions = std::make_unique<TSeriesMarksPositions>();
    FItems = std::make_unique<TMarksItems>(this);
    SetColor(clInfoBk);
    SetVisible(false);
    Shadow()->SetDefaults(clGray, 1);
}

TSeriesMarks::~TSeriesMarks() = default;

std::unique_ptr<TTeeGradient> TSeriesMarks::NewGradient() {
    return std::make_unique<TSeriesMarksGradient>(Changer());
}

void TSeriesMarks::SetParentChart(TCustomAxisPanel* Value) {
    SetParent(Value);
    FCallout->SetParent(Value);
    for (int i = 0; i < FItems->Count(); ++i)
        if (TMarksItem* item = FItems->Find(i)) item->SetParent(Value);
}

void TSeriesMarks::Assign(TPersistent* Source) {
    if (auto* m = dynamic_cast<TSeriesMarks*>(Source)) {
        FAngle = m->FAngle;
        FCallout->Assign(m->FCallout.get());
        FClip = m->FClip;
        FDrawEvery = m->FDrawEvery;
        FMarkerStyle = m->FMarkerStyle;
        FMultiLine = m->FMultiLine;
        FItems->Clear();
        for (int i = 0; i < m->FItems->Count(); ++i)
            if (TMarksItem* item = m->FItems->Find(i)) FItems->Get(i)->Assign(item);
    }
    TTeeCustomShape::Assign(Source);
}

void TSeriesMarks::Repaint() {
    if (FParentSeries)
        FParentSeries->Repaint();
    else
        TTeeCustomShape::Repaint();
}

void TSeriesMarks::SetAngle(int Value) {
    if (FAngle != Value) {
        FAngle = Value;
        Repaint();
    }
}

void TSeriesMarks::SetCallout(TMarksCallout* Value) {
    FCallout->Assign(Value);
}

void TSeriesMarks::SetClip(bool Value) {
    if (FClip != Value) {
        FClip = Value;
        Repaint();
    }
}

void TSeriesMarks::SetDrawEvery(int Value) {
    if (FDrawEvery != Value) {
        FDrawEvery = Value;
        Repaint();
    }
}

void TSeriesMarks::SetMultiLine(bool Value) {
    if (FMultiLine != Value) {
        FMultiLine = Value;
        Repaint();
    }
}

void TSeriesMarks::SetStyle(TSeriesMarksStyle Value) {
    if (FMarkerStyle != Value) {
        FMarkerStyle = Value;
        Repaint();
    }
}

TTeeCustomShape* TSeriesMarks::MarkItem(int ValueIndex) const {
    if (TMarksItem* item = FItems->Find(ValueIndex)) return item;
    return const_cast<TSeriesMarks*>(this);
}

void TSeriesMarks::ResetPositions() {
    for (int i = 0; i < FPositions->Count(); ++i)
        FPositions->Automatic(i);
    Repaint();
}

void TSeriesMarks::Clear() {
    FPositions->Clear();
    if (!FItems->Loaded()) FItems->Clear();
}

void TSeriesMarks::UsePosition(int Index, TSeriesMarkPosition& MarkPosition) {
    TSeriesMarkPosition* stored = FPositions->Ensure(Index);
    if (stored->Custom) {
        const TPoint from = MarkPosition.ArrowFrom;
        MarkPosition.Assign(*stored);
        if (MarkPosition.ArrowFix) MarkPosition.ArrowFrom = from;
    } else {
        stored->Assign(MarkPosition);
    }
}

void TSeriesMarks::ApplyArrowLength(TSeriesMarkPosition& APosition) const {
    const int l = FCallout->Length();
    const int d = FCallout->Distance();
    APosition.LeftTop.y -= l + d;
    APosition.ArrowTo.y -= l + d;
    APosition.ArrowFrom.y -= d;
}

namespace {
TCustomAxisPanel* ChartOf(TChartSeries* S) {
    return S ? S->ParentChart() : nullptr;
}
} // namespace

void TSeriesMarks::ConvertTo2D(const TSeriesMarkPosition& Point, TPoint& P) const {
    TCustomAxisPanel* chart = ChartOf(FParentSeries);
    if (!chart || !chart->View3D() || chart->Canvas()->Supports3DText()) return;
    const TPoint q = chart->Canvas()->Calculate3DPosition(Point.ArrowTo, ZPosition);
    P.x += q.x - Point.ArrowTo.x;
    P.y += q.y - Point.ArrowTo.y;
}

TRect TSeriesMarks::OverlapRect(const TSeriesMarkPosition& P) const {
    TRect r = P.Bounds();
    if (Pen()->Visible()) {
        r.Right += Pen()->Width();
        r.Bottom += Pen()->Width();
    }
    const int h = Shadow()->HorizSize(), v = Shadow()->VertSize();
    if (h > 0)
        r.Right += h;
    else
        r.Left += h;
    if (v > 0)
        r.Bottom += v;
    else
        r.Top += v;
    TPoint moved = r.TopLeft();
    ConvertTo2D(P, moved);
    const int dx = moved.x - r.Left, dy = moved.y - r.Top;
    return TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
}

// What a stored mark's overlap rectangle depends on besides its position; the
// rectangles met under one look are kept together (a pie places its marks on
// two planes).
struct TSeriesMarks::TPlacement {
    struct TLook {
        int Z;
        bool Pen;
        int PenWidth, ShadowH, ShadowV;
        bool operator==(const TLook&) const = default;
    };
    struct TMet {
        TLook Look;
        int First, Next; // the stored marks First..Next-1 are in Marks
        TPlacedMarks Marks;
    };
    std::vector<TMet> Met;
};

void TSeriesMarks::BeginPlacement() {
    if (FPlacing++ == 0) FPlacement = std::make_unique<TPlacement>();
}

void TSeriesMarks::EndPlacement() {
    if (FPlacing > 0 && --FPlacing == 0) FPlacement.reset();
}

void TSeriesMarks::AntiOverlap(int First, int ValueIndex, TSeriesMarkPosition& APosition) {
    First = std::max(First, 0);
    TPlacedMarks once;
    TPlacedMarks* met = &once;
    int from = First;
    if (FPlacement) {
        const TPlacement::TLook look{ZPosition, Pen()->Visible(), Pen()->Width(),
                                     Shadow()->HorizSize(), Shadow()->VertSize()};
        auto& all = FPlacement->Met;
        auto it =
            std::find_if(all.begin(), all.end(), [&](const auto& m) { return m.Look == look; });
        if (it == all.end()) {
            if (all.size() >= 8) all.clear();
            it = all.insert(all.end(), TPlacement::TMet{look, First, First, {}});
        }
        // Marks placed again, or from another first one, are met afresh.
        if (it->First != First || ValueIndex < it->Next) {
            it->Marks.Clear();
            it->First = it->Next = First;
        }
        met = &it->Marks;
        from = it->Next;
        it->Next = std::max(it->Next, ValueIndex);
    }
    for (int k = from; k < ValueIndex; ++k)
        if (const TSeriesMarkPosition* other = FPositions->Get(k)) met->Add(OverlapRect(*other));
    const int lift = met->Lift(OverlapRect(APosition));
    APosition.LeftTop.y -= lift;
    APosition.ArrowTo.y -= lift;
}

void TSeriesMarks::InternalDraw(int Index, TColor AColor, const AnsiString& St,
                                TSeriesMarkPosition& APosition) {
    TCustomAxisPanel* chart = ChartOf(FParentSeries);
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    UsePosition(Index, APosition);
    TTeeCustomShape* item = MarkItem(Index);
    if (FCallout->Visible() || FCallout->Arrow()->Visible())
        FCallout->Draw(AColor, APosition.ArrowFrom, APosition.ArrowTo, ZPosition);
    if (item->Transparent()) {
        canvas->Brush()->SetStyle(bsClear);
        canvas->SetBackMode(cbmTransparent);
    } else {
        canvas->AssignBrush(item->Brush(), item->Color());
    }
    canvas->AssignVisiblePen(item->Pen());
    ConvertTo2D(APosition, APosition.LeftTop);
    item->DrawRectRotated(APosition.Bounds(), FAngle % 360, ZPosition + 1);
    canvas->Brush()->SetStyle(bsClear);
    canvas->SetBackMode(cbmTransparent);
    canvas->SetTextAlign(TA_CENTER);
    TRect r = APosition.Bounds();
    r.Top += 2;
    DrawText(r, St);
}

void TSeriesMarks::DrawText(const TRect& R, const AnsiString& St) {
    TCustomAxisPanel* chart = ChartOf(FParentSeries);
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const int h = canvas->FontHeight();
    const int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
    const bool text3D = canvas->Supports3DText();
    const std::string& s = St.str();
    size_t start = 0;
    for (int k = 0; start < s.size() || (k == 0 && s.empty()); ++k) {
        size_t end = s.find(TeeLineSeparator, start);
        if (end == std::string::npos) end = s.size();
        const AnsiString line(s.substr(start, end - start));
        start = end + 1;
        if (FAngle == 0) {
            const int y = R.Top + k * h + (Pen()->Visible() ? Pen()->Width() : 0);
            if (text3D)
                canvas->TextOut3D(cx, y, ZPosition, line);
            else
                canvas->TextOut(cx, y, line);
        } else {
            const double t = double(k) * h + (cy - R.Bottom);
            const double a = FAngle * TeePiStep;
            const int x = cx + PixelPos(t * std::sin(a)) + (FAngle == 90 ? 2 : 0);
            const int y = cy + PixelPos(t * std::cos(a));
            if (text3D)
                canvas->RotateLabel3D(x, y, ZPosition, line, FAngle);
            else
                canvas->RotateLabel(x, y, line, FAngle);
        }
        if (s.empty()) break;
    }
}

int TSeriesMarks::TextWidth(int ValueIndex) {
    TCustomAxisPanel* chart = ChartOf(FParentSeries);
    if (!chart) return 0;
    int lines = 0;
    return chart->MultiLineTextWidth(FParentSeries->GetMarkText(ValueIndex), lines);
}

int TSeriesMarks::Clicked(int X, int Y) {
    if (TCustomAxisPanel* chart = ChartOf(FParentSeries))
        chart->Canvas()->Calculate2DPosition(X, Y, ZPosition);
    // A step below 1 would divide by zero; it counts as every mark.
    const int every = std::max(1, FDrawEvery);
    for (int i = 0; i < FPositions->Count(); ++i) {
        if (i % every != 0) continue;
        TSeriesMarkPosition* p = FPositions->Get(i);
        if (!p) continue;
        const TRect b = p->Bounds();
        if (X >= b.Left && X < b.Right && Y >= b.Top && Y < b.Bottom) return i;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// "Items" stream property

void TSeriesMarks::WriteItems(TStream* Stream) {
    TWriter writer(Stream, 1024);
    const int32_t n = FItems->Count();
    writer.Write(&n, 4);
    for (int i = 0; i < n; ++i) {
        writer.WriteListBegin();
        if (TMarksItem* item = FItems->Find(i)) writer.WriteProperties(item);
        writer.WriteListEnd();
    }
}

void TSeriesMarks::ReadItems(TStream* Stream) {
    TReader reader(Stream, 1024);
    int32_t n = 0;
    reader.Read(&n, 4);
    // Each entry takes at least its two list markers.
    if (n < 0 || n > reader.Remaining() / 2) throw EReadError("Invalid marks items count");
    for (int i = 0; i < n; ++i) {
        reader.ReadListBegin();
        TMarksItem* item = FItems->Get(i);
        while (!reader.EndOfList())
            reader.ReadProperty(item);
        reader.ReadListEnd();
    }
    if (n > 0) FItems->SetLoaded(true);
}

void TSeriesMarks::DefineProperties(TFiler* Filer) {
    TTeeCustomShape::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Items", [this](TStream* S) { ReadItems(S); }, [this](TStream* S) { WriteItems(S); },
        FItems->Count() > 0);
}

// ---------------------------------------------------------------------------

QM_CLASS_PLAIN(TMarksItem, TTeeCustomShape)
QM_CLASS_ABSTRACT(TSeriesMarksPositions, TList)
QM_CLASS_ABSTRACT(TMarksItems, TList)
QM_CLASS_PLAIN(TSeriesMarksGradient, TTeeGradient)
QM_CLASS_OWNED(TSeriesMarks, TTeeCustomShape, TChartSeries)

QM_PUBLISHED(TMarksItem, Prop("Bevel", &Self::Bevel, &Self::SetBevel).Default(bvNone),
             Prop("BevelWidth", &Self::BevelWidth, &Self::SetBevelWidth).Default(2),
             Prop("Color", &Self::Color, &Self::SetColor).Default(clInfoBk).Idents("TColor"),
             Prop("Font", &Self::Font, &Self::SetFont),
             Prop("Gradient", &Self::Gradient, &Self::SetGradient),
             Prop("Shadow", &Self::Shadow, &Self::SetShadow),
             Prop("ShapeStyle", &Self::ShapeStyle, &Self::SetShapeStyle).Default(fosRectangle),
             Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0),
             Prop("Transparent", &Self::Transparent, &Self::SetTransparent).Default(false));

QM_PUBLISHED(
    TSeriesMarksGradient,
    Prop("Direction", &Self::Direction, &Self::SetDirection).Default(gdRightLeft),
    Prop("EndColor", &Self::EndColor, &Self::SetEndColor).Default(clWhite).Idents("TColor"),
    Prop("StartColor", &Self::StartColor, &Self::SetStartColor).Default(clSilver).Idents("TColor"));

QM_PUBLISHED(
    TSeriesMarks, Prop("Angle", &Self::Angle, &Self::SetAngle).Default(0),
    Prop("Arrow", &Self::Arrow, &Self::SetArrow),
    Prop("ArrowLength", &Self::ArrowLength, &Self::SetArrowLength).Default(8),
    Prop("Callout", &Self::Callout, &Self::SetCallout),
    Prop("BackColor", &Self::BackColor, &Self::SetBackColor).Stored(false).Idents("TColor"),
    Prop("Bevel", &Self::Bevel, &Self::SetBevel).Default(bvNone),
    Prop("BevelWidth", &Self::BevelWidth, &Self::SetBevelWidth).Default(2),
    Prop("Brush", &Self::Brush, &Self::SetBrush),
    Prop("Clip", &Self::Clip, &Self::SetClip).Default(false),
    Prop("Color", &Self::Color, &Self::SetColor).Default(clInfoBk).Idents("TColor"),
    Prop("DrawEvery", &Self::DrawEvery, &Self::SetDrawEvery).Default(1),
    Prop("Font", &Self::Font, &Self::SetFont), Prop("Frame", &Self::Frame, &Self::SetPen),
    Prop("Gradient", &Self::Gradient, &Self::SetGradient),
    Prop("MultiLine", &Self::MultiLine, &Self::SetMultiLine).Default(false),
    Prop("Shadow", &Self::Shadow, &Self::SetShadow),
    Prop("ShapeStyle", &Self::ShapeStyle, &Self::SetShapeStyle).Default(fosRectangle),
    Prop("Style", &Self::Style, &Self::SetStyle).Default(smsLabel),
    Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0),
    Prop("Transparent", &Self::Transparent, &Self::SetTransparent).Default(false),
    Prop("Visible", &Self::Visible, &Self::SetVisible).Default(false));
