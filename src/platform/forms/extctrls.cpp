// Self-drawn panels, bevels, images, paint boxes and shapes, timers on the tick
// count, radio groups of radio buttons and splitters.
//   TBevel, TCustomPanel, TImage, TPaintBox, TShape
//   TTimer, TRadioGroup, TSplitter
#include "platform/forms/extctrls.h"
#include "platform/classes/watched.h"
#include "platform/forms/formsqt.h"
#include "platform/forms/inherited.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <QFontMetrics>
#include <QPainter>
#include <QRegion>
#include <algorithm>

QM_CLASS_OWNED(TBevel, TGraphicControl, TComponent)
QM_CLASS_OWNED(TCustomPanel, TCustomControl, TComponent)
QM_CLASS_OWNED(TPanel, TCustomPanel, TComponent)
QM_CLASS_OWNED(TImage, TGraphicControl, TComponent)
QM_CLASS_OWNED(TPaintBox, TGraphicControl, TComponent)
QM_CLASS_OWNED(TShape, TGraphicControl, TComponent)
QM_CLASS_OWNED(TTimer, TComponent, TComponent)
QM_CLASS_OWNED(TRadioGroup, TCustomGroupBox, TComponent)
QM_CLASS_OWNED(TSplitter, TGraphicControl, TComponent)

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetStyle(psSolid);
    Rect.Bottom -= 1;
    Rect.Right -= 1;
    while (Width > 0) {
        --Width;
        TPoint topRight(Rect.Right, Rect.Top);
        TPoint bottomLeft(Rect.Left, Rect.Bottom);
        Canvas->Pen()->SetColor(TopColor);
        const TPoint first[] = {bottomLeft, Rect.TopLeft(), topRight};
        Canvas->Polyline(first, 3);
        Canvas->Pen()->SetColor(BottomColor);
        bottomLeft.x -= 1;
        const TPoint second[] = {topRight, Rect.BottomRight(), bottomLeft};
        Canvas->Polyline(second, 3);
        InflateRect(Rect, -1, -1);
    }
    Rect.Bottom += 1;
    Rect.Right += 1;
}

// ---------------------------------------------------------------------------
// TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas* c = Canvas();
    const TColor color1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor color2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    auto line = [c](TColor color, int x1, int y1, int x2, int y2) {
        c->Pen()->SetColor(color);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    const int w = Width(), h = Height();
    c->Pen()->SetWidth(1);
    TRect r = ClientRect();
    switch (FShape) {
    case bsBox:
        Frame3D(c, r, color1, color2, 1);
        break;
    case bsFrame:
        r.Right -= 1;
        r.Bottom -= 1;
        Frame3D(c, r, color1, color2, 1);
        r = Rect(1, 1, w, h);
        Frame3D(c, r, color2, color1, 1);
        break;
    case bsTopLine:
        line(color1, 0, 0, w, 0);
        line(color2, 0, 1, w, 1);
        break;
    case bsBottomLine:
        line(color1, 0, h - 2, w, h - 2);
        line(color2, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        line(color1, 0, 0, 0, h);
        line(color2, 1, 0, 1, h);
        break;
    case bsRightLine:
        line(color1, w - 2, 0, w - 2, h);
        line(color2, w - 1, 0, w - 1, h);
        break;
    case bsSpacer:
        break;
    }
}

// ---------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls, csOpaque, csReplicatable});
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value) {
    FBevelWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value) {
    FBorderWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    SetFrameInset(Value == bsSingle ? 1 : 0);
}

void TCustomPanel::AdjustClientRect(TRect& R) const {
    int size = FBorderWidth;
    if (FBevelOuter != bvNone) size += FBevelWidth;
    if (FBevelInner != bvNone) size += FBevelWidth;
    InflateRect(R, -size, -size);
}

void TCustomPanel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    auto colors = [](TBevelCut bevel, TColor& top, TColor& bottom) {
        top = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
        bottom = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
    };
    TColor top, bottom;
    if (FBevelOuter != bvNone) {
        colors(FBevelOuter, top, bottom);
        Frame3D(c, r, top, bottom, FBevelWidth);
    }
    Frame3D(c, r, Color(), Color(), FBorderWidth);
    if (FBevelInner != bvNone) {
        colors(FBevelInner, top, bottom);
        Frame3D(c, r, top, bottom, FBevelWidth);
    }
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(r);
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    const int fontHeight = c->TextHeight("W");
    r.Top = ((r.Bottom + r.Top) - fontHeight) / 2;
    r.Bottom = r.Top + fontHeight;
    unsigned flags = DT_EXPANDTABS | DT_VCENTER | DT_NOPREFIX;
    if (FAlignment == taCenter)
        flags |= DT_CENTER;
    else if (FAlignment == taRightJustify)
        flags |= DT_RIGHT;
    c->DrawText(StripAccel(Caption()), r, flags);
}

