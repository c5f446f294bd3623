// The memo: a multi-line edit whose Qt editor is made only when first needed.
#include "platform/forms/formsqt.h"
#include "platform/forms/inherited.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

// Memo texts use CR LF; the widget keeps LF.
QString ToMemoText(const AnsiString& s) {
    QString q = AnsiToQString(s);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    q.replace(QChar('\r'), QChar('\n'));
    return q;
}

} // namespace

// ---------------------------------------------------------------------------
// TMemo and its lines

// A memo's editor is a large widget tree that most memos a window makes never
// show; until a memo is first shown, grabbed or its editor is needed, a plain
// widget holds its place and its text lives in a document of its own.
struct TMemo::TMemoPending {
    QTextDocument Doc;
    QTextCursor Cursor{&Doc};
    bool CursorSet = false; // the program placed the caret
    bool ReadOnly = false;
    // The colour and font were put on the memo; unset, the editor keeps the toolkit's.
    bool ColorSet = false;
    bool FontSet = false;
};

struct TMemoAccess {
    static QTextDocument* Document(const TMemo* Memo) { return Memo->Document(); }
    static void SetCaret(TMemo* Memo, const QTextCursor& Cursor) { Memo->SetCaret(Cursor); }
    static void SetPlainText(TMemo* Memo, const QString& Text);
};

namespace {
struct TUndoOff {
    explicit TUndoOff(QTextDocument* Doc) : Doc(Doc), Was(Doc->isUndoRedoEnabled()) {
        Doc->setUndoRedoEnabled(false);
    }
    ~TUndoOff() { Doc->setUndoRedoEnabled(Was); }
    TUndoOff(const TUndoOff&) = delete;
    TUndoOff& operator=(const TUndoOff&) = delete;
    QTextDocument* Doc;
    bool Was;
};

class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TMemo* Memo) : FMemo(Memo) {}
    void Clear() override {
        Edit([&](QTextCursor& c) {
            c.select(QTextCursor::Document);
            c.removeSelectedText();
        });
    }
    void Delete(int Index) override {
        QTextDocument* doc = Doc();
        const QTextBlock b = doc->findBlockByNumber(Index);
        if (Index < 0 || !b.isValid()) return;
        const QTextBlock next = b.next();
        const int start = b.position();
        const int end = next.isValid() ? next.position() : start + b.length() - 1;
        Replace(start, end, QString());
    }
    void Insert(int Index, const AnsiString& S) override {
        QTextDocument* doc = Doc();
        if (Index < 0) return;
        const QString text = ToMemoText(S);
        const QTextBlock b = doc->findBlockByNumber(Index);
        if (b.isValid()) {
            Replace(b.position(), b.position(), text + '\n');
            return;
        }
        const QTextBlock prev = doc->findBlockByNumber(Index - 1);
        if (!prev.isValid() || prev.length() - 1 == 0) return;
        const int end = prev.position() + prev.length() - 1;
        Replace(end, end, '\n' + text);
    }
    void SetText(const AnsiString& Value) override {
        const QString text = ToMemoText(Value);
        if (text == Doc()->toPlainText()) return;
        TCodeChange change;
        TMemoAccess::SetPlainText(FMemo, text);
        change.Finish();
    }

protected:
    AnsiString Get(int Index) const override {
        if (Index < 0 || Index >= GetCount()) IndexError(Index);
        return QStringToAnsi(Doc()->findBlockByNumber(Index).text());
    }
    int GetCount() const override {
        QTextDocument* doc = Doc();
        int n = doc->blockCount();
        if (doc->lastBlock().length() <= 1) --n; // a final line break starts no line
        return std::max(0, n);
    }
    void Put(int Index, const AnsiString& S) override {
        const QTextBlock b = Doc()->findBlockByNumber(Index);
        if (Index < 0 || !b.isValid()) return;
        Replace(b.position(), b.position() + b.length() - 1, ToMemoText(S));
    }

