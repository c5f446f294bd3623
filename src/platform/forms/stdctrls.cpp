// Standard controls on Qt widgets (edit, memo, buttons, check and radio boxes,
// group box, combo box) and the self-drawn label and list box.
//   TCustomLabel, TCustomEdit (TMemo stands in memo.cpp)
//   Buttons, TCustomGroupBox, TComboBox, TListBox
#include "platform/forms/stdctrls.h"
#include "platform/classes/watched.h"
#include "platform/forms/formsqt.h"
#include "platform/forms/inherited.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <algorithm>

QM_CLASS_OWNED(TCustomLabel, TGraphicControl, TComponent)
QM_CLASS_OWNED(TLabel, TCustomLabel, TComponent)
QM_CLASS_OWNED(TCustomEdit, TWinControl, TComponent)
QM_CLASS_OWNED(TEdit, TCustomEdit, TComponent)
QM_CLASS_OWNED(TMemo, TWinControl, TComponent)
QM_CLASS_OWNED(TButtonControl, TWinControl, TComponent)
QM_CLASS_OWNED(TButton, TButtonControl, TComponent)
QM_CLASS_OWNED(TCheckBox, TButtonControl, TComponent)
QM_CLASS_OWNED(TRadioButton, TButtonControl, TComponent)
QM_CLASS_OWNED(TCustomGroupBox, TWinControl, TComponent)
QM_CLASS_OWNED(TGroupBox, TCustomGroupBox, TComponent)
QM_CLASS_OWNED(TComboBox, TWinControl, TComponent)
QM_CLASS_OWNED(TListBox, TCustomControl, TComponent)

namespace {

// Text measuring without a control's back buffer.
TCanvas* MeasureCanvas() {
    static std::unique_ptr<TBitmap> bitmap;
    if (!bitmap) {
        EnsureQtApplication();
        bitmap = std::make_unique<TBitmap>(4, 4);
    }
    return bitmap->Canvas();
}

int FontTextHeight(TFont* font) {
    TCanvas* c = MeasureCanvas();
    c->Font()->Assign(font);
    return c->TextHeight("0");
}

AnsiString FromWidgetText(const QString& s) {
    return QStringToAnsi(s);
}

QString ToWidgetText(const AnsiString& s) {
    return AnsiToQString(s);
}

} // namespace

// ---------------------------------------------------------------------------
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque, csReplicatable});
    SetBounds(0, 0, 65, 17);
}

AnsiString TCustomLabel::ShownText() const {
    return FShowAccelChar ? StripAccel(Caption()) : Caption();
}

unsigned TCustomLabel::DrawFlags() const {
    unsigned flags = DT_EXPANDTABS | DT_NOPREFIX;
    if (FWordWrap) flags |= DT_WORDBREAK;
    if (FAlignment == taRightJustify)
        flags |= DT_RIGHT;
    else if (FAlignment == taCenter)
        flags |= DT_CENTER;
    return flags;
}

void TCustomLabel::Paint() {
    TCanvas* c = Canvas();
    if (!FTransparent) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(ClientRect());
    }
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    TRect r = ClientRect();
    const AnsiString text = ShownText();
    if (FLayout != tlTop) {
        TRect calc = r;
        c->DrawText(text.IsEmpty() ? AnsiString(" ") : text, calc, DrawFlags() | DT_CALCRECT);
        const int free = r.Height() - calc.Height();
        OffsetRect(r, 0, FLayout == tlBottom ? free : free / 2);
    }
    if (!Enabled()) {
        OffsetRect(r, 1, 1);
        c->Font()->SetColor(clBtnHighlight);
        c->DrawText(text, r, DrawFlags());
        OffsetRect(r, -1, -1);
        c->Font()->SetColor(clBtnShadow);
    }
    c->DrawText(text, r, DrawFlags());
}

void TCustomLabel::AdjustBounds() {
    if (!FAutoSize || IsLoading()) return;
    // Measuring needs the font loaded; off screen, a label's size without word
    // wrap depends only on its final text and font, so it can wait.
    if (!FWordWrap && Align() == alNone && Anchors() == TAnchors{akLeft, akTop} && Widget() &&
        !Widget()->isVisible()) {
        DeferSize();
        return;
    }
    MeasureSize();
}

void TCustomLabel::MeasureSize() {
    if (!FAutoSize || IsLoading()) return;
    TCanvas* c = MeasureCanvas();
    c->Font()->Assign(Font());
    TRect r = ClientRect();
    AnsiString text = ShownText();
    if (text.IsEmpty()) text = " ";
    c->DrawText(text, r, (DrawFlags() & ~unsigned(DT_RIGHT | DT_CENTER)) | DT_CALCRECT);
    int x = Left();
    if (FAlignment == taRightJustify) x += Width() - r.Right;
    SetBounds(x, Top(), r.Right, r.Bottom);
}

