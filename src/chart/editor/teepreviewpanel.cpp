// The print preview panel.
//   geometry   the sheet in the printer's proportions, each chart's place on it, hit test
//   drawing    sheet, shadow, chart images through a metafile or a bitmap, margin lines
//   mouse      dragging edges, corners or the whole image; margins follow in percent
//   printing   every panel of the list on one page
#include "chart/editor/teepreviewpanel.h"
#include "platform/classes/watched.h"

#include "chart/editor/teefieldprop.h"
#include "chart/engine/teegeometry.h"
#include "platform/classes/props.h"
#include "platform/forms/forms.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printers.h"
#include "platform/graphics/printjob.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>

QM_CLASS_PLAIN(TPreviewChartPen, TChartPen)
QM_CLASS_OWNED(TTeePreviewPanel, TCustomTeePanelExtended, TComponent)

QM_PUBLISHED(TPreviewChartPen, Prop("Style", &Self::Style, &Self::SetStyle).Default(psDot),
             Prop("SmallDots", &Self::SmallDots, &Self::SetSmallDots).Default(true));
QM_PUBLISHED(
    TTeePreviewPanel, FieldProp("AllowResize", &Self::AllowResize).Default(true),
    FieldProp("AllowMove", &Self::AllowMove).Default(true),
    Prop("AsBitmap", &Self::AsBitmap, &Self::SetAsBitmap).Default(false),
    FieldProp("DragImage", &Self::DragImage).Default(false), Prop("Margins", &Self::Margins),
    Prop("Orientation", &Self::Orientation, &Self::SetOrientation).Default(ppoDefault),
    Prop("Panel", &Self::Panel, &Self::SetPanel),
    Prop("PaperColor", &Self::PaperColor, &Self::SetPaperColor).Default(clWhite).Idents("TColor"),
    Prop("PaperShadow", &Self::PaperShadow),
    Prop("ShowImage", &Self::ShowImage, &Self::SetShowImage).Default(true),
    FieldProp("Title", &Self::Title),
    // The panel's own look, as every chart panel publishes it.
    Prop("Shadow", &Self::Shadow, &Self::SetShadow),
    Prop("Gradient", &Self::Gradient, &Self::SetGradient),
    Prop("Border", &Self::Border, &Self::SetBorder),
    Prop("BorderRound", &Self::BorderRound, &Self::SetBorderRound).Default(0),
    Prop("BackImage", &Self::BackImage, &Self::SetBackImage),
    Prop("BackImageMode", &Self::BackImageMode, &Self::SetBackImageMode).Default(pbmStretch),
    Prop("BevelInner", &Self::BevelInner, &Self::SetBevelInner).Default(bvNone),
    Prop("BevelOuter", &Self::BevelOuter, &Self::SetBevelOuter).Default(bvRaised),
    Prop("BevelWidth", &Self::BevelWidth, &Self::SetBevelWidth).Default(1),
    Prop("Color", &Self::Color, &Self::SetColor).Default(clBtnFace).Idents("TColor"),
    Prop("Align", &Self::Align, &Self::SetAlign).Default(alNone),
    Prop("OnChangeMargins", &Self::OnChangeMargins), TEE_PANEL_CONTROL_EVENTS);

TPreviewChartPen::TPreviewChartPen(TNotifyEvent OnChangeEvent) : TChartPen(OnChangeEvent) {
    SetStyle(psDot);
    SetSmallDots(true);
}

