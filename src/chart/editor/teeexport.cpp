// Export of charts and panels.
//   format base   the picture-format base class, its registry and the filter list
//   routines      native save and load, mail hand-off, the save dialog of one format
//   dialog        the export dialog: layout, show, format, size, data and native options
//   buttons       copy, save and send by page; the chart dialog's data and native files
#include "chart/editor/teeexport.h"
#include "platform/classes/watched.h"

#include "chart/control/teedata.h"
#include "chart/control/teestore.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeformbuild.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teesources.h"
#include "platform/classes/filer.h"
#include "platform/classes/registry.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/modalwatch.h"
#include "platform/graphics/clipbrd.h"
#include "platform/rtl/format.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/kernel.h"
#include "platform/win32/mailto.h"
#include <algorithm>
#include <cmath>

QM_CLASS_ABSTRACT(TTeeExportFormat, TObject)
QM_CLASS_OWNED(TTeeExportFormBase, TForm, TComponent)
QM_CLASS_OWNED(TTeeExportForm, TTeeExportFormBase, TComponent)

const char* const TeeMsg_NoMailProgram = "Can not email Chart: no mail program is installed.";

namespace {
std::vector<TClass>& Registry() {
    static std::vector<TClass> formats;
    return formats;
}

// Hourglass for the life of a scope, the default cursor on every way out.
class THourGlass {
public:
    THourGlass() { Screen->SetCursor(crHourGlass); }
    ~THourGlass() { Screen->SetCursor(crDefault); }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;
};

std::unique_ptr<TTeeExportFormat> NewFormat(TClass C) {
    if (!C || !C->Factory) return nullptr;
    std::unique_ptr<TObject> o(C->Factory(nullptr));
    auto* f = dynamic_cast<TTeeExportFormat*>(o.get());
    if (!f) return nullptr;
    o.release();
    return std::unique_ptr<TTeeExportFormat>(f);
}
} // namespace

// ---------------------------------------------------------------------------
// Format base

TTeeExportFormat::~TTeeExportFormat() = default;

void TTeeExportFormat::IncFileFilterIndex(int& FilterIndex) {
    ++FilterIndex;
    FFilterIndex = FilterIndex;
}

bool TTeeExportFormat::WantsFilterIndex(int Index) {
    return Index == FileFilterIndex();
}

TCustomForm* TTeeExportFormat::Options(bool) {
    return nullptr;
}

void TTeeExportFormat::CheckSize() {
    if (!Panel) return;
    if (Width == 0) Width = Panel->Width();
    if (Height == 0) Height = Panel->Height();
}

void TTeeExportFormat::CopyToClipboard() {
    if (!Panel) throw Exception(TeeMsg_ExportPanelNotSet);
    Options(true);
    CheckSize();
    DoCopyToClipboard();
}

void TTeeExportFormat::SaveToFile(const AnsiString& FileName) {
    if (!Panel) throw Exception(TeeMsg_ExportPanelNotSet);
    Options(true);
    CheckSize();
    TMemoryStream m;
    SaveToStream(&m);
    SaveFileReplacing(FileName, m.Memory(), m.Size());
}

void RegisterTeeExportFormat(TClass FormatClass) {
    auto& r = Registry();
    if (FormatClass && std::find(r.begin(), r.end(), FormatClass) == r.end())
        r.push_back(FormatClass);
}

void UnRegisterTeeExportFormat(TClass FormatClass) {
    auto& r = Registry();
    r.erase(std::remove(r.begin(), r.end(), FormatClass), r.end());
}

const std::vector<TClass>& TeeExportFormats() {
    return Registry();
}

void TeeFillExportFormats(TSaveDialog* Dialog, TCustomTeePanel* Panel, TStrings* Items) {
    int counter = Dialog->Filter().IsEmpty() ? 0 : 1;
    for (TClass c : Registry()) {
        std::unique_ptr<TTeeExportFormat> f = NewFormat(c);
        if (!f) continue;
        f->Panel = Panel;
        f->IncFileFilterIndex(counter);
        AnsiString filter = Dialog->Filter();
        if (!filter.IsEmpty()) filter += "|";
        Dialog->SetFilter(filter + f->FileFilter());
        if (Items) {
            AnsiString d = f->Description();
            AnsiString plain;
            for (int i = 1; i <= d.Length(); ++i)
                if (d[i] != '&') plain += d[i];
            Items->AddObject(plain, f.release());
        }
    }
}

