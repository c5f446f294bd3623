// Bitmap buttons on push buttons with icons, and self-drawn speed buttons.
#include "platform/forms/buttons.h"
#include "platform/classes/watched.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/formsqt.h"
#include "platform/forms/inherited.h"
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>

QM_CLASS_OWNED(TBitBtn, TButton, TComponent)
QM_CLASS_OWNED(TSpeedButton, TGraphicControl, TComponent)

namespace {
// One image of a glyph strip, its transparent colour cleared to alpha 0.
QImage GlyphPart(TBitmap* Glyph, int NumGlyphs, int Index) {
    QImage* image = BitmapImage(Glyph);
    const int count = std::max(1, NumGlyphs);
    const int w = image->width() / count, h = image->height();
    if (w <= 0 || h <= 0) return QImage();
    Index = std::clamp(Index, 0, count - 1);
    QImage part = image->copy(Index * w, 0, w, h).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image->pixel(0, h - 1) & 0xFFFFFF;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((part.pixel(x, y) & 0xFFFFFF) == key) part.setPixel(x, y, 0);
    return part;
}

// A disabled button without a disabled image of its own shows its glyph as
// the platform does: the shape (every pixel neither transparent nor white)
// etched in the shadow colour over a highlight copy one pixel down and right.
QImage EtchedGlyph(const QImage& Part) {
    QImage out(Part.size(), QImage::Format_ARGB32);
    out.fill(0);
    const QRgb highlight = ToQColor(clBtnHighlight).rgba(), shadow = ToQColor(clBtnShadow).rgba();
    auto shape = [&](int x, int y) {
        const QRgb p = Part.pixel(x, y);
        return qAlpha(p) != 0 && (p & 0xFFFFFF) != 0xFFFFFF;
    };
    for (int y = 0; y < Part.height(); ++y)
        for (int x = 0; x < Part.width(); ++x) {
            if (shape(x, y))
                out.setPixel(x, y, shadow);
            else if (x > 0 && y > 0 && shape(x - 1, y - 1))
                out.setPixel(x, y, highlight);
        }
    return out;
}
} // namespace

void DrawGlyph(TCanvas* Canvas, TBitmap* Glyph, int NumGlyphs, int Index, int X, int Y) {
    if (!Glyph || Glyph->Empty()) return;
    QImage part = GlyphPart(Glyph, NumGlyphs, Index);
    if (part.isNull()) return;
    if (Index == 1 && NumGlyphs < 2) part = EtchedGlyph(part);
    // Through a bitmap keyed with a colour the image does not use.
    auto uses = [&](QRgb colour) {
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x)
                if (qAlpha(part.pixel(x, y)) != 0 && (part.pixel(x, y) | 0xFF000000u) == colour)
                    return true;
        return false;
    };
    QRgb key = 0xFF010203u;
    while (uses(key))
        ++key;
    TBitmap keyed(part.width(), part.height());
    QImage* target = BitmapImage(&keyed);
    target->fill(key);
    for (int y = 0; y < part.height(); ++y)
        for (int x = 0; x < part.width(); ++x)
            if (qAlpha(part.pixel(x, y)) != 0)
                target->setPixel(x, y, part.pixel(x, y) | 0xFF000000u);
    Canvas->TransparentBlt(X, Y, part.width(), part.height(), keyed.Canvas(), 0, 0, part.width(),
                           part.height(), RGB(qRed(key), qGreen(key), qBlue(key)));
}

// ---------------------------------------------------------------------------
// TBitBtn

namespace {
struct TKindInfo {
    const char* Caption;
    TModalResult Result;
};
constexpr TKindInfo KindInfo[] = {
    {"", mrNone},        {"OK", mrOk},          {"Cancel", mrCancel}, {"&Help", mrNone},
    {"&Yes", mrYes},     {"&No", mrNo},         {"&Close", mrNone},   {"Abort", mrAbort},
    {"&Retry", mrRetry}, {"&Ignore", mrIgnore}, {"&All", mrAll},
};
} // namespace

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
}

TBitBtn::~TBitBtn() {
    Destroying();
    FGlyph->OnChange = nullptr;
}

void TBitBtn::GlyphChanged() {
    auto* b = static_cast<QPushButton*>(Widget());
    if (FGlyph->Empty()) {
        b->setIcon(QIcon());
        return;
    }
    const QImage up = GlyphPart(FGlyph.get(), FNumGlyphs, 0);
    if (up.isNull()) {
        b->setIcon(QIcon());
        return;
    }
    const QImage disabled =
        FNumGlyphs >= 2 ? GlyphPart(FGlyph.get(), FNumGlyphs, 1) : EtchedGlyph(up);
    QIcon icon(QPixmap::fromImage(up));
    icon.addPixmap(QPixmap::fromImage(disabled), QIcon::Disabled);
    b->setIcon(icon);
    b->setIconSize(up.size());
}

void TBitBtn::SetNumGlyphs(TNumGlyphs Value) {
    FNumGlyphs = std::clamp(Value, 1, 4);
    GlyphChanged();
}

void TBitBtn::SetKind(TBitBtnKind Value) {
    if (Value == FKind) return;
    if (Value != bkCustom) {
        SetDefault(Value == bkOK || Value == bkYes);
        SetCancel(Value == bkCancel || Value == bkNo);
        SetCaption(KindInfo[Value].Caption);
        SetModalResult(KindInfo[Value].Result);
    }
    FKind = Value;
}

void TBitBtn::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Widget()->setLayoutDirection(Value == blGlyphRight ? Qt::RightToLeft : Qt::LeftToRight);
}

