// Mouse work that only looks at a chart (zooming and unzooming, panning back,
// hovering and dragging tools, rotating back) and painting it leave the chart
// file and every published property as they were; the sweeps take every
// registered tool and series class from the registries, and each style a
// series' gallery offers from the series itself.
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/control/tool_bands.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/tool_drag.h"
#include "chart/control/tool_hints.h"
#include "chart/series/teecalendar.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teefunnel.h"
#include "chart/series/teegauges.h"
#include "chart/series/teepolar.h"
#include "platform/classes/collections.h"
#include "platform/classes/props.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include "platform/graphics/jpeg.h"
#include "platform/rtl/clock.h"
#include "tools_fixture.h"
#include "support/series_classes.h"
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string ChartText(TCustomChart* Chart) {
    TMemoryStream m;
    SaveChartToStream(Chart, &m, true, true);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

class LookingTest;

struct TLook {
    const char* Name;
    std::function<void(LookingTest&)> Setup; // the tools looked through
    std::function<void(LookingTest&)> Look;
};

class LookingTest : public ToolsTest, public ::testing::WithParamInterface<TLook> {
public:
    template <typename T> T* Add() {
        auto* t = new T(Chart.get());
        t->SetParentChart(Chart.get());
        Chart->Tools()->Add(t);
        return t;
    }
    template <typename T> T* Tool() { return dynamic_cast<T*>(Chart->Tools()->Get(0)); }
    int X(int I) { return Series->CalcXPos(I); }
    int Y(int I) { return Series->CalcYPos(I); }
    TRect Plot() { return Chart->ChartRect(); }
    using ToolsTest::Chart;
    using ToolsTest::Down;
    using ToolsTest::Drag;
    using ToolsTest::Left;
    using ToolsTest::Move;
    using ToolsTest::Paint;
    using ToolsTest::Series;
    using ToolsTest::Up;
};

const TLook Looks[] = {
    {"ZoomAndUndo", nullptr,
     [](LookingTest& T) {
         const TRect r = T.Plot();
         T.Drag(r.Left + 40, r.Top + 30, r.Left + 200, r.Top + 150);
         T.Chart->UndoZoom();
     }},
    {"PanAndUndo", nullptr,
     [](LookingTest& T) {
         const TRect r = T.Plot();
         T.Down(r.Left + 100, r.Top + 100, mbRight);
         T.Move(r.Left + 150, r.Top + 120, mbRight);
         T.Up(r.Left + 150, r.Top + 120, mbRight);
         T.Chart->UndoZoom();
     }},
    {"CursorHoverAndDrag", [](LookingTest& T) { T.Add<TCursorTool>(); },
     [](LookingTest& T) {
         auto* c = T.Tool<TCursorTool>();
         T.Move(c->IXPosition + 1, T.Plot().Top + 40);
         T.Drag(c->IXPosition, T.Plot().Top + 40, c->IXPosition + 30, T.Plot().Top + 60);
         T.Move(T.Plot().Left + 3, T.Plot().Top + 3);
     }},
    {"NearestPoint", [](LookingTest& T) { T.Add<TNearestTool>()->SetSeries(T.Series); },
     [](LookingTest& T) {
         T.Move(T.X(4) + 2, T.Y(4) + 2);
         T.Paint();
     }},
    {"MarkTips",
     [](LookingTest& T) {
         T.Add<TMarksTipTool>();
         T.Series->Pointer()->SetVisible(true);
     },
     [](LookingTest& T) {
         T.Move(T.X(4), T.Y(4));
         T.Move(T.Plot().Left + 2, T.Plot().Top + 2);
     }},
    {"AnnotationHover",
     [](LookingTest& T) {
         auto* a = T.Add<TAnnotationTool>();
         a->SetText("Note");
         a->SetCursor(crHandPoint);
     },
     [](LookingTest& T) {
         const TRect b = T.Tool<TAnnotationTool>()->Shape()->ShapeBounds();
         T.Move(b.Left + 3, b.Top + 3);
     }},
    {"DragMarksHover",
     [](LookingTest& T) {
         T.Add<TDragMarksTool>();
         T.Series->Marks()->SetVisible(true);
     },
     [](LookingTest& T) {
         const TRect m = T.Series->Marks()->Positions()->Get(4)->Bounds();
         T.Move((m.Left + m.Right) / 2, (m.Top + m.Bottom) / 2);
     }},
    {"ColorLineHover",
     [](LookingTest& T) {
         auto* l = T.Add<TColorLineTool>();
         l->SetAxis(T.Left());
         l->SetValue(50);
     },
     [](LookingTest& T) { T.Move(T.Plot().Left + 50, T.Left()->CalcPosValue(50)); }},
    // A zoom that leaves the line above the plot draws it at the edge and keeps its value.
    {"ColorLineZoomedPast",
     [](LookingTest& T) {
         auto* l = T.Add<TColorLineTool>();
         l->SetAxis(T.Left());
         l->SetValue(T.Left()->Maximum() - 1);
     },
     [](LookingTest& T) {
         const TRect r = T.Plot();
         T.Drag(r.Left + 40, r.Bottom - 80, r.Left + 200, r.Bottom - 20);
         T.Paint();
         T.Chart->UndoZoom();
     }},
    {"RotateAndBack", [](LookingTest& T) { T.Add<TRotateTool>(); },
     [](LookingTest& T) {
         TView3DOptions* v = T.Chart->View3DOptions();
         const int rotation = v->Rotation(), elevation = v->Elevation();
         const bool orthogonal = v->Orthogonal();
         T.Drag(200, 150, 230, 160);
         v->SetRotation(rotation);
         v->SetElevation(elevation);
         v->SetOrthogonal(orthogonal);
         T.Chart->SetView3D(false);
     }},
};

TEST_P(LookingTest, ChartFileStaysTheSame) {
    Chart->SetName("Chart1");
    Series->SetName("Series1");
    if (GetParam().Setup) GetParam().Setup(*this);
    Paint();
    const std::string before = ChartText(Chart.get());
    GetParam().Look(*this);
    Paint();
    EXPECT_EQ(ChartText(Chart.get()), before);
}

INSTANTIATE_TEST_SUITE_P(Looks, LookingTest, ::testing::ValuesIn(Looks),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// ---------------------------------------------------------------------------
// The sweeps: the chart file and every published property of the chart, its
// series and its tools, before and after.

void Published(TObject* O, const std::string& Path, std::set<TObject*>& Seen,
               std::map<std::string, std::string>& Out) {
    if (!O || !Seen.insert(O).second) return;
    for (const TPropInfo* p : GetPropList(O->ClassType())) {
        const std::string name = Path + "." + p->Name.c_str();
        std::string& v = Out[name];
        switch (p->Kind) {
        case TPropKind::Integer:
        case TPropKind::Boolean:
        case TPropKind::Enumeration:
        case TPropKind::Set:
            v = std::to_string(p->GetOrd(O));
            break;
        case TPropKind::Float:
            v = std::to_string(p->GetFloat(O));
            break;
        case TPropKind::String:
            v = p->GetStr(O).c_str();
            break;
        case TPropKind::Component:
            if (auto* c = dynamic_cast<TComponent*>(p->GetObj(O))) v = c->Name().c_str();
            break;
        case TPropKind::Method:
            v = p->HasHandler(O) ? "handler" : "";
            break;
        case TPropKind::Object:
            if (TObject* sub = p->GetObj(O)) {
                if (auto* strings = dynamic_cast<TStrings*>(sub)) {
                    v = strings->Text().c_str();
                } else if (auto* coll = dynamic_cast<TCollection*>(sub)) {
                    for (int i = 0; i < coll->Count(); ++i)
                        Published(coll->Items(i), name + "[" + std::to_string(i) + "]", Seen, Out);
                } else {
                    Published(sub, name, Seen, Out);
                }
            }
            break;
        }
    }
}

struct TStoredState {
    std::string File;
    std::map<std::string, std::string> Properties;
};

TStoredState Stored(TCustomChart* Chart) {
    TStoredState s{ChartText(Chart), {}};
    std::set<TObject*> seen;
    Published(Chart, "Chart", seen, s.Properties);
    for (int i = 0; i < Chart->SeriesCount(); ++i)
        Published(Chart->GetSeries(i), "Series" + std::to_string(i), seen, s.Properties);
    for (int i = 0; i < Chart->Tools()->Count(); ++i)
        Published(Chart->Tools()->Get(i), "Tool" + std::to_string(i), seen, s.Properties);
    return s;
}

// The names of what differs, for the report of a sweep.
std::string Changes(const TStoredState& Before, const TStoredState& After) {
    std::string changed;
    if (Before.File != After.File) changed += " file";
    for (const auto& [name, value] : After.Properties) {
        const auto was = Before.Properties.find(name);
        if (was == Before.Properties.end() || was->second != value) changed += " " + name;
    }
    return changed;
}

std::vector<TClass> SeriesClasses() {
    TeeExtraSeriesStartup();
    return RegisteredSeriesClasses();
}

class LookingSweep : public ToolsTest {
protected:
    // The chart of the fixture with a series of the class in place of its line.
    TChartSeries* Use(TClass SeriesClass) {
        Chart = std::make_unique<TChart>();
        Chart->SetBevelOuter(bvNone);
        Chart->SetBounds(0, 0, 400, 300);
        Chart->SetView3D(false);
        Chart->SetName("Chart1");
        Chart->SetCursor(crCross); // the chart's own, to be kept
        TChartSeries* s = CreateNewSeries(Chart.get(), Chart.get(), SeriesClass);
        s->SetName("Series1");
        s->FillSampleValues(6);
        s->Marks()->SetVisible(true);
        s->SetCursor(crHandPoint);
        return s;
    }
    TTeeCustomTool* AddTool(TClass ToolClass, TChartSeries* S) {
        auto* tool = static_cast<TTeeCustomTool*>(ToolClass->Factory(Chart.get()));
        tool->SetName("Tool1");
        tool->SetParentChart(Chart.get());
        if (auto* t = dynamic_cast<TTeeCustomToolSeries*>(tool)) t->SetSeries(S);
        if (auto* t = dynamic_cast<TTeeCustomToolAxis*>(tool)) t->SetAxis(Left());
        return tool;
    }
    // The mouse crosses the whole window, then leaves it.
    void HoverEverywhere() {
        for (int y = 5; y < 300; y += 25)
            for (int x = 5; x < 400; x += 25)
                Move(y % 40 == 5 ? x : 400 - x, y);
        SimulateMouseLeave(Chart.get());
    }
    // Every chart a sweep builds: a line chart, a series of each registered
    // class, a function of each on a line series, and each registered tool.
    std::vector<std::pair<std::string, std::function<void()>>> Setups() {
        std::vector<std::pair<std::string, std::function<void()>>> setups = {
            {"TChart", [this] { Use(&TLineSeries::ClassInfo); }}};
        for (TClass seriesClass : SeriesClasses())
            setups.push_back({seriesClass->Name, [this, seriesClass] { Use(seriesClass); }});
        std::set<TClass> functions;
        for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
            const TTeeSeriesType* t = TeeSeriesTypes().Get(i);
            if (!t->FunctionClass || !functions.insert(t->FunctionClass).second) continue;
            const TClass seriesClass = t->SeriesClass ? t->SeriesClass : &TLineSeries::ClassInfo;
            const TClass functionClass = t->FunctionClass;
            setups.push_back({functionClass->Name, [this, seriesClass, functionClass] {
                                  TChartSeries* source = Use(&TLineSeries::ClassInfo);
                                  TChartSeries* s = CreateNewSeries(Chart.get(), Chart.get(),
                                                                    seriesClass, functionClass);
                                  s->SetName("Series2");
                                  try {
                                      s->SetDataSource(source);
                                  } catch (const std::exception&) {
                                      // a function that takes other points than a line's
                                  }
                              }});
        }
        for (int i = 0; i < TeeToolTypes().Count(); ++i) {
            const TClass toolClass = TeeToolTypes().Get(i);
            setups.push_back({toolClass->Name, [this, toolClass] {
                                  AddTool(toolClass, Use(&TLineSeries::ClassInfo));
                              }});
        }
        return setups;
    }
    // A series of each registered class in every style its gallery offers
    // beyond the plain one, applied as the gallery applies it to a new series.
    std::vector<std::pair<std::string, std::function<void()>>> SubGallerySetups() {
        std::vector<std::pair<std::string, std::function<void()>>> setups;
        for (TClass seriesClass : SeriesClasses()) {
            TChart scratch;
            std::vector<std::string> names;
            CreateNewSeries(&scratch, &scratch, seriesClass)
                ->CreateSubGallery([&](const AnsiString& Name) { names.push_back(Name.c_str()); });
            for (int i = 1; i < static_cast<int>(names.size()); ++i)
                setups.push_back({std::string(seriesClass->Name) + " " + std::to_string(i) + " " +
                                      names[size_t(i)],
                                  [this, seriesClass, i] {
                                      TChartSeries* s = Use(seriesClass);
                                      s->SetSubGallery(s, i);
                                  }});
        }
        return setups;
    }
    // Counts every case a sweep ran, to report it.
    int Cases = 0;
};

TEST_F(LookingSweep, HoveringEveryToolOverEverySeriesClassStoresNothing) {
    std::string faults;
    const std::vector<TClass> series = SeriesClasses();
    for (int i = 0; i < TeeToolTypes().Count(); ++i) {
        const TClass toolClass = TeeToolTypes().Get(i);
        for (TClass seriesClass : series) {
            AddTool(toolClass, Use(seriesClass));
            Paint();
            const TStoredState before = Stored(Chart.get());
            HoverEverywhere();
            Paint();
            const std::string changed = Changes(before, Stored(Chart.get()));
            if (!changed.empty())
                faults += std::string(toolClass->Name) + " over " + seriesClass->Name + ":" +
                          changed + "\n";
            EXPECT_EQ(Chart->Cursor(), crCross) << toolClass->Name << " " << seriesClass->Name;
            ++Cases;
        }
    }
    EXPECT_EQ(faults, "");
    EXPECT_GT(Cases, 500);
    RecordProperty("Cases", Cases);
}

TEST_F(LookingSweep, ZoomingScrollingAndRotatingBackOverEverySeriesClassStoresNothing) {
    std::string faults;
    for (TClass seriesClass : SeriesClasses()) {
        // A press on a calendar's day chooses that day.
        if (seriesClass == &TCalendarSeries::ClassInfo) continue;
        Use(seriesClass);
        Paint();
        const TStoredState before = Stored(Chart.get());
        const TRect r = Chart->ChartRect();
        Drag(r.Left + 40, r.Top + 30, r.Left + 200, r.Top + 150); // zoom
        Chart->UndoZoom();
        Down(r.Left + 100, r.Top + 100, mbRight); // scroll
        Move(r.Left + 150, r.Top + 120, mbRight);
        Up(r.Left + 150, r.Top + 120, mbRight);
        Chart->UndoZoom();
        Drag(r.Left + 120, r.Top + 90, r.Left + 40, r.Top + 20); // zoom out, undone
        Chart->UndoZoom();
        HoverEverywhere();
        Paint();
        // Rotating is a change of the view; turned back, the view is as it was.
        auto* rotate = AddTool(&TRotateTool::ClassInfo, nullptr);
        TView3DOptions* v = Chart->View3DOptions();
        const int rotation = v->Rotation(), elevation = v->Elevation();
        const bool orthogonal = v->Orthogonal(), view3D = Chart->View3D();
        Drag(200, 150, 230, 160);
        v->SetRotation(rotation);
        v->SetElevation(elevation);
        v->SetOrthogonal(orthogonal);
        Chart->SetView3D(view3D);
        TComponent::Free(rotate);
        Paint();
        const std::string changed = Changes(before, Stored(Chart.get()));
        if (!changed.empty()) faults += std::string(seriesClass->Name) + ":" + changed + "\n";
        EXPECT_EQ(Chart->Cursor(), crCross) << seriesClass->Name;
        ++Cases;
    }
    EXPECT_EQ(faults, "");
    RecordProperty("Cases", Cases);
}

// Reading every published property of the chart, of a series, function or
// tool of each registered class and of all they hold leaves the file as it was.
TEST_F(LookingSweep, ReadingEveryPublishedPropertyStoresNothing) {
    std::string faults;
    for (const auto& [name, setup] : Setups()) {
        setup();
        Paint();
        const std::string before = ChartText(Chart.get());
        Stored(Chart.get());
        Paint();
        if (ChartText(Chart.get()) != before) faults += name + "\n";
        ++Cases;
    }
    EXPECT_EQ(faults, "");
    EXPECT_GT(Cases, 90);
    RecordProperty("Cases", Cases);
}

// Shows every gradient O publishes, and those of what it holds.
int ShowGradients(TObject* O, std::set<TObject*>& Seen) {
    if (!O || !Seen.insert(O).second) return 0;
    int shown = 0;
    if (auto* g = dynamic_cast<TCustomTeeGradient*>(O)) {
        g->SetVisible(true);
        ++shown;
    }
    for (const TPropInfo* p : GetPropList(O->ClassType()))
        if (p->Kind == TPropKind::Object) shown += ShowGradients(p->GetObj(O), Seen);
    return shown;
}

// A picture of the window's size and its colours, read in one copy: read a
// pixel at a time they would take most of the paint sweep's time.
struct TGrab {
    TBitmap Bitmap{400, 300};
    std::vector<uint32_t> Colours;
    explicit TGrab(TCanvas* From) {
        Bitmap.SetPixelFormat(pf32bit);
        const TRect all(0, 0, 400, 300);
        Bitmap.Canvas()->CopyRect(all, From, all);
        Colours.resize(400 * 300);
        for (int y = 0; y < 300; ++y) {
            const auto* row = static_cast<const uint32_t*>(Bitmap.ScanLine(y));
            for (int x = 0; x < 400; ++x)
                Colours[size_t(y * 400 + x)] = row[x] & 0xFFFFFF;
        }
    }
    int Differ(const TGrab& Other) const {
        int n = 0;
        for (size_t i = 0; i < Colours.size(); ++i)
            n += Colours[i] != Other.Colours[i];
        return n;
    }
    // Set QM_SAVE_PNG to a folder to look at the pictures of a case that fails.
    void Save(const std::string& What) {
        const char* dir = std::getenv("QM_SAVE_PNG");
        if (!dir) return;
        TPngImage png;
        png.Assign(&Bitmap);
        std::string name = What;
        std::ranges::replace_if(
            name, [](unsigned char c) { return !std::isalnum(c); }, '_');
        png.SaveToFile(AnsiString(dir) + "/" + name.c_str() + ".png");
    }
};

// A chart's first picture is the one it keeps showing, on the window and on a
// picture of the window's size, and drawing it changes nothing a file would
// store; also with every gradient of its series and tools shown, whose colours
// may follow the points, and for each style of each series' gallery.
TEST_F(LookingSweep, PaintingStoresNothingAndTheFirstPictureLasts) {
    TVirtualClockScope still; // the clock series shows the time
    // These set the chart's axes as they draw, by design: the radar's angle step
    // to its sides, the gauge's scale step, the funnel hides the vertical axis.
    // Their file is taken after a first paint.
    const std::set<TClass> setAxes = {&TRadarSeries::ClassInfo, &TGaugeSeries::ClassInfo,
                                      &TFunnelSeries::ClassInfo};
    std::string faults;
    auto setups = Setups();
    const auto styles = SubGallerySetups();
    setups.insert(setups.end(), styles.begin(), styles.end());
    for (const auto& [name, setup] : setups)
        for (bool view3D : {false, true})
            for (bool gradients : {false, true}) {
                setup();
                Chart->SetView3D(view3D);
                std::set<TObject*> seen;
                int shown = 0;
                for (int i = 0; gradients && i < Chart->SeriesCount(); ++i)
                    shown += ShowGradients(Chart->GetSeries(i), seen);
                for (int i = 0; gradients && i < Chart->Tools()->Count(); ++i)
                    shown += ShowGradients(Chart->Tools()->Get(i), seen);
                if (gradients && shown == 0) continue;
                bool axesByDesign = false;
                for (int i = 0; i < Chart->SeriesCount(); ++i)
                    axesByDesign |= setAxes.count(Chart->GetSeries(i)->ClassType()) > 0;
                if (axesByDesign) {
                    // Only the chart's axes, which a series' increments show:
                    // nothing else of a series or tool.
                    const TStoredState made = Stored(Chart.get());
                    Paint();
                    std::istringstream changed(Changes(made, Stored(Chart.get())));
                    for (std::string part; changed >> part;)
                        if (part != "file" && !part.starts_with("Chart.") &&
                            !part.ends_with("Increment"))
                            faults += name + ": the first paint changes " + part + "\n";
                }
                const TStoredState before = Stored(Chart.get());
                Paint();
                TGrab first(Window());
                TBitmap picture(400, 300);
                Chart->Draw(picture.Canvas(), TRect(0, 0, 400, 300));
                Paint();
                const std::string what =
                    name + (view3D ? " 3D" : " 2D") + (gradients ? " with gradients" : "");
                TGrab second(Window());
                if (second.Differ(first)) {
                    faults += what + ": the second paint differs\n";
                    first.Save(what + " first");
                    second.Save(what + " second");
                }
                // The window's cursor lines are laid in exclusive-or over what
                // is drawn, which mixes colours where they cross; a picture has
                // them plain.
                TGrab exported(picture.Canvas());
                if (const int differ = exported.Differ(first); differ && name != "TCursorTool") {
                    faults += what + ": the picture differs from the window in " +
                              std::to_string(differ) + " pixels\n";
                    first.Save(what + " window");
                    exported.Save(what + " picture");
                }
                // Automatic axis ranges and the legend's place are worked out by a
                // paint and not stored; the file tells what is.
                const TStoredState after = Stored(Chart.get());
                if (after.File != before.File) faults += what + ":" + Changes(before, after) + "\n";
                ++Cases;
            }
    EXPECT_EQ(faults, "");
    EXPECT_GT(styles.size(), 250u);
    EXPECT_GT(Cases, 1500);
    RecordProperty("Cases", Cases);
    RecordProperty("GalleryStyles", static_cast<int>(styles.size()));
}

// A polar series drawn on a chart that drew a series of another class before
// draws what the same chart read back from its file draws.
// Nothing a drawing works out is carried into the next: a polar series drawn
// on a chart that showed a series of another class, its values dates, draws
// what the same chart read back from its file draws.
TEST_F(LookingSweep, APolarSeriesAfterAnyOtherDrawsAsItsFileDoes) {
    std::string faults;
    for (TClass before : SeriesClasses())
        for (bool view3D : {false, true}) {
            TChartSeries* s = Use(before);
            s->XValues()->SetDateTime(true);
            s->YValues()->SetDateTime(true);
            Chart->SetView3D(view3D);
            Paint();
            Chart->FreeAllSeries();
            TChartSeries* polar =
                CreateNewSeries(Chart.get(), Chart.get(), &TPolarSeries::ClassInfo);
            polar->SetName("Series1");
            polar->FillSampleValues(6);
            Paint();
            TGrab shown(Window());
            TMemoryStream m;
            SaveChartToStream(Chart.get(), &m, true, true);
            m.SetPosition(0);
            auto read = std::make_unique<TChart>();
            TCustomChart* into = read.get();
            LoadChartFromStream(into, &m);
            read->SetBounds(0, 0, 400, 300);
            read->Draw();
            TGrab back(read->ControlCanvas());
            const std::string what = std::string(before->Name) + (view3D ? " 3D" : " 2D");
            if (const int differ = shown.Differ(back)) {
                faults += what + ": " + std::to_string(differ) + " pixels differ\n";
                shown.Save("polar after " + what);
                back.Save("polar after " + what + " read back");
            }
            ++Cases;
        }
    EXPECT_EQ(faults, "");
    EXPECT_GT(Cases, 90);
    RecordProperty("Cases", Cases);
}

// The chart's own cursor, set by code, is shown again after every hover and
// kept in the file, also when it is set while a part's cursor shows and
// equals it.
TEST_F(LookingSweep, TheChartsOwnCursorComesBackAfterAHoverAndIsStored) {
    auto* c = AddTool(&TCursorTool::ClassInfo, Series);
    Chart->SetCursor(crCross);
    Paint();
    const int x = static_cast<TCursorTool*>(c)->IXPosition;
    const int y = Chart->ChartRect().Top + 40;
    const TPoint empty(Chart->ChartRect().Left + 3, Chart->ChartRect().Top + 3);
    const struct {
        const char* Step;
        std::function<void()> Do;
        TCursor Shown, Own;
    } steps[] = {
        {"over the line", [&] { Move(x, y); }, crHSplit, crCross},
        {"over nothing", [&] { Move(empty.x, empty.y); }, crCross, crCross},
        {"over the line again", [&] { Move(x, y); }, crHSplit, crCross},
        {"leaving", [&] { SimulateMouseLeave(Chart.get()); }, crCross, crCross},
        {"set to the line's", [&] { Move(x, y), Chart->SetCursor(crHSplit); }, crHSplit, crHSplit},
        {"over nothing after", [&] { Move(empty.x, empty.y); }, crHSplit, crHSplit},
        {"set while shown", [&] { Move(x, y), Chart->SetCursor(crIBeam); }, crIBeam, crIBeam},
        {"leaving after", [&] { SimulateMouseLeave(Chart.get()); }, crIBeam, crIBeam},
    };
    for (const auto& step : steps) {
        step.Do();
        EXPECT_EQ(Chart->Cursor(), step.Shown) << step.Step;
        EXPECT_EQ(Chart->StoredCursor(), step.Own) << step.Step;
        TMemoryStream m;
        SaveChartToStream(Chart.get(), &m, true, true);
        m.SetPosition(0);
        auto read = std::make_unique<TChart>();
        TCustomChart* into = read.get();
        LoadChartFromStream(into, &m);
        EXPECT_EQ(into->Cursor(), step.Own) << step.Step;
    }
}

// A slice exploded by the pie tool's hover goes back to its own explode value.
TEST_F(LookingSweep, APieSliceExplodedByAHoverGetsItsOwnExplodeBack) {
    auto* pie = static_cast<TPieSeries*>(Use(&TPieSeries::ClassInfo));
    pie->Marks()->SetVisible(false);
    auto* tool = static_cast<TPieTool*>(AddTool(&TPieTool::ClassInfo, pie));
    tool->SetStyle(ptExplode);
    for (int i = 0; i < pie->Count(); ++i)
        pie->ExplodedSlice()->Put(i, 5 * i);
    Paint();
    // A point inside each slice, found by the pie itself.
    std::map<int, TPoint> inside;
    for (int y = 0; y < 300; y += 4)
        for (int x = 0; x < 400; x += 4)
            if (const int i = pie->Clicked(x, y); i > 0 && i < 4 && !inside.count(i))
                inside[i] = TPoint(x, y);
    ASSERT_EQ(inside.size(), 3u);
    for (const auto& [slice, at] : inside) {
        Move(at.x, at.y);
        EXPECT_EQ(pie->ExplodedSlice()->Get(slice), 40) << slice;
        // Off the pie as the exploded slice now lies.
        TPoint off(1, 1);
        for (const TPoint corner : {TPoint(1, 1), TPoint(398, 1), TPoint(1, 298), TPoint(398, 298)})
            if (pie->Clicked(corner.x, corner.y) == -1) off = corner;
        Move(off.x, off.y);
        for (int i = 0; i < pie->Count(); ++i)
            EXPECT_EQ(pie->ExplodedSlice()->Get(i), 5 * i) << slice << " " << i;
        // Straight off the chart from the slice.
        Move(at.x, at.y);
        SimulateMouseLeave(Chart.get());
        EXPECT_EQ(pie->ExplodedSlice()->Get(slice), 5 * slice) << slice << " leaving";
        EXPECT_EQ(tool->Slice(), -1);
    }
}

} // namespace
