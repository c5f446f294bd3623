#pragma once
// The main window and the holder of the run's measurement settings. Its parts:
//   main.cpp        construction, SETUP.INI, the optional menu items, banner, caption
//   main_menu.cpp   the device and range menu, the range table, the serial items
//   main_chart.cpp  the chart view and its live measurement loop
#include "platform/classes/watched.h"
#include "platform/forms/buttons.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/menus.h"
#include "platform/forms/stdctrls.h"
#include <vector>

class TChart;
class TChartSeries;
class TTeeCommander;
class USB;
class C_CPM_EF;

// One row of the range table: what a range code stands for.
struct TRangeRow {
    AnsiString Unit;
    double Minimum = 0;
    double Maximum = 0;
    double Factor = 0;
};

// Device types kept in TMainForm::DeviceType.
constexpr int dtFieldMeter = 1, dtVoltmeterProbe = 2, dtSerialWindow = 100, dtCpmPlate = 101,
              dtCpmProbe = 102, dtCpmField = 103;

// The reading that stands for overflow or no value (converter millivolts,
// plate-monitor display).
constexpr double NoReading = 9999.0;

class TMainForm : public TForm {
    QM_CLASS(TMainForm)
public:
    explicit TMainForm(TComponent* AOwner);
    ~TMainForm() override;

    // ---- Components
    TImage* ImageWallpaper;
    TImage* image_Manufac_Logo;
    TGroupBox* GroupBox1;
    TLabel *LabelposMax, *LabelMess, *LabelnegMax;
    TMemo *Maxwert, *Messwert, *Minwert;
    TLabel* laSampleTime;
    TBitBtn *b_Start, *b_Stop_, *b_Reset, *b_Cancel;
    TChart* Chart1;
    TMemo* Error_1;
    // The live series; the chart editor may replace or delete it, so the loop
    // takes it through LiveSeries().
    TWatched<TChartSeries> Series1;
    TTeeCommander* TeeCommander1;
    TMainMenu* MainMenue;
    TMenuItem *Exit1, *Device, *View, *Setup, *Help;
    TMenuItem *Grafik1, *Display, *Com1;
    TMenuItem *EFM640B1, *CPM6901, *RXM8501, *PGT3001;
    TMenuItem *CPM_Start, *RXM_850_Start, *RXM_Calibrate, *Start_PGT300;
    TMenuItem *Opt11, *Opt111, *Opt121, *Opt122, *Opt21, *Opt211, *Opt221, *Opt222;

    // ---- Measurement settings shared with the other windows
    double NegMax = NoReading;
    double PosMax = -NoReading;
    bool StopSampling = false;
    bool ClearChartOnReset = false;
    double RangeFactor = 0;
    AnsiString UnitText;
    bool CPM_Version610 = true;
    bool TestOutput = false;
    AnsiString TitleText = "QM read out";
    AnsiString ModelText = "0";
    int DeviceType = 0;
    int RangeCode = 0;
    int Delta_U = 200;
    bool DeviceSelected = false;
    int Average_U = 1;
    AnsiString CPM_DataDirectory;
    AnsiString PGT_DataDirectory;
    int Sampling_time_Chart = 10;
    AnsiString Banner;
    AnsiString Main_1, Main_2, Main_3, Main_4;
    AnsiString Text_Men_Opt_1, Text_Men_Opt_2;
    AnsiString Text_Sub_Men_Opt_1, Text_Sub_Men_Opt_2;
    AnsiString Text_Opt1_Unit, Text_Opt1_2_Unit, Text_Opt2_Unit, Text_Opt2_2_Unit;
    double Value_Opt1_LeftAxisMin = 0, Value_Opt1_LeftAxisMax = 0, Value_Opt1_Calc_Factor = 0;
    double Value_Opt1_2_LeftAxisMin = 0, Value_Opt1_2_LeftAxisMax = 0, Value_Opt1_2_Calc_Factor = 0;
    double Value_Opt2_LeftAxisMin = 0, Value_Opt2_LeftAxisMax = 0, Value_Opt2_Calc_Factor = 0;
    double Value_Opt2_2_LeftAxisMin = 0, Value_Opt2_2_LeftAxisMax = 0, Value_Opt2_2_Calc_Factor = 0;
    double ChartWidth = 0.6;
    double SampleTime = 0;
    int Sampling_time_Display = 10;
    int ComPortIndex = 0;
    AnsiString ComPortName;
    bool CalibrateSwitch = false;
    bool RXM_FirstStart = true;

