#include "chart/editor/teeseriesicon.h"
#include "platform/classes/watched.h"
#include "chart/control/chart.h"
#include "chart/control/teeseriestypes.h"
#include "platform/graphics/graphics.h"
#include <map>
#include <memory>

namespace {
std::map<TClass, std::unique_ptr<TBitmap>>& Icons() {
    static std::map<TClass, std::unique_ptr<TBitmap>> icons;
    return icons;
}

std::unique_ptr<TBitmap> DrawIcon(TClass SeriesClass) {
    TChart chart;
    chart.SetBevelOuter(bvNone);
    chart.SetView3D(false);
    chart.SetAxisVisible(false);
    chart.Legend()->SetVisible(false);
    chart.Title()->SetVisible(false);
    chart.Frame()->SetVisible(false);
    chart.BackWall()->SetVisible(false);
    chart.SetColor(clWhite);
    chart.SetMarginLeft(2);
    chart.SetMarginTop(2);
    chart.SetMarginRight(2);
    chart.SetMarginBottom(2);
    chart.SetBounds(0, 0, TeeSeriesIconSize, TeeSeriesIconSize);
    TChartSeries* s = CreateNewSeries(&chart, &chart, SeriesClass, nullptr);
    TCallOut held{s};
    s->PrepareForGallery(true);
    if (held.Gone()) return nullptr;
    s->Marks()->SetVisible(false);
    auto bitmap = std::make_unique<TBitmap>(TeeSeriesIconSize, TeeSeriesIconSize);
    chart.Draw(bitmap->Canvas(), TRect(0, 0, TeeSeriesIconSize, TeeSeriesIconSize));
    return bitmap;
}
} // namespace

TBitmap* TeeSeriesIcon(TClass SeriesClass) {
    if (!SeriesClass || !SeriesClass->Factory ||
        !SeriesClass->InheritsFrom(&TChartSeries::ClassInfo))
        return nullptr;
    std::unique_ptr<TBitmap>& icon = Icons()[SeriesClass];
    if (!icon) icon = DrawIcon(SeriesClass);
    return icon.get();
}

void TeeDrawSeriesIcon(TClass SeriesClass, TCanvas* ACanvas, int X, int Y) {
    TCallOut held{ACanvas};
    TBitmap* icon = TeeSeriesIcon(SeriesClass);
    if (held.Gone() || !icon) return;
    ACanvas->Draw(X, Y, icon);
}