namespace {
bool PrintersExist() {
    return Printer()->Printers()->Count() > 0;
}

bool InsideOf(const TRect& R, int X, int Y) {
    return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

class TScreenCursorScope {
public:
    TScreenCursorScope() { Screen->SetCursor(crHourGlass); }
    ~TScreenCursorScope() { Screen->SetCursor(crDefault); }
    TScreenCursorScope(const TScreenCursorScope&) = delete;
    TScreenCursorScope& operator=(const TScreenCursorScope&) = delete;
};

const TCursor PartCursors[10] = {crDefault, crHSplit,   crVSplit,   crHSplit,   crVSplit,
                                 crTeeHand, crSizeNWSE, crSizeNESW, crSizeNESW, crSizeNWSE};
} // namespace

TTeePreviewPanel::TTeePreviewPanel(TComponent* AOwner)
    : TCustomTeePanelExtended(AOwner),
      FMargins(std::make_unique<TPreviewChartPen>([this](TObject* S) { CanvasChanged(S); })),
      FPaperShadow(std::make_unique<TTeeShadow>([this](TObject* S) { CanvasChanged(S); })) {
    FPaperShadow->SetDefaults(clGray, 4);
    SetAllowZoom(false);
    SetAllowPanning(pmNone);
    SetWidth(432);
    SetHeight(312);
}

TTeePreviewPanel::~TTeePreviewPanel() {
    for (TCustomTeePanel* p : FPanels)
        if (p) p->RemoveFreeNotification(this);
}

TCustomTeePanel* TTeePreviewPanel::Panel() const {
    for (TCustomTeePanel* p : FPanels)
        if (p) return p;
    return nullptr;
}

void TTeePreviewPanel::DropGone() {
    std::erase_if(FPanels, [](const TWatched<TCustomTeePanel>& p) { return !p; });
}

// ---------------------------------------------------------------------------
// Geometry

void TTeePreviewPanel::CheckPrinterOrientation() {
    if (!PrintersExist() || FOrientation == ppoDefault || Printer()->Printing()) return;
    Printer()->SetOrientation(FOrientation == ppoPortrait ? poPortrait : poLandscape);
}

TRect TTeePreviewPanel::CalcPaperRectangle() {
    CheckPrinterOrientation();
    int w = 0, h = 0;
    if (PrintersExist()) {
        try {
            w = Printer()->PageWidth();
            h = Printer()->PageHeight();
        } catch (const EPrinter&) {
            w = 0;
        }
    }
    if (w <= 0 || h <= 0) {
        w = Screen->Width();
        h = Screen->Height();
    }
    const int cw = ClientWidth(), ch = ClientHeight();
    TRect r;
    if (static_cast<int64_t>(cw) * h > static_cast<int64_t>(ch) * w) {
        const int ph = ch - static_cast<int>(Round(ch / 5.0));
        r.Top = static_cast<int>(Round(ch / 10.0));
        r.Bottom = r.Top + ph;
        const int pw = h > 0 ? MulDiv(ph, w, h) : cw;
        r.Left = (cw - pw) / 2;
        r.Right = r.Left + pw;
    } else {
        const int pw = cw - static_cast<int>(Round(cw / 5.0));
        r.Left = static_cast<int>(Round(cw / 10.0));
        r.Right = r.Left + pw;
        const int ph = w > 0 ? MulDiv(pw, h, w) : ch;
        r.Top = (ch - ph) / 2;
        r.Bottom = r.Top + ph;
    }
    return r;
}

TRect TTeePreviewPanel::CalcImagePrintMargins(TCustomTeePanel* APanel) {
    TRect m(15, 15, 15, 15);
    if (APanel) {
        m = APanel->PrintProportional() && PrintersExist() ? APanel->ProportionalMargins()
                                                           : APanel->PrintMargins();
    }
    const TRect& p = FPaperRect;
    const int pw = p.Width(), ph = p.Height();
    return TRect(p.Left + MulDiv(m.Left, pw, 100), p.Top + MulDiv(m.Top, ph, 100),
                 p.Right - MulDiv(m.Right, pw, 100), p.Bottom - MulDiv(m.Bottom, ph, 100));
}

int TTeePreviewPanel::WhereIsCursor(int X, int Y) {
    const TRect& r = FImageRect;
    const int dl = std::abs(X - r.Left), dr = std::abs(X - r.Right);
    const int dt = std::abs(Y - r.Top), db = std::abs(Y - r.Bottom);
    constexpr int tol = 5;
    int part = 0;
    if (dl < tol && dt < tol)
        part = 6;
    else if (dl < tol && db < tol)
        part = 8;
    else if (dr < tol && dt < tol)
        part = 7;
    else if (dr < tol && db < tol)
        part = 9;
    else if (dl < tol)
        part = 1;
    else if (dr < tol)
        part = 3;
    else if (dt < tol)
        part = 2;
    else if (db < tol)
        part = 4;
    else if (InsideOf(r, X, Y))
        return AllowMove ? 5 : 0;
    return AllowResize ? part : 0;
}

// ---------------------------------------------------------------------------
// Drawing

void TTeePreviewPanel::InternalDraw(const TRect& UserRectangle) {
    PanelPaint(UserRectangle);
    ReCalcWidthHeight();
    SetWidth3D(100);
    TCanvas3D* canvas = Canvas();
    canvas->Projection(100, ChartBounds(), ChartRect());
    canvas->ResetState();
    FPaperRect = CalcPaperRectangle();
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetColor(clBlack);
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetMode(pmCopy);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(FPaperColor);
    canvas->Rectangle(FPaperRect);
    FPaperShadow->Draw(canvas, FPaperRect);
    DropGone();
    FImageRect = CalcImagePrintMargins(Panel());
    for (TCustomTeePanel* p : FPanels)
        DrawPanelImage(p);
    DrawMargins(FImageRect);
    canvas->ResetState();
    if (OnAfterDraw) OnAfterDraw(this);
}

void TTeePreviewPanel::DrawPanelImage(TCustomTeePanel* APanel) {
    const TRect r = CalcImagePrintMargins(APanel);
    TCanvas3D* canvas = Canvas();
    const bool printing = APanel->Printing();
    TTeeFinally restore([&] { APanel->SetPrinting(printing); });
    APanel->SetPrinting(true);
    canvas->ClipRectangle(APanel->CanClip() ? r : FPaperRect);
    TTeeFinally unclip([&] { canvas->UnClipRectangle(); });
    if (!FShowImage || r.Width() < 1 || r.Height() < 1) return;
    if (FAsBitmap) {
        SendAsBitmap(APanel, canvas->PlatformCanvas(), r);
        return;
    }
    TRect meta(0, 0, r.Width(), r.Height());
    int ww, wh, vw, vh;
    APanel->CalcMetaBounds(meta, APanel->GetRectangle(), ww, wh, vw, vh);
    std::unique_ptr<TMetafile> m = APanel->TeeCreateMetafile(true, meta);
    canvas->StretchDraw(r, m.get());
}

void TTeePreviewPanel::SendAsBitmap(TCustomTeePanel* APanel, TCanvas* ACanvas, const TRect& R) {
    TRect meta(0, 0, R.Width(), R.Height());
    std::unique_ptr<TBitmap> bitmap;
    {
        const bool printing = APanel->Printing();
        TTeeFinally restore([&] { APanel->SetPrinting(printing); });
        APanel->SetPrinting(true);
        int ww, wh, vw, vh;
        APanel->CalcMetaBounds(meta, APanel->GetRectangle(), ww, wh, vw, vh);
        // Shown smaller than it is laid out, the chart is drawn at the size
        // shown: shrinking the picture would drop whole lines of it.
        const TSize pixels(std::min(R.Width(), meta.Width()), std::min(R.Height(), meta.Height()));
        bitmap = APanel->TeeCreateScaledBitmap(FPaperColor, meta, pixels);
    }
    if (ACanvas) ACanvas->StretchDraw(R, bitmap.get());
}

void TTeePreviewPanel::DrawMargins(const TRect& R) {
    if (!FMargins->Visible()) return;
    TCanvas3D* canvas = Canvas();
    canvas->AssignVisiblePen(FMargins.get());
    canvas->Pen()->SetMode(pmNotXor);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Brush()->SetColor(FPaperColor);
    canvas->SetBackMode(cbmTransparent);
    const TRect& p = FPaperRect;
    canvas->DoVertLine(R.Left - 1, p.Top + 1, p.Bottom);
    canvas->DoVertLine(R.Right, p.Top + 1, p.Bottom);
    canvas->DoHorizLine(p.Left + 1, p.Right, R.Top - 1);
    canvas->DoHorizLine(p.Left + 1, p.Right, R.Bottom);
    canvas->SetBackMode(cbmOpaque);
    canvas->Pen()->SetMode(pmCopy);
}

// ---------------------------------------------------------------------------
// Properties and lifecycle

void TTeePreviewPanel::SetOrientation(TTeePreviewPanelOrientation Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    Invalidate();
}

TColor TTeePreviewPanel::GetShadowColor() const {
    return FPaperShadow->Color();
}
void TTeePreviewPanel::SetShadowColor(TColor Value) {
    FPaperShadow->SetColor(Value);
}
int TTeePreviewPanel::GetShadowSize() const {
    return FPaperShadow->Size();
}
void TTeePreviewPanel::SetShadowSize(int Value) {
    FPaperShadow->SetSize(Value);
}

void TTeePreviewPanel::SetPanel(TCustomTeePanel* Value) {
    if (Value == this || (Value && Value == Panel())) return;
    if (!Value) {
        DropGone();
        if (!FPanels.empty()) {
            FPanels.front()->RemoveFreeNotification(this);
            FPanels.erase(FPanels.begin());
        }
    } else if (std::none_of(FPanels.begin(), FPanels.end(),
                            [Value](const TWatched<TCustomTeePanel>& p) { return p == Value; })) {
        FPanels.push_back(Value);
        Value->FreeNotification(this);
    }
    if (TCustomTeePanel* p = Panel()) FAsBitmap = p->Canvas()->SupportsFullRotation();
    Invalidate();
}

void TTeePreviewPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomTeePanelExtended::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    // A freed panel leaves the list wherever it stands.
    const size_t count = FPanels.size();
    DropGone();
    if (FPanels.size() != count) {
        FDragged = 0;
        Invalidate();
    }
}