void TCustomLabel::TextChanged() {
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    // Only a right-justified label keeps its right edge as it is measured.
    if ((Value == taRightJustify) != (FAlignment == taRightJustify)) ResolveSize();
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
    ResolveSize();
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool Value) {
    ResolveSize();
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    FFocusControl = Value;
}

// ---------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TCustomEdit(AOwner, NewWidget<TQt<QLineEdit>>()) {}

TCustomEdit::TCustomEdit(TComponent* AOwner, QWidget* AWidget) : TWinControl(AOwner, AWidget) {
    Init();
}

void TCustomEdit::Init() {
    QLineEdit* le = LineEdit();
    SetBounds(0, 0, 121, 21);
    SetColor(clWindow);
    SetTabStop(true);
    ConnectSignal(le, &QLineEdit::textEdited, this, [this](const QString&) {
        FModified = true;
        if (FCharCase != ecNormal) {
            QLineEdit* e = LineEdit();
            const int pos = e->cursorPosition();
            const QString t = FCharCase == ecUpperCase ? e->text().toUpper() : e->text().toLower();
            if (t != e->text()) {
                e->setText(t);
                e->setCursorPosition(pos);
            }
        }
    });
    ConnectSignal(le, &QLineEdit::textChanged, this,
                  [this](const QString&) { RunFromSignal(this, [this] { Change(); }); });
}

QLineEdit* TCustomEdit::LineEdit() const {
    return static_cast<QLineEdit*>(Widget());
}

AnsiString TCustomEdit::GetTextValue() const {
    return FromWidgetText(LineEdit()->text());
}

void TCustomEdit::SetTextValue(const AnsiString& Value) {
    QString q = ToWidgetText(Value);
    if (FCharCase == ecUpperCase)
        q = q.toUpper();
    else if (FCharCase == ecLowerCase)
        q = q.toLower();
    if (q == LineEdit()->text()) return;
    TCodeChange change;
    LineEdit()->setText(q);
    change.Finish();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::ApplyColor() {
    SetBaseColor(Widget(), Color());
}

void TCustomEdit::DoEnter() {
    if (FAutoSelect) LineEdit()->selectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = Value;
    LineEdit()->setMaxLength(Value > 0 ? Value : 32767);
}

bool TCustomEdit::ReadOnly() const {
    return LineEdit()->isReadOnly();
}
void TCustomEdit::SetReadOnly(bool Value) {
    LineEdit()->setReadOnly(Value);
}

void TCustomEdit::SetPasswordChar(char Value) {
    FPasswordChar = Value;
    LineEdit()->setEchoMode(Value ? QLineEdit::Password : QLineEdit::Normal);
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    FCharCase = Value;
    SetTextValue(GetTextValue());
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    LineEdit()->setFrame(Value != bsNone);
}

int TCustomEdit::SelStart() const {
    QLineEdit* e = LineEdit();
    return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}

void TCustomEdit::SetSelStart(int Value) {
    LineEdit()->setCursorPosition(Value);
}

int TCustomEdit::SelLength() const {
    return static_cast<int>(LineEdit()->selectedText().size());
}

void TCustomEdit::SetSelLength(int Value) {
    LineEdit()->setSelection(SelStart(), Value);
}

AnsiString TCustomEdit::SelText() const {
    return FromWidgetText(LineEdit()->selectedText());
}

void TCustomEdit::SetSelText(const AnsiString& Value) {
    TCodeChange change;
    LineEdit()->insert(ToWidgetText(Value));
    change.Finish();
}

void TCustomEdit::SelectAll() {
    LineEdit()->selectAll();
}

int TCustomEdit::WidthForText(const AnsiString& Text) {
    QLineEdit* le = LineEdit();
    // What the line edit keeps beside its line: the frame, the text margins
    // and 2 pixels a side; the line holds the text and the cursor's pixel.
    QStyleOptionFrame panel;
    panel.initFrom(le);
    panel.rect = QRect(0, 0, Width(), Height());
    panel.lineWidth =
        le->hasFrame() ? le->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &panel, le) : 0;
    panel.midLineWidth = 0;
    panel.state |= QStyle::State_Sunken;
    const QRect line = le->style()
                           ->subElementRect(QStyle::SE_LineEditContents, &panel, le)
                           .marginsRemoved(le->textMargins())
                           .adjusted(2, 0, -2, 0);
    const QFontMetrics fm(ToQFont(*Font()));
    return fm.horizontalAdvance(ToWidgetText(Text)) + 1 + Width() - line.width();
}

