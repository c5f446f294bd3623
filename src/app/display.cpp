// The large-figure display and the main window's item that opens it.
#include "app/fixedlabel.h"
#include "app/display.h"
#include "app/focom.h"
#include "app/livereading.h"
#include "app/main.h"
#include "chart/control/chart.h"
#include "chart/control/teecommander.h"
#include "comm/comport.h"
#include "comm/seriell_cpm.h"
#include "comm/usbread.h"
#include "platform/graphics/graphics.h"
#include "platform/rtl/floatformat.h"
#include <algorithm>

QM_CLASS_OWNED(TFormDisplay, TForm, TComponent)

TFormDisplay* FormDisplay = nullptr;

USB& DisplayUsb() {
    static USB usb;
    return usb;
}

C_CPM_EF& DisplayCpm() {
    static C_CPM_EF cpm;
    return cpm;
}

namespace {
constexpr int Width_ = 993, Height_ = 675;

void ArialFont(TControl* Control, int Height, bool Bold) {
    Control->Font()->SetName("Arial");
    Control->Font()->SetHeight(-Height);
    Control->Font()->SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
}

TLabel* FigureLabel(TComponent* Owner, TWinControl* Parent, const AnsiString& Name, int Left,
                    int Top, int Width, int Height, int FontHeight) {
    TLabel* label = FixedLabel(Owner, Parent, Name, Left, Top, Width, Height);
    label->SetAlignment(taRightJustify);
    label->SetLayout(tlCenter);
    ArialFont(label, FontHeight, false);
    return label;
}

void PlaceStatus(TMemo* Status, int Left, int Width) {
    Status->SetLeft(Left);
    Status->SetWidth(Width);
}

// Shows Text in the font size asked for, or as much smaller as it takes for
// the whole text to fit: a cut-off minus sign would read as a positive value.
void ShowFigure(TLabel* Label, const AnsiString& Text, int Size) {
    TFont* font = Label->Font();
    font->SetSize(Size);
    TBitmap probe(1, 1);
    TCanvas* canvas = probe.Canvas();
    const int room = Label->Width() - 4;
    for (;;) {
        canvas->Font()->Assign(font);
        if (canvas->TextWidth(Text) <= room || font->Size() <= 8) break;
        font->SetSize(std::max(8, font->Size() * 19 / 20));
    }
    Label->SetCaption(Text);
}

// The reading's own size: its font is given in pixels.
constexpr int ReadingHeight = 173;
int ReadingSize() {
    TFont f;
    f.SetHeight(-ReadingHeight);
    return f.Size();
}

// What the current figure shows when the last reading is no longer current.
const char* const NoCurrentValue = "---";
} // namespace