// ---------------------------------------------------------------------------
// TImage

TImage::TImage(TComponent* AOwner)
    : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    SetBounds(0, 0, 105, 105);
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() {
    Destroying();
    FPicture->OnChange = nullptr;
}

TCanvas* TImage::Canvas() {
    TGraphic* g = FPicture->Graphic();
    if (!g || !dynamic_cast<TBitmap*>(g)) {
        const int w = g ? g->Width() : Width();
        const int h = g ? g->Height() : Height();
        TBitmap* bitmap = FPicture->Bitmap();
        bitmap->SetSize(std::max(1, w), std::max(1, h));
    }
    TBitmap* bitmap = FPicture->Bitmap();
    bitmap->Canvas()->OnChange = [this](TObject*) { Invalidate(); };
    return bitmap->Canvas();
}

void TImage::PictureChanged() {
    if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    Invalidate();
}

TRect TImage::DestRect() const {
    const int pw = FPicture->Width(), ph = FPicture->Height();
    const int cw = ClientWidth(), ch = ClientHeight();
    int w = pw, h = ph;
    if (FStretch || (FProportional && (pw > cw || ph > ch))) {
        if (FProportional && pw > 0 && ph > 0) {
            if (cw * ph > ch * pw) {
                h = ch;
                w = ch * pw / ph;
            } else {
                w = cw;
                h = pw > 0 ? cw * ph / pw : 0;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = 0, y = 0;
    if (FCenter) {
        x = (cw - w) / 2;
        y = (ch - h) / 2;
    }
    return Bounds(x, y, w, h);
}

void TImage::Paint() {
    TGraphic* g = FPicture->Graphic();
    if (!g || g->Empty()) return;
    TCanvas* c = TGraphicControl::Canvas();
    const TRect r = DestRect();
    if (r.Width() == g->Width() && r.Height() == g->Height())
        c->Draw(r.Left, r.Top, g);
    else
        c->StretchDraw(r, g);
}

// A window's wallpaper would otherwise be kept three times over: the picture,
// the control's back buffer and the window's.
bool PaintPictureDirect(TControl* Control, QWidget* Widget) {
    auto* image = dynamic_cast<TImage*>(Control);
    if (!image) return false;
    auto* bitmap = dynamic_cast<TBitmap*>(image->Picture()->Graphic());
    if (!bitmap || bitmap->Empty() || bitmap->Transparent()) return false;
    const TRect r = image->DestRect();
    if (r.Width() != bitmap->Width() || r.Height() != bitmap->Height()) return false;
    const QImage* picture = BitmapImage(bitmap);
    if (!picture || picture->format() != QImage::Format_RGB32) return false;
    const TColor back = image->Parent() ? image->Parent()->Color() : image->Color();
    QPainter painter(Widget);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect face(0, 0, std::max(1, image->ClientWidth()), std::max(1, image->ClientHeight()));
    const QRect drawn(r.Left, r.Top, r.Width(), r.Height());
    for (const QRect& part : QRegion(face).subtracted(QRegion(drawn)))
        painter.fillRect(part, ToQColor(back));
    painter.setClipRect(face);
    painter.drawImage(r.Left, r.Top, *picture);
    return true;
}

void TImage::SetCenter(bool Value) {
    FCenter = Value;
    Invalidate();
}

void TImage::SetStretch(bool Value) {
    FStretch = Value;
    Invalidate();
}

void TImage::SetProportional(bool Value) {
    FProportional = Value;
    Invalidate();
}

void TImage::SetAutoSize(bool Value) {
    FAutoSize = Value;
    PictureChanged();
}

void TImage::SetTransparent(bool Value) {
    FTransparent = Value;
    if (TGraphic* g = FPicture->Graphic()) g->SetTransparent(Value);
    Invalidate();
}

// ---------------------------------------------------------------------------
// TPaintBox

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint() {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    c->Brush()->SetColor(Color());
    if (OnPaint) OnPaint(this);
}

// ---------------------------------------------------------------------------
// TShape

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>()) {
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
    SetBounds(0, 0, 65, 65);
    FBrush->OnChange = [this](TObject*) { Invalidate(); };
    FPen->OnChange = [this](TObject*) { Invalidate(); };
}

TShape::~TShape() {
    Destroying();
    FBrush->OnChange = nullptr;
    FPen->OnChange = nullptr;
}

void TShape::SetShape(TShapeType Value) {
    if (FShape == Value) return;
    FShape = Value;
    Invalidate();
}

void TShape::Paint() {
    TCanvas* c = Canvas();
    c->SetPen(FPen.get());
    c->SetBrush(FBrush.get());
    // The figure stays inside the control whatever the pen's width.
    const int penWidth = FPen->Width();
    int x = penWidth / 2, y = x;
    int w = Width() - penWidth + 1, h = Height() - penWidth + 1;
    if (penWidth == 0) {
        --w;
        --h;
    }
    const int side = std::min(w, h);
    if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        x += (w - side) / 2;
        y += (h - side) / 2;
        w = h = side;
    }
    switch (FShape) {
    case stRectangle:
    case stSquare:
        c->Rectangle(x, y, x + w, y + h);
        break;
    case stRoundRect:
    case stRoundSquare:
        c->RoundRect(x, y, x + w, y + h, side / 4, side / 4);
        break;
    case stEllipse:
    case stCircle:
        c->Ellipse(x, y, x + w, y + h);
        break;
    }
}

// ---------------------------------------------------------------------------
// TTimer

namespace {
std::vector<TTimer*>& Timers() {
    static std::vector<TTimer*> timers;
    return timers;
}
} // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FStart(GetTickCount()) {
    Timers().push_back(this);
}

