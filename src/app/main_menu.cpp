// Main window: the menu with its device and range items, the range table and
// the caption, and the items that open the other windows.
#include "app/chartcpm.h"
#include "app/display.h"
#include "app/display_help.h"
#include "app/focom.h"
#include "app/main.h"
#include "app/pgt300.h"
#include "app/rxm850.h"
#include "app/rxmcalimenu.h"
#include "app/setcpm.h"
#include "app/setupcom.h"
#include "comm/comport.h"
#include "platform/rtl/floatformat.h"

namespace {
struct TRangeEntry {
    int Code;
    const char* Unit;
    double Minimum, Maximum, Factor;
};

const TRangeEntry FixedRanges[] = {
    {1, "V/m", -200, 200, 200}, {2, "kV/m", -2, 2, 2},        {3, "kV/m", -5, 5, 5},
    {4, "kV/m", -20, 20, 20},   {5, "kV/m", -50, 50, 50},     {6, "kV/m", -200, 200, 200},
    {7, "MV/m", -2, 2, 2},      {21, "V", -2, 2, 2},          {22, "V", -20, 20, 20},
    {23, "V", -50, 50, 50},     {24, "V", -200, 200, 200},    {25, "V", -500, 500, 500},
    {26, "kV", -2, 2, 2},       {27, "kV", -20, 20, 20},      {28, "kV", -10, 10, 10},
    {40, "V", -100, 100, 1},    {41, "V", -401, 400, 1},      {42, "kV", -1.001, 1, 0.001},
    {43, "kV", -4.001, 4, 1},   {50, "V", -50, 50, 1},        {51, "V", -200, 200, 1},
    {52, "V", -500, 500, 1},    {53, "kV", -2, 2, 1},         {60, "kV/m", -5, 5, 1},
    {61, "kV/m", -20, 20, 1},   {62, "kV/m", -50, 50, 1},     {63, "kV/m", -200, 200, 1},
    {80, "kV/m", -20, 20, 20},  {81, "kV/m", -200, 200, 200}, {82, "MV/m", -1, 1, 1},
};
} // namespace

bool TMainForm::FindRange(int Code, TRangeRow& Row) const {
    for (const TRangeEntry& e : FixedRanges)
        if (e.Code == Code) {
            Row = {e.Unit, e.Minimum, e.Maximum, e.Factor};
            return true;
        }
    switch (Code) {
    case 70:
        Row = {Text_Opt1_Unit, Value_Opt1_LeftAxisMin, Value_Opt1_LeftAxisMax,
               Value_Opt1_Calc_Factor};
        return true;
    case 71:
        Row = {Text_Opt2_Unit, Value_Opt2_LeftAxisMin, Value_Opt2_LeftAxisMax,
               Value_Opt2_Calc_Factor};
        return true;
    case 72:
        Row = {Text_Opt1_2_Unit, Value_Opt1_2_LeftAxisMin, Value_Opt1_2_LeftAxisMax,
               Value_Opt1_2_Calc_Factor};
        return true;
    case 73:
        Row = {Text_Opt2_2_Unit, Value_Opt2_2_LeftAxisMin, Value_Opt2_2_LeftAxisMax,
               Value_Opt2_2_Calc_Factor};
        return true;
    default:
        return false;
    }
}

bool TMainForm::RangeChosen() const {
    TRangeRow row;
    return DeviceSelected && FindRange(RangeCode, row);
}

void TMainForm::GetRangeData(int Code, double& Factor, AnsiString& Unit, double& Minimum,
                             double& Maximum) const {
    TRangeRow row;
    if (!FindRange(Code, row)) return;
    Factor = row.Factor;
    Unit = row.Unit;
    Minimum = row.Minimum;
    Maximum = row.Maximum;
}

void TMainForm::UpdateCaption() {
    DeviceSelected = true;
    double minimum = 0, maximum = 0;
    GetRangeData(RangeCode, RangeFactor, UnitText, minimum, maximum);
    AnsiString caption = TitleText + "    Selected type =  " + ModelText;
    // A serial instrument has no range of its own: an earlier range's unit
    // would otherwise stand there without a number.
    TRangeRow row;
    if (!UnitText.IsEmpty() && FindRange(RangeCode, row))
        caption +=
            AnsiString("  Range : ") + PlusMinus + FloatToStrF(maximum, ffGeneral, 4, 0) + UnitText;
    SetCaption(caption);
}

