// Pages of the shaped series.
//   gauge               TGaugeSeriesEditor (options, labels, ticks)
//   box, donut          TBoxSeriesEditor, TDonutSeriesEditor
//   pyramid, funnel     TPyramidSeriesEditor, TFunnelSeriesEditor
// The calendar's page is in teecalendaredit.cpp.
#include "chart/editor/teegaugeedit.h"

#include "chart/editor/teepoiedi.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeconst.h"
#include "chart/series/teeboxplot.h"
#include "chart/series/teefunnel.h"
#include "chart/series/teegauges.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include <cmath>

QM_CLASS_OWNED(TGaugeSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TBoxSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TDonutSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TPyramidSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TFunnelSeriesEditor, TTeeSeriesPage, TComponent)

namespace {
template <typename T> T* As(TChartSeries* S) {
    return dynamic_cast<T*>(S);
}
int Rounded(double V, int Lo, int Hi) {
    return std::isfinite(V) ? static_cast<int>(std::lround(std::clamp(V, double(Lo), double(Hi))))
                            : 0;
}
} // namespace

// ---------------------------------------------------------------------------
// TGaugeSeriesEditor

TGaugeSeriesEditor::TGaugeSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(320);
    SetClientHeight(176);
    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 0, 0, 320, 176);
    PageControl1->SetAlign(alClient);
    TabOptions = TeeNewTab(PageControl1, "TabOptions", "Options");
    TabLabels = TeeNewTab(PageControl1, "TabLabels", "Labels");
    TabTicks = TeeNewTab(PageControl1, "TabTicks", "Ticks");
    TWinControl* o = TabOptions;
    UDAngle = TeeNewUpDown(this, o, "Edit6", "UDAngle", 80, 6, 44, 0, 360, &Edit6);
    TeeNewLabel(this, o, "Total angle:", 8, 10, Edit6);
    UDDist = TeeNewUpDown(this, o, "Edit7", "UDDist", 80, 34, 44, -500, 500, &Edit7);
    TeeNewLabel(this, o, "Distance:", 8, 38, Edit7);
    UDValue = TeeNewUpDown(this, o, "Edit8", "UDValue", 80, 62, 56, -32767, 32767, &Edit8);
    TeeNewLabel(this, o, "&Value:", 8, 66, Edit8);
    ComboBox1 = TeeNewCombo(this, o, "ComboBox1", 80, 92, 80, {"Line", "Triangle"});
    TeeNewLabel(this, o, "Hand:", 8, 96, ComboBox1);
    CheckBox4 = TeeNewCheck(this, o, "CheckBox4", "Full Repaint", 8, 122, 110);
    BLine = TeeNewButton<TButtonPen>(this, o, "BLine", "&Line...", 176, 6, 90);
    BAxis = TeeNewButton<TButtonPen>(this, o, "BAxis", "&Axis...", 176, 36, 90);
    Button1 = TeeNewButton(this, o, "Button1", "&Center...", 176, 66, 90);
    Button3 = TeeNewButton(this, o, "Button3", "End Point...", 176, 96, 90);
    TWinControl* l = TabLabels;
    CheckBox1 = TeeNewCheck(this, l, "CheckBox1", "Show labels", 8, 10, 110);
    Button2 = TeeNewButton(this, l, "Button2", "&Font...", 130, 6, 75);
    Edit1 = TeeNew<TEdit>(this, l, "Edit1", 60, 38, 100, 21);
    TeeNewLabel(this, l, "Format:", 8, 42, Edit1);
    CBInside = TeeNewCheck(this, l, "CBInside", "&Inside", 8, 70, 100);
    TWinControl* t = TabTicks;
    UDMin = TeeNewUpDown(this, t, "Edit9", "UDMin", 70, 6, 56, -32767, 32767, &Edit9);
    TeeNewLabel(this, t, "&Minimum:", 8, 10, Edit9);
    UDMax = TeeNewUpDown(this, t, "Edit10", "UDMax", 70, 34, 56, -32767, 32767, &Edit10);
    TeeNewLabel(this, t, "Ma&ximum:", 8, 38, Edit10);
    BTicks = TeeNewButton<TButtonPen>(this, t, "BTicks", "&Ticks", 8, 66, 75);
    UpDown3 = TeeNewUpDown(this, t, "Edit4", "UpDown3", 90, 68, 36, 0, 1000, &Edit4);
    BMinor = TeeNewButton<TButtonPen>(this, t, "BMinor", "&Minor", 8, 98, 75);
    UpDown4 = TeeNewUpDown(this, t, "Edit5", "UpDown4", 90, 100, 36, 0, 1000, &Edit5);
    UpDown1 = TeeNewUpDown(this, t, "Edit2", "UpDown1", 250, 6, 36, 0, 1000, &Edit2);
    TeeNewLabel(this, t, "Minor count:", 166, 10, Edit2);
    UpDown2 = TeeNewUpDown(this, t, "Edit3", "UpDown2", 250, 34, 36, 0, 1000, &Edit3);
    TeeNewLabel(this, t, "Minor distance:", 166, 38, Edit3);
    PageControl1->SetActivePage(TabOptions);

    auto gauge = [this] { return As<TGaugeSeries>(FSeries); };
    OnUpDown(UDAngle, [gauge](int V) { gauge()->SetTotalAngle(V); });
    OnUpDown(UDDist, [gauge](int V) { gauge()->SetHandDistance(V); });
    OnUpDown(UDValue, [gauge](int V) { gauge()->SetValue(V); });
    OnCheck(CheckBox4, [gauge](bool V) { gauge()->SetFullRepaint(V); });
    OnIndex(ComboBox1, [gauge](int I) { gauge()->SetHandStyle(static_cast<THandStyle>(I)); });
    Button1->OnClick = [this, gauge](TObject*) {
        if (gauge()) EditSeriesPointer(this, gauge()->Center());
    };
    Button3->OnClick = [this, gauge](TObject*) {
        if (gauge()) EditSeriesPointer(this, gauge()->EndPoint());
    };
    OnCheck(CheckBox1, [gauge](bool V) { gauge()->Axis()->SetLabels(V); });
    Button2->OnClick = [this, gauge](TObject*) {
        if (gauge()) EditTeeFontEx(this, gauge()->Axis()->LabelsFont());
    };
    Edit1->OnChange = [this, gauge](TObject*) {
        if (CanWrite()) gauge()->SetValueFormat(Edit1->Text());
    };
    OnCheck(CBInside, [gauge](bool V) { gauge()->SetLabelsInside(V); });
    // Each limit bounds the other's up-down, so the minimum never passes the maximum.
    OnUpDown(UDMin, [this, gauge](int V) {
        gauge()->SetMinimum(V);
        UDMax->SetMin(V);
    });
    OnUpDown(UDMax, [this, gauge](int V) {
        gauge()->SetMaximum(V);
        UDMin->SetMax(V);
    });
    OnUpDown(UpDown1, [gauge](int V) { gauge()->Axis()->SetMinorTickCount(V); });
    OnUpDown(UpDown3, [gauge](int V) { gauge()->Axis()->SetTickLength(V); });
    OnUpDown(UpDown2, [gauge](int V) { gauge()->SetMinorTickDistance(V); });
    OnUpDown(UpDown4, [gauge](int V) { gauge()->Axis()->SetMinorTickLength(V); });
}

