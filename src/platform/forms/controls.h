#pragma once
// The control framework:
//   shift states, mouse buttons, key codes, cursors and the event signatures;
//   TControl: position, size, alignment and anchors, visibility, text, colour,
//     font, hints, mouse events (capture, double clicks, wheel notches), dragging;
//   TWinControl: child controls, alignment, focus, tab order, key events and
//     drawing over the face of controls the window system paints;
//   TGraphicControl / TCustomControl: self-drawn controls with a Canvas that
//     paints into a persistent back buffer.
#include "platform/classes/component.h"
#include "platform/classes/watched.h"
#include "platform/graphics/cursors.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/types.h"
#include "platform/rtl/sets.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QWidget; // the widget behind a control (platform code only)
class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
struct TControlImpl;

using WORD = uint16_t;

enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Virtual key codes as key events carry them.
constexpr WORD VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04,
               VK_BACK = 0x08, VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_SHIFT = 0x10,
               VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14,
               VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23,
               VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
               VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_HELP = 0x2F,
               VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SEPARATOR = 0x6C,
               VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F2 = 0x71,
               VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75, VK_F7 = 0x76, VK_F8 = 0x77,
               VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B, VK_NUMLOCK = 0x90,
               VK_SCROLL = 0x91, VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC,
               VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0,
               VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// Border styles of forms; controls with a border use bsNone and bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

enum TControlStyleFlag {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents
};
using TControlStyle = TSet<TControlStyleFlag>;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta,
                                            TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TDragOverEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y,
                                          TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

// Minimum and maximum size of a control; 0 means no limit.
class TSizeConstraints : public TPersistent {
    QM_CLASS(TSizeConstraints)
public:
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value) {
        FMinWidth = Value;
        Changed();
    }
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value) {
        FMinHeight = Value;
        Changed();
    }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) {
        FMaxWidth = Value;
        Changed();
    }
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value) {
        FMaxHeight = Value;
        Changed();
    }
    void Assign(TPersistent* Source) override;
    // Clamps a size to the limits.
    void Apply(int& Width, int& Height) const;
    TNotifyEvent OnChange;

private:
    void Changed() {
        if (OnChange) OnChange(this);
    }
    int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

// The canvas of a self-drawn control: draws into the control's back buffer and
// shows what was drawn outside a paint cycle at once.
class TControlCanvas : public TCanvas {
    QM_CLASS(TControlCanvas)
public:
    explicit TControlCanvas(TControl* AControl = nullptr) : FControl(AControl) {}
    TControl* Control() const { return FControl; }

protected:
    void CreateHandle() override;
    void Changed() override;

private:
    TControl* FControl;
};

class TControl : public TComponent {
    QM_CLASS(TControl)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return ResolveSize().FLeft; }
    void SetLeft(int Value) {
        ResolveSize();
        SetBounds(Value, FTop, FWidth, FHeight);
    }
    int Top() const { return ResolveSize().FTop; }
    void SetTop(int Value) {
        ResolveSize();
        SetBounds(FLeft, Value, FWidth, FHeight);
    }
    int Width() const { return ResolveSize().FWidth; }
    void SetWidth(int Value) {
        ResolveSize();
        SetBounds(FLeft, FTop, Value, FHeight);
    }
    int Height() const { return ResolveSize().FHeight; }
    void SetHeight(int Value) {
        ResolveSize();
        SetBounds(FLeft, FTop, FWidth, Value);
    }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const {
        ResolveSize();
        return Bounds(FLeft, FTop, FWidth, FHeight);
    }
    // Takes a size that was left to measure (see DeferSize) now.
    const TControl& ResolveSize() const {
        if (FSizePending) const_cast<TControl*>(this)->MeasurePendingSize();
        return *this;
    }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    // The client area; for most controls the whole control.
    virtual int ClientWidth() const { return Width(); }
    virtual int ClientHeight() const { return Height(); }
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
    TPoint ClientToScreen(const TPoint& P) const;
    TPoint ScreenToClient(const TPoint& P) const;
    TSizeConstraints* Constraints() const { return FConstraints.get(); }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    // The sides that keep their distance to the parent's edges when the parent
    // changes size (both of a pair: the control stretches; neither: it keeps
    // its relative place). Aligned controls follow their alignment instead.
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, with every parent visible up to a shown form.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);

    AnsiString Caption() const { return GetTextValue(); }
    void SetCaption(const AnsiString& Value) { SetTextValue(Value); }
    AnsiString Text() const { return GetTextValue(); }
    void SetText(const AnsiString& Value) { SetTextValue(Value); }
    int GetTextLen() const { return GetTextValue().Length(); }

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    // Changing the font makes it the control's own (ParentFont false).
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    // "short|long": the tool tip shows the short part.
    AnsiString Hint() const { return FHint; }
    void SetHint(const AnsiString& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // The control's help topic; no help system shows it on this platform.
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }

    // Repainting: Invalidate asks for a paint, Repaint and Update paint now.
    virtual void Invalidate();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void Update();
    void BringToFront();
    void SendToBack();

    // Mouse capture lasts from a press to its release; code may also set it.
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    // Dragging within the application (from a press to the release).
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    // Immediate starts at once; otherwise after the mouse moved Threshold pixels.
    void BeginDrag(bool Immediate, int Threshold = -1);
    void EndDrag(bool Drop);
    bool Dragging() const;
    // Asks this control whether it accepts Source here (OnDragOver).
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);

    // Clicks as the user would (runs OnClick; buttons also set the form's ModalResult).
    virtual void Click();
    // The platform's window handle stands for the widget; platform code only.
    QWidget* Widget() const;
    TControlImpl* Impl() const { return FImpl.get(); }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;