TMenuItem* TMainForm::AddItem(TMenuItem* Parent, const AnsiString& Name,
                              const AnsiString& Caption) {
    auto* item = new TMenuItem(this);
    item->SetName(Name);
    item->SetCaption(Caption);
    Parent->Add(item);
    return item;
}

void TMainForm::AddRangeItems(TMenuItem* Parent, const AnsiString& Model, int Type,
                              std::initializer_list<std::pair<const char*, int>> Items,
                              std::initializer_list<const char*> Captions) {
    auto caption = Captions.begin();
    for (const auto& [name, code] : Items) {
        TMenuItem* item = AddItem(Parent, name, PlusMinus + AnsiString(*caption++));
        const int c = code;
        item->OnClick = [this, Model, Type, c](TObject*) { RangeItemClick(Model, Type, c); };
    }
}

void TMainForm::RangeItemClick(const AnsiString& Model, int Type, int Code) {
    ModelText = Model;
    DeviceType = Type;
    RangeCode = Code;
    View->SetEnabled(true);
    UpdateCaption();
}

void TMainForm::CreateMenu() {
    MainMenue = new TMainMenu(this);
    MainMenue->SetName("MainMenue");
    TMenuItem* root = MainMenue->Items();

    Exit1 = AddItem(root, "Exit1", "Exit");
    Exit1->SetShortCut(ShortCut('X', {ssCtrl}));
    Exit1->OnClick = [this](TObject* s) { Exit1Click(s); };
    // The close box ends the program as Exit does, a running measurement included.
    OnClose = [this](TObject* s, TCloseAction&) { Exit1Click(s); };
    Device = AddItem(root, "Device", "Device");
    Device->SetShortCut(ShortCut('S', {ssCtrl}));
    View = AddItem(root, "View", "View");
    View->SetShortCut(ShortCut('V', {ssCtrl}));
    Setup = AddItem(root, "Setup", "Se&tup");
    Setup->SetShortCut(ShortCut('T', {ssCtrl}));
    Help = AddItem(root, "Help", "?");
    Help->OnClick = [this](TObject* s) { HelpClick(s); };

    EFM640B1 = AddItem(Device, "EFM640B1", "EFM 640B");
    EFM640B1->SetVisible(false);
    AddRangeItems(AddItem(EFM640B1, "EFeldmeter1", "E-Fieldmeter"), "EFM 640B", 1,
                  {{"N5kVm1", 3}, {"N20kVm1", 4}, {"N50kVm1", 5}, {"N200kVm2", 6}},
                  {"5kV/m", "20kV/m", "50kV/m", "200kV/m"});
    AddRangeItems(AddItem(EFM640B1, "VoltmeterVP311", "Voltmeter (VP31)"), "EFM 640B", 2,
                  {{"N50V1", 23}, {"N200V1", 24}, {"N500V1", 25}, {"N2kV1", 26}},
                  {"50V", "200V", "500V", "2kV"});
    TMenuItem* efm310 = AddItem(Device, "EFM3101", "EFM 310");
    AddRangeItems(AddItem(efm310, "EFeldmeter2", "E-Fieldmeter"), "EFM 310", 1,
                  {{"N20kVm2", 4}, {"N200kVm3", 6}, {"N2MVm1", 7}}, {"20kV/m", "200kV/m", "2MV/m"});
    AddRangeItems(AddItem(efm310, "VoltmeterVP312", "Voltmeter (VP31)"), "EFM 310", 2,
                  {{"N200V2", 24}, {"N2kV2", 26}, {"N20kVVP31max2kV1", 27}},
                  {"200V", "2kV", "20kV (VP31 max. 2kV)"});
    TMenuItem* efm520 = AddItem(Device, "EFM5201", "EFM 520");
    AddRangeItems(AddItem(efm520, "EFeldmeter3", "E-Fieldmeter"), "EFM 520", 1,
                  {{"N2kVm1", 2}, {"N20kVm3", 4}, {"N200kVm1", 6}, {"N2MVm2", 7}},
                  {"2kV/m", "20kV/m", "200kV/m", "2MV/m (measuring orifice )"});
    AddRangeItems(AddItem(efm520, "VoltmeterVP31", "Voltmeter (VP3)"), "EFM 520", 2,
                  {{"N20V1", 22}, {"N200V3", 24}, {"N2kV3", 26}}, {"20V", "200V", "2kV"});
    TMenuItem* efm570 = AddItem(Device, "EFM5701", "EFM 570");
    AddRangeItems(AddItem(efm570, "EFeldmeter4", "E-Fieldmeter"), "EFM 570", 1,
                  {{"N200Vm1", 1}, {"N2kVm2", 2}, {"N20kVm4", 4}, {"N200kVmMessblende1", 6}},
                  {"200V/m", "2kV/m", "20kV/m", "200kV/m  (measuring orifice )"});
    AddRangeItems(AddItem(efm570, "VoltmeterVP32", "Voltmeter (VP3)"), "EFM 570", 2,
                  {{"N2V1", 21}, {"N20V2", 22}, {"N200V4", 24}}, {"2V", "20V", "200V"});
    TMenuItem* efm085 = AddItem(Device, "EFM085", "EFM 085");
    AddRangeItems(AddItem(efm085, "EFieldmeter5", "E-Fieldmeter"), "EFM 085", 1,
                  {{"N20kVm5", 80}, {"N200kVm5", 81}, {"N1MVm5", 82}},
                  {"20kV/m", "200kV/m", "1MV/m"});
    AddRangeItems(AddItem(efm085, "VoltmeterVP52", "Voltmeter (VP52)"), "EFM 085", 2,
                  {{"N200V5", 24}, {"N2kV4", 26}, {"N10kVmax4kV1", 28}},
                  {"200V", "2kV", "10kV [max. 4kV]"});

    CPM6901 = AddItem(Device, "CPM6901", "CPM 690");
    TMenuItem* cpmMode = AddItem(CPM6901, "CPMMode", "CPM-Mode");
    CPM_Start = AddItem(cpmMode, "CPM_Start", "Start");
    CPM_Start->OnClick = [this](TObject* s) { CPM_StartClick(s); };
    TMenuItem* voltmeter = AddItem(CPM6901, "Voltmeter", "V-Meter");
    AddRangeItems(
        AddItem(voltmeter, "Plate", "Plate"), "CPM 690 V-Meter (Plate)", dtCpmPlate,
        {{"Plate_N100V", 40}, {"Plate_N400V", 41}, {"Plate_N1000V", 42}, {"Plate_N4000V", 43}},
        {"100V", "400V", "1kV", "4kV"});
    AddRangeItems(AddItem(voltmeter, "VP31", "VP31"), "CPM 690 V-Meter (VP 31)", dtCpmProbe,
                  {{"VP31_N50V", 50}, {"VP31_N200V", 51}, {"VP31_N500V", 52}, {"VP31_N2000V", 53}},
                  {"50V", "200V", "500V", "2kV"});
    AddRangeItems(AddItem(CPM6901, "EFeldmeter", "E-Field"), "CPM 690 E-Field", dtCpmField,
                  {{"E_Feld_N5kVm", 60},
                   {"E_Feld_N20kVm", 61},
                   {"E_Feld_N50kVm", 62},
                   {"E_Feld_N200kVm", 63}},
                  {"5kV/m", "20kV/m", "50kV/m", "200kV/m"});

    RXM8501 = AddItem(Device, "RXM8501", "RXM 850");
    RXM_850_Start = AddItem(RXM8501, "RXM_850_Start", "Start");
    RXM_850_Start->OnClick = [this](TObject* s) { RXM_850_StartClick(s); };
    RXM_Calibrate = AddItem(RXM8501, "RXM_Calibrate", "Calibrate");
    RXM_Calibrate->SetVisible(false);
    RXM_Calibrate->OnClick = [this](TObject* s) { RXM_CalibrateClick(s); };
    PGT3001 = AddItem(Device, "PGT3001", "PGT 300");
    PGT3001->SetVisible(false);
    Start_PGT300 = AddItem(PGT3001, "Start_PGT300", "Start");
    Start_PGT300->OnClick = [this](TObject* s) { Start_PGT300Click(s); };

    // The optional models: captions and ranges come from SETUP.INI.
    Opt11 = AddItem(Device, "Opt11", "Opt1");
    Opt111 = AddItem(Opt11, "Opt111", "Opt1 mode");
    Opt121 = AddItem(Opt111, "Opt121", "Opt1 range 1");
    Opt122 = AddItem(Opt111, "Opt122", "Opt1 range 2");
    Opt21 = AddItem(Device, "Opt21", "Opt2");
    Opt211 = AddItem(Opt21, "Opt211", "Opt2 mode");
    Opt221 = AddItem(Opt211, "Opt221", "Opt2 range 1");
    Opt222 = AddItem(Opt211, "Opt222", "Opt2 range 2");
    Opt121->OnClick = [this](TObject*) { RangeItemClick(Text_Men_Opt_1, 1, 70); };
    Opt122->OnClick = [this](TObject*) { RangeItemClick(Text_Men_Opt_1, 1, 72); };
    Opt221->OnClick = [this](TObject*) { RangeItemClick(Text_Men_Opt_2, 1, 71); };
    Opt222->OnClick = [this](TObject*) { RangeItemClick(Text_Men_Opt_2, 1, 73); };

    Grafik1 = AddItem(View, "Grafik1", "&Chart");
    Grafik1->OnClick = [this](TObject* s) { Grafik1Click(s); };
    Display = AddItem(View, "Display", "&Display");
    Display->OnClick = [this](TObject* s) { DisplayClick(s); };
    Com1 = AddItem(Setup, "Com1", "Com Port");
    Com1->SetHint("Setup com port");
    Com1->OnClick = [this](TObject* s) { Com1Click(s); };

    SetMenu(MainMenue);
}