// ---------------------------------------------------------------------------
// Routines

bool TeeSavePanel(TClass FormatClass, TCustomTeePanel* Panel) {
    return TeeExportSavePanel(FormatClass, Panel);
}

bool TeeExportSavePanel(TClass FormatClass, TCustomTeePanel* Panel) {
    std::unique_ptr<TTeeExportFormat> f = NewFormat(FormatClass);
    if (!f) return false;
    f->Panel = Panel;
    TSaveDialog dialog(nullptr);
    dialog.SetFilter(f->FileFilter());
    dialog.SetDefaultExt(f->FileExtension());
    TOpenOptions o = dialog.Options();
    o.Include(ofOverwritePrompt);
    dialog.SetOptions(o);
    // The panel may go while the dialog shows: nothing is written from it then.
    TCallOut held{Panel};
    if (!dialog.Execute() || held.Gone()) return false;
    f->WantsFilterIndex(dialog.FilterIndex());
    f->SaveToFile(dialog.FileName());
    return true;
}

void TeeEmailFile(const AnsiString& FileName, const AnsiString& Subject) {
    const TMailOutcome r = MailFileAsAttachment(FileName, Subject);
    switch (r.Result) {
    case TMailResult::Handed:
        return;
    case TMailResult::NoMailProgram:
        throw Exception(AnsiString(TeeMsg_NoMailProgram) +
                        (FileExists(FileName) ? " The file is kept as " + FileName + "." : ""));
    case TMailResult::Failed:
        throw Exception(Format(TeeMsg_CanNotEmailChart, {r.Code}));
    }
}

void SaveTeeToStream(TCustomTeePanel* Panel, TStream* Stream) {
    WriteComponentToStream(Stream, Panel);
}

void SaveTeeToFile(TCustomTeePanel* Panel, const AnsiString& FileName) {
    TMemoryStream m;
    const bool visible = Panel->Visible();
    {
        TTeeFinally restore([&] { Panel->SetVisible(visible); });
        Panel->SetVisible(true);
        SaveTeeToStream(Panel, &m);
    }
    SaveFileReplacing(FileName, m.Memory(), m.Size());
}

void LoadTeeFromStream(TCustomTeePanel*& Panel, TStream* Stream) {
    // A chart is read into a fresh one first, so a damaged file changes nothing.
    if (auto* chart = dynamic_cast<TCustomChart*>(Panel)) {
        TCallOut held{chart};
        LoadChartFromStream(chart, Stream);
        if (held.Gone()) return;
        Panel = chart;
        return;
    }
    ReadComponentFromStream(Stream, Panel);
}

void LoadTeeFromFile(TCustomTeePanel*& Panel, const AnsiString& FileName) {
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    LoadTeeFromStream(Panel, &f);
}

// ---------------------------------------------------------------------------
// Dialog