void TGaugeSeriesEditor::ShowSeries() {
    auto* g = As<TGaugeSeries>(FSeries);
    if (!g) return;
    UDAngle->SetPosition(Rounded(g->TotalAngle(), 0, 360));
    UDDist->SetPosition(g->HandDistance());
    UDValue->SetPosition(Rounded(g->Value(), -32767, 32767));
    BLine->LinkPen(g->Pen());
    CheckBox4->SetChecked(g->FullRepaint());
    ComboBox1->SetItemIndex(g->HandStyle());
    Edit1->SetText(g->ValueFormat());
    CBInside->SetChecked(g->LabelsInside());
    UDMin->SetMin(-32767);
    UDMax->SetMax(32767);
    const int lo = Rounded(g->Minimum(), -32767, 32767);
    const int hi = Rounded(g->Maximum(), -32767, 32767);
    UDMin->SetMax(32767);
    UDMax->SetMin(-32767);
    UDMin->SetPosition(lo);
    UDMax->SetPosition(hi);
    UDMin->SetMax(hi);
    UDMax->SetMin(lo);
    UpDown2->SetPosition(g->MinorTickDistance());
    if (TChartAxis* a = g->Axis()) {
        BAxis->LinkPen(a->Axis());
        CheckBox1->SetChecked(a->Labels());
        BTicks->LinkPen(a->Ticks());
        BMinor->LinkPen(a->MinorTicks());
        UpDown1->SetPosition(a->MinorTickCount());
        UpDown3->SetPosition(a->TickLength());
        UpDown4->SetPosition(a->MinorTickLength());
    }
}

void TGaugeSeriesEditor::AddPages() {
    InsertPage("TCircledSeriesEditor", TeeMsg_GalleryCircled, FSeries);
}

// ---------------------------------------------------------------------------
// TBoxSeriesEditor

TBoxSeriesEditor::TBoxSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(240);
    SetClientHeight(100);
    EPos = TeeNew<TEdit>(this, this, "EPos", 70, 8, 70, 21);
    TeeNewLabel(this, this, "&Position:", 8, 12, EPos);
    ELength = TeeNew<TEdit>(this, this, "ELength", 70, 38, 70, 21);
    TeeNewLabel(this, this, "&Length:", 8, 42, ELength);
    BMedian = TeeNewButton<TButtonPen>(this, this, "BMedian", "&Median...", 150, 6, 100);
    BWhisker = TeeNewButton<TButtonPen>(this, this, "BWhisker", "&Whisker...", 150, 36, 100);
    // An empty field or one that is no number (yet) keeps the value.
    OnFloat(EPos, [this](double V) { As<TCustomBoxSeries>(FSeries)->SetPosition(V); });
    OnFloat(ELength, [this](double V) { As<TCustomBoxSeries>(FSeries)->SetWhiskerLength(V); });
}

