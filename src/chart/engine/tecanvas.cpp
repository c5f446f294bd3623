// Chart pens, brushes and fonts, the 3D view options, the operations the abstract
// canvas layers implement once for every descendant, and the published
// properties of every persistent kind of the canvas unit (gradients and shadows too).
#include "chart/engine/tecanvas.h"
#include "platform/classes/watched.h"
#include "chart/engine/teeconst.h"
#include "platform/classes/props.h"
#include "platform/forms/controls.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/language.h"
#include <algorithm>
#include <cmath>
#include <numbers>

QM_CLASS_PLAIN(TChartPen, TPen)
QM_CLASS_PLAIN(TChartHiddenPen, TChartPen)
QM_CLASS_PLAIN(TDottedGrayPen, TChartPen)
QM_CLASS_PLAIN(TDarkGrayPen, TChartPen)
QM_CLASS_PLAIN(TChartAxisPen, TChartPen)
QM_CLASS_PLAIN(TWhitePen, TChartPen)
QM_CLASS_PLAIN(TChartBrush, TBrush)
QM_CLASS_PLAIN(TTeeFont, TFont)
QM_CLASS_PLAIN(TView3DOptions, TPersistent)
QM_CLASS_ABSTRACT(TTeeCanvas, TObject)
QM_CLASS_ABSTRACT(TCanvas3D, TTeeCanvas)

// The platform behaves like the NT family: geometric pens are always there.
bool IsWindowsNT = true;
uint8_t TeeFontAntiAlias = ANTIALIASED_QUALITY;

namespace {

int SystemPrimaryLanguage() {
    return PRIMARYLANGID(GetSystemDefaultLangID());
}

} // namespace

int GetDefaultFontSize() {
    static const int size = [] {
        int result = StrToIntDef(TeeMsg_DefaultFontSize, 8);
        if (result == 8 && SystemPrimaryLanguage() == LANG_JAPANESE) {
            TFont platformDefault;
            result = -MulDiv(platformDefault.Height(), 72, platformDefault.PixelsPerInch());
        }
        return result;
    }();
    return size;
}

AnsiString GetDefaultFontName() {
    static const AnsiString name = [] {
        AnsiString result =
            TeeMsg_DefaultFontName.IsEmpty() ? AnsiString("Arial") : TeeMsg_DefaultFontName;
        if (result == "Arial" && SystemPrimaryLanguage() == LANG_JAPANESE) result = TFont().Name();
        return result;
    }();
    return name;
}

// --- pens ------------------------------------------------------------------------

TChartPen::TChartPen(TNotifyEvent OnChangeEvent) {
    OnChange = std::move(OnChangeEvent);
}

void TChartPen::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TChartPen*>(Source)) {
        FVisible = p->FVisible;
        FSmallDots = p->FSmallDots;
        FEndStyle = p->FEndStyle;
    }
    TPen::Assign(Source);
}

void TChartPen::SetEndStyle(TPenEndStyle Value) {
    if (FEndStyle != Value) {
        FEndStyle = Value;
        Changed();
    }
}

void TChartPen::SetSmallDots(bool Value) {
    if (FSmallDots != Value) {
        FSmallDots = Value;
        Changed();
    }
}

void TChartPen::SetVisible(bool Value) {
    if (FVisible != Value) {
        FVisible = Value;
        Changed();
    }
}

TChartHiddenPen::TChartHiddenPen(TNotifyEvent OnChangeEvent) : TChartPen(nullptr) {
    FDefaultVisible = false;
    SetVisible(false);
    OnChange = std::move(OnChangeEvent);
}

TDottedGrayPen::TDottedGrayPen(TNotifyEvent OnChangeEvent) : TChartPen(nullptr) {
    SetColor(clGray);
    SetStyle(psDot);
    OnChange = std::move(OnChangeEvent);
}

TDarkGrayPen::TDarkGrayPen(TNotifyEvent OnChangeEvent) : TChartPen(nullptr) {
    SetColor(clGray);
    OnChange = std::move(OnChangeEvent);
}

TChartAxisPen::TChartAxisPen(TNotifyEvent OnChangeEvent) : TChartPen(nullptr) {
    SetWidth(2);
    OnChange = std::move(OnChangeEvent);
}

