// Main window: its components, construction with SETUP.INI, the optional menu
// items, the wallpaper and banner pictures.
#include "app/main.h"
#include "app/livereading.h"
#include "app/setupini.h"
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teecommander.h"
#include "chart/engine/teeaxis.h"
#include "comm/seriell_cpm.h"
#include "comm/usbread.h"
#include "platform/forms/dialogs.h"
#include "platform/rtl/floatformat.h"
#include "platform/win32/kernel.h"
#include <algorithm>

QM_CLASS_OWNED(TMainForm, TForm, TComponent)

TMainForm* MainForm = nullptr;
const char* const PlusMinus = "\xB1";

USB& MainUsb() {
    static USB usb;
    return usb;
}

C_CPM_EF& MainCpm() {
    static C_CPM_EF cpm;
    return cpm;
}

namespace {
constexpr int FormWidth = 1006, FormHeight = 700;
constexpr int CommanderHeight = 33, LogoWidth = 329, LogoHeight = 81;
// Banner pictures larger than this are refused before loading.
constexpr int64_t MaxBannerBytes = 16 << 20;

// The emblem on a picture just its size: centred on the white window it
// looks as a window-sized picture would, with a fifth of the pixels. Its
// sides are even so that it centres as the window-sized picture did.
void DrawWallpaper(TBitmap* Picture) {
    TCanvas* c = Picture->Canvas();
    const AnsiString title = "QM read out", line = "Electrostatic measurements";
    c->Font()->SetName("Arial");
    c->Font()->SetStyle({fsBold});
    c->Font()->SetHeight(-64);
    const int titleWidth = c->TextWidth(title);
    c->Font()->SetStyle({});
    c->Font()->SetHeight(-18);
    const int lineWidth = c->TextWidth(line);
    const int width = (std::max({440, titleWidth, lineWidth}) + 17) & ~1;
    const int height = 2 * 176;
    Picture->SetSize(width, height);
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, width, height));
    // Field lines of a charged plate: the program's emblem.
    c->Pen()->SetColor(TColor(0xE0C8B0));
    for (int i = 0; i < 9; ++i) {
        const int x = width / 2 - 200 + i * 50;
        c->MoveTo(x, height / 2 + 60);
        c->LineTo(x, height / 2 + 160);
    }
    c->Brush()->SetColor(TColor(0x804000));
    c->FillRect(TRect(width / 2 - 220, height / 2 + 160, width / 2 + 220, height / 2 + 172));
    c->Brush()->SetColor(clWhite);
    c->Font()->SetHeight(-64);
    c->Font()->SetStyle({fsBold});
    c->Font()->SetColor(TColor(0x804000));
    c->TextOut((width - titleWidth) / 2, height / 2 - 80, title);
    c->Font()->SetHeight(-18);
    c->Font()->SetStyle({});
    c->Font()->SetColor(clGray);
    c->TextOut((width - lineWidth) / 2, height / 2 + 8, line);
}

void DrawDefaultLogo(TBitmap* Picture) {
    Picture->SetSize(LogoWidth, LogoHeight);
    TCanvas* c = Picture->Canvas();
    c->Brush()->SetColor(TColor(0x804000));
    c->FillRect(TRect(0, 0, LogoWidth, LogoHeight));
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-36);
    c->Font()->SetStyle({fsBold});
    c->Font()->SetColor(clWhite);
    const AnsiString title = "QM read out";
    c->TextOut((LogoWidth - c->TextWidth(title)) / 2, (LogoHeight - c->TextHeight(title)) / 2,
               title);
}

void SetFigureFont(TControl* Control, int Height) {
    Control->Font()->SetName("Arial");
    Control->Font()->SetHeight(-Height);
}
} // namespace

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner) {
    SetName("MainForm");
    CreateComponents();
    CreateMenu();

    for (int i = 0; i <= 5; ++i)
        if (ParamStr(i).LowerCase() == "calibrate") CalibrateSwitch = true;

    ReadSetup();

    SetBounds((Screen->Width() - FormWidth) / 2, (Screen->Height() - FormHeight) / 2, FormWidth,
              FormHeight);
    Minwert->SetText("");
    Maxwert->SetText("");
    Messwert->SetText("");

    ChartWidth = Sampling_time_Display * 60 * 0.001;
    ResetBottomAxis();
    LiveSeries()->Clear();

    NegMax = NoReading;
    PosMax = -NoReading;
    DeviceSelected = false;
    CPM_Version610 = true;
    ModelText = "0";
    DeviceType = 0;
    RangeCode = 0;
    SampleTime = 0;
    ClearChartOnReset = false;
    TitleText = "QM read out";
    TeeCommander1->Hide();
    Chart1->Hide();
    GroupBox1->Hide();
    image_Manufac_Logo->Hide();
    View->SetEnabled(false);

    PGT3001->SetVisible(true);
    EFM640B1->SetVisible(true);

    SetCaption(TitleText);
    Exit1->SetCaption(Main_1);
    Device->SetCaption(Main_2);
    View->SetCaption(Main_3);
    Help->SetCaption(Main_4);

    BuildOptionalItems();
    LoadBanner();
    ShowWallpaper();
    RXM_Calibrate->SetVisible(CalibrateSwitch);
    RXM_FirstStart = true;
}