void TCustomEdit::Clear() {
    SetTextValue(AnsiString());
}

// ---------------------------------------------------------------------------
// Buttons

namespace {
// A push button whose face may carry a symbol at its right edge: a caption
// that, centred on the whole face, would run into the symbol is centred on the
// room beside it instead.
class TSymbolRoomButton : public QPushButton {
public:
    int SymbolRoom = 0;

protected:
    void paintEvent(QPaintEvent* e) override {
        const int text = fontMetrics().size(Qt::TextShowMnemonic, QPushButton::text()).width();
        if (SymbolRoom <= 0 || (width() + text) / 2 <= width() - SymbolRoom)
            return QPushButton::paintEvent(e);
        QStylePainter p(this);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        p.drawControl(QStyle::CE_PushButtonBevel, opt);
        opt.rect = style()->subElementRect(QStyle::SE_PushButtonContents, &opt, this);
        opt.rect.setRight(width() - SymbolRoom - 1);
        p.drawControl(QStyle::CE_PushButtonLabel, opt);
    }
};
} // namespace

TButton::TButton(TComponent* AOwner) : TButton(AOwner, NewWidget<TQt<TSymbolRoomButton>>()) {}

void TButton::SetSymbolRoom(int Pixels) {
    if (auto* b = dynamic_cast<TSymbolRoomButton*>(Widget())) {
        b->SymbolRoom = Pixels;
        b->update();
    }
}

TButton::TButton(TComponent* AOwner, QWidget* AWidget) : TButtonControl(AOwner, AWidget) {
    Init();
}

void TButton::Init() {
    auto* b = static_cast<QPushButton*>(Widget());
    b->setAutoDefault(false);
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
    ConnectSignal(b, &QPushButton::clicked, this, [this] { RunAsMessage(this, [this] { Click(); }); });
}

void TButton::TextChanged() {
    static_cast<QPushButton*>(Widget())->setText(QtCaption(Caption()));
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    static_cast<QPushButton*>(Widget())->setDefault(Value);
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

namespace {
// The platform's check and radio boxes take clicks anywhere on the control.
template <class W> class TWholeHit : public TQt<W> {
protected:
    bool hitButton(const QPoint& p) const override { return this->rect().contains(p); }
};
} // namespace

TCheckBox::TCheckBox(TComponent* AOwner)
    : TButtonControl(AOwner, NewWidget<TWholeHit<QCheckBox>>()) {
    auto* b = static_cast<QCheckBox*>(Widget());
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
    ConnectSignal(b, &QCheckBox::clicked, this, [this] { RunAsMessage(this, [this] { Click(); }); });
}

TCheckBoxState TCheckBox::State() const {
    switch (static_cast<QCheckBox*>(Widget())->checkState()) {
    case Qt::Checked:
        return cbChecked;
    case Qt::PartiallyChecked:
        return cbGrayed;
    default:
        return cbUnchecked;
    }
}

void TCheckBox::SetState(TCheckBoxState Value) {
    if (State() == Value) return;
    auto* b = static_cast<QCheckBox*>(Widget());
    const bool blocked = b->blockSignals(true);
    if (Value == cbGrayed) b->setTristate(true);
    b->setCheckState(Value == cbChecked  ? Qt::Checked
                     : Value == cbGrayed ? Qt::PartiallyChecked
                                         : Qt::Unchecked);
    b->blockSignals(blocked);
    Click();
}

void TCheckBox::SetAllowGrayed(bool Value) {
    FAllowGrayed = Value;
    static_cast<QCheckBox*>(Widget())->setTristate(Value);
}

void TCheckBox::SetAlignment(TLeftRight Value) {
    FAlignment = Value;
    Widget()->setLayoutDirection(Value == taLeftSide ? Qt::RightToLeft : Qt::LeftToRight);
}

void TCheckBox::TextChanged() {
    static_cast<QCheckBox*>(Widget())->setText(QtCaption(Caption()));
}

TRadioButton::TRadioButton(TComponent* AOwner)
    : TButtonControl(AOwner, NewWidget<TWholeHit<QRadioButton>>()) {
    auto* b = static_cast<QRadioButton*>(Widget());
    SetBounds(0, 0, 113, 17);
    SetTabStop(true);
    ConnectSignal(b, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RunAsMessage(this, [this] { Click(); });
    });
}

bool TRadioButton::Checked() const {
    return static_cast<QRadioButton*>(Widget())->isChecked();
}