// ---- Items that open other windows

void TMainForm::HelpClick(TObject*) {
    FormHelp->ShowInfo();
    FormHelp->SetEnabled(true);
    FormHelp->Show();
    Device->SetEnabled(false);
    View->SetEnabled(false);
    Setup->SetEnabled(false);
}

void TMainForm::Com1Click(TObject*) {
    Setup_COM->Show();
    Setup_COM->SetupCOM->Show();
}

void TMainForm::Exit1Click(TObject*) {
    Halt(0);
}

namespace {
// The port of the serial instruments, reopened with the long read time-out.
void ReopenForLongReplies() {
    TComPort* port = FoCom->ComPort1;
    port->Close();
    port->Open();
    port->Timeouts()->SetReadConstant(SerialTimeout(5000));
}
} // namespace

void TMainForm::CPM_StartClick(TObject*) {
    ImageWallpaper->Hide();
    ModelText = "CPM 690 (CHARGE PLATE Monitor)";
    DeviceType = dtSerialWindow;
    RangeCode = 0;
    CPMSetup->SetCaption("CHARGE-PLATE Monitor / Port : " + ComPortName);
    CPMSetup->MemoDisplay->Clear();
    View->SetEnabled(false);
    UpdateCaption();
    FoCom->ComPort1->Open();
    CPMSetup->Show();
    SetEnabled(false);
}