protected:
    friend struct TControlAccess;
    // A control class hands its widget to the base (created by platform code).
    TControl(TComponent* AOwner, QWidget* AWidget);

    virtual AnsiString GetTextValue() const { return FText; }
    virtual void SetTextValue(const AnsiString& Value);
    virtual void TextChanged();
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void EnabledChanged();
    virtual void VisibleChanged();

    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Resize();
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    // Whether a press/release pair on this control is turned into Click (self-drawn
    // controls); native widgets report their own clicks.
    virtual bool ClicksFromMouse() const;
    // The font and colour a child inherits changed.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    // Puts the stored properties on the widget.
    virtual void ApplyFont();
    virtual void ApplyColor();
    virtual void ApplyGeometry();
    void ApplyHint();
    void ApplyEnabled();
    // Whether the widget should be shown now (forms override).
    virtual bool WidgetShouldShow() const;
    void SetWidgetInternal(QWidget* AWidget);
    bool IsAligning() const;

    void UpdateWidgetVisibility();
    // An auto-sized control off screen, neither aligned nor anchored, may leave
    // measuring its size until it is shown or its bounds are asked for, when
    // the result depends only on its final state; MeasureSize then runs once.
    void DeferSize() { FSizePending = true; }
    virtual void MeasureSize() {}

private:
    friend class TWinControl;
    void MeasurePendingSize() {
        FSizePending = false;
        MeasureSize();
    }

    std::unique_ptr<TControlImpl> FImpl;
    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FSizePending = false;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    // Bounds and parent client size when the control was last placed by code.
    TRect FAnchorBounds;
    TPoint FAnchorParentSize;
    void RecordAnchors();
    void ApplyAnchors();
    bool FVisible = true;
    bool FEnabled = true;
    AnsiString FText;
    TColor FColor = clWindow;
    bool FParentColor = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FFontFromParent = false;
    AnsiString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    int FHelpContext = 0;
    TWatched<TPopupMenu> FPopupMenu;
    TControlStyle FControlStyle;
    std::unique_ptr<TSizeConstraints> FConstraints;
    TDragMode FDragMode = dmManual;
    TCursor FDragCursor = crDrag;
};

