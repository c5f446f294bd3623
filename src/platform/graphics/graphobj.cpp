// Colours and their names, and the pen, brush and font objects.
#include "platform/classes/props.h"
#include "platform/graphics/gdiobj.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/sysutils.h"
#include <cstring>

QM_CLASS_ABSTRACT(TGraphicsObject, TPersistent)
QM_CLASS_PLAIN(TPen, TGraphicsObject)
QM_CLASS_PLAIN(TBrush, TGraphicsObject)
QM_CLASS_PLAIN(TFont, TGraphicsObject)

// --- colours ---------------------------------------------------------------

namespace {

// The fixed scheme system colours resolve to (0x00BBGGRR), by index.
constexpr COLORREF SystemColors[31] = {
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4};

struct TColorIdent {
    TColor Value;
    const char* Name;
};

constexpr TColorIdent ColorIdents[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

// Stored forms write colours by name where one exists.
const bool ColorIdentsRegistered = [] {
    RegisterIntegerIdents(
        "TColor", [](int32_t v, AnsiString& s) { return ColorToIdent(v, s); },
        [](const AnsiString& s, int32_t& v) { return IdentToColor(s, v); });
    return true;
}();

} // namespace

COLORREF ColorToRGB(TColor Color) {
    if (Color < 0) {
        const int index = Color & 0xFF;
        return index < 31 ? SystemColors[index] : 0;
    }
    if (Color == clNone || Color == clDefault) return COLORREF(Color);
    return COLORREF(Color) & 0xFFFFFF;
}

bool ColorToIdent(TColor Color, AnsiString& Ident) {
    for (const auto& c : ColorIdents)
        if (c.Value == Color) {
            Ident = c.Name;
            return true;
        }
    return false;
}

bool IdentToColor(const AnsiString& Ident, TColor& Color) {
    for (const auto& c : ColorIdents)
        if (SameText(Ident, c.Name)) {
            Color = c.Value;
            return true;
        }
    return false;
}

AnsiString ColorToString(TColor Color) {
    AnsiString s;
    if (ColorToIdent(Color, s)) return s;
    return AnsiString().sprintf("$%.8X", unsigned(Color));
}

TColor StringToColor(const AnsiString& S) {
    TColor c;
    if (IdentToColor(S, c)) return c;
    const std::string& t = S.str();
    if (t.empty()) throw EConvertError("'' is not a valid integer value");
    errno = 0;
    char* end = nullptr;
    long long v = 0;
    if (t[0] == '$')
        v = std::strtoll(t.c_str() + 1, &end, 16);
    else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))
        v = std::strtoll(t.c_str() + 2, &end, 16);
    else
        v = std::strtoll(t.c_str(), &end, 10);
    if (!end || *end || errno || v < INT32_MIN || v > UINT32_MAX)
        throw EConvertError("'" + S + "' is not a valid integer value");
    return TColor(uint32_t(v));
}

void GetColorValues(const std::function<void(const AnsiString&)>& Proc) {
    for (const auto& c : ColorIdents)
        Proc(c.Name);
}

int PenModeToROP2(TPenMode Mode) {
    static constexpr int rops[16] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                                     R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                     R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                                     R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
    return rops[int(Mode) & 15];
}

// --- graphics objects ------------------------------------------------------

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

void TGraphicsObject::Changing() {
    if (OnChanging) OnChanging(this);
}

namespace {

// Replaces an owned handle by a fresh object of the given data.
template <typename Obj, typename Data> HGDIOBJ RenewHandle(HGDIOBJ& handle, const Data& data) {
    if (auto* o = static_cast<Obj*>(FindGdiObject(handle))) {
        o->Data = data;
        return handle;
    }
    auto obj = std::make_unique<Obj>();
    obj->Data = data;
    handle = AddGdiObject(std::move(obj));
    return handle;
}

} // namespace

TPen::TPen() {
    Rebuild();
}
TPen::~TPen() {
    DeleteObject(FHandle);
}

void TPen::Rebuild() {
    // A property set makes a plain pen again, whatever handle was adopted.
    FData = TPenData{DWORD(FStyle), FWidth, ColorToRGB(FColor)};
}

void TPen::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        Changing();
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        FData = p->FData;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor Value) {
    Changing();
    FColor = Value;
    FData.Color = ColorToRGB(Value);
    Changed();
}

void TPen::SetWidth(int Value) {
    if (Value < 0) Value = 0;
    Changing();
    FWidth = Value;
    Rebuild();
    Changed();
}

void TPen::SetStyle(TPenStyle Value) {
    Changing();
    FStyle = Value;
    Rebuild();
    Changed();
}

void TPen::SetMode(TPenMode Value) {
    Changing();
    FMode = Value;
    Changed();
}

HPEN TPen::Handle() {
    return RenewHandle<TGdiPen>(FHandle, FData);
}

void TPen::SetHandle(HPEN Value) {
    auto* pen = static_cast<TGdiPen*>(FindGdiObject(Value, OBJ_PEN));
    if (!pen || Value == FHandle) return;
    Changing();
    FData = pen->Data;
    FWidth = FData.Width;
    FStyle = TPenStyle(std::min<DWORD>(FData.Style & PS_STYLE_MASK, psInsideFrame));
    FColor = TColor(FData.Color);
    DeleteObject(Value);
    Changed();
}