void TRadioButton::SetChecked(bool Value) {
    if (Checked() == Value) return;
    auto* b = static_cast<QRadioButton*>(Widget());
    // Checked by code: the click below is the one the handler hears.
    const bool blocked = b->blockSignals(true);
    if (Value) {
        b->setChecked(true);
    } else {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
    b->blockSignals(blocked);
    if (Value) Click();
}

void TRadioButton::SetAlignment(TLeftRight Value) {
    FAlignment = Value;
    Widget()->setLayoutDirection(Value == taLeftSide ? Qt::RightToLeft : Qt::LeftToRight);
}

void TRadioButton::TextChanged() {
    static_cast<QRadioButton*>(Widget())->setText(QtCaption(Caption()));
}

// ---------------------------------------------------------------------------
// TCustomGroupBox

namespace {
// Setting a title measures it in the box's font; a box off screen takes its
// title when it is shown or grabbed.
class TQtGroupBox : public TQt<QGroupBox> {
public:
    void SetTitle(const QString& Title) {
        if (isVisible()) {
            FTitlePending = false;
            setTitle(Title);
        } else {
            FTitlePending = true;
            FTitle = Title;
        }
    }

protected:
    bool event(QEvent* e) override {
        if (FTitlePending && (e->type() == QEvent::Show || e->type() == GrabPrepareEvent())) {
            FTitlePending = false;
            setTitle(FTitle);
        }
        return TQt<QGroupBox>::event(e);
    }

private:
    bool FTitlePending = false;
    QString FTitle;
};
} // namespace

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner)
    : TWinControl(AOwner, NewWidget<TQtGroupBox>()) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    Widget()->setAutoFillBackground(true);
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::TextChanged() {
    static_cast<TQtGroupBox*>(Widget())->SetTitle(QtCaption(Caption()));
}

void TCustomGroupBox::ApplyColor() {
    QPalette pal = Widget()->palette();
    pal.setColor(QPalette::Window, ToQColor(Color()));
    Widget()->setPalette(pal);
}

void TCustomGroupBox::AdjustClientRect(TRect& R) const {
    R.Top += FontTextHeight(Font()) + 2;
    R.Left += 2;
    R.Right -= 2;
    R.Bottom -= 2;
}

// ---------------------------------------------------------------------------
// TComboBox

// Rows of an owner-drawn list are drawn by the control's DrawItem.
class TComboItemDelegate : public QStyledItemDelegate {
public:
    TComboItemDelegate(TComboBox* Box, QObject* Parent) : QStyledItemDelegate(Parent), FBox(Box) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (!FBox->OwnerDrawn()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        TOwnerDrawState state;
        if (option.state & QStyle::State_Selected) state << odSelected;
        if (!(option.state & QStyle::State_Enabled)) state << odDisabled;
        if (option.state & QStyle::State_HasFocus) state << odFocused;
        painter->drawImage(option.rect.topLeft(), FBox->RenderItem(index.row(), option.rect.width(),
                                                                   option.rect.height(), state));
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (FBox->OwnerDrawn()) size.setHeight(FBox->ItemHeight());
        return size;
    }

private:
    TComboBox* FBox;
};

class TQtComboBox : public TQt<QComboBox> {
public:
    void paintEvent(QPaintEvent* e) override {
        auto* box = dynamic_cast<TComboBox*>(Control);
        if (!box || !box->OwnerDrawn()) {
            TQt<QComboBox>::paintEvent(e);
            return;
        }
        // The frame and button as usual; the chosen item is the program's to draw.
        QStylePainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        option.currentText.clear();
        option.currentIcon = QIcon();
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, this);
        if (field.width() <= 0 || field.height() <= 0) return;
        TOwnerDrawState state{odComboBoxEdit};
        if (hasFocus()) state << odSelected << odFocused;
        if (!isEnabled()) state << odDisabled;
        painter.drawImage(field.topLeft(),
                          box->RenderItem(currentIndex(), field.width(), field.height(), state));
    }
    void showPopup() override {
        // OnDropDown may free the box, and this widget with it.
        QPointer<TQtComboBox> self(this);
        if (auto* box = dynamic_cast<TComboBox*>(Control))
            RunAsMessage(box, [box] {
                if (box->OnDropDown) box->OnDropDown(box);
            });
        if (!self) return;
        self->MakeShownParts();
        self->List();
        self->TQt<QComboBox>::showPopup();
    }
    // The drop-down list is a widget tree of its own, made when it is first
    // needed; its rows draw through the control.
    QAbstractItemView* List() {
        if (!FListMade) {
            FListMade = true;
            setItemDelegate(new TComboItemDelegate(dynamic_cast<TComboBox*>(Control), this));
        }
        return view();
    }
    bool ListMade() const { return FListMade; }

    // A drop-down's edit field is a widget tree of its own, and most combos a
    // window makes become plain lists: the field is made when the combo is
    // first shown or grabbed. Until then its text is kept here, changing with
    // the chosen item as the field's would.
    bool EditPending() const { return FEditPending; }
    bool HasEdit() const { return isEditable() || FEditPending; }
    QString EditText() const { return isEditable() ? lineEdit()->text() : FEditText; }
    void SetEditText(const QString& Text) {
        if (isEditable())
            lineEdit()->setText(Text);
        else
            FEditText = Text;
    }
    void SetIndex(int Index) {
        const bool changed = Index != currentIndex();
        setCurrentIndex(Index);
        if (FEditPending && changed) FEditText = itemText(Index);
    }
    void LeaveEditField(std::function<void()> OnEdited) {
        FEditPending = true;
        FOnEdited = std::move(OnEdited);
    }
    void DropEditField() { FEditPending = false; }
    void MakeEditField() {
        if (!FEditPending) return;
        FEditPending = false;
        const int index = currentIndex();
        const bool blocked = blockSignals(true);
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        setCurrentIndex(index);
        lineEdit()->setText(FEditText);
        blockSignals(blocked);
        ConnectSignal(lineEdit(), &QLineEdit::textEdited, Control,
                      [this](const QString&) { FOnEdited(); });
    }

    void hidePopup() override {
        TQt<QComboBox>::hidePopup();
        if (auto* box = dynamic_cast<TComboBox*>(Control))
            RunAsMessage(box, [box] {
                if (box->OnCloseUp) box->OnCloseUp(box);
            });
    }