// ---------------------------------------------------------------------------
// Mouse

// The panel's mouse handlers, called by the base, may free the panel or its
// form: the drag goes on only with both there.
void TTeePreviewPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCallOut held{this, GetParentForm(this)};
    TCustomTeePanelExtended::MouseDown(Button, Shift, X, Y);
    if (held.Gone()) return;
    FDragged = WhereIsCursor(X, Y);
    if (FDragged == 5) {
        FOldX = X;
        FOldY = Y;
        FOldRect = FImageRect;
    }
}

void TTeePreviewPanel::DragTo(int X, int Y) {
    TRect& r = FImageRect;
    const TRect& p = FPaperRect;
    const bool left = p.Left <= X && X < r.Right, right = r.Left < X && X <= p.Right;
    const bool top = p.Top <= Y && Y < r.Bottom, bottom = r.Top < Y && Y <= p.Bottom;
    switch (FDragged) {
    case 1:
        if (left) r.Left = X;
        break;
    case 2:
        if (top) r.Top = Y;
        break;
    case 3:
        if (right) r.Right = X;
        break;
    case 4:
        if (bottom) r.Bottom = Y;
        break;
    case 6:
        if (left && top) r.Left = X, r.Top = Y;
        break;
    case 7:
        if (right && top) r.Right = X, r.Top = Y;
        break;
    case 8:
        if (left && bottom) r.Left = X, r.Bottom = Y;
        break;
    case 9:
        if (right && bottom) r.Right = X, r.Bottom = Y;
        break;
    case 5: {
        TRect n;
        n.Left = std::max(p.Left, X - FOldX + FOldRect.Left);
        n.Top = std::max(p.Top, Y - FOldY + FOldRect.Top);
        n.Right = std::min(p.Right, FOldRect.Right - FOldRect.Left + n.Left);
        n.Bottom = std::min(p.Bottom, FOldRect.Bottom - FOldRect.Top + n.Top);
        auto inPaper = [&p](int x, int y) {
            return x >= p.Left && x <= p.Right && y >= p.Top && y <= p.Bottom;
        };
        if (inPaper(n.Left, n.Top) && inPaper(n.Right, n.Bottom)) r = n;
        break;
    }
    default:
        break;
    }
}