void TBitBtn::Click() {
    if (FKind == bkClose) {
        if (TCustomForm* form = GetParentForm(this)) {
            form->Close();
            return;
        }
    }
    // A help button asks for the topic of itself or its nearest parent with one.
    if (FKind == bkHelp) {
        TCallOut held{this};
        if (Application->ControlHelp(this) || held.Gone()) return;
    }
    TButton::Click();
}

// ---------------------------------------------------------------------------
// TSpeedButton

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks});
    SetBounds(0, 0, 23, 22);
    SetParentFont(true);
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TSpeedButton::~TSpeedButton() {
    Destroying();
    FGlyph->OnChange = nullptr;
}

void TSpeedButton::SetGroupIndex(int Value) {
    FGroupIndex = Value;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    if (Value == FDown) return;
    if (FDown && !FAllowAllUp) return;
    FDown = Value;
    FState = Value ? bsExclusive : bsUp;
    Invalidate();
    if (Value) UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !Parent()) return;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
        if (!other || other == this || other->FGroupIndex != FGroupIndex) continue;
        if (FDown && other->FDown) {
            other->FDown = false;
            other->FState = bsUp;
            other->Invalidate();
        }
        other->FAllowAllUp = FAllowAllUp;
    }
}

void TSpeedButton::SetAllowAllUp(bool Value) {
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value) {
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs Value) {
    FNumGlyphs = std::clamp(Value, 1, 4);
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
    FMargin = Value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
    FSpacing = Value;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
}

void TSpeedButton::Click() {
    TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    InheritedThen(
        this, [&] { TGraphicControl::MouseDown(Button, Shift, X, Y); },
        [&] {
            if (Button != mbLeft || !Enabled()) return;
            if (!FDown) {
                FState = bsDown;
                Invalidate();
            }
            FDragging = true;
        });
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    InheritedThen(
        this, [&] { TGraphicControl::MouseMove(Shift, X, Y); },
        [&] {
            if (!FDragging) return;
            const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
            const TButtonState now = inside ? bsDown : FDown ? bsExclusive : bsUp;
            if (now != FState) {
                FState = now;
                Invalidate();
            }
        });
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    InheritedThen(
        this, [&] { TGraphicControl::MouseUp(Button, Shift, X, Y); },
        [&] {
            if (!FDragging) return;
            FDragging = false;
            const bool doClick = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
            if (FGroupIndex == 0) {
                FState = bsUp;
                FMouseInControl = false;
            } else {
                if (doClick) SetDown(!FDown);
                FState = FDown ? bsExclusive : bsUp;
            }
            Invalidate();
            if (doClick) Click();
        });
}

void TSpeedButton::MouseEnter() {
    InheritedThen(
        this, [this] { TGraphicControl::MouseEnter(); },
        [this] {
            FMouseInControl = true;
            if (FFlat) Invalidate();
        });
}

void TSpeedButton::MouseLeave() {
    InheritedThen(
        this, [this] { TGraphicControl::MouseLeave(); },
        [this] {
            FMouseInControl = false;
            if (FFlat) Invalidate();
        });
}

void TSpeedButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    const bool pressed = FState == bsDown || FState == bsExclusive;
    if (!(FFlat && FTransparent)) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(FState == bsExclusive ? cl3DLight : clBtnFace);
        c->FillRect(r);
    }
    const bool framed = !FFlat || pressed || (FMouseInControl && Enabled());
    if (framed) {
        TRect frame = r;
        if (pressed)
            Frame3D(c, frame, clBtnShadow, clBtnHighlight, 1);
        else
            Frame3D(c, frame, clBtnHighlight, clBtnShadow, 1);
    }
    const int count = std::max(1, FNumGlyphs);
    const int gw = FGlyph->Empty() ? 0 : FGlyph->Width() / count;
    const int gh = FGlyph->Empty() ? 0 : FGlyph->Height();
    const AnsiString caption = StripAccel(Caption());
    c->Font()->Assign(Font());
    const TSize text = caption.IsEmpty() ? TSize(0, 0) : c->TextExtent(caption);
    const int spacing = (gw > 0 && text.cx > 0) ? FSpacing : 0;
    const bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    const int totalW = horizontal ? gw + spacing + text.cx : std::max(gw, text.cx);
    const int totalH = horizontal ? std::max(gh, text.cy) : gh + spacing + text.cy;
    const int offset = pressed ? 1 : 0;
    int x = (Width() - totalW) / 2 + offset, y = (Height() - totalH) / 2 + offset;
    if (FMargin >= 0) {
        if (FLayout == blGlyphLeft) x = FMargin + offset;
        if (FLayout == blGlyphTop) y = FMargin + offset;
    }
    int index = 0;
    if (!Enabled())
        index = 1;
    else if (FState == bsDown && count > 2)
        index = 2;
    else if (FState == bsExclusive && count > 3)
        index = 3;
    int gx = x, gy = y + (totalH - gh) / 2, tx = x + gw + spacing, ty = y + (totalH - text.cy) / 2;
    switch (FLayout) {
    case blGlyphRight:
        tx = x;
        gx = x + text.cx + spacing;
        break;
    case blGlyphTop:
        gx = x + (totalW - gw) / 2;
        gy = y;
        tx = x + (totalW - text.cx) / 2;
        ty = y + gh + spacing;
        break;
    case blGlyphBottom:
        tx = x + (totalW - text.cx) / 2;
        ty = y;
        gx = x + (totalW - gw) / 2;
        gy = y + text.cy + spacing;
        break;
    default:
        break;
    }
    DrawGlyph(c, FGlyph.get(), count, index, gx, gy);
    if (!caption.IsEmpty()) {
        c->Brush()->SetStyle(bsClear);
        if (!Enabled()) c->Font()->SetColor(clGrayText);
        c->TextOut(tx, ty, caption);
    }
}
