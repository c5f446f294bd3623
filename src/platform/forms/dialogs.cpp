// Message boxes, input boxes and the common dialogs: answered by the test
// responder when one is installed, else shown with Qt.
#include "platform/forms/dialogs.h"
#include "platform/forms/custompaper.h"
#include "platform/forms/formsqt.h"
#include "platform/forms/systemwindow.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/qtfilenames.h"
#include "platform/graphics/metafile.h" // completes the printer header
#include "platform/graphics/printers.h"
#include "platform/graphics/qtpaper.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/kernel.h"
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

QM_CLASS_ABSTRACT(TCommonDialog, TComponent)
QM_CLASS_OWNED(TOpenDialog, TCommonDialog, TComponent)
QM_CLASS_OWNED(TSaveDialog, TOpenDialog, TComponent)
QM_CLASS_OWNED(TOpenPictureDialog, TOpenDialog, TComponent)
QM_CLASS_OWNED(TSavePictureDialog, TOpenPictureDialog, TComponent)
QM_CLASS_OWNED(TColorDialog, TCommonDialog, TComponent)
QM_CLASS_OWNED(TFontDialog, TCommonDialog, TComponent)
QM_CLASS_OWNED(TPrintDialog, TCommonDialog, TComponent)
QM_CLASS_OWNED(TPrinterSetupDialog, TCommonDialog, TComponent)

namespace {
// The dialogs made by new, alive now.
std::unordered_set<const void*>& HeapDialogs() {
    static auto* made = new std::unordered_set<const void*>; // outlives every dialog
    return *made;
}
} // namespace

void* TCommonDialog::operator new(std::size_t Size) {
    void* made = ::operator new(Size);
    HeapDialogs().insert(made);
    return made;
}

void TCommonDialog::operator delete(void* Object) noexcept {
    HeapDialogs().erase(Object);
    ::operator delete(Object);
}

bool TCommonDialog::MadeOnHeap() const {
    return HeapDialogs().count(static_cast<const void*>(this)) > 0;
}

namespace {

// Asks the responder, or reports a dialog nobody can answer in a headless run.
// Returns true when Answer holds the reply: Cancel when what the dialog
// belongs to went while it was asked. False: the dialog shows for real.
bool Respond(const TSystemWindowScope& Shown, const TDialogRequest& Request,
             TDialogAnswer& Answer) {
    EnsureQtApplication();
    if (SystemWindowsDriven()) return false;
    if (!TDialogResponder::Answer(Request, Answer)) {
        if (!IsHeadless()) return false;
        std::fprintf(stderr, "headless run: %s \"%s\" / \"%s\" shown without a dialog responder\n",
                     DialogKindName(Request.Kind), Request.Caption.c_str(), Request.Text.c_str());
        Answer = CancelAnswer(Request);
        return true;
    }
    if (Shown.Lost()) Answer = CancelAnswer(Request);
    return true;
}

// A dialog of the system made for one showing, over the scope's window. Its
// maker frees it once its loop has returned; a going parent window gives it
// up first (see ReleaseSystemWindowsOver), and nothing frees it twice.
template <class D> class TMadeDialog {
public:
    template <class... A>
    explicit TMadeDialog(A&&... Args) : FDialog(new D(std::forward<A>(Args)...)) {}
    ~TMadeDialog() { delete FDialog.data(); }
    TMadeDialog(const TMadeDialog&) = delete;
    TMadeDialog& operator=(const TMadeDialog&) = delete;
    D* operator->() const { return FDialog.data(); }
    D& operator*() const { return *FDialog; }
    D* get() const { return FDialog.data(); }
    // Shows it through the scope: true when it was accepted and nothing it
    // belongs to went meanwhile.
    bool Accepted(TSystemWindowScope& Shown) {
        const int result = Shown.Run(FDialog.data(), [this] { return FDialog->exec(); });
        return FDialog && !Shown.Lost() && result == QDialog::Accepted;
    }

private:
    QPointer<D> FDialog;
};

QString QtFilter(const AnsiString& Filter) {
    // "desc|pattern|desc|pattern" -> "desc (pattern);;desc (pattern)"
    QStringList parts = AnsiToQString(Filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(';', ' ');
        QString desc = parts[i];
        if (!desc.trimmed().endsWith(')'))
            desc += " (" + pattern + ")";
        else
            desc = desc.trimmed().left(desc.trimmed().lastIndexOf('(')).trimmed() + " (" + pattern +
                   ")";
        out << desc;
    }
    return out.join(";;");
}

// A print-out that went to a file no dialog named says where it is.
[[maybe_unused]] const bool PrintFileNoticeInstalled = [] {
    SetPrintFileNotice(
        [](const AnsiString& FileName) { ShowMessage("The print-out was saved as\n" + FileName); });
    return true;
}();

int FilterCount(const AnsiString& Filter) {
    if (Filter.IsEmpty()) return 0;
    return (AnsiToQString(Filter).split('|').size()) / 2;
}

// The program's names for the files chosen; false, once the user was told,
// when one of them cannot be held, so the dialog asks again.
bool TakeNames(const std::vector<std::string>& Chosen, std::vector<AnsiString>& Names) {
    for (const std::string& name : Chosen) {
        AnsiString taken;
        if (!TryProgramFileName(name, taken)) {
            ShowMessageBoxImpl(UnusableFileNameText(name), "Error", MB_OK | MB_ICONSTOP);
            return false;
        }
        Names.push_back(taken);
    }
    return true;
}

// The file a dialog's answer names, as the system names it.
std::string AnsweredFile(const TDialogAnswer& Answer) {
    return Answer.SystemName.empty() ? SystemFileName(Answer.Text) : Answer.SystemName;
}

} // namespace