void TTeePreviewPanel::MouseMove(TShiftState Shift, int X, int Y) {
    TCallOut held{this, GetParentForm(this)};
    TCustomTeePanelExtended::MouseMove(Shift, X, Y);
    if (held.Gone() || !InsideOf(FPaperRect, X, Y)) return;
    if (FDragged == 0) {
        SetCursor(PartCursors[WhereIsCursor(X, Y)]);
        return;
    }
    if (!DragImage) DrawMargins(FImageRect);
    DragTo(X, Y);
    TCustomTeePanel* p = Panel();
    const int pw = FPaperRect.Width(), ph = FPaperRect.Height();
    if (p && pw > 0 && ph > 0) {
        p->SetPrintProportional(false);
        p->SetPrintMargins(TRect(MulDiv(FImageRect.Left - FPaperRect.Left, 100, pw),
                                 MulDiv(FImageRect.Top - FPaperRect.Top, 100, ph),
                                 MulDiv(FPaperRect.Right - FImageRect.Right, 100, pw),
                                 MulDiv(FPaperRect.Bottom - FImageRect.Bottom, 100, ph)));
        if (OnChangeMargins) OnChangeMargins(this, true, p->PrintMargins());
        if (held.Gone()) return;
    }
    if (DragImage)
        Invalidate();
    else
        DrawMargins(FImageRect);
}

void TTeePreviewPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    SetCancelMouse(false);
    TCallOut held{this, GetParentForm(this)};
    TCustomTeePanelExtended::MouseUp(Button, Shift, X, Y);
    if (held.Gone()) return;
    if (FDragged != 0) {
        FDragged = 0;
        if (!DragImage) Invalidate();
    }
}

// ---------------------------------------------------------------------------
// Printing

void TTeePreviewPanel::Print() {
    DropGone();
    if (FPanels.empty()) return;
    TScreenCursorScope wait;
    CheckPrinterOrientation();
    TPrinter* printer = Printer();
    if (!Title.IsEmpty())
        printer->SetTitle(Title);
    else if (!FPanels.front()->Name().IsEmpty())
        printer->SetTitle(FPanels.front()->Name());
    TPrintJob job(printer);
    for (TCustomTeePanel* p : FPanels) {
        const TRect r = p->ChartPrintRect();
        if (FAsBitmap)
            SendAsBitmap(p, job.Canvas(), r);
        else
            p->PrintPartial(r);
    }
    if (OnAfterDraw) OnAfterDraw(this);
    job.Finish();
}
