// The pyramid series' page: size, border, pattern, colour.
#include "chart/editor/teepyramidedit.h"

#include "chart/control/tooledit.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/series/teepyramid.h"

QM_CLASS_OWNED(TPyramidSeriesEditor, TTeeSeriesPage, TComponent)

TPyramidSeriesEditor::TPyramidSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(240);
    SetClientHeight(100);
    UDSize = TeeNewUpDown(this, this, "Edit1", "UDSize", 70, 8, 44, 0, 100, &Edit1, 5);
    TeeNewLabel(this, this, "&Size %:", 8, 12, Edit1);
    BPen = TeeNewButton<TButtonPen>(this, this, "BPen", "&Border...", 8, 38, 85);
    Button1 = TeeNewButton(this, this, "Button1", "&Pattern...", 8, 68, 85);
    BColor = TeeNewButton<TButtonColor>(this, this, "BColor", "&Color...", 130, 38, 85);
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "Color &Each", 130, 12, 100);
    OnUpDown(UDSize, [this](int V) { dynamic_cast<TPyramidSeries*>(FSeries.Get())->SetSize(V); });
    OnCheck(CBColorEach, [this](bool V) { FSeries->SetColorEachPoint(V); });
    Button1->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
}

void TPyramidSeriesEditor::ShowSeries() {
    auto* p = dynamic_cast<TPyramidSeries*>(FSeries.Get());
    if (!p) return;
    UDSize->SetPosition(p->SizePercent());
    BPen->LinkPen(p->Pen());
    CBColorEach->SetChecked(p->ColorEachPoint());
    BColor->LinkProperty(p, "SeriesColor");
}