void TMainForm::RXM_850_StartClick(TObject*) {
    ImageWallpaper->Hide();
    ModelText = "RXM 850 (TERA - Ohmmeter)";
    DeviceType = dtSerialWindow;
    RangeCode = 0;
    FormRXM850->SetCaption("RXM 850 / Port : " + ComPortName);
    UpdateCaption();
    FormRXM850->Show();
    FormRXM850->MemoInfo->Clear();
    FormRXM850->BitBtn_save->SetEnabled(false);
    FormRXM850->BitBtn_start->SetEnabled(false);
    FormRXM850->BitBtn_stop->SetEnabled(false);
    SetEnabled(false);
    View->SetEnabled(false);
    ReopenForLongReplies();
}

void TMainForm::RXM_CalibrateClick(TObject*) {
    ImageWallpaper->Hide();
    ModelText = "RXM 850 (TERA - Ohmmeter)";
    DeviceType = dtSerialWindow;
    RangeCode = 0;
    UpdateCaption();
    SetEnabled(false);
    View->SetEnabled(false);
    FormRXMCali->SetCaption("RXM 850 / Port : " + ComPortName + " Calibration mode");
    FormRXMCali->Show();
    FormRXMCali->BringToFront();
    FormRXMCali->FocusControl(FormRXMCali->BitBtn_exit);
    ReopenForLongReplies();
}

void TMainForm::Start_PGT300Click(TObject*) {
    ImageWallpaper->Hide();
    ModelText = "PGT 300";
    DeviceType = dtSerialWindow;
    RangeCode = 0;
    FormPGT300->SetCaption("PGT 300 / Port : " + ComPortName);
    UpdateCaption();
    FormPGT300->Show();
    SetEnabled(false);
    View->SetEnabled(false);
    ReopenForLongReplies();
}
