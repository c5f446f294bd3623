// Every reference an object of the chart library keeps to another that may be
// freed before it: what the published tables of the registered tools, series
// and functions and of the registered components beside a chart (commander,
// editor, previewer, grid, lists) refer to, a series' custom axes and the
// controls a series puts on its chart. Each is freed in both orders; the chart
// is then painted, clicked, saved and freed. Under the address sanitizer a use of the freed one fails here.
#include "chart/control/series.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teefunction.h"
#include "chart/engine/teetools.h"
#include "chart/series/teeextraseries.h"
#include "platform/classes/props.h"
#include "platform/classes/streams.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/graphics.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int W = 400, H = 300;

TChart* NewChart() {
    auto* c = new TChart(nullptr);
    c->SetBounds(0, 0, W, H);
    c->SetView3D(false);
    TChartSeries* s = CreateNewSeries(c, c, &TLineSeries::ClassInfo);
    for (int i = 0; i <= 10; ++i)
        s->AddXY(i, i * 10);
    return c;
}

// Painted on the window and on a picture, clicked where the plot, the corners and
// the controls on the chart are, and saved with its data.
void Exercise(TChart* C) {
    C->Draw();
    TBitmap picture(W, H);
    C->Draw(picture.Canvas(), TRect(0, 0, W, H));
    for (TPoint p : {TPoint(200, 150), TPoint(60, 60), TPoint(340, 240), TPoint(17, 17),
                     TPoint(41, 17), TPoint(200, 12)}) {
        SimulateMouse(C, TMouseAction::Down, mbLeft, p.x, p.y);
        SimulateMouse(C, TMouseAction::Move, mbLeft, p.x + 7, p.y + 5);
        SimulateMouse(C, TMouseAction::Up, mbLeft, p.x + 7, p.y + 5);
    }
    std::vector<TControl*> controls;
    for (int i = 0; i < C->ComponentCount(); ++i)
        if (auto* control = dynamic_cast<TControl*>(C->Components(i))) controls.push_back(control);
    for (TControl* control : controls)
        SimulateClick(control);
    TMemoryStream stream;
    SaveChartToStream(C, &stream);
}

std::vector<TClass> SeriesClasses() {
    std::vector<TClass> all{&TLineSeries::ClassInfo};
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        TClass c = TeeSeriesTypes().Get(i)->SeriesClass;
        if (c && !TeeSeriesTypes().Get(i)->FunctionClass &&
            std::find(all.begin(), all.end(), c) == all.end())
            all.push_back(c);
    }
    return all;
}

// What a published reference of that class can point at, made on the chart: a
// series the property takes, a custom axis, or the chart itself. Null when the
// property refers to something else.
TObject* MakeTarget(TChart* C, TObject* Referrer, const TPropInfo* P) {
    if (P->Kind == TPropKind::Object) {
        if (!P->PropClass->InheritsFrom(&TChartAxis::ClassInfo) || !P->SetObj) return nullptr;
        TObject* axis = C->CustomAxes()->Add();
        P->SetObj(Referrer, axis);
        return axis;
    }
    if (P->Kind != TPropKind::Component || !P->SetObj) return nullptr;
    if (TChart::ClassInfo.InheritsFrom(P->PropClass) && P->PropClass != &TComponent::ClassInfo) {
        P->SetObj(Referrer, C);
        return P->GetObj(Referrer) == C ? C : nullptr;
    }
    if (!TChartSeries::ClassInfo.InheritsFrom(P->PropClass) &&
        !P->PropClass->InheritsFrom(&TChartSeries::ClassInfo))
        return nullptr;
    // The first series class the property takes (a grid tool takes grid series only).
    for (TClass sc : SeriesClasses()) {
        if (!sc->InheritsFrom(P->PropClass)) continue;
        TChartSeries* s = CreateNewSeries(C, C, sc);
        s->FillSampleValues(5);
        try {
            P->SetObj(Referrer, s);
        } catch (const Exception&) {
        }
        if (P->GetObj(Referrer) == s) return s;
        delete s;
    }
    return nullptr;
}

void Free(TObject* Target) {
    if (auto* axis = dynamic_cast<TChartAxis*>(Target))
        delete axis; // as the axis page's Delete does
    else
        TComponent::Free(static_cast<TComponent*>(Target));
}

// A referrer made fresh on a fresh chart (owned by the chart, or by Host when it
// stands beside the chart).
using TMaker = std::function<TComponent*(TChart* C, TComponent* Host)>;

struct TLetGoRun {
    int References = 0;
    std::vector<std::string> Seen;
    std::vector<std::string> Failures;