TBrush::TBrush() = default;
TBrush::~TBrush() {
    DeleteObject(FHandle);
}

void TBrush::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        Changing();
        FColor = b->FColor;
        FStyle = b->FStyle;
        FBitmap = b->FBitmap;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor Value) {
    Changing();
    FColor = Value;
    if (FStyle == bsClear) FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
    Changing();
    FStyle = Value;
    Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
    Changing();
    FBitmap = Value;
    Changed();
}

TBrushData TBrush::Data() const {
    TBrushData d;
    d.Color = ColorToRGB(FColor);
    if (FBitmap && !FBitmap->Empty()) {
        d.Style = BS_PATTERN;
        auto copy = std::make_shared<TBitmap>();
        copy->Assign(FBitmap);
        d.Pattern = std::move(copy);
    } else if (FStyle == bsSolid)
        d.Style = BS_SOLID;
    else if (FStyle == bsClear)
        d.Style = BS_NULL;
    else {
        d.Style = BS_HATCHED;
        d.Hatch = int(FStyle) - int(bsHorizontal);
    }
    return d;
}

HBRUSH TBrush::Handle() {
    return RenewHandle<TGdiBrush>(FHandle, Data());
}

void TBrush::SetHandle(HBRUSH Value) {
    auto* brush = static_cast<TGdiBrush*>(FindGdiObject(Value, OBJ_BRUSH));
    if (!brush || Value == FHandle) return;
    Changing();
    const TBrushData d = brush->Data;
    FColor = TColor(d.Color);
    FBitmap = nullptr;
    if (d.Style == BS_NULL)
        FStyle = bsClear;
    else if (d.Style == BS_HATCHED)
        FStyle = TBrushStyle(bsHorizontal + std::clamp(d.Hatch, 0, 5));
    else
        FStyle = bsSolid;
    DeleteObject(Value);
    Changed();
}

TFont::TFont() = default;
TFont::~TFont() {
    DeleteObject(FHandle);
}

void TFont::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        Changing();
        FName = f->FName;
        // The size in points is what carries over between resolutions.
        FHeight = f->FPixelsPerInch == FPixelsPerInch ? f->FHeight
                                                      : -MulDiv(f->Size(), FPixelsPerInch, 72);
        FStyle = f->FStyle;
        FColor = f->FColor;
        FCharset = f->FCharset;
        FPitch = f->FPitch;
        FOrientation = f->FOrientation;
        FQuality = f->FQuality;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TFont::SetName(const TFontName& Value) {
    if (Value.IsEmpty()) return;
    Changing();
    FName = Value;
    Changed();
}

int TFont::Size() const {
    return -MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int Value) {
    SetHeight(-MulDiv(Value, FPixelsPerInch, 72));
}

void TFont::SetHeight(int Value) {
    Changing();
    FHeight = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value) {
    Changing();
    FStyle = Value;
    Changed();
}

void TFont::SetColor(TColor Value) {
    Changing();
    FColor = Value;
    Changed();
}

void TFont::SetPixelsPerInch(int Value) {
    if (Value <= 0) return;
    FPixelsPerInch = Value;
}

void TFont::SetCharset(TFontCharset Value) {
    Changing();
    FCharset = Value;
    Changed();
}

void TFont::SetPitch(TFontPitch Value) {
    Changing();
    FPitch = Value;
    Changed();
}

void TFont::SetOrientation(int Value) {
    Changing();
    FOrientation = Value;
    Changed();
}

void TFont::SetQuality(TFontQuality Value) {
    Changing();
    FQuality = Value;
    Changed();
}

LOGFONT TFont::LogFont() const {
    LOGFONT lf;
    lf.lfHeight = FHeight;
    lf.lfEscapement = lf.lfOrientation = FOrientation;
    lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = FStyle.Contains(fsItalic);
    lf.lfUnderline = FStyle.Contains(fsUnderline);
    lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
    lf.lfCharSet = FCharset;
    lf.lfQuality = BYTE(FQuality == fqClearTypeNatural ? CLEARTYPE_QUALITY + 1 : FQuality);
    lf.lfPitchAndFamily = FPitch == fpFixed      ? FIXED_PITCH
                          : FPitch == fpVariable ? VARIABLE_PITCH
                                                 : DEFAULT_PITCH;
    std::strncpy(lf.lfFaceName, FName.c_str(), LF_FACESIZE - 1);
    return lf;
}

HFONT TFont::Handle() {
    return RenewHandle<TGdiFont>(FHandle, LogFont());
}

void TFont::SetHandle(HFONT Value) {
    auto* font = static_cast<TGdiFont*>(FindGdiObject(Value, OBJ_FONT));
    if (!font || Value == FHandle) return;
    Changing();
    const LOGFONT& lf = font->Data;
    FName = lf.lfFaceName;
    FHeight = lf.lfHeight;
    FStyle.Clear();
    if (lf.lfWeight >= FW_SEMIBOLD) FStyle << fsBold;
    if (lf.lfItalic) FStyle << fsItalic;
    if (lf.lfUnderline) FStyle << fsUnderline;
    if (lf.lfStrikeOut) FStyle << fsStrikeOut;
    FCharset = lf.lfCharSet;
    FOrientation = lf.lfEscapement;
    FQuality = TFontQuality(std::min<int>(lf.lfQuality, fqClearTypeNatural));
    DeleteObject(Value);
    Changed();
}
