#include "app/chartcpm.h"
#include "app/setcpm.h"
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teecommander.h"
#include "chart/control/tool_cursor.h"
#include "chart/engine/teeaxis.h"
#include "comm/commhost.h"

QM_CLASS_OWNED(TFormChartCPM, TForm, TComponent)

TFormChartCPM* FormChartCPM = nullptr;

namespace {
constexpr int Width_ = 900, Height_ = 640, CommanderHeight = 33;

// A series as the decay test fills it; each point is drawn as it arrives. The
// chart editor may replace the series (a changed type keeps its name) or
// delete it: the field is cleared then, and the sink looks for it by name.
class TLineSink : public TCommSeriesSink {
public:
    TLineSink(TForm* Owner, TLineSeries* const& Field, const AnsiString& Name)
        : FOwner(Owner), FField(Field), FName(Name) {}
    void Clear() override {
        if (TChartSeries* s = Series()) s->Clear();
    }
    void AddY(double y, uint32_t colour) override {
        if (TChartSeries* s = Series()) s->AddY(y, "", TColor(colour));
    }
    void AddXY(double x, double y, uint32_t colour) override {
        if (TChartSeries* s = Series()) s->AddXY(x, y, "", TColor(colour));
    }

private:
    TChartSeries* Series() const {
        if (FField) return FField;
        return dynamic_cast<TChartSeries*>(FOwner->FindComponent(FName));
    }
    TForm* FOwner;
    TLineSeries* const& FField;
    AnsiString FName;
};

TLineSeries* NewLine(TComponent* Owner, TChart* Chart, const AnsiString& Name,
                     const AnsiString& Title, TColor Colour) {
    auto* s = new TLineSeries(Owner);
    s->SetName(Name);
    s->SetTitle(Title);
    s->SetParentChart(Chart);
    s->SetSeriesColor(Colour);
    s->Marks()->SetVisible(false);
    s->Pointer()->SetVisible(false);
    s->XValues()->SetOrder(loAscending);
    return s;
}
} // namespace

TFormChartCPM::TFormChartCPM(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormChartCPM");
    SetCaption("Chart CHARGE-PLATE Monitor");
    SetBorderIcons({});
    SetColor(clBtnFace);

    Chart1 = NewControl<TChart>(this, this, "Chart1", 0, CommanderHeight, Width_ - 8,
                                Height_ - CommanderHeight - 70);
    TeeCommander1 =
        NewControl<TTeeCommander>(this, this, "TeeCommander1", 0, 0, Width_, CommanderHeight);
    TeeCommander1->SetAlign(alTop);
    TeeCommander1->SetPanel(Chart1);
    BitBtn_Exit = NewControl<TBitBtn>(this, this, "BitBtn_Exit", Width_ - 140, Height_ - 66, 120,
                                      32, "E&xit");
    BitBtn_Exit->OnClick = [this](TObject* s) { BitBtn_ExitClick(s); };
    // Closed by the window manager, the window leaves as Exit does: back to
    // the set-up window, where the result is still to be saved.
    OnClose = [this](TObject* s, TCloseAction&) { BitBtn_ExitClick(s); };

    Chart1->Hide();
    Chart1->Legend()->SetVisible(false);
    Chart1->SetView3D(false);
    Chart1->SetChart3DPercent(8);
    Chart1->SetColor(clSilver);
    Chart1->SetPrintProportional(false);
    Chart1->SetPrintMargins(TRect(3, 6, 1, 1));
    Chart1->Title()->Text()->Clear();
    Chart1->Title()->Text()->Add("Test 1 / pos.Decay 2,3Sek / neg.Decay 12Sek / Offset -123V");

    TChartAxis* left = Chart1->LeftAxis();
    left->SetAutomatic(false);
    left->SetAutomaticMaximum(false);
    left->SetAutomaticMinimum(false);
    left->SetMinimum(-1201);
    left->SetMaximum(1200);
    left->Title()->SetCaption("Volt");
    left->Axis()->SetWidth(3);
    left->Axis()->SetColor(TColor(0x804000)); // RGB (0, 64, 128)
    TChartAxis* bottom = Chart1->BottomAxis();
    bottom->SetAutomatic(true);
    bottom->Title()->SetCaption("Time Sek./10");
    bottom->SetLabelsAngle(90);
    bottom->SetIncrement(10);
    bottom->SetAxisValuesFormat("#,#");
    bottom->SetTickLength(1);
    bottom->SetMinorTickLength(1);
    bottom->SetMinorTickCount(1);
    Chart1->TopAxis()->SetVisible(false);
    Chart1->RightAxis()->SetVisible(false);
    TChartAxis* depth = Chart1->DepthAxis();
    depth->SetAutomatic(false);
    depth->SetAutomaticMaximum(false);
    depth->SetAutomaticMinimum(false);
    depth->SetMinimum(-0.5);
    depth->SetMaximum(0.5);
    depth->SetLabels(false);

    Series1 = NewLine(this, Chart1, "Series1", "Measured  line", clRed);
    Series1->SetColorEachPoint(true);
    Series2 = NewLine(this, Chart1, "Series2", "Vstart Pos", clGreen);
    Series3 = NewLine(this, Chart1, "Series3", "Vstop Pos", clYellow);
    Series4 = NewLine(this, Chart1, "Series4", "Vstart Neg", clBlue);
    Series5 = NewLine(this, Chart1, "Series5", "Vstop Neg", clWhite);
    Series6 = NewLine(this, Chart1, "Series6", "Zero line", TColor(0x408000)); // RGB (0, 128, 64)

    ChartTool1 = new TCursorTool(this);
    ChartTool1->SetName("ChartTool1");
    ChartTool1->SetFollowMouse(true);
    Chart1->Tools()->Add(ChartTool1);

    TLineSeries* const* all[] = {&Series1, &Series2, &Series3, &Series4, &Series5, &Series6};
    for (size_t i = 0; i < FSinks.size(); ++i) {
        (*all[i])->Clear();
        FSinks[i] = std::make_unique<TLineSink>(this, *all[i], (*all[i])->Name());
    }
    SetBounds((Screen->Width() - Width_) / 2, (Screen->Height() - Height_) / 2 + 30, Width_,
              Height_);
}

TFormChartCPM::~TFormChartCPM() = default;

void TFormChartCPM::Notification(TComponent* AComponent, TOperation Operation) {
    TForm::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    for (TLineSeries** s : {&Series1, &Series2, &Series3, &Series4, &Series5, &Series6})
        if (*s == AComponent) *s = nullptr;
}

TCommSeriesSink* TFormChartCPM::Sink(int Number) const {
    return Number >= 1 && Number <= 6 ? FSinks[Number - 1].get() : nullptr;
}

void TFormChartCPM::BitBtn_ExitClick(TObject*) {
    if (CPMSetup) CPMSetup->Show();
    Hide();
    Chart1->Hide();
}
