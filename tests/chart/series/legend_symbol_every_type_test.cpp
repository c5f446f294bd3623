// Every registered series type draws its symbol, in 2D and in 3D, in each
// item of the chart's legend (series and values style) and in its row of the
// editor's series list. Measured by the pixels inside the symbol's box.
#include "chart/control/series.h"
#include "chart/control/teelegend.h"
#include "chart/control/teeseriestypes.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teelisb.h"
#include "chart/series/teeextraseries.h"
#include "chart/engine/teepointer.h"
#include "platform/classes/props.h"
#include "platform/forms/stdctrls.h"
#include "platform/graphics/jpeg.h"
#include "support/forms_testing.h"
#include "support/series_classes.h"
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

enum TPlace { plSeriesLegend, plValuesLegend, plList };
const char* const PlaceNames[] = {"series legend", "values legend", "series list"};

// Types that by design draw no symbol in a place, and why; the reason is
// checked to hold for the series drawn.
struct TReason {
    const char* Text;
    bool (*Holds)(TChartSeries*);
};
const TReason EachPoint{"colours each point: the series as a whole has no one colour to show",
                        [](TChartSeries* S) { return S->ColorEachPoint(); }};
const TReason NotListed{"is not listed in a series legend",
                        [](TChartSeries* S) { return !S->ShowInLegend(); }};
const TReason NoColour{"draws without a series colour: its row has no colour cell",
                       [](TChartSeries* S) { return !S->UseSeriesColor(); }};
const TReason NoValues{"holds no values of its own: a values legend has no row of it",
                       [](TChartSeries* S) { return S->Count() == 0; }};

struct TNoSymbol {
    const char* Type;
    std::set<TPlace> Places;
    const TReason& Reason;
};
const TNoSymbol NoSymbol[] = {
    {"TPieSeries", {plSeriesLegend, plList}, EachPoint},
    {"TDonutSeries", {plSeriesLegend, plList}, EachPoint},
    {"TPyramidSeries", {plSeriesLegend, plList}, EachPoint},
    {"TBubbleSeries", {plSeriesLegend, plList}, EachPoint},
    {"TGanttSeries", {plSeriesLegend, plList}, EachPoint},
    {"TContourSeries", {plSeriesLegend, plList}, EachPoint},
    {"TGaugeSeries", {plSeriesLegend}, NotListed},
    {"TClockSeries", {plSeriesLegend}, NotListed},
    {"TCalendarSeries", {plSeriesLegend}, NotListed},
    {"TCalendarSeries", {plList}, NoColour},
    {"TCalendarSeries", {plValuesLegend}, NoValues},
    {"TFunnelSeries", {plList}, NoColour},
};

const TNoSymbol* Excused(const std::string& Type, TPlace Place) {
    for (const TNoSymbol& n : NoSymbol)
        if (Type == n.Type && n.Places.count(Place)) return &n;
    return nullptr;
}

std::vector<TClass> SeriesTypes() {
    TeeExtraSeriesStartup();
    TeeEditorStartup();
    return RegisteredSeriesClasses();
}

// With QM_SHOTS set, the picture is kept there to be looked at.
void Shot(TBitmap& Face, const std::string& Name) {
    const char* dir = std::getenv("QM_SHOTS");
    if (!dir) return;
    std::string file = Name;
    std::replace(file.begin(), file.end(), ' ', '_');
    std::replace(file.begin(), file.end(), ',', '_');
    TPngImage png;
    png.Bitmap()->Assign(&Face);
    png.SaveToFile(AnsiString(std::string(dir) + "/" + file + ".png"));
}

// Pixels of Box in Face that are not Blank.
int Marked(TBitmap& Face, const TRect& Box, COLORREF Blank) {
    int n = 0;
    for (int y = Box.Top; y < Box.Bottom; ++y)
        for (int x = Box.Left; x < Box.Right; ++x)
            n += ColorToRGB(Face.Canvas()->Pixels(x, y)) != Blank;
    return n;
}

// A chart as the gallery makes one, with a series of Type and its sample values.
std::unique_ptr<TChart> ChartOf(TClass Type, bool View3D, TChartSeries*& Series) {
    auto chart = std::make_unique<TChart>();
    chart->SetBounds(0, 0, 500, 360);
    Series = CreateNewSeries(chart.get(), chart.get(), Type);
    Series->FillSampleValues(4);
    chart->SetView3D(View3D);
    chart->Legend()->SetVisible(true);
    // Wide enough for a line symbol to count, whatever the texts' width.
    chart->Legend()->Symbol()->SetWidthUnits(lcsPixels);
    chart->Legend()->Symbol()->SetWidth(20);
    return chart;
}