void TMainForm::AddSetupProblems(const std::vector<AnsiString>& Problems) {
    for (const AnsiString& p : Problems)
        if (std::find(FSetupProblems.begin(), FSetupProblems.end(), p) == FSetupProblems.end())
            FSetupProblems.push_back(p);
}

void TMainForm::ReportSetupProblems() {
    if (FSetupProblemsReported == FSetupProblems.size()) return;
    const std::vector<AnsiString> news(FSetupProblems.begin() + FSetupProblemsReported,
                                       FSetupProblems.end());
    FSetupProblemsReported = FSetupProblems.size();
    Application->MessageBox(SetupProblemsText(news), "SETUP.INI", MB_OK | MB_ICONWARNING);
}

TMainForm::~TMainForm() {
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::PaintOver(TCanvas* ACanvas) {
    TForm::PaintOver(ACanvas);
    if (TNotifyEvent first = std::move(OnFirstPaint)) {
        OnFirstPaint = nullptr;
        first(this);
    }
}

void TMainForm::CreateComponents() {
    SetColor(clWhite);
    Font()->SetName("MS Sans Serif");
    SetBorderIcons({biSystemMenu, biMinimize});
    SetBounds(0, 0, FormWidth, FormHeight);
    Constraints()->SetMinWidth(FormWidth);
    Constraints()->SetMaxWidth(FormWidth);
    Constraints()->SetMinHeight(FormHeight);
    Constraints()->SetMaxHeight(FormHeight);

    ImageWallpaper = NewControl<TImage>(this, this, "ImageWallpaper", 0, 0, FormWidth, 640);
    ImageWallpaper->SetAlign(alClient);
    ImageWallpaper->SetCenter(true);
    DrawWallpaper(ImageWallpaper->Picture()->Bitmap());

    Chart1 = NewControl<TChart>(this, this, "Chart1", LogoWidth, CommanderHeight,
                                FormWidth - 8 - LogoWidth, 610);
    TeeCommander1 =
        NewControl<TTeeCommander>(this, this, "TeeCommander1", 0, 0, FormWidth, CommanderHeight);
    TeeCommander1->SetAlign(alTop);
    TeeCommander1->SetPanel(Chart1);

    image_Manufac_Logo = NewControl<TImage>(this, this, "image_Manufac_Logo", 0, CommanderHeight,
                                            LogoWidth, LogoHeight);
    image_Manufac_Logo->SetStretch(true);

    GroupBox1 = NewControl<TGroupBox>(this, this, "GroupBox1", 0, CommanderHeight + LogoHeight,
                                      LogoWidth, 529);
    SetFigureFont(GroupBox1, 21);
    struct TFigure {
        TLabel** Label;
        const char* LabelName;
        const char* Caption;
        TMemo** Memo;
        const char* MemoName;
    };
    const TFigure figures[] = {{&LabelposMax, "LabelposMax", "pos. maximum", &Maxwert, "Maxwert"},
                               {&LabelMess, "LabelMess", "measurement", &Messwert, "Messwert"},
                               {&LabelnegMax, "LabelnegMax", "neg. maximum", &Minwert, "Minwert"}};
    int y = 28;
    for (const TFigure& f : figures) {
        *f.Label = NewControl<TLabel>(this, GroupBox1, f.LabelName, 12, y, 200, 24, f.Caption);
        *f.Memo = NewControl<TMemo>(this, GroupBox1, f.MemoName, 12, y + 26, 305, 52);
        (*f.Memo)->SetReadOnly(true);
        (*f.Memo)->SetAlignment(taRightJustify);
        (*f.Memo)->SetWordWrap(false);
        SetFigureFont(*f.Memo, 32);
        y += 100;
    }
    laSampleTime = NewControl<TLabel>(this, GroupBox1, "laSampleTime", 12, y, 305, 24);
    laSampleTime->Font()->SetHeight(-16);
    y += 40;
    b_Start = NewControl<TBitBtn>(this, GroupBox1, "b_Start", 12, y, 148, 44, "&Start");
    b_Stop_ = NewControl<TBitBtn>(this, GroupBox1, "b_Stop_", 169, y, 148, 44, "S&top");
    b_Reset = NewControl<TBitBtn>(this, GroupBox1, "b_Reset", 12, y + 54, 148, 44, "&Reset");
    b_Cancel = NewControl<TBitBtn>(this, GroupBox1, "b_Cancel", 169, y + 54, 148, 44, "E&xit");
    b_Stop_->SetCancel(true);
    b_Cancel->SetCancel(true);
    b_Start->OnClick = [this](TObject* s) { b_StartClick(s); };
    b_Stop_->OnClick = [this](TObject* s) { b_Stop_Click(s); };
    b_Reset->OnClick = [this](TObject* s) { b_ResetClick(s); };
    b_Cancel->OnClick = [this](TObject* s) { b_CancelClick(s); };

    // Design-time look of the live chart.
    Chart1->Legend()->SetVisible(false);
    Chart1->SetView3D(false);
    Chart1->SetColor(clSilver);
    Chart1->SetPrintMargins(TRect(15, 11, 15, 11));
    Chart1->Title()->Font()->SetColor(clMaroon);
    Chart1->Title()->Font()->SetStyle({fsBold});
    Chart1->Title()->Font()->SetHeight(-19);
    TChartAxis* bottom = Chart1->BottomAxis();
    bottom->SetAutomatic(false);
    bottom->SetAutomaticMaximum(false);
    bottom->SetAutomaticMinimum(false);
    bottom->SetMinimum(0);
    bottom->SetMaximum(60);
    bottom->SetIncrement(1);
    bottom->SetAxisValuesFormat("#,#");
    bottom->Title()->SetCaption("Time Sek.");
    TChartAxis* left = Chart1->LeftAxis();
    left->SetAutomatic(false);
    left->SetAutomaticMaximum(false);
    left->SetAutomaticMinimum(false);
    left->SetMinimum(-1);
    left->SetMaximum(1);
    left->Axis()->SetWidth(3);
    left->Axis()->SetColor(TColor(8404992));
    left->Title()->SetCaption("kV/m");
    left->Title()->Font()->SetStyle({fsBold});
    left->Title()->Font()->SetHeight(-16);
    left->SetTitleSize(7);
    Chart1->TopAxis()->SetLabels(false);
    Chart1->RightAxis()->SetLabels(false);

    CreateLiveSeries();

    Error_1 = NewControl<TMemo>(this, Chart1, "Error_1", 120, 200, 420, 150);
    Error_1->SetColor(clRed);
    Error_1->Font()->SetColor(clWhite);
    Error_1->Font()->SetStyle({fsBold});
    Error_1->Font()->SetHeight(-21);
    Error_1->SetReadOnly(true);
    FillConverterNotice(Error_1);
    Error_1->Hide();
}

void TMainForm::CreateLiveSeries() {
    auto* series = new TLineSeries(this);
    Series1 = series;
    series->SetName("Series1");
    series->SetParentChart(Chart1);
    series->SetSeriesColor(clRed);
    series->SetColorEachPoint(true);
    series->Marks()->SetVisible(false);
    series->Pointer()->SetVisible(false);
    series->Pointer()->SetStyle(psDiagCross);
    series->Pointer()->SetHorizSize(2);
    series->Pointer()->SetVertSize(2);
}

void TMainForm::ReadSetup() {
    const TSetupValues v = ReadSetupIni(SetupIniPath(), FSetupProblems);
    Delta_U = v.Delta_U;
    Average_U = v.Average_U;
    Sampling_time_Chart = v.Sampling_time_Chart;
    Sampling_time_Display = v.Sampling_time_Display;
    Banner = v.Banner;
    Main_1 = v.Main_1;
    Main_2 = v.Main_2;
    Main_3 = v.Main_3;
    Main_4 = v.Main_4;
    Text_Men_Opt_1 = v.Text_Men_Opt_1;
    Text_Sub_Men_Opt_1 = v.Text_Sub_Men_Opt_1;
    Text_Opt1_Unit = v.Text_Opt1_Unit;
    Text_Opt1_2_Unit = v.Text_Opt1_2_Unit;
    Text_Men_Opt_2 = v.Text_Men_Opt_2;
    Text_Sub_Men_Opt_2 = v.Text_Sub_Men_Opt_2;
    Text_Opt2_Unit = v.Text_Opt2_Unit;
    Text_Opt2_2_Unit = v.Text_Opt2_2_Unit;
    double* const opt[4][3] = {
        {&Value_Opt1_LeftAxisMin, &Value_Opt1_LeftAxisMax, &Value_Opt1_Calc_Factor},
        {&Value_Opt1_2_LeftAxisMin, &Value_Opt1_2_LeftAxisMax, &Value_Opt1_2_Calc_Factor},
        {&Value_Opt2_LeftAxisMin, &Value_Opt2_LeftAxisMax, &Value_Opt2_Calc_Factor},
        {&Value_Opt2_2_LeftAxisMin, &Value_Opt2_2_LeftAxisMax, &Value_Opt2_2_Calc_Factor}};
    for (int g = 0; g < 4; ++g)
        for (int p = 0; p < 3; ++p)
            *opt[g][p] = v.Opt[g][p];
    CPM_DataDirectory = v.CPM_DataDirectory;
    TestOutput = v.TestOutput;
    PGT_DataDirectory = v.PGT_DataDirectory;
}

void TMainForm::BuildOptionalItems() {
    struct TGroup {
        TMenuItem *Model, *Mode, *First, *Second;
        const AnsiString &ModelText, &ModeText;
        double Min1, Max1, Min2, Max2;
        const AnsiString &Unit1, &Unit2;
    };
    const TGroup groups[] = {
        {Opt11, Opt111, Opt121, Opt122, Text_Men_Opt_1, Text_Sub_Men_Opt_1, Value_Opt1_LeftAxisMin,
         Value_Opt1_LeftAxisMax, Value_Opt1_2_LeftAxisMin, Value_Opt1_2_LeftAxisMax, Text_Opt1_Unit,
         Text_Opt1_2_Unit},
        {Opt21, Opt211, Opt221, Opt222, Text_Men_Opt_2, Text_Sub_Men_Opt_2, Value_Opt2_LeftAxisMin,
         Value_Opt2_LeftAxisMax, Value_Opt2_2_LeftAxisMin, Value_Opt2_2_LeftAxisMax, Text_Opt2_Unit,
         Text_Opt2_2_Unit}};
    for (const TGroup& g : groups) {
        g.Model->SetVisible(false);
        if (g.ModelText.IsEmpty() || g.ModeText.IsEmpty()) continue;
        g.Model->SetVisible(true);
        g.Model->SetCaption(g.ModelText);
        g.Mode->SetCaption(g.ModeText);
        g.First->SetCaption(PlusMinus + FloatToStr(g.Max1) + g.Unit1);
        g.Second->SetCaption(PlusMinus + FloatToStr(g.Max2) + g.Unit2);
        g.First->SetVisible(g.Min1 != 0 && g.Max1 != 0);
        g.Second->SetVisible(g.Min2 != 0 && g.Max2 != 0);
    }
}

void TMainForm::LoadBanner() {
    FDefaultLogoPending = true;
    if (Banner.IsEmpty() || !FileExists(Banner)) return;
    const AnsiString ext = ExtractFileExt(Banner).LowerCase();
    AnsiString refusal;
    if (ext != ".jpg" && ext != ".jpeg" && ext != ".bmp")
        refusal = "only JPEG and bitmap pictures are shown";
    else if (GetFileSizeByName(Banner) > MaxBannerBytes)
        refusal = "the file is larger than 16 MB";
    else
        try {
            TPicture picture;
            picture.LoadFromFile(Banner);
            image_Manufac_Logo->Picture()->Assign(&picture);
            FDefaultLogoPending = false;
            return;
        } catch (const std::exception& e) {
            refusal = e.what();
        }
    Application->MessageBox("The banner picture " + Banner + " was not shown: " + refusal, "Banner",
                            MB_OK | MB_ICONWARNING);
}

void TMainForm::ShowLogo() {
    if (FDefaultLogoPending) {
        FDefaultLogoPending = false;
        DrawDefaultLogo(image_Manufac_Logo->Picture()->Bitmap());
    }
    image_Manufac_Logo->Show();
}

void TMainForm::ShowWallpaper() {
    ImageWallpaper->Show();
    const TRect r = ImageWallpaper->DestRect();
    const int x = ImageWallpaper->Left(), y = ImageWallpaper->Top();
    ScrollInView(TRect(r.Left + x, r.Top + y, r.Right + x, r.Bottom + y));
}

void TMainForm::InstrumentWindowEnded(bool EnableView) {
    StopSampling = true;
    SetEnabled(true);
    Device->SetEnabled(true);
    // A serial instrument's choice would be charted as a plate monitor.
    View->SetEnabled(EnableView && RangeChosen());
    ShowWallpaper();
}

void TMainForm::EnableSerialInstruments(bool Enabled) {
    CPM6901->SetEnabled(Enabled);
    RXM8501->SetEnabled(Enabled);
    PGT3001->SetEnabled(Enabled);
}