    // Each published reference of what Make makes, freed first and freed last.
    void Sweep(const std::string& Name, const TMaker& Make) {
        std::unique_ptr<TChart> probeChart(NewChart());
        TComponent probeHost(nullptr);
        TComponent* probe = Make(probeChart.get(), &probeHost);
        std::vector<const TPropInfo*> props;
        for (const TPropInfo* p : GetPropList(probe->ClassType()))
            if (p->Name != "ParentChart" && MakeTarget(probeChart.get(), probe, p))
                props.push_back(p);
        for (const TPropInfo* p : props) {
            ++References;
            Seen.push_back(Name + "." + p->Name.c_str());
            for (bool targetFirst : {true, false}) {
                auto host = std::make_unique<TComponent>(nullptr);
                TChart* chart = NewChart();
                std::unique_ptr<TChart> owned(chart);
                TComponent* referrer = Make(chart, host.get());
                TObject* target = MakeTarget(chart, referrer, p);
                const std::string what =
                    Name + "." + std::string(p->Name.c_str()) +
                    (targetFirst ? ", its target freed first" : ", freed before its target");
                if (!target) {
                    Failures.push_back(what + ": takes no target");
                    continue;
                }
                Exercise(chart);
                if (targetFirst) {
                    if (target == chart) {
                        owned.reset();
                        chart = nullptr;
                    } else {
                        Free(target);
                    }
                    if (p->GetObj(referrer) != nullptr) Failures.push_back(what + ": still held");
                    if (auto* control = dynamic_cast<TControl*>(referrer)) {
                        TBitmap face(200, 100);
                        GrabControl(control, &face);
                    }
                    if (chart) Exercise(chart);
                    TComponent::Free(referrer);
                } else {
                    TComponent::Free(referrer);
                    if (target != chart) Free(target);
                }
                if (chart) Exercise(chart);
            }
        }
    }
};

TComponent* OnChart(TComponent* Made, TChart* C) {
    if (auto* e = dynamic_cast<TCustomChartElement*>(Made)) e->SetParentChart(C);
    return Made;
}

class FreedFirstTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        TeeExtraSeriesStartup();
    }
};

std::string Lines(const std::vector<std::string>& Failures) {
    std::string all;
    for (const std::string& f : Failures)
        all += f + "\n";
    return all;
}

TEST_F(FreedFirstTest, ToolsLetGoOfTheSeriesAndAxesTheyPointAt) {
    TLetGoRun run;
    for (int i = 0; i < TeeToolTypes().Count(); ++i) {
        TClass tc = TeeToolTypes().Get(i);
        run.Sweep(tc->Name, [tc](TChart* C, TComponent*) {
            return OnChart(static_cast<TComponent*>(tc->Factory(C)), C);
        });
    }
    EXPECT_TRUE(run.Failures.empty()) << Lines(run.Failures);
    // Every series tool's series and every axis tool's axis.
    EXPECT_GE(run.References, 15);
    RecordProperty("tool references", run.References);
    if (std::getenv("QM_LIST_REFERENCES")) std::fprintf(stderr, "%s", Lines(run.Seen).c_str());
}

TEST_F(FreedFirstTest, SeriesAndFunctionsLetGoOfTheirSources) {
    TLetGoRun run;
    for (TClass sc : SeriesClasses())
        run.Sweep(sc->Name, [sc](TChart* C, TComponent*) { return CreateNewSeries(C, C, sc); });
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        TClass fc = TeeSeriesTypes().Get(i)->FunctionClass;
        if (!fc) continue;
        TClass sc = TeeSeriesTypes().Get(i)->SeriesClass;
        if (!sc) sc = &TLineSeries::ClassInfo;
        const std::string name = std::string(sc->Name) + "+" + fc->Name;
        run.Sweep(name, [sc, fc](TChart* C, TComponent*) { return CreateNewSeries(C, C, sc, fc); });
        run.Sweep(fc->Name, [sc, fc](TChart* C, TComponent*) -> TComponent* {
            return CreateNewSeries(C, C, sc, fc)->FunctionType();
        });
    }
    EXPECT_TRUE(run.Failures.empty()) << Lines(run.Failures);
    RecordProperty("series and function references", run.References);
    if (std::getenv("QM_LIST_REFERENCES")) std::fprintf(stderr, "%s", Lines(run.Seen).c_str());
    EXPECT_GE(run.References, 84);
}