protected:
    bool event(QEvent* e) override {
        // A font change makes the drop-down list as well (the toolkit hands it
        // the font); off screen it waits until the combo is shown or grabbed.
        if (e->type() == QEvent::FontChange && !isVisible()) {
            FFontChangePending = true;
            return true;
        }
        if (e->type() == QEvent::Show || e->type() == GrabPrepareEvent()) MakeShownParts();
        return TQt<QComboBox>::event(e);
    }

private:
    void MakeShownParts() {
        MakeEditField();
        if (FFontChangePending) {
            FFontChangePending = false;
            QEvent change(QEvent::FontChange);
            TQt<QComboBox>::event(&change);
        }
    }

    bool FListMade = false;
    bool FEditPending = false;
    bool FFontChangePending = false;
    QString FEditText;
    std::function<void()> FOnEdited;
};

// The combo with its edit field made when its style has one.
QComboBox* EditedBox(QWidget* Widget) {
    auto* cb = static_cast<TQtComboBox*>(Widget);
    cb->MakeEditField();
    return cb;
}

TComboBox::TComboBox(TComponent* AOwner)
    : TWinControl(AOwner, NewWidget<TQtComboBox>()), FItems(std::make_unique<TStringList>()),
      FCanvas(std::make_unique<TCanvas>()) {
    auto* cb = static_cast<TQtComboBox*>(Widget());
    cb->LeaveEditField([this] { RunAsMessage(this, [this] { Change(); }); });
    cb->setMaxVisibleItems(FDropDownCount);
    SetBounds(0, 0, 145, 21);
    SetColor(clWindow);
    SetTabStop(true);
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
    ConnectSignal(cb, QOverload<int>::of(&QComboBox::activated), this, [this](int) {
        RunAsMessage(this, [this] {
            TCallOut held{this};
            Click();
            if (held.Gone()) return;
            Select();
        });
    });
}

TComboBox::~TComboBox() {
    Destroying();
    FItems->OnChange = nullptr;
}

void TComboBox::ItemsChanged() {
    auto* cb = static_cast<TQtComboBox*>(Widget());
    const bool editable = cb->HasEdit();
    const QString text = editable ? cb->EditText() : QString();
    const int index = cb->currentIndex();
    const bool blocked = cb->blockSignals(true);
    cb->clear();
    QStringList list;
    for (int i = 0; i < FItems->Count(); ++i)
        list << AnsiToQString(FItems->Strings(i));
    cb->addItems(list);
    if (editable) {
        cb->setCurrentIndex(index < cb->count() && index >= 0 && cb->itemText(index) == text ? index
                                                                                             : -1);
        cb->SetEditText(text);
    } else {
        cb->setCurrentIndex(index < cb->count() ? index : -1);
    }
    cb->blockSignals(blocked);
}

int TComboBox::ItemIndex() const {
    auto* cb = static_cast<TQtComboBox*>(Widget());
    if (!cb->HasEdit()) return cb->currentIndex();
    const QString text = cb->EditText();
    const int current = cb->currentIndex();
    if (current >= 0 && cb->itemText(current) == text) return current;
    return FItems->IndexOf(QStringToAnsi(text));
}