// ---------------------------------------------------------------------------
// Message boxes

namespace {
// The frame's icon and buttons beside a title, with some air.
constexpr int TitleFrameRoom = 150;
} // namespace

std::vector<TMessageBoxButton> SetUpMessageBox(QMessageBox& Box, const AnsiString& Text,
                                               const AnsiString& Caption, int Flags) {
    Box.setWindowTitle(AnsiToQString(Caption));
    Box.setText(AnsiToQString(Text));
    switch (Flags & MB_ICONMASK) {
    case MB_ICONHAND:
        Box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        Box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        Box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONASTERISK:
        Box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    std::vector<TMessageBoxButton> buttons;
    switch (Flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{QMessageBox::Abort, IDABORT},
                   {QMessageBox::Retry, IDRETRY},
                   {QMessageBox::Ignore, IDIGNORE}};
        break;
    case MB_YESNOCANCEL:
        buttons = {
            {QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO:
        buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        break;
    case MB_RETRYCANCEL:
        buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    default:
        buttons = {{QMessageBox::Ok, IDOK}};
        break;
    }
    QMessageBox::StandardButtons all;
    for (const TMessageBoxButton& b : buttons)
        all |= QMessageBox::StandardButton(b.Button);
    Box.setStandardButtons(all);
    const size_t def = (Flags & MB_DEFMASK) == MB_DEFBUTTON2   ? 1
                       : (Flags & MB_DEFMASK) == MB_DEFBUTTON3 ? 2
                                                               : 0;
    if (def < buttons.size())
        Box.setDefaultButton(QMessageBox::StandardButton(buttons[def].Button));
    // The platform widens a box to show its whole title; window managers cut
    // what does not fit (and write titles bold). Room for the title and for
    // the frame's icon and buttons.
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int titleWidth =
        QFontMetrics(titleFont).horizontalAdvance(Box.windowTitle()) + TitleFrameRoom;
    if (auto* grid = qobject_cast<QGridLayout*>(Box.layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return buttons;
}

int ShowMessageBoxImpl(const AnsiString& Text, const AnsiString& Caption, int Flags) {
    TSystemWindowScope shown(TDialogKind::MessageBox, nullptr);
    TDialogRequest request;
    request.Kind = TDialogKind::MessageBox;
    // A box is never shown untitled: callers that give no caption get the program's.
    request.Caption = Caption.IsEmpty() && Application ? Application->Title() : Caption;
    request.Text = Text;
    request.Flags = Flags;
    TDialogAnswer answer;
    if (Respond(shown, request, answer)) return answer.Result;

    TMadeDialog<QMessageBox> box(shown.Parent());
    const std::vector<TMessageBoxButton> buttons =
        SetUpMessageBox(*box, Text, request.Caption, Flags);
    const int chosen = shown.Run(box.get(), [&] { return box->exec(); });
    if (!shown.Lost())
        for (const TMessageBoxButton& b : buttons)
            if (b.Button == chosen) return b.Id;
    return CancelAnswer(request).Result;
}

int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
    static const char* const captions[] = {"Warning", "Error", "Information", "Confirmation"};
    const AnsiString caption =
        DlgType == mtCustom ? Application->Title() : AnsiString(captions[DlgType]);
    static const int icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION,
                                0};
    int type = MB_OK;
    if (Buttons.Contains(mbYes) && Buttons.Contains(mbNo))
        type = Buttons.Contains(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if (Buttons.Contains(mbAbort) || Buttons.Contains(mbIgnore))
        type = MB_ABORTRETRYIGNORE;
    else if (Buttons.Contains(mbRetry))
        type = MB_RETRYCANCEL;
    else if (Buttons.Contains(mbCancel))
        type = MB_OKCANCEL;
    return ShowMessageBoxImpl(Msg, caption, type | icons[DlgType]);
}

int MessageDlgPos(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                  int, int) {
    // Where the box stands is the window system's choice here.
    return MessageDlg(Msg, DlgType, Buttons, HelpCtx);
}

void ShowMessage(const AnsiString& Msg) {
    ShowMessageBoxImpl(Msg, Application->Title(), MB_OK);
}

bool InputQuery(const AnsiString& ACaption, const AnsiString& APrompt, AnsiString& Value) {
    TSystemWindowScope shown(TDialogKind::InputQuery, nullptr);
    TDialogRequest request;
    request.Kind = TDialogKind::InputQuery;
    request.Caption = ACaption;
    request.Text = APrompt;
    request.Value = Value;
    TDialogAnswer answer;
    if (Respond(shown, request, answer)) {
        if (answer.Accept) Value = answer.Text;
        return answer.Accept;
    }
    TMadeDialog<QInputDialog> dialog(shown.Parent());
    dialog->setWindowTitle(AnsiToQString(ACaption));
    dialog->setLabelText(AnsiToQString(APrompt));
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setTextValue(AnsiToQString(Value));
    if (!dialog.Accepted(shown)) return false;
    Value = QStringToAnsi(dialog->textValue());
    return true;
}

AnsiString InputBox(const AnsiString& ACaption, const AnsiString& APrompt,
                    const AnsiString& ADefault) {
    AnsiString value = ADefault;
    InputQuery(ACaption, APrompt, value);
    return value;
}

// ---------------------------------------------------------------------------
// File dialogs

TOpenDialog::TOpenDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

void TOpenDialog::SetInitialDir(const AnsiString& Value) {
    int length = Value.Length();
    auto delimiter = [&](int i) { return Value[i] == '\\' || Value[i] == '/'; };
    if (length > 1 && delimiter(length) && Value[length - 1] != ':') --length;
    FInitialDir = Value.SubString(1, length);
}

AnsiString TOpenDialog::FilterExtension(int Index) const {
    // The first pattern of the filter, when it names one extension ("*.csv").
    const QStringList parts = AnsiToQString(FFilter).split('|');
    const qsizetype at = 2 * qsizetype(Index) - 1;
    if (Index < 1 || at >= parts.size()) return AnsiString();
    const QString pattern = parts[at].split(';').front().trimmed();
    const qsizetype dot = pattern.lastIndexOf('.');
    if (dot < 0 || !pattern.left(dot).contains('*')) return AnsiString();
    const QString ext = pattern.mid(dot + 1);
    if (ext.isEmpty() || ext.contains(QRegularExpression(QStringLiteral("[*?\\s/\\\\]"))))
        return AnsiString();
    return QStringToAnsi(ext);
}

AnsiString TOpenDialog::ExtensionToAdd(int Index) const {
    // As the platform's dialog: only with a default extension set, and then the
    // chosen filter's own extension wins over it.
    if (FDefaultExt.IsEmpty()) return AnsiString();
    const AnsiString own = FilterExtension(Index);
    if (!own.IsEmpty()) return own;
    AnsiString ext = FDefaultExt;
    if (ext[1] == '.') ext = ext.SubString(2, ext.Length());
    return ext;
}

bool TOpenDialog::Accept(const std::vector<AnsiString>& Chosen, int ChosenFilterIndex) {
    if (Chosen.empty()) return false;
    int index = ChosenFilterIndex > 0 ? ChosenFilterIndex : FFilterIndex;
    // The dialog reports the filter it showed, as a 1-based index.
    if (index < 1 || index > std::max(1, FilterCount(FFilter))) index = 1;
    AnsiString name = Chosen.front();
    const AnsiString ext = ExtensionToAdd(index);
    bool added = false;
    if (!ext.IsEmpty() && !name.IsEmpty()) {
        const std::string& s = name.str();
        const size_t slash = s.find_last_of("/\\");
        const size_t dot = s.find_last_of('.');
        if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
            name += "." + ext;
            added = true;
        }
    }
    // The name typed was asked about, not the one it became.
    if (added && IsSave() && FOptions.Contains(ofOverwritePrompt) && FileExists(name)) {
        TCallOut self{this};
        const int answer =
            ShowMessageBoxImpl(name + " already exists.\nDo you want to replace it?",
                               "Confirm Save As", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
        if (self.Gone() || answer != IDYES) return false;
    }
    FFileName = name;
    FFilterIndex = index;
    FFiles->Clear();
    FFiles->Add(name);
    for (size_t i = 1; i < Chosen.size(); ++i)
        FFiles->Add(Chosen[i]);
    return true;
}

bool TOpenDialog::Execute() {
    // An owner that goes while it shows frees one made by new: from then on
    // it reads nothing of itself.
    TCallOut self{this};
    TSystemWindowScope shown(IsSave() ? TDialogKind::SaveDialog : TDialogKind::OpenDialog, this);
    DoShow();
    if (self.Gone()) return false;
    bool accepted = false;
    while (!accepted) {
        std::vector<std::string> chosen;
        int chosenFilter = 0;
        const bool asked = AskUser(shown, chosen, chosenFilter);
        if (self.Gone()) return false;
        if (!asked || shown.Lost()) break;
        // A refused name or a declined replacement goes back to the dialog, as
        // the platform's does.
        std::vector<AnsiString> names;
        const bool named = TakeNames(chosen, names);
        if (self.Gone()) return false;
        if (shown.Lost()) break;
        accepted = named && Accept(names, chosenFilter);
        if (self.Gone()) return false;
        if (shown.Lost()) break;
    }
    DoClose();
    return accepted;
}

bool TOpenDialog::AskUser(TSystemWindowScope& Shown, std::vector<std::string>& Chosen,
                          int& ChosenFilterIndex) {
    TDialogRequest request;
    request.Kind = IsSave() ? TDialogKind::SaveDialog : TDialogKind::OpenDialog;
    request.Caption = FTitle;
    request.Value = FFileName;
    request.Filter = FFilter;
    request.FilterIndex = FFilterIndex;
    request.InitialDir = FInitialDir;
    request.DefaultExt = FDefaultExt;
    TDialogAnswer answer;
    if (Respond(Shown, request, answer)) {
        if (!answer.Accept) return false;
        Chosen.push_back(AnsweredFile(answer));
        ChosenFilterIndex = answer.FilterIndex;
        return true;
    }
    TMadeDialog<QFileDialog> made(Shown.Parent(), AnsiToQString(FTitle), FileNameToQt(FInitialDir));
    QFileDialog& dialog = *made;
    dialog.setAcceptMode(IsSave() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (!IsSave())
        dialog.setFileMode(FOptions.Contains(ofAllowMultiSelect) ? QFileDialog::ExistingFiles
                           : FOptions.Contains(ofFileMustExist)  ? QFileDialog::ExistingFile
                                                                 : QFileDialog::AnyFile);
    if (!FOptions.Contains(ofOverwritePrompt)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = QtFilter(FFilter).split(";;", Qt::SkipEmptyParts);
    // No default suffix here: Accept adds the chosen filter's extension for this
    // dialog and the test responder alike, and asks before that name replaces a file.
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = std::clamp(FFilterIndex, 1, static_cast<int>(filters.size())) - 1;
        dialog.selectNameFilter(filters[index]);
    }
    if (!FFileName.IsEmpty()) dialog.selectFile(FileNameToQt(FFileName));
    if (!made.Accepted(Shown) || dialog.selectedFiles().isEmpty()) return false;
    for (const QString& f : dialog.selectedFiles())
        Chosen.push_back(f.toStdString());
    ChosenFilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return true;
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner) {
    SetFilter(TPicture::GraphicFilter());
}

// ---------------------------------------------------------------------------
// Colour, font and print dialogs

TColorDialog::TColorDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FCustomColors(std::make_unique<TStringList>()) {}

TColorDialog::~TColorDialog() = default;

namespace {

constexpr int CustomColorCount = 16;

// The slots named in "ColorA=..." .. "ColorP=..." lines; clNone where a slot
// is missing, unset or unreadable.
std::vector<TColor> ReadCustomColors(const TStrings* Lines) {
    std::vector<TColor> colors(CustomColorCount, clNone);
    for (int i = 0; i < Lines->Count(); ++i) {
        const std::string line = Lines->Strings(i).c_str();
        if (line.size() < 8 || line.compare(0, 5, "Color") != 0 || line[6] != '=') continue;
        const int slot = line[5] - 'A';
        if (slot < 0 || slot >= CustomColorCount) continue;
        const std::string hex = line.substr(7);
        if (hex.empty() || hex.size() > 8 ||
            hex.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos)
            continue;
        const unsigned long value = std::stoul(hex, nullptr, 16);
        if (value <= 0xFFFFFF) colors[size_t(slot)] = TColor(value);
    }
    return colors;
}

void WriteCustomColors(const std::vector<TColor>& Colors, TStrings* Lines) {
    Lines->Clear();
    for (int i = 0; i < CustomColorCount; ++i) {
        const TColor c = size_t(i) < Colors.size() ? Colors[size_t(i)] : clNone;
        char line[32];
        if (c >= 0 && c <= 0xFFFFFF)
            std::snprintf(line, sizeof line, "Color%c=%06X", 'A' + i, unsigned(c));
        else
            std::snprintf(line, sizeof line, "Color%c=FFFFFFFF", 'A' + i);
        Lines->Add(line);
    }
}

} // namespace

bool TColorDialog::Execute() {
    TCallOut self{this}; // see TOpenDialog::Execute
    TSystemWindowScope shown(TDialogKind::ColorDialog, this);
    TDialogRequest request;
    request.Kind = TDialogKind::ColorDialog;
    request.Color = FColor;
    request.CustomColors = ReadCustomColors(FCustomColors.get());
    DoShow();
    if (self.Gone()) return false;
    TDialogAnswer answer;
    bool accepted = false;
    TColor chosen = FColor;
    std::vector<TColor> custom = request.CustomColors;
    if (Respond(shown, request, answer)) {
        accepted = answer.Accept;
        chosen = answer.Color;
        if (accepted && answer.EditCustomColors) answer.EditCustomColors(custom);
    } else {
        // Unset slots show white, as the dialog starts them.
        for (int i = 0; i < CustomColorCount; ++i) {
            const TColor c = custom[size_t(i)];
            QColorDialog::setCustomColor(i, c == clNone ? QColor(Qt::white) : ToQColor(c));
        }
        TMadeDialog<QColorDialog> dialog(ToQColor(FColor), shown.Parent());
        accepted = dialog.Accepted(shown) && dialog->selectedColor().isValid();
        if (accepted) {
            chosen = FromQColor(dialog->selectedColor());
            for (int i = 0; i < CustomColorCount; ++i)
                custom[size_t(i)] = FromQColor(QColorDialog::customColor(i));
        }
    }
    if (self.Gone()) return false;
    if (accepted) {
        FColor = chosen;
        WriteCustomColors(custom, FCustomColors.get());
    }
    DoClose();
    return accepted;
}

void SetUpFontDialog(QFontDialog& Dialog, const TFont& Font) {
    ReadSystemFonts();
    RegisterBundledFonts();
    const QFont drawn = ToQFont(Font);
    const bool bold = Font.Style().Contains(fsBold), italic = Font.Style().Contains(fsItalic);
    // The dialog selects a style by its name, and falls back to the first it
    // lists (a bold italic one, say) when no style is called "Regular": name
    // the face the font draws with.
    QFont shown = drawn;
    int best = INT_MAX;
    for (const QString& style : QFontDatabase::styles(drawn.family())) {
        const QFont face = QFontDatabase::font(drawn.family(), style, Font.Size());
        const int distance = std::abs(face.weight() - (bold ? QFont::Bold : QFont::Normal));
        if (face.italic() == italic && distance < best) {
            best = distance;
            shown = face;
        }
    }
    shown.setUnderline(Font.Style().Contains(fsUnderline));
    shown.setStrikeOut(Font.Style().Contains(fsStrikeOut));
    Dialog.setCurrentFont(shown);
}

void TakeFontDialogChoice(const QFontDialog& Dialog, TFont& Font) {
    const QFont chosen = Dialog.selectedFont();
    QString family = chosen.family();
    // A family made by several foundries comes as "Family [Foundry]".
    if (family.endsWith(u']')) {
        const qsizetype open = family.lastIndexOf(QLatin1String(" ["));
        if (open > 0) family.truncate(open);
    }
    Font.SetName(QStringToAnsi(family));
    if (chosen.pointSize() > 0) Font.SetSize(chosen.pointSize());
    TFontStyles style;
    if (chosen.bold()) style << fsBold;
    if (chosen.italic()) style << fsItalic;
    if (chosen.underline()) style << fsUnderline;
    if (chosen.strikeOut()) style << fsStrikeOut;
    Font.SetStyle(style);
}

TFontDialog::TFontDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute() {
    TCallOut self{this}; // see TOpenDialog::Execute
    TSystemWindowScope shown(TDialogKind::FontDialog, this);
    TDialogRequest request;
    request.Kind = TDialogKind::FontDialog;
    request.Text = FFont->Name();
    DoShow();
    if (self.Gone()) return false;
    TDialogAnswer answer;
    bool accepted = false;
    TFont chosen;
    chosen.Assign(FFont.get());
    if (Respond(shown, request, answer)) {
        accepted = answer.Accept;
        if (accepted && answer.EditFont) answer.EditFont(&chosen);
    } else {
        TMadeDialog<QFontDialog> dialog(shown.Parent());
        SetUpFontDialog(*dialog, chosen);
        accepted = dialog.Accepted(shown);
        if (accepted) TakeFontDialogChoice(*dialog, chosen);
    }
    if (self.Gone()) return false;
    if (accepted) FFont->Assign(&chosen);
    DoClose();
    return accepted;
}

namespace {
// The Qt printer set up like the program's printer, and the choices taken back.
void PreparePrinter(QPrinter& printer, TDialogRequest& request) {
    TPrinter* p = Printer();
    printer.setCopyCount(p->Copies());
    printer.setPageOrientation(p->Orientation() == poLandscape ? QPageLayout::Landscape
                                                               : QPageLayout::Portrait);
    // Without a printer the job is a PDF file, on A4 until a dialog chooses other paper.
    if (!p->Paper().IsEmpty())
        printer.setPageSize(QtPageSize(p->Paper()));
    else if (QPrinterInfo::availablePrinterNames().isEmpty())
        printer.setPageSize(QPageSize(QPageSize::A4));
    request.Paper = PaperFromQt(printer.pageLayout().pageSize());
    request.Orientation = p->Orientation();
}

// The test's answer given to the Qt printer as the dialog's choices would be.
void AnswerPrinter(QPrinter& printer, const TDialogAnswer& answer) {
    if (!answer.Paper.IsEmpty()) printer.setPageSize(QtPageSize(answer.Paper));
    if (answer.Orientation)
        printer.setPageOrientation(*answer.Orientation == poLandscape ? QPageLayout::Landscape
                                                                      : QPageLayout::Portrait);
}

// The paper is taken only when it is not the one shown, so a printer's own
// paper stays its own until the user chooses another.
void TakePrinterChoices(const QPrinter& printer, const TPaperSize& shown) {
    TPrinter* p = Printer();
    p->SetOrientation(printer.pageLayout().orientation() == QPageLayout::Landscape ? poLandscape
                                                                                   : poPortrait);
    const TPaperSize paper = PaperFromQt(printer.pageLayout().pageSize());
    if (!(paper == shown)) p->SetPaper(paper);
    const int index = p->Printers()->IndexOf(QStringToAnsi(printer.printerName()));
    if (index >= 0) p->SetPrinterIndex(index);
}
} // namespace

bool TPrintDialog::Execute() {
    TCallOut self{this}; // see TOpenDialog::Execute
    TSystemWindowScope shown(TDialogKind::PrintDialog, this);
    const bool pages = FOptions.Contains(poPageNums);
    TDialogRequest request;
    request.Kind = TDialogKind::PrintDialog;
    if (pages) {
        request.MinPage = FMinPage;
        request.MaxPage = FMaxPage;
    }
    DoShow();
    if (self.Gone()) return false;
    EnsureQtApplication();
    QPrinter printer;
    PreparePrinter(printer, request);
    printer.setCopyCount(FCopies);
    // Without a printer the job is a file: the dialog proposes one that replaces nothing.
    const bool fileOnly = QPrinterInfo::availablePrinterNames().isEmpty();
    if (fileOnly) printer.setOutputFileName(FileNameToQt(Printer()->FreePdfOutputPath()));
    if (pages && FPrintRange == prPageNums) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(FFromPage, FToPage);
    }
    const TPrintDialogOptions options = FOptions;
    const int minPage = FMinPage, maxPage = FMaxPage;
    bool accepted = false;
    std::vector<AnsiString> output;
    // A file name the program cannot hold goes back to the dialog.
    for (;;) {
        output.clear();
        TDialogAnswer answer;
        if (Respond(shown, request, answer)) {
            // The answer goes into the printer as the dialog's choices would.
            accepted = answer.Accept;
            if (accepted) {
                if (!answer.Text.IsEmpty() || !answer.SystemName.empty())
                    printer.setOutputFileName(QString::fromStdString(AnsweredFile(answer)));
                else if (!fileOnly)
                    printer.setOutputFileName(QString());
                AnswerPrinter(printer, answer);
                const bool range = pages && answer.FromPage > 0;
                printer.setPrintRange(range ? QPrinter::PageRange : QPrinter::AllPages);
                if (range) printer.setFromTo(answer.FromPage, answer.ToPage);
            }
        } else {
            TCustomPaperShown custom(printer);
            TMadeDialog<QPrintDialog> dialog(&printer, shown.Parent());
            dialog->setOption(QAbstractPrintDialog::PrintPageRange, pages);
            dialog->setOption(QAbstractPrintDialog::PrintSelection, options.Contains(poSelection));
            dialog->setOption(QAbstractPrintDialog::PrintToFile,
                              !options.Contains(poDisablePrintToFile));
            if (pages) dialog->setMinMax(minPage, maxPage);
            accepted = dialog.Accepted(shown);
            if (accepted) custom.Keep(printer);
        }
        if (!accepted || shown.Lost()) break;
        const bool named = TakeNames({printer.outputFileName().toStdString()}, output);
        if (named || shown.Lost()) break;
    }
    if (self.Gone()) return false;
    if (shown.Lost()) accepted = false;
    if (accepted) {
        FCopies = printer.copyCount();
        switch (printer.printRange()) {
        case QPrinter::PageRange:
            FPrintRange = prPageNums;
            FFromPage = printer.fromPage();
            FToPage = printer.toPage();
            break;
        case QPrinter::Selection:
            FPrintRange = prSelection;
            break;
        default:
            FPrintRange = prAllPages;
            break;
        }
        TakePrinterChoices(printer, request.Paper);
        // The program's printer prints what the dialog chose, where it chose.
        Printer()->SetCopies(FCopies);
        Printer()->SetOutputFile(output.front());
    }
    DoClose();
    return accepted;
}

bool TPrinterSetupDialog::Execute() {
    TCallOut self{this}; // see TOpenDialog::Execute
    TSystemWindowScope shown(TDialogKind::PrinterSetupDialog, this);
    TDialogRequest request;
    request.Kind = TDialogKind::PrinterSetupDialog;
    DoShow();
    if (self.Gone()) return false;
    EnsureQtApplication();
    QPrinter printer;
    PreparePrinter(printer, request);
    TDialogAnswer answer;
    bool accepted = false;
    if (Respond(shown, request, answer)) {
        accepted = answer.Accept;
        if (accepted) AnswerPrinter(printer, answer);
    } else {
        TCustomPaperShown custom(printer);
        TMadeDialog<QPageSetupDialog> dialog(&printer, shown.Parent());
        accepted = dialog.Accepted(shown);
    }
    if (self.Gone()) return false;
    if (accepted) TakePrinterChoices(printer, request.Paper);
    DoClose();
    return accepted;
}