private:
    QTextDocument* Doc() const { return TMemoAccess::Document(FMemo); }
    // What the program writes is no step the user can undo (a window adding
    // results would grow the history without end). The caret goes after the
    // change and the memo scrolls to it, so added lines come into sight.
    template <class F> void Edit(F f) {
        TCodeChange change;
        QTextDocument* doc = Doc();
        TUndoOff undoOff(doc);
        QTextCursor c(doc);
        f(c);
        TMemoAccess::SetCaret(FMemo, c);
        change.Finish();
    }
    void Replace(int start, int end, const QString& text) {
        Edit([&](QTextCursor& c) {
            c.setPosition(start);
            c.setPosition(end, QTextCursor::KeepAnchor);
            c.insertText(text);
        });
    }
    TMemo* FMemo;
};
} // namespace

// Replaces the whole text as the editor's setPlainText does: one change, the
// caret at the start.
void TMemoAccess::SetPlainText(TMemo* Memo, const QString& Text) {
    TMemo::TMemoPending* p = Memo->FPending.get();
    if (!p) {
        Memo->Editor()->setPlainText(Text);
        return;
    }
    {
        TUndoOff undoOff(&p->Doc);
        QTextCursor c(&p->Doc);
        c.beginEditBlock();
        c.select(QTextCursor::Document);
        c.insertText(Text);
        c.endEditBlock();
    }
    p->Cursor = QTextCursor(&p->Doc);
    p->CursorSet = true;
}

TMemo::TMemo(TComponent* AOwner)
    : TWinControl(AOwner, NewWidget<TQtPlaceHolder>()), FPending(std::make_unique<TMemoPending>()) {
    static_cast<TQtPlaceHolder*>(Widget())->Make = [this] { MakeEditor(); };
    FLines = std::make_unique<TMemoStrings>(this);
    SetBounds(0, 0, 185, 89);
    SetColor(clWindow);
    SetTabStop(true);
    ConnectSignal(&FPending->Doc, &QTextDocument::contentsChanged, this,
                  [this] { TextEdited(); });
}

TMemo::~TMemo() {
    Destroying();
    if (FPending) {
        FPending->Doc.blockSignals(true);
    } else {
        Editor()->blockSignals(true);
        Editor()->document()->blockSignals(true);
    }
}

void TMemo::TextEdited() {
    FModified = true;
    RunFromSignal(this, [this] { Change(); });
}