TTeeExportFormBase::TTeeExportFormBase(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Export Dialog");
    SetClientWidth(379);
    SetClientHeight(225);
    SetPosition(poScreenCenter);
    SetBorderIcons({biSystemMenu});
    SetBorderStyle(bsDialog);

    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 4, 4, 371, 186);
    PageControl1->SetHotTrack(true);
    TabPicture = TeeNewTab(PageControl1, "TabPicture", "Picture");
    TabNative = TeeNewTab(PageControl1, "TabNative", "Native");
    TabData = TeeNewTab(PageControl1, "TabData", "Data");
    PageControl1->SetActivePage(TabPicture);

    TWinControl* p = TabPicture;
    RGFormat = TeeNew<TGroupBox>(this, p, "RGFormat", 0, 0, 120, 158);
    RGFormat->SetAlign(alLeft);
    RGFormat->SetCaption("&Format");
    LBFormat = TeeNew<TListBox>(this, RGFormat, "LBFormat", 6, 18, 108, 130);
    LBFormat->SetAlign(alClient);
    PageOptions = TeeNew<TPageControl>(this, p, "PageOptions", 120, 0, 243, 158);
    PageOptions->SetAlign(alClient);
    TabOptions = TeeNewTab(PageOptions, "TabOptions", "Options");
    TabSize = TeeNewTab(PageOptions, "TabSize", "Size");
    TWinControl* s = TabSize;
    UDWidth = TeeNewUpDown(this, s, "EWidth", "UDWidth", 70, 10, 60, 0, 3000, &EWidth);
    TeeNewLabel(this, s, "&Width:", 8, 14, EWidth);
    UDHeight = TeeNewUpDown(this, s, "EHeight", "UDHeight", 70, 38, 60, 0, 3000, &EHeight);
    TeeNewLabel(this, s, "&Height:", 8, 42, EHeight);
    CBAspect = TeeNewCheck(this, s, "CBAspect", "&Keep aspect ratio", 8, 70, 140);
    CBAspect->SetChecked(true);

    TWinControl* n = TabNative;
    CBNativeData = TeeNewCheck(this, n, "CBNativeData", "&Include Series data", 8, 10, 180);
    CBNativeData->SetChecked(true);
    CBFileSize = TeeNewCheck(this, n, "CBFileSize", "&File size:", 8, 36, 90);
    LabelSize = TeeNewLabel(this, n, "?", 104, 38);
    CBNativeFormat = TeeNewCombo(this, n, "CBNativeFormat", 70, 64, 90, {"Binary", "Text"});
    CBNativeFormat->SetItemIndex(0);
    TeeNewLabel(this, n, "&Format:", 8, 68, CBNativeFormat);

    TWinControl* d = TabData;
    CBSeries = TeeNewCombo(this, d, "CBSeries", 54, 6, 150, {});
    TeeNewLabel(this, d, "Se&ries:", 8, 10, CBSeries);
    RGText = TeeNewRadio(this, d, "RGText", "&Format:", 8, 32, 130, 118,
                         {"Text", "XML", "HTML Table", "Excel"});
    CBDelim =
        TeeNewCombo(this, d, "CBDelim", 150, 52, 90, {"Space", "Tab", "Comma", "Colon", "Custom"});
    TeeNewLabel(this, d, "&Delimiter:", 150, 34, CBDelim);
    ECustom = TeeNew<TEdit>(this, d, "ECustom", 246, 52, 24, 21);
    ECustom->SetMaxLength(1);
    ECustom->SetEnabled(false);
    GroupBox1 = TeeNew<TGroupBox>(this, d, "GroupBox1", 150, 78, 200, 74);
    GroupBox1->SetCaption("&Include:");
    CBIndex = TeeNewCheck(this, GroupBox1, "CBIndex", "Point &Index", 8, 20, 92);
    CBLabels = TeeNewCheck(this, GroupBox1, "CBLabels", "Point &Labels", 104, 20, 92);
    CBLabels->SetChecked(true);
    CBHeader = TeeNewCheck(this, GroupBox1, "CBHeader", "&Header", 8, 46, 92);
    CBHeader->SetChecked(true);
    CBColors = TeeNewCheck(this, GroupBox1, "CBColors", "Point &Colors", 104, 46, 92);

    BCopy = TeeNewButton(this, this, "BCopy", "&Copy", 4, 195);
    BSave = TeeNewButton(this, this, "BSave", "&Save...", 84, 195);
    BSend = TeeNewButton(this, this, "BSend", "S&end...", 164, 195);
    BClose = TeeNewButton(this, this, "BClose", "Close", 300, 195);
    BClose->SetDefault(true);
    BClose->SetCancel(true);
    BClose->SetModalResult(mrOk);

    const TOpenOptions opts{ofOverwritePrompt, ofHideReadOnly};
    SaveDialogPicture = new TSaveDialog(this);
    SaveDialogPicture->SetOptions(opts);
    SaveDialogData = new TSaveDialog(this);
    SaveDialogData->SetOptions(opts);
    SaveDialogData->SetDefaultExt("txt");
    SaveDialogData->SetFilter(
        "Space delimited text files|*.txt|Tab delimited text files|*.txt|Comma delimited text "
        "files|*.csv|Custom delimited text files|*.txt|XML files|*.xml|HTML files|*.htm|"
        "Microsoft Excel files|*.xls");
    SaveDialogNative = new TSaveDialog(this);
    SaveDialogNative->SetOptions(opts);
    SaveDialogNative->SetFilter("Native tee files|*.TEE");

    PageControl1->OnChange = [this](TObject*) { EnableButtons(); };
    LBFormat->OnClick = [this](TObject* S) { RGFormatClick(S); };
    EWidth->OnChange = [this](TObject* S) { EWidthChange(S); };
    EHeight->OnChange = [this](TObject* S) { EWidthChange(S); };
    CBNativeData->OnClick = [this](TObject* S) { CBFileSizeClick(S); };
    CBFileSize->OnClick = [this](TObject* S) { CBFileSizeClick(S); };
    CBNativeFormat->OnChange = [this](TObject* S) {
        CBFileSizeClick(S);
        EnableButtons();
    };
    RGText->OnClick = [this](TObject* S) { RGTextClick(S); };
    CBDelim->OnChange = [this](TObject* S) { CBDelimChange(S); };
    BCopy->OnClick = [this](TObject* S) { BCopyClick(S); };
    BSave->OnClick = [this](TObject* S) { BSaveClick(S); };
    BSend->OnClick = [this](TObject* S) { BSendClick(S); };
    OnShow = [this](TObject* S) { FormShow(S); };
}