class TWinControl : public TControl {
    QM_CLASS(TWinControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    // Raises EListError outside 0..ControlCount-1.
    TControl* Controls(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(TControl* AControl) const;
    // The deepest visible child control at a client point (nullptr for none).
    TControl* ControlAtPos(const TPoint& P, bool AllowDisabled = true) const;

    // Alignment of children; DisableAlign/EnableAlign batch changes.
    void DisableAlign() { ++FAlignDisabled; }
    void EnableAlign();
    void Realign();
    // Client area after borders and frames (group box caption, panel bevels).
    virtual void AdjustClientRect(TRect& R) const;

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const;
    void SetTabOrder(int Value);
    bool CanFocus() const;
    bool Focused() const;
    // Whether the control has its window: from the first time it was showing
    // (a form's controls from its OnShow on) until it is freed.
    bool HandleAllocated() const;
    // Raises EInvalidOperation "Cannot focus a disabled or invisible window" when
    // the control cannot take the focus.
    virtual void SetFocus();

    // The widget that holds the child controls.
    QWidget* ClientWidget() const;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

protected:
    friend struct TControlAccess;
    TWinControl(TComponent* AOwner, QWidget* AWidget);

    virtual void AlignControls(TControl* AControl, TRect& R);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    // After a control the window system draws (buttons, combo boxes...) has
    // painted itself, the program may draw over its face here, as a handler of
    // the platform's paint message does after the inherited one.
    virtual void PaintOver(TCanvas* ACanvas);
    virtual void DoEnter();
    virtual void DoExit();
    // Keys the control handles itself, so they are not used as dialog keys.
    virtual bool WantsKey(WORD Key, TShiftState Shift) const;
    // What the control holds back until the entry is whole (a figure being
    // typed) goes on as leaving the control would hand it on: its window
    // asks when it closes with the control focused.
    virtual void ApplyHeldEntry() {}
    void FontChanged() override;
    void ColorChanged() override;
    void ParentFontChanged() override;
    void ParentColorChanged() override;
    void Resize() override;
    // Keeps the child list and the widget tree in step.
    virtual void ChildAdded(TControl* AControl);
    // A child moved or changed its size.
    virtual void ChildBoundsChanged(TControl* AControl);
    // A child left (it may be half destroyed: compare the pointer only).
    virtual void ChildRemoved(TControl* AControl);
    void SetClientWidget(QWidget* AClient);
    // A control whose widget is costly may start with a place holder (see
    // TQtPlaceHolder) and make the widget when it is first needed: the widget
    // takes the holder's parent, place among its siblings and in the focus
    // chain, and what the control keeps (bounds, enablement, hint, cursor,
    // tab stop); the holder is returned. ShowTakenOver then shows the widget
    // as the holder was shown and lets the holder go.
    QWidget* TakeOverWidget(QWidget* AWidget);
    void ShowTakenOver(QWidget* Holder);

private:
    friend class TControl;
    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    bool FTabStop = false;
    int FAlignDisabled = 0;
    bool FAlignPending = false;
    bool FAligning = false;
};

// A control without a window of its own in the platform: labels, images,
// speed buttons. Paints through Canvas into its back buffer.
class TGraphicControl : public TControl {
    QM_CLASS(TGraphicControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const;

protected:
    virtual void Paint();
    friend struct TControlAccess;
};

// A windowed control that draws itself: panels, grids, list boxes, the chart.
// Its client area may sit inside a sunken frame (FrameInset pixels).
class TCustomControl : public TWinControl {
    QM_CLASS(TCustomControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const;
    int ClientWidth() const override;
    int ClientHeight() const override;

protected:
    virtual void Paint();
    void ApplyGeometry() override;
    int FrameInset() const { return FFrameInset; }
    void SetFrameInset(int Value);
    // Room taken inside the frame by scroll bars (right and bottom).
    virtual int ScrollBarWidth() const { return 0; }
    virtual int ScrollBarHeight() const { return 0; }
    friend struct TControlAccess;

private:
    int FFrameInset = 0;
};

// Runs code that changes a property whose widget reports the change through a
// signal: an exception of the change handler goes back to that code.
class TCodeChange {
public:
    TCodeChange();
    ~TCodeChange();
    TCodeChange(const TCodeChange&) = delete;
    TCodeChange& operator=(const TCodeChange&) = delete;
    // Rethrows the handler's exception, if any.
    void Finish();
};
// A change handler run from a widget signal (see TCodeChange).
void RunFromSignal(TObject* Sender, const std::function<void()>& Handler);

// Creates a control owned by AOwner on AParent where a form designer would
// place it: named (when Name is not empty), at the bounds, with the caption
// (when Caption is not empty).
template <class T>
T* NewControl(TComponent* AOwner, TWinControl* AParent, const AnsiString& Name, int Left, int Top,
              int Width, int Height, const AnsiString& Caption = AnsiString()) {
    T* control = new T(AOwner);
    if (!Name.IsEmpty()) control->SetName(Name);
    control->SetBounds(Left, Top, Width, Height);
    if (!Caption.IsEmpty()) control->SetCaption(Caption);
    control->SetParent(AParent);
    return control;
}

// The form that holds a control (nullptr when it is on none).
TCustomForm* GetParentForm(const TControl* Control);
// The control whose widget has the mouse captured (nullptr for none).
TControl* GetCaptureControl();
// The control a drag started from, also before the mouse moved far enough
// (nullptr for none).
TControl* DragControl();
// The key state as the platform reports it (shift, control, alt and buttons).
TShiftState KeyboardStateToShiftState();

// The mouse: its position in screen coordinates.
class TMouse {
public:
    TPoint CursorPos() const;
    void SetCursorPos(const TPoint& P);
    bool WheelPresent() const { return true; }
    int WheelScrollLines() const { return 3; }
};
extern TMouse* Mouse;