// The editor takes the holder's place: its parent, its place among its
// siblings and in the focus chain, and everything set on the memo so far.
void TMemo::MakeEditor() {
    if (!FPending) return;
    const std::unique_ptr<TMemoPending> pending = std::move(FPending);
    auto* ed = NewWidget<TQt<QPlainTextEdit>>();
    QWidget* holder = TakeOverWidget(ed);
    ed->setLineWrapMode(FWordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    ed->setReadOnly(pending->ReadOnly);
    SetWantTabs(FWantTabs);
    SetScrollBars(FScrollBars);
    if (FAlignment != taLeftJustify) SetAlignment(FAlignment);
    if (FBorderStyle != bsSingle) SetBorderStyle(FBorderStyle);
    if (Impl()->FontPending || pending->FontSet) {
        Impl()->FontPending = false;
        ApplyFont();
    } else {
        ApplyTabStops();
    }
    if (pending->ColorSet) ApplyColor();
    QTextDocument* doc = ed->document();
    if (!pending->Doc.isEmpty()) {
        TUndoOff undoOff(doc);
        QTextCursor(doc).insertText(pending->Doc.toRawText());
    }
    if (pending->CursorSet) {
        QTextCursor c(doc);
        c.setPosition(pending->Cursor.anchor());
        c.setPosition(pending->Cursor.position(), QTextCursor::KeepAnchor);
        ed->setTextCursor(c);
    }
    ConnectSignal(ed, &QPlainTextEdit::textChanged, this, [this] { TextEdited(); });
    ShowTakenOver(holder);
}

QPlainTextEdit* TMemo::Editor() const {
    const_cast<TMemo*>(this)->MakeEditor();
    return static_cast<QPlainTextEdit*>(Widget());
}

QTextDocument* TMemo::Document() const {
    return FPending ? &FPending->Doc : Editor()->document();
}

QTextCursor TMemo::Caret() const {
    return FPending ? FPending->Cursor : Editor()->textCursor();
}

void TMemo::SetCaret(const QTextCursor& Cursor) {
    if (!FPending) {
        Editor()->setTextCursor(Cursor);
        return;
    }
    FPending->Cursor = Cursor;
    FPending->CursorSet = true;
}

AnsiString TMemo::GetTextValue() const {
    return StringReplace(QStringToAnsi(Document()->toPlainText()), "\n", "\r\n");
}

void TMemo::SetTextValue(const AnsiString& Value) {
    FLines->SetText(Value);
}

void TMemo::Change() {
    if (OnChange) OnChange(this);
}

void TMemo::ApplyColor() {
    if (FPending)
        FPending->ColorSet = true;
    else
        SetBaseColor(Widget(), Color());
}

void TMemo::ApplyFont() {
    if (FPending) {
        FPending->FontSet = true;
        return;
    }
    TWinControl::ApplyFont();
    ApplyTabStops();
}

// The platform's edit controls stop tabs every 32 dialog units, that is every
// 8 average character widths of their font; columns of "Name\t: value" lines
// are laid out for that, not for the toolkit's fixed 80 pixels.
void TMemo::ApplyTabStops() {
    Editor()->setTabStopDistance(8 * QFontMetrics(Editor()->font()).averageCharWidth());
}

bool TMemo::ReadOnly() const {
    return FPending ? FPending->ReadOnly : Editor()->isReadOnly();
}
void TMemo::SetReadOnly(bool Value) {
    if (FPending)
        FPending->ReadOnly = Value;
    else
        Editor()->setReadOnly(Value);
}

void TMemo::SetWordWrap(bool Value) {
    FWordWrap = Value;
    if (!FPending)
        Editor()->setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    if (FPending) return;
    const bool v = Value == ssVertical || Value == ssBoth;
    const bool h = Value == ssHorizontal || Value == ssBoth;
    Editor()->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    Editor()->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TMemo::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    if (FPending) return;
    QTextDocument* doc = Editor()->document();
    QTextOption option = doc->defaultTextOption();
    option.setAlignment(Value == taRightJustify ? Qt::AlignRight
                        : Value == taCenter     ? Qt::AlignHCenter
                                                : Qt::AlignLeft);
    doc->setDefaultTextOption(option);
}

void TMemo::SetWantTabs(bool Value) {
    FWantTabs = Value;
    if (!FPending) Editor()->setTabChangesFocus(!Value);
}

void TMemo::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    if (!FPending)
        Editor()->setFrameStyle(Value == bsNone ? QFrame::NoFrame
                                                : QFrame::StyledPanel | QFrame::Sunken);
}

int TMemo::SelStart() const {
    return Caret().selectionStart();
}

void TMemo::SetSelStart(int Value) {
    QTextCursor c = Caret();
    c.setPosition(std::clamp(Value, 0, static_cast<int>(Document()->characterCount()) - 1));
    SetCaret(c);
}

int TMemo::SelLength() const {
    const QTextCursor c = Caret();
    return c.selectionEnd() - c.selectionStart();
}

void TMemo::SetSelLength(int Value) {
    QTextCursor c = Caret();
    const int start = c.selectionStart();
    const int last = static_cast<int>(Document()->characterCount()) - 1;
    c.setPosition(start);
    c.setPosition(std::clamp(start + Value, 0, last), QTextCursor::KeepAnchor);
    SetCaret(c);
}

void TMemo::SelectAll() {
    if (!FPending) {
        Editor()->selectAll();
        return;
    }
    QTextCursor c = Caret();
    c.select(QTextCursor::Document);
    SetCaret(c);
}

void TMemo::Clear() {
    FLines->Clear();
}

void TMemo::KeyPress(char& Key) {
    InheritedThen(
        this, [&] { TWinControl::KeyPress(Key); },
        [&] {
            if (Key == '\r' && !FWantReturns) Key = 0;
        });
}

bool TMemo::WantsKey(WORD Key, TShiftState) const {
    if (Key == VK_RETURN) return FWantReturns;
    if (Key == VK_TAB) return FWantTabs;
    return false;
}