TTeeExportFormBase::~TTeeExportFormBase() {
    FreeExportFormats();
}

void TTeeExportFormBase::FreeExportFormats() {
    TStrings* items = LBFormat->Items();
    std::vector<TObject*> owned;
    for (int i = 0; i < items->Count(); ++i)
        owned.push_back(items->Objects(i));
    items->Clear();
    for (TObject* o : owned)
        delete o;
}

TTabSheet* TTeeExportFormBase::ActiveTab() {
    return PageControl1->ActivePage();
}

void TTeeExportFormBase::PrepareOnShow() {
    TabData->SetTabVisible(false);
    CBNativeData->SetVisible(false);
}

void TTeeExportFormBase::FormShow(TObject*) {
    RGText->SetItemIndex(0);
    for (TSaveDialog* d : {SaveDialogPicture, SaveDialogData, SaveDialogNative}) {
        TOpenOptions o = d->Options();
        o.Include(ofEnableSizing);
        d->SetOptions(o);
    }
    if (Subject()) ExportPanel = SubjectAs<TCustomTeePanel>();
    if (ExportPanel) {
        FChangingSize = true;
        TTeeFinally clear([this] { FChangingSize = false; });
        UDWidth->SetPosition(ExportPanel->Width());
        UDHeight->SetPosition(ExportPanel->Height());
        FAspect = ExportPanel->Height() != 0
                      ? static_cast<double>(ExportPanel->Width()) / ExportPanel->Height()
                      : 0;
        PrepareOnShow();
        FreeExportFormats();
        SaveDialogPicture->SetFilter("");
        TeeFillExportFormats(SaveDialogPicture, ExportPanel, LBFormat->Items());
        CBDelim->SetItemIndex(1);
        if (LBFormat->Items()->Count() > 0) LBFormat->SetItemIndex(0);
        RGFormatClick(LBFormat);
        EnableButtons();
    }
    TeeTranslateControl(this);
}

TTeeExportFormat* TTeeExportFormBase::PictureFormat() {
    const int i = LBFormat->ItemIndex();
    if (i < 0 || i >= LBFormat->Items()->Count()) return nullptr;
    return dynamic_cast<TTeeExportFormat*>(LBFormat->Items()->Objects(i));
}

void TTeeExportFormBase::RGFormatClick(TObject*) {
    for (int i = TabOptions->ControlCount() - 1; i >= 0; --i)
        TabOptions->Controls(i)->SetVisible(false);
    TTeeExportFormat* f = PictureFormat();
    TCustomForm* options = f ? f->Options(true) : nullptr;
    if (options && options->ControlCount() > 0) {
        TabOptions->SetTabVisible(true);
        PageOptions->SetActivePage(TabOptions);
        AddFormTo(options, TabOptions, ExportPanel);
    } else {
        TabOptions->SetTabVisible(false);
        PageOptions->SetActivePage(TabSize);
    }
    EnableButtons();
}

bool TTeeExportFormBase::CanChangeSize() {
    return Showing() && !FChangingSize && CBAspect->Checked() && FAspect != 0;
}