void TComboBox::SetItemIndex(int Value) {
    auto* cb = static_cast<TQtComboBox*>(Widget());
    if (Value < -1 || Value >= cb->count()) Value = -1;
    const bool blocked = cb->blockSignals(true);
    cb->SetIndex(Value);
    if (cb->HasEdit() && Value < 0) cb->SetEditText(QString());
    cb->blockSignals(blocked);
}

AnsiString TComboBox::GetTextValue() const {
    auto* cb = static_cast<TQtComboBox*>(Widget());
    return QStringToAnsi(cb->HasEdit() ? cb->EditText() : cb->currentText());
}

void TComboBox::SetTextValue(const AnsiString& Value) {
    auto* cb = static_cast<TQtComboBox*>(Widget());
    const bool blocked = cb->blockSignals(true);
    if (cb->HasEdit()) {
        const int index = cb->findText(AnsiToQString(Value), Qt::MatchExactly);
        if (index >= 0) cb->SetIndex(index);
        cb->SetEditText(AnsiToQString(Value));
    } else {
        cb->setCurrentIndex(FItems->IndexOf(Value));
    }
    cb->blockSignals(blocked);
}

void TComboBox::SetStyle(TComboBoxStyle Value) {
    FStyle = Value;
    auto* cb = static_cast<TQtComboBox*>(Widget());
    const bool editable = Value == csDropDown || Value == csSimple;
    cb->update();
    if (cb->EditPending()) {
        if (!editable) cb->DropEditField();
        return;
    }
    if (editable == cb->isEditable()) return;
    const int index = cb->currentIndex();
    const bool blocked = cb->blockSignals(true);
    cb->setEditable(editable);
    if (editable) {
        cb->setInsertPolicy(QComboBox::NoInsert);
        ConnectSignal(cb->lineEdit(), &QLineEdit::textEdited, this,
                      [this](const QString&) { RunAsMessage(this, [this] { Change(); }); });
    }
    cb->setCurrentIndex(index);
    cb->blockSignals(blocked);
    ApplyColor();
}

void TComboBox::SetItemHeight(int Value) {
    FItemHeight = Value;
    auto* cb = static_cast<TQtComboBox*>(Widget());
    if (OwnerDrawn() && cb->ListMade()) cb->List()->doItemsLayout();
}

QImage TComboBox::RenderItem(int Index, int Width, int Height, TOwnerDrawState State) {
    QImage image(std::max(1, Width), std::max(1, Height), QImage::Format_RGB32);
    image.fill(ToQColor(Color()));
    FCanvas->AttachImage(&image);
    FCanvas->Font()->Assign(Font());
    FCanvas->Brush()->SetStyle(bsSolid);
    FCanvas->Brush()->SetColor(Color());
    const TRect r(0, 0, Width, Height);
    if (Index >= 0 && Index < FItems->Count()) {
        if (State.Contains(odSelected)) {
            FCanvas->Brush()->SetColor(clHighlight);
            FCanvas->Font()->SetColor(clHighlightText);
        }
        RunAsMessage(this, [&] { DrawItem(Index, r, State); });
    } else {
        FCanvas->FillRect(r);
    }
    if (State.Contains(odFocused)) FCanvas->DrawFocusRect(r);
    FCanvas->AttachImage(nullptr);
    return image;
}

void TComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas->FillRect(Rect);
    FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Strings(Index));
}

void TComboBox::SetDropDownCount(int Value) {
    FDropDownCount = Value;
    static_cast<QComboBox*>(Widget())->setMaxVisibleItems(std::max(1, Value));
}

void TComboBox::SetMaxLength(int Value) {
    FMaxLength = Value;
    if (auto* le = EditedBox(Widget())->lineEdit()) le->setMaxLength(Value > 0 ? Value : 32767);
}

bool TComboBox::DroppedDown() const {
    auto* cb = static_cast<TQtComboBox*>(Widget());
    return cb->ListMade() && cb->List()->isVisible();
}

void TComboBox::SetDroppedDown(bool Value) {
    auto* cb = static_cast<QComboBox*>(Widget());
    if (Value)
        cb->showPopup();
    else
        cb->hidePopup();
}

void TComboBox::Clear() {
    FItems->Clear();
    SetTextValue(AnsiString());
}

void TComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TComboBox::ApplyColor() {
    QPalette pal = Widget()->palette();
    pal.setColor(QPalette::Base, ToQColor(Color()));
    Widget()->setPalette(pal);
}

bool TComboBox::WantsKey(WORD Key, TShiftState) const {
    return (Key == VK_RETURN || Key == VK_ESCAPE) && DroppedDown();
}

// ---------------------------------------------------------------------------
// TListBox

