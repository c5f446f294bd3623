// The box series' page: position, whisker length, the median and whisker
// pens, and a pointer page for the box and each kind of outlier.
#include "chart/editor/teeboxedit.h"

#include "chart/control/tooledit.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teepoiedi.h"
#include "chart/series/teeboxplot.h"
#include "platform/rtl/floatformat.h"

QM_CLASS_OWNED(TBoxSeriesEditor, TTeeSeriesPage, TComponent)

TBoxSeriesEditor::TBoxSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(256);
    SetClientHeight(100);
    EPos = TeeNewNumber(this, this, "EPos", 70, 8, 70);
    TeeNewLabel(this, this, "&Position:", 8, 12, EPos);
    ELength = TeeNewNumber(this, this, "ELength", 70, 38, 70);
    TeeNewLabel(this, this, "&Length:", 8, 42, ELength);
    BMedian = TeeNewButton<TButtonPen>(this, this, "BMedian", "&Median...", 150, 6, 100);
    BWhisker = TeeNewButton<TButtonPen>(this, this, "BWhisker", "&Whisker...", 150, 36, 100);
    // An empty field or one that is no number (yet) keeps the value.
    OnFloat(EPos,
            [this](double V) { dynamic_cast<TCustomBoxSeries*>(FSeries.Get())->SetPosition(V); });
    OnFloat(ELength, [this](double V) {
        dynamic_cast<TCustomBoxSeries*>(FSeries.Get())->SetWhiskerLength(V);
    });
}

void TBoxSeriesEditor::ShowSeries() {
    auto* b = dynamic_cast<TCustomBoxSeries*>(FSeries.Get());
    if (!b) return;
    EPos->SetText(FloatToStr(b->Position()));
    ELength->SetText(FloatToStr(b->WhiskerLength()));
    BMedian->LinkPen(b->MedianPen());
    BWhisker->LinkPen(b->WhiskerPen());
}

void TBoxSeriesEditor::AddPages() {
    auto* b = dynamic_cast<TCustomBoxSeries*>(FSeries.Get());
    if (!b) return;
    TeeInsertPointerForm(this, b->Pointer(), "Box");
    TeeInsertPointerForm(this, b->ExtrOut(), "ExtrOut");
    TeeInsertPointerForm(this, b->MildOut(), "MildOut");
}