    // ---- Range table and caption
    // Fills the four outputs from the code's row; a code without a row leaves them.
    void GetRangeData(int Code, double& Factor, AnsiString& Unit, double& Minimum,
                      double& Maximum) const;
    // The code's row; false for a code that has none.
    bool FindRange(int Code, TRangeRow& Row) const;
    // A range is the device chosen: only its readings can be charted or shown.
    bool RangeChosen() const;
    void UpdateCaption();

    // ---- Chart view
    void SetupChart(const AnsiString& Model, int Type, int Code, double& Factor, AnsiString& Unit);
    void RunMeasureLoop(const AnsiString& Model, int Type, int Code, AnsiString Unit);
    // The chart's live series: Series1, or the series the chart editor left in
    // its place (a fresh line series when none is left).
    TChartSeries* LiveSeries();

    // ---- Handlers
    void Grafik1Click(TObject* Sender);
    void DisplayClick(TObject* Sender);
    void HelpClick(TObject* Sender);
    void Com1Click(TObject* Sender);
    void Exit1Click(TObject* Sender);
    void CPM_StartClick(TObject* Sender);
    void RXM_850_StartClick(TObject* Sender);
    void RXM_CalibrateClick(TObject* Sender);
    void Start_PGT300Click(TObject* Sender);
    void b_StartClick(TObject* Sender);
    void b_Stop_Click(TObject* Sender);
    void b_ResetClick(TObject* Sender);
    void b_CancelClick(TObject* Sender);

    // What an instrument window gives back when it ends: the main window and its
    // Device menu enabled, View as the window decides but only for a chosen
    // range, the wallpaper shown.
    void InstrumentWindowEnded(bool EnableView);
    // The serial instruments' menu items follow whether a COM port is chosen.
    void EnableSerialInstruments(bool Enabled);

    // Settings of SETUP.INI that could not be used (their defaults apply).
    const std::vector<AnsiString>& SetupProblems() const { return FSetupProblems; }
    // The windows made at start add what their reading found (each line once),
    // and the start then names them all in one message.
    void AddSetupProblems(const std::vector<AnsiString>& Problems);
    void ReportSetupProblems();

    // Once, after the window is first painted.
    TNotifyEvent OnFirstPaint;

protected:
    void PaintOver(TCanvas* ACanvas) override;

private:
    void CreateComponents();
    void CreateLiveSeries();
    // After a failed run: idle, port closed, the current figure showing no value.
    void EndFailedRun();
    void CreateMenu();
    void ReadSetup();
    void BuildOptionalItems();
    void LoadBanner();
    void ShowLogo();
    // The start picture, scrolled into the view of a window fitted to a small screen.
    void ShowWallpaper();
    void RangeItemClick(const AnsiString& Model, int Type, int Code);
    TMenuItem* AddItem(TMenuItem* Parent, const AnsiString& Name, const AnsiString& Caption);
    void AddRangeItems(TMenuItem* Parent, const AnsiString& Model, int Type,
                       std::initializer_list<std::pair<const char*, int>> Items,
                       std::initializer_list<const char*> Captions);
    void ResetBottomAxis();

    std::vector<AnsiString> FSetupProblems;
    size_t FSetupProblemsReported = 0;
    // The logo is hidden until the chart view opens; the default one is drawn then.
    bool FDefaultLogoPending = false;
};

extern TMainForm* MainForm;

// The module-level instrument objects of the main window.
USB& MainUsb();
C_CPM_EF& MainCpm();

// "±" in the system's code page.
extern const char* const PlusMinus;