// The marked pixels of each legend item's symbol box.
std::vector<int> LegendSymbols(TChart& Chart, TLegendStyle Style, const std::string& Name) {
    Chart.Legend()->SetLegendStyle(Style);
    struct TItem {
        int Y, SymX;
    };
    std::vector<TItem> items;
    Chart.OnGetLegendPos = [&](TCustomChart*, int, int&, int& Y, int& SymX) {
        items.push_back({Y, SymX});
    };
    TBitmap face(Chart.Width(), Chart.Height());
    Chart.Draw(face.Canvas(), TRect(0, 0, Chart.Width(), Chart.Height()));
    Chart.OnGetLegendPos = nullptr;
    Shot(face, Name);
    face.Canvas()->Font()->Assign(Chart.Legend()->Font());
    const int h = face.Canvas()->TextHeight("W");
    const COLORREF blank = ColorToRGB(Chart.Legend()->Color());
    std::vector<int> r;
    for (const TItem& i : items)
        r.push_back(Marked(
            face, TRect(i.SymX, i.Y + 2, i.SymX + Chart.Legend()->SymbolWidthPixels(), i.Y + h),
            blank));
    return r;
}

// The marked pixels of the colour cell in the series' row of the editor's list.
int ListSymbol(TChart& Chart, const std::string& Name) {
    TForm host(nullptr);
    host.SetBounds(0, 0, 320, 80);
    auto* list = new TChartListBox(&host);
    list->SetParent(&host);
    list->SetBounds(0, 0, 300, 60);
    list->SetChart(&Chart);
    host.Show();
    TBitmap face(list->Width(), list->Height());
    GrabControl(list, &face);
    Shot(face, Name);
    const int left = list->SectionLeft(TChartListBox::secColor);
    const int right = list->SectionLeft(TChartListBox::secTitle);
    return Marked(face, TRect(left + 2, 4, right - 6, 20), ColorToRGB(list->Color()));
}

TEST(LegendSymbolEveryType, EveryTypeDrawsItsSymbolInTheLegendAndTheSeriesList) {
    const std::vector<TClass> types = SeriesTypes();
    ASSERT_GT(types.size(), 40u);
    int checked = 0, excused = 0;
    std::set<const TNoSymbol*> excusesUsed;
    std::vector<std::string> faults;
    for (TClass type : types)
        for (const bool view3D : {false, true})
            for (const TPlace place : {plSeriesLegend, plValuesLegend, plList}) {
                const std::string where =
                    std::string(type->Name) + (view3D ? ", 3D, " : ", 2D, ") + PlaceNames[place];
                TChartSeries* series = nullptr;
                const auto chart = ChartOf(type, view3D, series);
                std::vector<int> symbols;
                if (place == plList)
                    symbols.push_back(ListSymbol(*chart, where));
                else
                    symbols =
                        LegendSymbols(*chart, place == plSeriesLegend ? lsSeries : lsValues, where);
                bool drawn = !symbols.empty();
                for (const int s : symbols)
                    drawn = drawn && s >= 4;
                if (const TNoSymbol* n = Excused(type->Name, place)) {
                    ++excused;
                    excusesUsed.insert(n);
                    if (!n->Reason.Holds(series))
                        faults.push_back(where + ": no longer " + n->Reason.Text);
                    else if (drawn)
                        faults.push_back(where + ": drew a symbol, though it " + n->Reason.Text);
                } else {
                    ++checked;
                    if (!drawn)
                        faults.push_back(where + ": pixels in each symbol box " +
                                         ::testing::PrintToString(symbols));
                }
            }
    for (const std::string& f : faults)
        ADD_FAILURE() << f;
    // Each excuse is of a registered type and a place it is drawn.
    EXPECT_EQ(excusesUsed.size(), std::size(NoSymbol));
    std::printf("%d places checked, %d excused, %zu types\n", checked, excused, types.size());
}

// Every pointer a type publishes draws on its series' chart: made before the
// series has one, and after the series moves to another.
TEST(LegendSymbolEveryType, EveryPublishedPointerFollowsItsSeriesChart) {
    int pointers = 0;
    for (TClass type : SeriesTypes()) {
        SCOPED_TRACE(type->Name);
        TForm owner(nullptr);
        TChart first(nullptr), second(nullptr);
        TChartSeries* s = CreateNewSeries(&owner, &first, type);
        for (TChart* now : {&first, &second}) {
            s->SetParentChart(now);
            for (const TPropInfo* p : GetPropList(type))
                if (p->Kind == TPropKind::Object)
                    if (auto* pointer = dynamic_cast<TSeriesPointer*>(p->GetObj(s))) {
                        EXPECT_EQ(pointer->Chart(), now) << p->Name.c_str();
                        ++pointers;
                    }
        }
    }
    EXPECT_GT(pointers, 20);
}

} // namespace
