// The donut series' page: the hole's size, then the pie's pages.
#include "chart/editor/teedonutedit.h"

#include "chart/editor/teeformbuild.h"
#include "chart/engine/teeconst.h"
#include "chart/series/teedonut.h"

QM_CLASS_OWNED(TDonutSeriesEditor, TTeeSeriesPage, TComponent)

TDonutSeriesEditor::TDonutSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetBorderStyle(bsDialog);
    SetClientWidth(200);
    SetClientHeight(40);
    UDDonut = TeeNewUpDown(this, this, "EDonut", "UDDonut", 70, 8, 44, 0, 100, &EDonut, 5);
    TeeNewLabel(this, this, "&Hole %: ", 8, 12, EDonut);
    OnUpDown(UDDonut,
             [this](int V) { dynamic_cast<TDonutSeries*>(FSeries.Get())->SetDonutPercent(V); });
}

void TDonutSeriesEditor::ShowSeries() {
    auto* d = dynamic_cast<TDonutSeries*>(FSeries.Get());
    if (!d) return;
    UDDonut->SetPosition(d->DonutPercent());
}

void TDonutSeriesEditor::AddPages() {
    InsertPage("TPieSeriesEditor", TeeMsg_GalleryPie, FSeries);
}