TTimer::~TTimer() {
    auto& t = Timers();
    t.erase(std::remove(t.begin(), t.end(), this), t.end());
}

void TTimer::SetEnabled(bool Value) {
    if (Value && !FEnabled) FStart = GetTickCount();
    FEnabled = Value;
}

void TTimer::SetInterval(unsigned Value) {
    FInterval = Value;
    FStart = GetTickCount();
}

void TTimer::Timer() {
    if (OnTimer) OnTimer(this);
}

void TTimer::FireDue() {
    const std::vector<TTimer*> snapshot = Timers();
    for (TTimer* t : snapshot) {
        auto& live = Timers();
        if (std::find(live.begin(), live.end(), t) == live.end()) continue;
        if (!t->FEnabled || t->FInterval == 0 || t->FFiring || !t->OnTimer) continue;
        const uint32_t now = GetTickCount();
        if (now - t->FStart < t->FInterval) continue;
        t->FStart = now;
        // A handler that pumps messages does not fire its own timer again.
        t->FFiring = true;
        TCallOut held{t};
        RunAsMessage(t, [t] { t->Timer(); });
        if (held.Live()) t->FFiring = false;
    }
}

long TTimer::NextDue() {
    long best = -1;
    const uint32_t now = GetTickCount();
    for (TTimer* t : Timers()) {
        if (!t->FEnabled || t->FInterval == 0 || !t->OnTimer) continue;
        const uint32_t elapsed = now - t->FStart;
        const long left = elapsed >= t->FInterval ? 0 : long(t->FInterval - elapsed);
        if (best < 0 || left < best) best = left;
    }
    return best;
}

void ServiceTimers() {
    TTimer::FireDue();
}
long NextTimerDueMs() {
    return TTimer::NextDue();
}

// ---------------------------------------------------------------------------
// TRadioGroup

TRadioGroup::TRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
    // Only a chosen item clicks the group, never its background.
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TRadioGroup::~TRadioGroup() {
    Destroying();
    FItems->OnChange = nullptr;
}

TRadioButton* TRadioGroup::Buttons(int Index) const {
    if (Index < 0 || Index >= ButtonCount())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FButtons[size_t(Index)];
}

void TRadioGroup::ItemsChanged() {
    const int count = FItems->Count();
    while (ButtonCount() > count) {
        TRadioButton* b = FButtons.back();
        FButtons.pop_back();
        delete b;
    }
    while (ButtonCount() < count) {
        auto* b = new TRadioButton(this);
        b->SetVisible(false);
        b->SetEnabled(Enabled());
        b->SetParentShowHint(false);
        b->OnClick = [this](TObject* Sender) { ButtonClick(Sender); };
        b->SetParent(this);
        FButtons.push_back(b);
    }
    FUpdating = true;
    for (int i = 0; i < count; ++i) {
        FButtons[size_t(i)]->SetCaption(FItems->Strings(i));
        FButtons[size_t(i)]->SetChecked(i == FItemIndex);
    }
    FUpdating = false;
    if (FItemIndex >= count) FItemIndex = -1;
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
    const int count = ButtonCount();
    if (count == 0) return;
    const int columns = std::max(1, FColumns);
    const int perColumn = (count + columns - 1) / columns;
    const int buttonWidth = (Width() - 10) / columns;
    const int textHeight = QFontMetrics(ToQFont(*Font())).height();
    // The frame's top line runs under the title: the first button starts
    // clear of it.
    const int frameTop = textHeight + 6;
    const int free = Height() - frameTop - 4;
    const int buttonHeight = free / perColumn;
    const int topMargin = frameTop + (free % perColumn) / 2;
    for (int i = 0; i < count; ++i) {
        TRadioButton* b = FButtons[size_t(i)];
        b->SetBounds((i / perColumn) * buttonWidth + 8, (i % perColumn) * buttonHeight + topMargin,
                     buttonWidth, buttonHeight);
        b->SetVisible(true);
    }
}