void TTeeExportFormBase::EWidthChange(TObject* Sender) {
    if (!CanChangeSize()) return;
    int v;
    if (!TryStrToInt(static_cast<TEdit*>(Sender)->Text(), v)) return;
    FChangingSize = true;
    TTeeFinally clear([this] { FChangingSize = false; });
    if (Sender == EHeight)
        UDWidth->SetPosition(static_cast<int>(std::lround(v * FAspect)));
    else
        UDHeight->SetPosition(static_cast<int>(std::lround(v / FAspect)));
}

bool TTeeExportFormBase::NativeAsText() {
    return CBNativeFormat->ItemIndex() == 1;
}

void TTeeExportFormBase::EnableButtons() {
    TTabSheet* tab = ActiveTab();
    bool copy = false;
    if (tab == TabPicture)
        copy = PictureFormat() != nullptr;
    else if (tab == TabData)
        copy = ExistData();
    else if (tab == TabNative)
        copy = NativeAsText();
    const bool save = copy || tab == TabNative;
    if (tab == TabData && RGText->ItemIndex() == 3) copy = false;
    BCopy->SetEnabled(copy);
    BSave->SetEnabled(save);
    BSend->SetEnabled(save && MailProgramInstalled());
}

void TTeeExportFormBase::RGTextClick(TObject*) {
    const bool text = RGText->ItemIndex() == 0;
    CBDelim->SetEnabled(text);
    ECustom->SetEnabled(text && CBDelim->ItemIndex() == 4);
    EnableButtons();
}

void TTeeExportFormBase::CBDelimChange(TObject*) {
    const bool custom = CBDelim->ItemIndex() == 4;
    ECustom->SetEnabled(custom);
    if (custom && ECustom->CanFocus()) ECustom->SetFocus();
}

char TTeeExportFormBase::GetSeparator() {
    switch (CBDelim->ItemIndex()) {
    case 0:
        return ' ';
    case 1:
        return '\t';
    case 2:
        return ',';
    case 3:
        return ';';
    default: {
        const AnsiString t = ECustom->Text();
        return t.IsEmpty() ? ' ' : t[1];
    }
    }
}

int TTeeExportFormBase::GetDataFilterIndex() {
    const int f = RGText->ItemIndex();
    if (f >= 1) return f + 4;
    switch (CBDelim->ItemIndex()) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 2:
        return 3;
    default:
        return 4;
    }
}

void TTeeExportFormBase::CBFileSizeClick(TObject*) {
    if (CBFileSize->Checked() && ExportPanel) {
        std::unique_ptr<TMemoryStream> m = CreateNativeStream();
        LabelSize->SetCaption(Format(TeeMsg_FileSize, {static_cast<int>(m->Size())}));
    } else {
        LabelSize->SetCaption("?");
    }
}

std::unique_ptr<TMemoryStream> TTeeExportFormBase::CreateNativeStream() {
    auto m = std::make_unique<TMemoryStream>();
    SaveTeeToStream(ExportPanel, m.get());
    return m;
}

void TTeeExportFormBase::DoSaveNativeToFile(const AnsiString& FileName, bool) {
    SaveTeeToFile(ExportPanel, FileName);
}

// ---------------------------------------------------------------------------
// Buttons

void TTeeExportFormBase::SavePictureToFile(const AnsiString& FileName) {
    TTeeExportFormat* f = PictureFormat();
    if (!f) return;
    THourGlass wait;
    f->Width = UDWidth->Position();
    f->Height = UDHeight->Position();
    f->SaveToFile(FileName);
}

void TTeeExportFormBase::SaveNativeToFile(const AnsiString& FileName) {
    THourGlass wait;
    DoSaveNativeToFile(ChangeFileExt(FileName, ".tee"), CBNativeData->Checked());
}

void TTeeExportFormBase::SaveDataToFile(const AnsiString& FileName) {
    THourGlass wait;
    std::unique_ptr<TSeriesData> data = CreateData();
    if (data) data->SaveToFile(FileName);
}