TListBox::TListBox(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TStringList>()) {
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks, csOpaque, csCaptureMouse});
    FScrollBar = new QScrollBar(Qt::Vertical, Widget());
    FScrollBar->hide();
    ConnectSignal(FScrollBar, &QScrollBar::valueChanged, this, [this](int v) {
        if (v != FTopIndex) {
            FTopIndex = v;
            Invalidate();
        }
    });
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
    SetFrameInset(2);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

TListBox::~TListBox() {
    Destroying();
    FItems->OnChange = nullptr;
}

int TListBox::ItemHeight() const {
    if (FStyle == lbStandard) return std::max(1, FontTextHeight(Font()));
    return std::max(1, FItemHeight);
}

void TListBox::SetItemHeight(int Value) {
    FItemHeight = Value;
    UpdateScrollBar();
    Invalidate();
}

void TListBox::SetStyle(TListBoxStyle Value) {
    FStyle = Value;
    UpdateScrollBar();
    Invalidate();
}

int TListBox::VisibleRows() const {
    return std::max(1, ClientHeight() / ItemHeight());
}

int TListBox::ScrollBarWidth() const {
    return FScrollBar && !FScrollBar->isHidden() ? 16 : 0;
}

void TListBox::ApplyGeometry() {
    TCustomControl::ApplyGeometry();
    if (FScrollBar) {
        const int inset = FrameInset();
        FScrollBar->setGeometry(Width() - inset - 16, inset, 16, std::max(0, Height() - 2 * inset));
    }
}

void TListBox::UpdateScrollBar() {
    if (!FScrollBar) return;
    const int rows = std::max(1, ClientHeight() / ItemHeight());
    const bool need = FItems->Count() > rows;
    if (need == FScrollBar->isHidden()) {
        FScrollBar->setVisible(need);
        ApplyGeometry();
    }
    const int maxTop = std::max(0, FItems->Count() - rows);
    if (FTopIndex > maxTop) FTopIndex = maxTop;
    const bool blocked = FScrollBar->blockSignals(true);
    FScrollBar->setRange(0, maxTop);
    FScrollBar->setPageStep(rows);
    FScrollBar->setValue(FTopIndex);
    FScrollBar->blockSignals(blocked);
}

void TListBox::Resize() {
    UpdateScrollBar();
    TCustomControl::Resize();
}

void TListBox::ItemsChanged() {
    const int count = FItems->Count();
    FSelected.resize(static_cast<size_t>(count), 0);
    if (FItemIndex >= count) FItemIndex = -1;
    if (FAnchor >= count) FAnchor = -1;
    UpdateScrollBar();
    Invalidate();
}

void TListBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) Value = -1;
    if (!FMultiSelect) {
        FItemIndex = Value;
    } else {
        FItemIndex = Value;
        FAnchor = Value;
    }
    if (Value >= 0) MakeVisible(Value);
    Invalidate();
}

void TListBox::SetMultiSelect(bool Value) {
    FMultiSelect = Value;
    std::fill(FSelected.begin(), FSelected.end(), 0);
    Invalidate();
}

bool TListBox::Selected(int Index) const {
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FMultiSelect ? FSelected[size_t(Index)] != 0 : Index == FItemIndex;
}

void TListBox::SetSelected(int Index, bool Value) {
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    if (FMultiSelect)
        FSelected[size_t(Index)] = Value ? 1 : 0;
    else if (Value)
        FItemIndex = Index;
    else if (FItemIndex == Index)
        FItemIndex = -1;
    Invalidate();
}

int TListBox::SelCount() const {
    if (!FMultiSelect) return -1;
    return static_cast<int>(std::count(FSelected.begin(), FSelected.end(), 1));
}

void TListBox::ClearSelection() {
    if (FMultiSelect)
        std::fill(FSelected.begin(), FSelected.end(), 0);
    else
        FItemIndex = -1;
    Invalidate();
}

void TListBox::SelectAll() {
    if (FMultiSelect) std::fill(FSelected.begin(), FSelected.end(), 1);
    Invalidate();
}

void TListBox::SetTopIndex(int Value) {
    const int maxTop = std::max(0, FItems->Count() - VisibleRows());
    FTopIndex = std::clamp(Value, 0, maxTop);
    UpdateScrollBar();
    Invalidate();
}

void TListBox::MakeVisible(int Index) {
    const int rows = VisibleRows();
    if (Index < FTopIndex)
        SetTopIndex(Index);
    else if (Index >= FTopIndex + rows)
        SetTopIndex(Index - rows + 1);
}

int TListBox::ItemAtPos(const TPoint& Pos, bool Existing) const {
    const int count = FItems->Count();
    if (Pos.y < 0 || Pos.x < 0 || Pos.x >= ClientWidth()) return Existing ? -1 : count;
    const int index = FTopIndex + Pos.y / ItemHeight();
    if (index >= count) return Existing ? -1 : count;
    return index;
}