// Every registered component beside the chart that publishes a reference to one.
std::vector<TClass> ChartCompanions() {
    std::vector<TClass> found;
    for (TClass c : RegisteredClasses()) {
        if (!c->Factory || !c->InheritsFrom(&TComponent::ClassInfo) ||
            c->InheritsFrom(&TCustomChartElement::ClassInfo))
            continue;
        for (const TPropInfo* p : GetPropList(c))
            if (p->Kind == TPropKind::Component && p->SetObj &&
                p->PropClass != &TComponent::ClassInfo && TChart::ClassInfo.InheritsFrom(p->PropClass)) {
                found.push_back(c);
                break;
            }
    }
    return found;
}

TEST_F(FreedFirstTest, ChartCompanionsLetGoOfTheChart) {
    TLetGoRun run;
    for (TClass cc : ChartCompanions())
        run.Sweep(cc->Name, [cc](TChart*, TComponent* Host) {
            return static_cast<TComponent*>(cc->Factory(Host));
        });
    EXPECT_TRUE(run.Failures.empty()) << Lines(run.Failures);
    RecordProperty("companion references", run.References);
    if (std::getenv("QM_LIST_REFERENCES")) std::fprintf(stderr, "%s", Lines(run.Seen).c_str());
    EXPECT_GE(run.References, 9);
}

// A series' custom axes are no published references: the series keeps them by
// their place. Freed first, the series goes back to the bottom and left axes.
TEST_F(FreedFirstTest, SeriesLetGoOfTheirCustomAxes) {
    int cases = 0;
    for (TClass sc : SeriesClasses())
        for (bool horizontal : {true, false})
            for (bool axisFirst : {true, false}) {
                SCOPED_TRACE(std::string(sc->Name) + (horizontal ? " horizontal" : " vertical") +
                             (axisFirst ? ", axis freed first" : ", series freed first"));
                std::unique_ptr<TChart> chart(NewChart());
                TChartSeries* s = CreateNewSeries(chart.get(), chart.get(), sc);
                s->FillSampleValues(5);
                auto* axis = static_cast<TChartAxis*>(chart->CustomAxes()->Add());
                axis->SetHorizontal(horizontal);
                if (horizontal)
                    s->SetCustomHorizAxis(axis);
                else
                    s->SetCustomVertAxis(axis);
                Exercise(chart.get());
                if (axisFirst) {
                    delete axis;
                    EXPECT_EQ(s->CustomHorizAxis(), nullptr);
                    EXPECT_EQ(s->CustomVertAxis(), nullptr);
                    if (s->UseAxis()) {
                        EXPECT_EQ(s->GetHorizAxis(), chart->BottomAxis());
                        EXPECT_EQ(s->GetVertAxis(), chart->LeftAxis());
                    }
                    Exercise(chart.get());
                    delete s;
                } else {
                    delete s;
                    Exercise(chart.get());
                    delete axis;
                }
                Exercise(chart.get());
                ++cases;
            }
    RecordProperty("series axis references", cases / 2);
}

int ControlCount(TChart* C) {
    int n = 0;
    for (int i = 0; i < C->ComponentCount(); ++i)
        if (dynamic_cast<TControl*>(C->Components(i))) ++n;
    return n;
}

// Controls a series puts on its chart (the calendar's month buttons) leave with
// the series: freed, changed to another type, or left by a chart freed first.
TEST_F(FreedFirstTest, ControlsASeriesMakesLeaveWithIt) {
    int madeControls = 0;
    for (TClass sc : SeriesClasses())
        for (int way = 0; way < 3; ++way) {
            SCOPED_TRACE(std::string(sc->Name) + " " +
                         (way == 0   ? "freed"
                          : way == 1 ? "changed in type"
                                     : "chart freed first"));
            TComponent host(nullptr);
            std::unique_ptr<TChart> chart(NewChart());
            const int before = ControlCount(chart.get());
            auto* s = static_cast<TChartSeries*>(sc->Factory(&host));
            s->SetParentChart(chart.get());
            s->FillSampleValues(5);
            if (way == 0) madeControls += ControlCount(chart.get()) - before;
            Exercise(chart.get());
            if (way == 0) {
                delete s;
            } else if (way == 1) {
                ChangeSeriesType(s, sc == &TLineSeries::ClassInfo ? &TPointSeries::ClassInfo
                                                                  : &TLineSeries::ClassInfo);
                ASSERT_NE(s, nullptr);
            } else {
                // The chart frees every series it shows, whoever owns it.
                chart.reset();
                EXPECT_EQ(host.ComponentCount(), 0);
                continue;
            }
            EXPECT_EQ(ControlCount(chart.get()), before);
            Exercise(chart.get()); // clicks every control left on the chart
        }
    // The calendar's two month buttons at least.
    EXPECT_GE(madeControls, 2);
    RecordProperty("controls made by series", madeControls);
}

} // namespace