TFormDisplay::TFormDisplay(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormDisplay");
    SetCaption("Display");
    SetBorderStyle(bsSizeToolWin);
    SetBorderIcons({biSystemMenu, biMaximize});
    SetColor(clBtnFace);

    GroupBoxSpannung = NewControl<TGroupBox>(this, this, "GroupBoxSpannung", 16, 8, 961, 361);
    ArialFont(GroupBoxSpannung, 27, true);
    LabelMesswert = FigureLabel(this, GroupBoxSpannung, "LabelMesswert", 10, 50, 940, 230, 173);
    Memo_Status = NewControl<TMemo>(this, GroupBoxSpannung, "Memo_Status", 850, 316, 100, 32);
    Memo_Status->SetReadOnly(true);
    // Small enough for the sampling period to fit on the one line the box shows.
    ArialFont(Memo_Status, 13, false);
    Error_1 = NewControl<TMemo>(this, GroupBoxSpannung, "Error_1", 270, 90, 420, 150);
    Error_1->SetColor(clRed);
    Error_1->Font()->SetColor(clWhite);
    ArialFont(Error_1, 21, true);
    Error_1->Font()->SetColor(clWhite);
    Error_1->SetReadOnly(true);
    FillConverterNotice(Error_1);
    Error_1->Hide();

    GroupBox1 = NewControl<TGroupBox>(this, this, "GroupBox1", 16, 376, 961, 258);
    b_Start = NewControl<TBitBtn>(this, GroupBox1, "b_Start", 14, 24, 150, 48, "&Start");
    b_Stop = NewControl<TBitBtn>(this, GroupBox1, "b_Stop", 14, 80, 150, 48, "&Break");
    b_Reset = NewControl<TBitBtn>(this, GroupBox1, "b_Reset", 14, 136, 150, 48, "&Reset");
    bCancel = NewControl<TBitBtn>(this, GroupBox1, "bCancel", 14, 192, 150, 48, "E&xit");
    for (TBitBtn* b : {b_Start, b_Stop, b_Reset, bCancel})
        ArialFont(b, 21, false);
    GroupBoxPosMaximum = NewControl<TGroupBox>(this, GroupBox1, "GroupBoxPosMaximum", 180, 14, 380,
                                               230, "pos. maximum");
    GroupBoxNegMaximum = NewControl<TGroupBox>(this, GroupBox1, "GroupBoxNegMaximum", 570, 14, 380,
                                               230, "neg. maximum");
    ArialFont(GroupBoxPosMaximum, 27, true);
    ArialFont(GroupBoxNegMaximum, 27, true);
    LabelPosMaximum_Value =
        FigureLabel(this, GroupBoxPosMaximum, "LabelPosMaximum_Value", 8, 60, 362, 120, 73);
    LabelNegMaximum_Value =
        FigureLabel(this, GroupBoxNegMaximum, "LabelNegMaximum_Value", 8, 60, 362, 120, 73);

    b_Start->OnClick = [this](TObject* s) { b_StartClick(s); };
    b_Stop->OnClick = [this](TObject* s) { b_StopClick(s); };
    b_Reset->OnClick = [this](TObject* s) { b_ResetClick(s); };
    bCancel->OnClick = [this](TObject* s) { bCancelClick(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

    LabelMesswert->SetCaption("");
    GroupBoxSpannung->SetCaption("");
    GroupBoxNegMaximum->SetCaption("neg. maximum");
    GroupBoxPosMaximum->SetCaption("pos. maximum");
    LabelPosMaximum_Value->SetCaption("0.0");
    LabelNegMaximum_Value->SetCaption("0.0");
    PlaceStatus(Memo_Status, 850, 100);
    Memo_Status->SetText("STOP");
    SetBounds((Screen->Width() - Width_) / 2, (Screen->Height() - Height_) / 2 + 20, Width_,
              Height_);
}

int TFormDisplay::Decimals(int RangeCode) {
    switch (RangeCode) {
    case 41:
    case 51:
    case 52:
    case 63:
        return 0;
    case 40:
    case 50:
    case 61:
    case 62:
        return 1;
    case 42:
        return 3;
    default: // 43, 53, 60 and every converter range
        return 2;
    }
}

void TMainForm::DisplayClick(TObject*) {
    TeeCommander1->Hide();
    GroupBox1->Hide();
    Chart1->Hide();
    double minimum = 0, maximum = 0;
    GetRangeData(RangeCode, RangeFactor, UnitText, minimum, maximum);
    FormDisplay->SetCaption(TitleText + "    Selected type =  " + ModelText + "  Range :  " +
                            PlusMinus + FloatToStrF(maximum, ffGeneral, 4, 0) + UnitText);
    FormDisplay->GroupBoxSpannung->SetCaption("measurement reading");
    FormDisplay->GroupBoxNegMaximum->SetCaption("neg. maximum");
    FormDisplay->GroupBoxPosMaximum->SetCaption("pos. maximum");
    FormDisplay->LabelNegMaximum_Value->SetCaption("0" + UnitText);
    FormDisplay->LabelPosMaximum_Value->SetCaption("0" + UnitText);
    ShowFigure(FormDisplay->LabelMesswert, "0" + UnitText, ReadingSize());
    NegMax = NoReading;
    PosMax = -NoReading;
    FormDisplay->ShowModal();
}

void TFormDisplay::b_StartClick(TObject*) {
    TMainForm* m = MainForm;
    m->StopSampling = false;
    b_Start->SetEnabled(false);
    try {
        if (m->DeviceType < dtSerialWindow) {
            if (DisplayUsb().Open() != TUsbResult::Opened) ConverterMissing(Error_1);
            PlaceStatus(Memo_Status, 725, 230);
        } else {
            FoCom->ComPort1->Open();
            SendLiveSetup(DisplayCpm(), m->DeviceType, m->RangeCode, m->UnitText);
        }
        RunSampling(m->ModelText, m->DeviceType, m->RangeCode, m->UnitText);
    } catch (const EUnwindToTest&) {
        throw;
    } catch (...) {
        // Idle again, as after Break, with nothing shown as if it were current.
        b_StopClick(this);
        ShowFigure(LabelMesswert, NoCurrentValue, ReadingSize());
        if (m->DeviceType >= dtSerialWindow) FoCom->ComPort1->Close();
        RethrowNamingPort();
    }
}

void TFormDisplay::RunSampling(const AnsiString&, int Type, int Code, const AnsiString& Unit) {
    TMainForm* m = MainForm;
    const int d = Decimals(Code);
    auto figure = [&](double v) { return FloatToStrF(v, ffFixed, 4, d) + Unit; };
    Memo_Status->SetText("RUN sampling time = " + AnsiString(m->Sampling_time_Display) + " mSec.");
    TLiveLoop loop{.Usb = DisplayUsb(),
                   .Cpm = DisplayCpm(),
                   .DeviceType = Type,
                   .RangeFactor = m->RangeFactor,
                   .Period = m->Sampling_time_Display,
                   // The close box asks the modal window to end: the loop ends as with Exit.
                   .Stopped = [this, m] { return m->StopSampling || ModalResult() != mrNone; },
                   .PosMax = m->PosMax,
                   .NegMax = m->NegMax,
                   .Wait = TLiveWait::Holding,
                   .OverflowOnlyAtMark = Type >= dtSerialWindow,
                   .ShowReading =
                       [&](const TLiveSample& s) {
                           ShowFigure(LabelMesswert,
                                      s.Overflow ? AnsiString("OVERFLOW !") : figure(s.Value),
                                      ReadingSize());
                       },
                   .ShowMaximum =
                       [&](bool Positive, double Maximum, bool Overflow) {
                           ShowFigure(Positive ? LabelPosMaximum_Value : LabelNegMaximum_Value,
                                      Overflow ? AnsiString("OVERFLOW !") : figure(Maximum),
                                      Overflow ? 35 : 50);
                       },
                   .Repaint = [m] { m->Repaint(); }};
    RunLiveLoop(loop);
}

void TFormDisplay::b_StopClick(TObject*) {
    MainForm->StopSampling = true;
    PlaceStatus(Memo_Status, 1000, 85);
    Memo_Status->SetText("STOP");
    b_Start->SetEnabled(true);
}

void TFormDisplay::b_ResetClick(TObject*) {
    TMainForm* m = MainForm;
    m->NegMax = NoReading;
    m->PosMax = -NoReading;
    for (TLabel* l : {LabelPosMaximum_Value, LabelNegMaximum_Value})
        ShowFigure(l, "0" + m->UnitText, 55);
    ShowFigure(LabelMesswert, "0" + m->UnitText, ReadingSize());
    m->Repaint();
    Application->ProcessMessages();
}

void TFormDisplay::bCancelClick(TObject*) {
    TMainForm* m = MainForm;
    m->StopSampling = true;
    m->View->SetEnabled(true);
    m->Device->SetEnabled(true);
    SetModalResult(mrCancel);
    b_Start->SetEnabled(true);
    if (m->DeviceType >= dtSerialWindow) FoCom->ComPort1->Close();
}

void TFormDisplay::FormClose(TObject* Sender, TCloseAction&) {
    bCancelClick(Sender);
}