void TRadioGroup::ButtonClick(TObject* Sender) {
    if (FUpdating) return;
    auto it = std::find(FButtons.begin(), FButtons.end(), Sender);
    if (it == FButtons.end()) return;
    FItemIndex = static_cast<int>(it - FButtons.begin());
    Click();
}

void TRadioGroup::SetItemIndex(int Value) {
    Value = std::clamp(Value, -1, ButtonCount() - 1);
    if (FItemIndex == Value) return;
    if (FItemIndex >= 0) FButtons[size_t(FItemIndex)]->SetChecked(false);
    FItemIndex = Value;
    if (Value >= 0) FButtons[size_t(Value)]->SetChecked(true);
}

void TRadioGroup::SetColumns(int Value) {
    FColumns = std::clamp(Value, 1, 16);
    ArrangeButtons();
}

void TRadioGroup::Resize() {
    ArrangeButtons();
    TCustomGroupBox::Resize();
}

void TRadioGroup::FontChanged() {
    TCustomGroupBox::FontChanged();
    ArrangeButtons();
}

void TRadioGroup::EnabledChanged() {
    TCustomGroupBox::EnabledChanged();
    for (TRadioButton* b : FButtons)
        b->SetEnabled(Enabled());
}

// ---------------------------------------------------------------------------
// TSplitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
}

void TSplitter::SetBeveled(bool Value) {
    FBeveled = Value;
    Invalidate();
}

void TSplitter::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    if (FBeveled) {
        TRect r = ClientRect();
        Frame3D(c, r, clBtnHighlight, clBtnShadow, 1);
    }
}

TControl* TSplitter::FindControl() const {
    if (!Parent()) return nullptr;
    TControl* best = nullptr;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* c = Parent()->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align()) continue;
        // The neighbour whose edge touches the splitter's near side.
        bool touches = false;
        switch (Align()) {
        case alLeft:
            touches = c->Left() + c->Width() == Left();
            break;
        case alRight:
            touches = c->Left() == Left() + Width();
            break;
        case alTop:
            touches = c->Top() + c->Height() == Top();
            break;
        case alBottom:
            touches = c->Top() == Top() + Height();
            break;
        default:
            break;
        }
        if (touches) best = c;
    }
    return best;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    InheritedThen(
        this, [&] { TGraphicControl::MouseDown(Button, Shift, X, Y); },
        [&] {
            if (Button != mbLeft) return;
            FControl = FindControl();
            FDown = ClientToScreen(Point(X, Y));
            if (FControl)
                FStartSize = (Align() == alLeft || Align() == alRight) ? FControl->Width()
                                                                       : FControl->Height();
        });
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    InheritedThen(
        this, [&] { TGraphicControl::MouseMove(Shift, X, Y); },
        [&] {
            if (!FControl || !Shift.Contains(ssLeft)) return;
            const TPoint p = ClientToScreen(Point(X, Y));
            int size = FStartSize;
            switch (Align()) {
            case alLeft:
                size += p.x - FDown.x;
                break;
            case alRight:
                size -= p.x - FDown.x;
                break;
            case alTop:
                size += p.y - FDown.y;
                break;
            case alBottom:
                size -= p.y - FDown.y;
                break;
            default:
                return;
            }
            size = std::max(size, FMinSize);
            if (Align() == alLeft || Align() == alRight) {
                if (Align() == alRight)
                    FControl->SetBounds(FControl->Left() + FControl->Width() - size,
                                        FControl->Top(), size, FControl->Height());
                else
                    FControl->SetWidth(size);
            } else {
                if (Align() == alBottom)
                    FControl->SetBounds(FControl->Left(),
                                        FControl->Top() + FControl->Height() - size,
                                        FControl->Width(), size);
                else
                    FControl->SetHeight(size);
            }
        });
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    InheritedThen(
        this, [&] { TGraphicControl::MouseUp(Button, Shift, X, Y); },
        [&] {
            if (Button != mbLeft || !FControl) return;
            FControl = nullptr;
            if (OnMoved) OnMoved(this);
        });
}