TWhitePen::TWhitePen(TNotifyEvent OnChangeEvent) : TChartPen(nullptr) {
    SetColor(clWhite);
    OnChange = std::move(OnChangeEvent);
}

HPEN TeeCreatePenSmallDots(TColor Color) {
    LOGBRUSH lb;
    lb.lbStyle = BS_SOLID;
    lb.lbColor = ColorToRGB(Color);
    return ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, lb, 0, nullptr);
}

void TeeSetTeePen(TPen* FPen, TChartPen* APen, TColor AColor, HDC Handle) {
    (void)Handle;
    if (APen->SmallDots()) {
        FPen->SetHandle(TeeCreatePenSmallDots(AColor));
        return;
    }
    if (APen->Width() < 2) {
        FPen->Assign(APen);
        if (FPen->Color() != AColor) FPen->SetColor(AColor);
        return;
    }
    DWORD style = PS_GEOMETRIC | DWORD(APen->Style());
    if (APen->EndStyle() == esSquare)
        style |= PS_ENDCAP_SQUARE | PS_JOIN_BEVEL;
    else if (APen->EndStyle() == esFlat)
        style |= PS_ENDCAP_FLAT | PS_JOIN_MITER;
    LOGBRUSH lb;
    lb.lbStyle = BS_SOLID;
    lb.lbColor = ColorToRGB(AColor);
    FPen->SetHandle(ExtCreatePen(style, DWORD(APen->Width()), lb, 0, nullptr));
    FPen->SetMode(APen->Mode());
}

// --- brush -----------------------------------------------------------------------

TChartBrush::TChartBrush(TNotifyEvent OnChangeEvent) {
    SetColor(clDefault);
    OnChange = std::move(OnChangeEvent);
}

TChartBrush::~TChartBrush() = default;

TPicture* TChartBrush::Image() {
    if (!FImage) {
        FImage = std::make_unique<TPicture>();
        FImage->OnChange = OnChange;
    }
    return FImage.get();
}

void TChartBrush::SetImage(TPicture* Value) {
    if (!Value)
        FImage.reset();
    else
        Image()->Assign(Value);
}

void TChartBrush::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TChartBrush*>(Source)) SetImage(b->FImage.get());
    TBrush::Assign(Source);
}

// --- font ------------------------------------------------------------------------

TTeeFont::TTeeFont(TNotifyEvent OnChangeEvent) {
    SetColor(clBlack);
    SetCharset(DEFAULT_CHARSET);
    SetName(GetDefaultFontName());
    SetSize(GetDefaultFontSize());
    OnChange = std::move(OnChangeEvent);
}

bool TTeeFont::IsHeightStored() const {
    return Height() != -MulDiv(GetDefaultFontSize(), PixelsPerInch(), 72);
}

TTeeFont::~TTeeFont() {
    if (FCanvas && FCanvas->CurrentFont() == this) FCanvas->ForgetFont(this);
}

TNotifyEvent TTeeFont::SubChanged() {
    return OnChange;
}

TTeeFontGradient* TTeeFont::Gradient() {
    if (!FGradient) FGradient = std::make_unique<TTeeFontGradient>(SubChanged());
    return FGradient.get();
}

void TTeeFont::SetGradient(TTeeFontGradient* Value) {
    if (!Value)
        FGradient.reset();
    else
        Gradient()->Assign(Value);
}

TChartHiddenPen* TTeeFont::OutLine() {
    if (!FOutLine) FOutLine = std::make_unique<TChartHiddenPen>(SubChanged());
    return FOutLine.get();
}

void TTeeFont::SetOutLine(TChartHiddenPen* Value) {
    if (!Value)
        FOutLine.reset();
    else
        OutLine()->Assign(Value);
}

TTeeShadow* TTeeFont::Shadow() {
    if (!FShadow) FShadow = std::make_unique<TTeeShadow>(SubChanged());
    return FShadow.get();
}

void TTeeFont::SetShadow(TTeeShadow* Value) {
    if (!Value)
        FShadow.reset();
    else
        Shadow()->Assign(Value);
}

void TTeeFont::SetInterCharSize(int Value) {
    if (FInterCharSize != Value) {
        FInterCharSize = Value;
        Changed();
    }
}

