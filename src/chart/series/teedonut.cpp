// The donut: a pie whose hole size is stored and never falls to none.
#include "chart/series/teedonut.h"

QM_CLASS_OWNED(TDonutSeries, TPieSeries, TComponent)

QM_PUBLISHED(TDonutSeries,
             Prop("DonutPercent", &Self::DonutPercent, &Self::SetDonutPercent).Default(50));

TDonutSeries::TDonutSeries(TComponent* AOwner) : TPieSeries(AOwner) {
    SetDonutPercent(50);
}

void TDonutSeries::Assign(TPersistent* Source) {
    TPieSeries::Assign(Source);
    if (DonutPercent() < 1) SetDonutPercent(50);
}

void TDonutSeries::Loaded() {
    TPieSeries::Loaded();
    // A donut without a hole would be a pie.
    if (DonutPercent() < 1) SetDonutPercent(50);
}