void TBoxSeriesEditor::ShowSeries() {
    auto* b = As<TCustomBoxSeries>(FSeries);
    if (!b) return;
    EPos->SetText(FloatToStr(b->Position()));
    ELength->SetText(FloatToStr(b->WhiskerLength()));
    BMedian->LinkPen(b->MedianPen());
    BWhisker->LinkPen(b->WhiskerPen());
}

void TBoxSeriesEditor::AddPages() {
    auto* b = As<TCustomBoxSeries>(FSeries);
    if (!b) return;
    TeeInsertPointerForm(this, b->Pointer(), "Box");
    TeeInsertPointerForm(this, b->ExtrOut(), "ExtrOut");
    TeeInsertPointerForm(this, b->MildOut(), "MildOut");
}

// ---------------------------------------------------------------------------
// TDonutSeriesEditor

TDonutSeriesEditor::TDonutSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetBorderStyle(bsDialog);
    SetClientWidth(200);
    SetClientHeight(40);
    UDDonut = TeeNewUpDown(this, this, "EDonut", "UDDonut", 70, 8, 44, 0, 100, &EDonut, 5);
    TeeNewLabel(this, this, "&Hole %: ", 8, 12, EDonut);
    OnUpDown(UDDonut, [this](int V) { As<TDonutSeries>(FSeries)->SetDonutPercent(V); });
}

void TDonutSeriesEditor::ShowSeries() {
    auto* d = As<TDonutSeries>(FSeries);
    if (!d) return;
    UDDonut->SetPosition(d->DonutPercent());
}

void TDonutSeriesEditor::AddPages() {
    InsertPage("TPieSeriesEditor", TeeMsg_GalleryPie, FSeries);
}

// ---------------------------------------------------------------------------
// TPyramidSeriesEditor

TPyramidSeriesEditor::TPyramidSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(240);
    SetClientHeight(100);
    UDSize = TeeNewUpDown(this, this, "Edit1", "UDSize", 70, 8, 44, 0, 100, &Edit1, 5);
    TeeNewLabel(this, this, "&Size %:", 8, 12, Edit1);
    BPen = TeeNewButton<TButtonPen>(this, this, "BPen", "&Border...", 8, 38, 85);
    Button1 = TeeNewButton(this, this, "Button1", "&Pattern...", 8, 68, 85);
    BColor = TeeNewButton<TButtonColor>(this, this, "BColor", "&Color...", 130, 38, 85);
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "Color &Each", 130, 12, 100);
    OnUpDown(UDSize, [this](int V) { As<TPyramidSeries>(FSeries)->SetSize(V); });
    OnCheck(CBColorEach, [this](bool V) { FSeries->SetColorEachPoint(V); });
    Button1->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
}

void TPyramidSeriesEditor::ShowSeries() {
    auto* p = As<TPyramidSeries>(FSeries);
    if (!p) return;
    UDSize->SetPosition(p->SizePercent());
    BPen->LinkPen(p->Pen());
    CBColorEach->SetChecked(p->ColorEachPoint());
    BColor->LinkProperty(p, "SeriesColor");
}

// ---------------------------------------------------------------------------
// TFunnelSeriesEditor

TFunnelSeriesEditor::TFunnelSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(240);
    SetClientHeight(130);
    DifLimit = TeeNewUpDown(this, this, "Edit1", "DifLimit", 76, 8, 36, 1, 50, &Edit1);
    TeeNewLabel(this, this, "&Dif. Limit:", 8, 12, Edit1);
    ButtonPen1 = TeeNewButton<TButtonPen>(this, this, "ButtonPen1", "&Lines...", 8, 38, 85);
    ButtonPen2 = TeeNewButton<TButtonPen>(this, this, "ButtonPen2", "&Border...", 8, 68, 85);
    Button1 = TeeNewButton(this, this, "Button1", "&Pattern...", 8, 98, 85);
    AboveColor = TeeNewButton<TButtonColor>(this, this, "AboveColor", "&Above...", 130, 38, 90);
    WithinColor = TeeNewButton<TButtonColor>(this, this, "WithinColor", "&Within...", 130, 68, 90);
    BelowColor = TeeNewButton<TButtonColor>(this, this, "BelowColor", "B&elow...", 130, 98, 90);
    OnUpDown(DifLimit, [this](int V) { As<TFunnelSeries>(FSeries)->SetDifferenceLimit(V); });
    Button1->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
}

void TFunnelSeriesEditor::ShowSeries() {
    auto* f = As<TFunnelSeries>(FSeries);
    if (!f) return;
    DifLimit->SetPosition(Rounded(f->DifferenceLimit(), 1, 50));
    ButtonPen1->LinkPen(f->LinesPen());
    ButtonPen2->LinkPen(f->Pen());
    AboveColor->LinkProperty(f, "AboveColor");
    WithinColor->LinkProperty(f, "WithinColor");
    BelowColor->LinkProperty(f, "BelowColor");
}