void TTeeFont::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TTeeFont*>(Source)) {
        SetGradient(f->FGradient.get());
        FInterCharSize = f->FInterCharSize;
        SetOutLine(f->FOutLine.get());
        SetShadow(f->FShadow.get());
    }
    TFont::Assign(Source);
}

// --- 3D view options ---------------------------------------------------------------

TView3DOptions::TView3DOptions(TWinControl* AParent) : FParent(AParent) {}

void TView3DOptions::Repaint() {
    if (FParent) FParent->Invalidate();
}

void TView3DOptions::SetIntegerProperty(int& Variable, int Value) {
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TView3DOptions::SetBooleanProperty(bool& Variable, bool Value) {
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TView3DOptions::SetElevation(int Value) {
    SetIntegerProperty(FElevation, Value);
}
void TView3DOptions::SetOrthogonal(bool Value) {
    SetBooleanProperty(FOrthogonal, Value);
}
void TView3DOptions::SetOrthoAngle(int Value) {
    SetIntegerProperty(FOrthoAngle, Value);
}
void TView3DOptions::SetPerspective(int Value) {
    SetIntegerProperty(FPerspective, Value);
}
void TView3DOptions::SetRotation(int Value) {
    SetIntegerProperty(FRotation, Value);
}
void TView3DOptions::SetTilt(int Value) {
    SetIntegerProperty(FTilt, Value);
}
void TView3DOptions::SetZoomText(bool Value) {
    SetBooleanProperty(FZoomText, Value);
}

void TView3DOptions::SetHorizOffset(int Value) {
    if (FHorizOffset != Value) {
        FHorizOffset = Value;
        Repaint();
        if (OnScrolled) OnScrolled(true);
    }
}

void TView3DOptions::SetVertOffset(int Value) {
    if (FVertOffset != Value) {
        FVertOffset = Value;
        Repaint();
        if (OnScrolled) OnScrolled(false);
    }
}

void TView3DOptions::SetZoom(int Value) {
    if (FZoom != Value) {
        TCallOut held{this};
        if (OnChangedZoom) OnChangedZoom(Value);
        if (held.Gone()) return;
        FZoom = Value;
        Repaint();
    }
}

void TView3DOptions::PresetSample(int Zoom, std::optional<int> VertOffset) {
    FZoom = Zoom;
    if (VertOffset) FVertOffset = *VertOffset;
    Repaint();
}

void TView3DOptions::Assign(TPersistent* Source) {
    if (auto* o = dynamic_cast<TView3DOptions*>(Source)) {
        FElevation = o->FElevation;
        FHorizOffset = o->FHorizOffset;
        FOrthoAngle = o->FOrthoAngle;
        FOrthogonal = o->FOrthogonal;
        FPerspective = o->FPerspective;
        FRotation = o->FRotation;
        FTilt = o->FTilt;
        FVertOffset = o->FVertOffset;
        FZoom = o->FZoom;
        FZoomText = o->FZoomText;
        return;
    }
    TPersistent::Assign(Source);
}

double TView3DOptions::CalcOrthoRatio() const {
    if (!FOrthogonal) return 1.0;
    int angle = FOrthoAngle;
    if (angle > 90) angle = 180 - angle;
    return std::tan(angle * std::numbers::pi / 180.0);
}

// --- the abstract canvas ------------------------------------------------------------

TTeeCanvas::TTeeCanvas() = default;

TTeeCanvas::~TTeeCanvas() {
    for (HRGN r : FClipStack)
        if (r) DeleteObject(r);
    if (FCurrentFont && FCurrentFont->AppliedCanvas() == this)
        FCurrentFont->SetAppliedCanvas(nullptr);
}

void TTeeCanvas::ForgetFont(TTeeFont* AFont) {
    if (FCurrentFont == AFont) FCurrentFont = nullptr;
}

TColor TTeeCanvas::GetBackColor() {
    return static_cast<TColor>(FCanvas->GetBkColor());
}

TCanvasBackMode TTeeCanvas::GetBackMode() {
    switch (FCanvas->GetBkMode()) {
    case TRANSPARENT:
        return cbmTransparent;
    case OPAQUE:
        return cbmOpaque;
    default:
        return cbmNone;
    }
}

void TTeeCanvas::SetBackColor(TColor Color) {
    FCanvas->SetBkColor(ColorToRGB(Color));
}

void TTeeCanvas::SetBackMode(TCanvasBackMode Mode) {
    if (Mode == cbmTransparent)
        FCanvas->SetBkMode(TRANSPARENT);
    else if (Mode == cbmOpaque)
        FCanvas->SetBkMode(OPAQUE);
}

TTeeBlend* TTeeCanvas::BeginBlending(const TRect& R, TTeeTransparency Transparency) {
    FBlendTransparency = std::clamp(Transparency, 0, 100);
    return new TTeeBlend(this, R);
}

void TTeeCanvas::EndBlending(TTeeBlend* Blend) {
    std::unique_ptr<TTeeBlend> owned(Blend);
    if (owned) owned->DoBlend(FBlendTransparency);
}

int TTeeCanvas::TextWidth(const AnsiString& Text) {
    int result = FCanvas->TextWidth(Text);
    if (FCurrentFont)
        if (TTeeShadow* s = FCurrentFont->ShadowIfAny()) result += std::abs(s->HorizSize());
    return result;
}

int TTeeCanvas::TextHeight(const AnsiString& Text) {
    int result = FCanvas->TextHeight(Text);
    if (FCurrentFont)
        if (TTeeShadow* s = FCurrentFont->ShadowIfAny()) result += std::abs(s->VertSize());
    return result;
}

void TTeeCanvas::SetCanvas(TCanvas* ACanvas) {
    FCanvas = ACanvas;
    FPen = ACanvas ? ACanvas->Pen() : nullptr;
    FFont = ACanvas ? ACanvas->Font() : nullptr;
    FBrush = ACanvas ? ACanvas->Brush() : nullptr;
}

void TTeeCanvas::ResetState() {
    FPen->SetColor(clBlack);
    FPen->SetWidth(1);
    FPen->SetStyle(psSolid);
    FBrush->SetColor(clWhite);
    FBrush->SetStyle(bsSolid);
    FFont->SetColor(clBlack);
    FFont->SetSize(10);
    SetBackColor(clWhite);
    SetBackMode(cbmTransparent);
    SetTextAlign(TA_LEFT);
}

void TTeeCanvas::AssignBrush(TChartBrush* ABrush, TColor AColor) {
    AssignBrushColor(ABrush, AColor, ABrush->Color());
}

void TTeeCanvas::AssignBrushColor(TChartBrush* ABrush, TColor AColor, TColor ABackColor) {
    if (GetMonochrome()) AColor = clWhite;
    TPicture* image = ABrush->ImageIfAny();
    TGraphic* graphic = image ? image->Graphic() : nullptr;
    if (graphic) {
        FBrush->SetStyle(bsClear);
        auto* bitmap = dynamic_cast<TBitmap*>(graphic);
        if (!bitmap) {
            // Pattern brushes take bitmaps: other pictures are rendered into one.
            if (!FBrushBitmap) FBrushBitmap = std::make_unique<TBitmap>();
            FBrushBitmap->SetSize(graphic->Width(), graphic->Height());
            FBrushBitmap->Canvas()->Draw(0, 0, graphic);
            bitmap = FBrushBitmap.get();
        }
        FBrush->SetBitmap(bitmap);
        FCanvas->SetTextColor(ColorToRGB(AColor));
        SetBackMode(cbmOpaque);
        SetBackColor(ABackColor);
        return;
    }
    if (FBrush->Bitmap()) FBrush->SetBitmap(nullptr);
    if (FBrush->Color() != AColor) FBrush->SetColor(AColor);
    if (FBrush->Style() != ABrush->Style()) FBrush->SetStyle(ABrush->Style());
    if (ABackColor == clNone)
        SetBackMode(cbmTransparent);
    else {
        SetBackMode(cbmOpaque);
        SetBackColor(ABackColor);
    }
}

void TTeeCanvas::AssignVisiblePen(TPen* APen) {
    AssignVisiblePenColor(APen, APen->Color());
}

void TTeeCanvas::AssignVisiblePenColor(TPen* APen, TColor AColor) {
    if (GetMonochrome()) AColor = clBlack;
    auto* chartPen = dynamic_cast<TChartPen*>(APen);
    if (chartPen && !chartPen->Visible()) {
        FPen->SetStyle(psClear);
        return;
    }
    if (chartPen && IsWindowsNT) {
        TeeSetTeePen(FPen, chartPen, AColor, GetHandle());
        return;
    }
    FPen->Assign(APen);
    if (FPen->Color() != AColor) FPen->SetColor(AColor);
}

void TTeeCanvas::AssignFont(TTeeFont* AFont) {
    if (!AFont) return;
    if (AFont->PixelsPerInch() != FFont->PixelsPerInch())
        AFont->SetPixelsPerInch(FFont->PixelsPerInch());
    FFont->Assign(AFont);
    if (FFontZoom != 100) FFont->SetSize(PixelPos(FFont->Size() * FFontZoom * 0.01));
    if (GetMonochrome()) FFont->SetColor(clBlack);
    if (FCanvas->GetTextCharacterExtra() != AFont->InterCharSize())
        FCanvas->SetTextCharacterExtra(AFont->InterCharSize());
    // A font remembers one canvas and a canvas one font: keep the pair consistent
    // so neither side is left pointing at the other after it is freed.
    if (FCurrentFont && FCurrentFont != AFont && FCurrentFont->AppliedCanvas() == this)
        FCurrentFont->SetAppliedCanvas(nullptr);
    if (TTeeCanvas* other = AFont->AppliedCanvas(); other && other != this)
        other->ForgetFont(AFont);
    FCurrentFont = AFont;
    AFont->SetAppliedCanvas(this);
}

int TTeeCanvas::FontHeight() {
    return TextHeight("W");
}

void TTeeCanvas::InternalDark(TColor AColor, uint8_t Quantity) {
    const TColor dark = ApplyDark(AColor, Quantity);
    if (FBrush->Style() != bsSolid)
        SetBackColor(dark);
    else
        FBrush->SetColor(dark);
}

// --- the 3D layer ---------------------------------------------------------------------

void TCanvas3D::Assign(TCanvas3D* Source) {
    if (Source) SetMonochrome(Source->GetMonochrome());
}

TRect TCanvas3D::CalcRect3D(const TRect& R, int Z) {
    const TPoint a = Calculate3DPosition(R.Left, R.Top, Z);
    const TPoint b = Calculate3DPosition(R.Right, R.Bottom, Z);
    return TRect(a.x, a.y, b.x, b.y);
}

TFourPoints TCanvas3D::FourPointsFromRect(const TRect& R, int Z) {
    return {Calculate3DPosition(R.Left, R.Top, Z), Calculate3DPosition(R.Right, R.Top, Z),
            Calculate3DPosition(R.Right, R.Bottom, Z), Calculate3DPosition(R.Left, R.Bottom, Z)};
}

TRect TCanvas3D::RectFromRectZ(const TRect& R, int Z) {
    const TFourPoints p = FourPointsFromRect(R, Z);
    return RectFromPolygon(p.data(), 4);
}

// --- published properties ---------------------------------------------------------------

// The platform pen, brush and font publish nothing of their own, so the chart
// kinds list the platform's properties first, in the platform's order.
QM_PUBLISHED(TChartPen,
             Prop("Color", &Self::Color, &Self::SetColor).Default(clBlack).Idents("TColor"),
             Prop("Mode", &Self::Mode, &Self::SetMode).Default(pmCopy),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(psSolid),
             Prop("Width", &Self::Width, &Self::SetWidth).Default(1),
             Prop("EndStyle", &Self::EndStyle, &Self::SetEndStyle)
                 .Default(esRound)
                 .Stored(&Self::IsEndStored),
             Prop("SmallDots", &Self::SmallDots, &Self::SetSmallDots).Default(false),
             Prop("Visible", &Self::Visible, &Self::SetVisible)
                 .Default(true)
                 .Stored(&Self::IsVisibleStored));
QM_PUBLISHED(TChartHiddenPen, Prop("Visible", &Self::Visible, &Self::SetVisible)
                                  .Default(false)
                                  .Stored(&Self::IsVisibleStored));
QM_PUBLISHED(TDottedGrayPen,
             Prop("Color", &Self::Color, &Self::SetColor).Default(clGray).Idents("TColor"),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(psDot));
QM_PUBLISHED(TDarkGrayPen,
             Prop("Color", &Self::Color, &Self::SetColor).Default(clGray).Idents("TColor"));
QM_PUBLISHED(TChartAxisPen, Prop("Width", &Self::Width, &Self::SetWidth).Default(2));
QM_PUBLISHED(TWhitePen,
             Prop("Color", &Self::Color, &Self::SetColor).Default(clWhite).Idents("TColor"));
QM_PUBLISHED(TChartBrush,
             Prop("Color", &Self::Color, &Self::SetColor).Default(clDefault).Idents("TColor"),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(bsSolid),
             Prop("Image", &Self::Image, &Self::SetImage));
QM_PUBLISHED(
    TTeeFont, Prop("Charset", &Self::Charset, &Self::SetCharset).Default(DEFAULT_CHARSET),
    Prop("Color", &Self::Color, &Self::SetColor).Idents("TColor").Stored(&Self::IsColorStored),
    Prop("Height", &Self::Height, &Self::SetHeight).Stored(&Self::IsHeightStored),
    Prop("Name", &Self::Name, &Self::SetName).Stored(&Self::IsNameStored),
    Prop("Pitch", &Self::Pitch, &Self::SetPitch).Default(fpDefault),
    Prop("Style", &Self::Style, &Self::SetStyle).Stored(&Self::IsStyleStored),
    Prop("Gradient", &Self::Gradient, &Self::SetGradient),
    Prop("InterCharSize", &Self::InterCharSize, &Self::SetInterCharSize).Default(0),
    Prop("OutLine", &Self::OutLine, &Self::SetOutLine),
    Prop("Shadow", &Self::Shadow, &Self::SetShadow));
QM_PUBLISHED(
    TTeeGradient, Prop("Balance", &Self::Balance, &Self::SetBalance).Default(50),
    Prop("Direction", &Self::Direction, &Self::SetDirection).Default(gdTopBottom),
    Prop("EndColor", &Self::EndColor, &Self::SetEndColor).Default(clYellow).Idents("TColor"),
    Prop("MidColor", &Self::MidColor, &Self::SetMidColor).Default(clNone).Idents("TColor"),
    Prop("RadialX", &Self::RadialX, &Self::SetRadialX).Default(0),
    Prop("RadialY", &Self::RadialY, &Self::SetRadialY).Default(0),
    Prop("StartColor", &Self::StartColor, &Self::SetStartColor).Default(clWhite).Idents("TColor"),
    Prop("Visible", &Self::Visible, &Self::SetVisible).Default(false));
QM_PUBLISHED(TTeeFontGradient, Prop("Outline", &Self::Outline, &Self::SetOutline).Default(false));
QM_PUBLISHED(
    TTeeShadow,
    Prop("Color", &Self::Color, &Self::SetColor).Idents("TColor").Stored(&Self::IsColorStored),
    Prop("HorizSize", &Self::HorizSize, &Self::SetHorizSize).Stored(&Self::IsHorizStored),
    Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0),
    Prop("VertSize", &Self::VertSize, &Self::SetVertSize).Stored(&Self::IsVertStored));
QM_PUBLISHED(TView3DOptions, Prop("Elevation", &Self::Elevation, &Self::SetElevation).Default(345),
             Prop("HorizOffset", &Self::HorizOffset, &Self::SetHorizOffset).Default(0),
             Prop("Orthogonal", &Self::Orthogonal, &Self::SetOrthogonal).Default(true),
             Prop("OrthoAngle", &Self::OrthoAngle, &Self::SetOrthoAngle).Default(45),
             Prop("Perspective", &Self::Perspective, &Self::SetPerspective).Default(15),
             Prop("Rotation", &Self::Rotation, &Self::SetRotation).Default(345),
             Prop("Tilt", &Self::Tilt, &Self::SetTilt).Default(0),
             Prop("VertOffset", &Self::VertOffset, &Self::SetVertOffset).Default(0),
             Prop("Zoom", &Self::Zoom, &Self::SetZoom).Default(100),
             Prop("ZoomText", &Self::ZoomText, &Self::SetZoomText).Default(true));