void TTeeExportFormBase::BCopyClick(TObject*) {
    TTabSheet* tab = ActiveTab();
    if (tab == TabPicture) {
        if (TTeeExportFormat* f = PictureFormat()) {
            f->Width = UDWidth->Position();
            f->Height = UDHeight->Position();
            f->CopyToClipboard();
        }
    } else if (tab == TabData) {
        THourGlass wait;
        if (std::unique_ptr<TSeriesData> data = CreateData()) data->CopyToClipboard();
    } else if (tab == TabNative && NativeAsText()) {
        std::unique_ptr<TMemoryStream> m = CreateNativeStream();
        Clipboard()->SetAsText(
            AnsiString(static_cast<const char*>(m->Memory()), static_cast<int>(m->Size())));
    }
}

void TTeeExportFormBase::BSaveClick(TObject*) {
    TTabSheet* tab = ActiveTab();
    // The form or the chart it exports may go while a save dialog shows.
    TCallOut held{this, ExportPanel};
    if (tab == TabPicture) {
        TTeeExportFormat* f = PictureFormat();
        if (!f) return;
        SaveDialogPicture->SetDefaultExt(f->FileExtension());
        SaveDialogPicture->SetFilterIndex(f->FileFilterIndex());
        SaveDialogPicture->SetFileName("");
        if (!SaveDialogPicture->Execute() || held.Gone()) return;
        // The format of the filter picked writes the file, so content and name agree.
        TStrings* items = LBFormat->Items();
        for (int i = 0; i < items->Count(); ++i) {
            auto* g = dynamic_cast<TTeeExportFormat*>(items->Objects(i));
            if (!g || !g->WantsFilterIndex(SaveDialogPicture->FilterIndex())) continue;
            if (i != LBFormat->ItemIndex()) {
                LBFormat->SetItemIndex(i);
                RGFormatClick(LBFormat);
            }
            break;
        }
        SavePictureToFile(SaveDialogPicture->FileName());
    } else if (tab == TabNative) {
        SaveDialogNative->SetFileName("");
        SaveDialogNative->SetDefaultExt("tee");
        SaveDialogNative->SetFilter(TeeMsg_NativeFilter);
        if (SaveDialogNative->Execute() && held.Live())
            SaveNativeToFile(SaveDialogNative->FileName());
    } else if (tab == TabData) {
        SaveDialogData->SetFileName("");
        SaveDialogData->SetFilterIndex(GetDataFilterIndex());
        if (!SaveDialogData->Execute() || held.Gone()) return;
        const int index = SaveDialogData->FilterIndex();
        RGText->SetItemIndex(index > 4 ? index - 4 : 0);
        // Space, tab and comma each have their own filter.
        if (index >= 1 && index <= 3) CBDelim->SetItemIndex(index - 1);
        SaveDataToFile(SaveDialogData->FileName());
    }
}

void TTeeExportFormBase::BSendClick(TObject*) {
    // Asked first, so without a mail program nothing is written or changed.
    if (!MailProgramInstalled()) throw Exception(TeeMsg_NoMailProgram);
    const AnsiString folder = NewMailFolder();
    if (folder.IsEmpty()) throw Exception(TeeMsg_CanNotFindTempPath);
    AnsiString name = folder + FMailName;
    TTabSheet* tab = ActiveTab();
    if (tab == TabPicture) {
        TTeeExportFormat* f = PictureFormat();
        if (!f) return;
        name = ChangeFileExt(name, "." + f->FileExtension());
        SavePictureToFile(name);
    } else if (tab == TabNative) {
        name = ChangeFileExt(name, ".tee");
        SaveNativeToFile(name);
    } else {
        // The extension of the data filter's pattern ("*.csv" gives ".csv").
        const AnsiString filter = SaveDialogData->Filter();
        const int wanted = 2 * GetDataFilterIndex() - 1;
        int piece = 0, start = 1;
        AnsiString pattern;
        for (int i = 1; i <= filter.Length() + 1; ++i) {
            if (i > filter.Length() || filter[i] == '|') {
                if (piece == wanted) {
                    pattern = filter.SubString(start, i - start);
                    break;
                }
                ++piece;
                start = i + 1;
            }
        }
        const int dot = pattern.Pos(".");
        name = ChangeFileExt(name, dot > 0 ? pattern.SubString(dot, pattern.Length()) : ".txt");
        SaveDataToFile(name);
    }
    // The mail program reads the attachment later: the file stays.
    TeeEmailFile(name, FMailName);
}