TRect TListBox::ItemRect(int Index) const {
    const int h = ItemHeight();
    return Rect(0, (Index - FTopIndex) * h, ClientWidth(), (Index - FTopIndex + 1) * h);
}

void TListBox::Clear() {
    FItems->Clear();
}

void TListBox::Paint() {
    TCanvas* c = Canvas();
    const int h = ItemHeight();
    const int count = FItems->Count();
    int y = 0;
    for (int i = FTopIndex; i < count && y < ClientHeight(); ++i, y += h) {
        const TRect r(0, y, ClientWidth(), y + h);
        TOwnerDrawState state;
        if (Selected(i)) state << odSelected;
        if (!Enabled()) state << odDisabled;
        if (i == FItemIndex && Focused()) state << odFocused;
        c->Font()->Assign(Font());
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        if (state.Contains(odSelected)) {
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
        }
        DrawItem(i, r, state);
        if (state.Contains(odFocused)) c->DrawFocusRect(r);
    }
    if (y < ClientHeight()) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(Rect(0, y, ClientWidth(), ClientHeight()));
    }
}

void TListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (OnDrawItem && FStyle != lbStandard) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    TCanvas* c = Canvas();
    c->FillRect(Rect);
    c->TextOut(Rect.Left + 2, Rect.Top, FItems->Strings(Index));
}

void TListBox::SelectByUser(int Index, TShiftState Shift) {
    if (Index < 0 || Index >= FItems->Count()) return;
    if (FMultiSelect) {
        if (!FExtendedSelect || Shift.Contains(ssCtrl)) {
            FSelected[size_t(Index)] ^= 1;
            FAnchor = Index;
        } else if (Shift.Contains(ssShift) && FAnchor >= 0) {
            std::fill(FSelected.begin(), FSelected.end(), 0);
            for (int i = std::min(FAnchor, Index); i <= std::max(FAnchor, Index); ++i)
                FSelected[size_t(i)] = 1;
        } else {
            std::fill(FSelected.begin(), FSelected.end(), 0);
            FSelected[size_t(Index)] = 1;
            FAnchor = Index;
        }
    }
    FItemIndex = Index;
    MakeVisible(Index);
    Invalidate();
    Click();
}

// Entering the list and choosing a row call its handlers, which may free the
// list or its form.
void TListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCallOut held{this, GetParentForm(this)};
    if (Button == mbLeft && !Shift.Contains(ssDouble)) {
        if (CanFocus() && GetParentForm(this) && GetParentForm(this)->Visible()) {
            SetFocus();
            if (held.Gone()) return;
        }
        const int index = ItemAtPos(Point(X, Y), true);
        if (index >= 0) {
            SelectByUser(index, Shift);
            if (held.Gone()) return;
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TListBox::MouseMove(TShiftState Shift, int X, int Y) {
    TCallOut held{this, GetParentForm(this)};
    if (Shift.Contains(ssLeft) && MouseCapture() && !Dragging() && !DragControl()) {
        const int index = ItemAtPos(Point(X, Y), true);
        if (index >= 0 && index != FItemIndex) {
            if (FMultiSelect && FExtendedSelect)
                SelectByUser(index, TShiftState{ssShift});
            else if (!FMultiSelect)
                SelectByUser(index, {});
            if (held.Gone()) return;
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TListBox::KeyDown(WORD& Key, TShiftState Shift) {
    TCallOut held{this, GetParentForm(this)};
    TCustomControl::KeyDown(Key, Shift);
    if (held.Gone()) return;
    const int count = FItems->Count();
    if (Key == 0 || count == 0) return;
    int target = FItemIndex;
    switch (Key) {
    case VK_UP:
        target = std::max(0, FItemIndex - 1);
        break;
    case VK_DOWN:
        target = std::min(count - 1, FItemIndex + 1);
        break;
    case VK_PRIOR:
        target = std::max(0, FItemIndex - VisibleRows());
        break;
    case VK_NEXT:
        target = std::min(count - 1, FItemIndex + VisibleRows());
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = count - 1;
        break;
    case VK_SPACE:
        if (FMultiSelect && FItemIndex >= 0) SelectByUser(FItemIndex, TShiftState{ssCtrl});
        return;
    default:
        return;
    }
    if (target < 0) target = 0;
    TShiftState s = Shift;
    s.Exclude(ssCtrl);
    SelectByUser(target, s);
}

bool TListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    TCallOut held{this};
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos) || held.Gone()) return true;
    SetTopIndex(FTopIndex - WheelDelta / 120 * 3);
    return true;
}

bool TListBox::WantsKey(WORD, TShiftState) const {
    return false;
}
