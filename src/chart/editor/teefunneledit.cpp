// The funnel series' page: the difference limit, lines, border, pattern and
// the three segment colours.
#include "chart/editor/teefunneledit.h"

#include "chart/control/tooledit.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/series/teefunnel.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TFunnelSeriesEditor, TTeeSeriesPage, TComponent)

namespace {
int Rounded(double V, int Lo, int Hi) {
    return std::isfinite(V) ? static_cast<int>(std::lround(std::clamp(V, double(Lo), double(Hi))))
                            : 0;
}
} // namespace

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
    OnUpDown(DifLimit,
             [this](int V) { dynamic_cast<TFunnelSeries*>(FSeries.Get())->SetDifferenceLimit(V); });
    Button1->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
}

void TFunnelSeriesEditor::ShowSeries() {
    auto* f = dynamic_cast<TFunnelSeries*>(FSeries.Get());
    if (!f) return;
    DifLimit->SetPosition(Rounded(f->DifferenceLimit(), 1, 50));
    ButtonPen1->LinkPen(f->LinesPen());
    ButtonPen2->LinkPen(f->Pen());
    AboveColor->LinkProperty(f, "AboveColor");
    WithinColor->LinkProperty(f, "WithinColor");
    BelowColor->LinkProperty(f, "BelowColor");
}