// ---------------------------------------------------------------------------
// The chart's export dialog

TTeeExportForm::TTeeExportForm(TComponent* AOwner) : TTeeExportFormBase(AOwner) {
    auto* splitter = new TSplitter(this);
    splitter->SetName("Splitter1");
    splitter->SetParent(TabPicture);
    splitter->SetAlign(alLeft);
    splitter->SetLeft(RGFormat->Left() + RGFormat->Width());
    splitter->SetWidth(3);
    GroupBox1->SetWidth(208);
    FSeriesItems = new TListedObjects(this, CBSeries);
}

TCustomChart* TTeeExportForm::Chart() {
    return dynamic_cast<TCustomChart*>(ExportPanel.Get());
}

bool TTeeExportForm::ExistData() {
    auto* axis = dynamic_cast<TCustomAxisPanel*>(ExportPanel.Get());
    return axis && axis->SeriesCount() > 0;
}

void TTeeExportForm::PrepareOnShow() {
    FSeriesItems->Clear();
    FSeriesItems->Add(TeeMsg_All);
    ListSeries(FSeriesItems, dynamic_cast<TCustomAxisPanel*>(ExportPanel.Get()));
    CBSeries->SetItemIndex(0);
}

std::unique_ptr<TSeriesData> TTeeExportForm::CreateData() {
    auto* axis = dynamic_cast<TCustomAxisPanel*>(ExportPanel.Get());
    if (!axis) return nullptr;
    TChartSeries* series = nullptr;
    const int i = CBSeries->ItemIndex();
    if (i > 0) series = dynamic_cast<TChartSeries*>(FSeriesItems->Object(i));
    std::unique_ptr<TSeriesData> data;
    switch (RGText->ItemIndex()) {
    case 0: {
        auto text = std::make_unique<TSeriesDataText>(axis, series);
        text->TextDelimiter = GetSeparator();
        data = std::move(text);
        break;
    }
    case 1:
        data = std::make_unique<TSeriesDataXML>(axis, series);
        break;
    case 2:
        data = std::make_unique<TSeriesDataHTML>(axis, series);
        break;
    default:
        data = std::make_unique<TSeriesDataXLS>(axis, series);
        break;
    }
    data->IncludeLabels = CBLabels->Checked();
    data->IncludeIndex = CBIndex->Checked();
    data->IncludeHeader = CBHeader->Checked();
    data->IncludeColors = CBColors->Checked();
    return data;
}

void TTeeExportForm::DoSaveNativeToFile(const AnsiString& FileName, bool IncludeData) {
    if (TCustomChart* c = Chart())
        SaveChartToFile(c, FileName, IncludeData, NativeAsText());
    else
        TTeeExportFormBase::DoSaveNativeToFile(FileName, IncludeData);
}

std::unique_ptr<TMemoryStream> TTeeExportForm::CreateNativeStream() {
    TCustomChart* c = Chart();
    if (!c) return TTeeExportFormBase::CreateNativeStream();
    auto m = std::make_unique<TMemoryStream>();
    SaveChartToStream(c, m.get(), CBNativeData->Checked(), NativeAsText());
    return m;
}

void TeeExport(TComponent* Owner, TCustomTeePanel* Panel) {
    std::unique_ptr<TTeeExportForm> form = std::make_unique<TTeeExportForm>(Owner);
    form->ExportPanel = Panel;
    ShowModalWatching(form.get(), {Panel});
}

// ---------------------------------------------------------------------------
// Help files

const char* const HelpFolderKey = "\\SOFTWARE\\Microsoft\\Windows\\Help";

AnsiString GetRegistryHelpPath(const AnsiString& HelpFile) {
    try {
        TRegistry reg(KEY_READ);
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        // A file without a folder of its own is not registered: its name alone
        // would not be found anywhere.
        if (!reg.OpenKeyReadOnly(HelpFolderKey) || !reg.ValueExists(HelpFile)) return "";
        const AnsiString folder = reg.ReadString(HelpFile);
        if (folder.IsEmpty()) return "";
        const char last = folder[folder.Length()];
        return last == '/' || last == '\\' ? folder + HelpFile : folder + "/" + HelpFile;
    } catch (const ERegistryException&) {
        return "";
    }
}
