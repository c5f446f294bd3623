// The gauge series' page: options, labels and ticks.
#include "chart/editor/teegaugeedit.h"

#include "chart/editor/teepoiedi.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeconst.h"
#include "chart/series/teegauges.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include <cmath>

QM_CLASS_OWNED(TGaugeSeriesEditor, TTeeSeriesPage, TComponent)

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
    // Each limit moves the value and the other limit's bounds.
    for (TEdit* e : {Edit9, Edit10})
        static_cast<TNumberEdit*>(e)->SetWholeFigures(true);
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
    FBind.Text(Edit1, nullptr, [gauge](const AnsiString& T) { gauge()->SetValueFormat(T); });
    OnCheck(CBInside, [gauge](bool V) { gauge()->SetLabelsInside(V); });
    // Each limit bounds the other's up-down, so the minimum never passes the maximum.
    // A limit moves the value inside it, which the value field then shows.
    auto showValue = [this, gauge] {
        auto guard = FBind.Guard();
        UDValue->SetPosition(Rounded(gauge()->Value(), -32767, 32767));
    };
    OnUpDown(UDMin, [this, gauge, showValue](int V) {
        gauge()->SetMinimum(V);
        UDMax->SetMin(V);
        showValue();
    });
    OnUpDown(UDMax, [this, gauge, showValue](int V) {
        gauge()->SetMaximum(V);
        UDMin->SetMax(V);
        showValue();
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
