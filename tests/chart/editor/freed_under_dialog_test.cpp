// A window shown modally lets timers run: the series, chart or custom axis its
// opener holds may be freed before it closes. Each opener below is driven as
// the user drives it, the object freed while its window shows, the window then
// answered OK, Yes or with a choice; the opener writes nothing to what went.
// (A use of the freed one is what the address sanitizer reports here.)
#include "chart/control/series.h"
#include "chart/control/teecommander.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeaxisincr.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeedigene.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teegally.h"
#include "chart/editor/teelisb.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teecontrols.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "support/forms_testing.h"
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

template <class T> T* OpenForm() {
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (auto* f = dynamic_cast<T*>(Screen->Forms(i)); f && f->Visible()) return f;
    return nullptr;
}

// A form holding a chart with two series.
class FreedUnderDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        MakeScene();
    }
    // Called again, a scene of its own for the next case.
    void MakeScene() {
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 420, 340);
        Chart = new TChart(Host.get());
        Chart->SetParent(Host.get());
        Chart->SetName("Chart1");
        Chart->SetBounds(0, 40, 400, 300);
        Chart->SetView3D(false);
        for (TSeries*& s : Series) {
            s = new TLineSeries(Host.get());
            s->SetParentChart(Chart);
            s->FillSampleValues(6);
        }
        Series[0]->SetName("Series1");
        Series[1]->SetName("Series2");
        Host->Show();
    }
    using TSeries = TChartSeries;
    // Answers the next system dialog of Kind with OK (Change applied to the
    // answer), running Free while it shows.
    void FreeWhileShown(TDialogKind Kind, const std::function<void()>& Free,
                        const std::function<void(TDialogAnswer&)>& Change = nullptr) {
        TDialogAnswer a;
        a.Result = IDYES;
        a.WhileShown = Free;
        if (Change) Change(a);
        Responder.Expect(Kind, "", a);
    }
    void FreeChart() {
        TComponent::Free(Chart);
        Chart = nullptr;
    }
    TStrictResponder Responder;
    std::unique_ptr<TForm> Host;
    TChart* Chart = nullptr;
    TSeries* Series[2] = {};
};

// The colour button linked to a series' pen or the chart's title font.
TEST_F(FreedUnderDialogTest, ColourButtonLinkedToAFreedObjectWritesNothing) {
    for (const bool chartGoes : {false, true}) {
        SCOPED_TRACE(chartGoes ? "chart freed" : "series freed");
        MakeScene();
        auto* button = new TButtonColor(Host.get());
        button->SetParent(Host.get());
        int clicks = 0;
        button->OnClick = [&](TObject*) { ++clicks; };
        if (chartGoes)
            button->LinkProperty(Chart->Title()->Font(), "Color");
        else
            button->LinkProperty(Series[0]->Pen(), "Color");
        FreeWhileShown(
            TDialogKind::ColorDialog,
            [&] { chartGoes ? FreeChart() : TComponent::Free(Series[0]); },
            [](TDialogAnswer& a) { a.Color = clLime; });
        SimulateClick(button);
        EXPECT_TRUE(Responder.Done());
        EXPECT_EQ(button->Instance(), nullptr);
        // The click that changed nothing is not reported as a change.
        EXPECT_EQ(clicks, 0);
    }
}

TEST_F(FreedUnderDialogTest, CommanderSaveOfAFreedChartWritesNoFile) {
    const auto file = std::filesystem::temp_directory_path() /
                      ("qm_freed_save_" + std::to_string(::getpid()) + ".tee");
    std::filesystem::remove(file);
    auto* commander = new TTeeCommander(Host.get());
    commander->SetParent(Host.get());
    commander->SetPanel(Chart);
    TControl* save = commander->ButtonSave();
    ASSERT_NE(save, nullptr);
    FreeWhileShown(
        TDialogKind::SaveDialog, [&] { FreeChart(); },
        [&](TDialogAnswer& a) {
            a.Text = AnsiString(file.c_str());
            a.FilterIndex = 1;
        });
    SimulateClick(save);
    EXPECT_TRUE(Responder.Done());
    EXPECT_FALSE(std::filesystem::exists(file));
    std::filesystem::remove(file);
}

// The editor's series list: each command on a row (or, to change a type, on
// both rows) with the series it is about freed while its window shows.
TEST_F(FreedUnderDialogTest, SeriesListCommandsLeaveAFreedSeries) {
    enum TCommand { Colour, Delete, Title, Change };
    for (const TCommand command : {Colour, Delete, Title, Change}) {
        // The row the command is about; to change a type, either of the two.
        for (const int goes : {0, 1}) {
            SCOPED_TRACE("command " + std::to_string(command) + ", series " +
                         std::to_string(goes) + " freed");
            MakeScene();
            TWatched<TSeries> kept = Series[1 - goes];
            const TColor keptColour = kept->SeriesColor();
            TPumpScript script;
            script.When([] { return OpenForm<TChartEditForm>() != nullptr; }).Do([&] {
                TChartEditForm* f = OpenForm<TChartEditForm>();
                TChartListBox* list = f->LBSeries;
                list->ClearSelection();
                auto free = [&] { TComponent::Free(Series[goes]); };
                switch (command) {
                case Colour: {
                    FreeWhileShown(TDialogKind::ColorDialog, free,
                                   [](TDialogAnswer& a) { a.Color = clLime; });
                    const int x = list->SectionLeft(TChartListBox::secColor) + 8;
                    SimulateClick(list, x, goes * list->ItemHeight() + 8);
                    SimulateDoubleClick(list, x, goes * list->ItemHeight() + 8);
                    break;
                }
                case Delete:
                    list->SelectSeries(goes);
                    FreeWhileShown(TDialogKind::MessageBox, free);
                    SimulateClick(f->BDeleteSeries);
                    break;
                case Title:
                    list->SelectSeries(goes);
                    FreeWhileShown(TDialogKind::InputQuery, free,
                                   [](TDialogAnswer& a) { a.Text = "Renamed"; });
                    SimulateClick(f->BRenameSeries);
                    break;
                case Change: {
                    list->SelectSeries(0);
                    list->SelectSeries(1);
                    TPumpScript gallery;
                    gallery.When([] { return OpenForm<TTeeGallery>() != nullptr; }).Do([&] {
                        TTeeGallery* g = OpenForm<TTeeGallery>();
                        free();
                        for (TGalleryChart* c : g->ChartGalleryPanel1->Charts())
                            if (c->Series(0)->ClassName() == "TAreaSeries")
                                g->ChartGalleryPanel1->SelectChart(c);
                        SimulateClick(g->BOk);
                    });
                    SimulateClick(f->BChangeTypeSeries);
                    EXPECT_TRUE(gallery.Done());
                    break;
                }
                }
                EXPECT_TRUE(Responder.Done());
                EXPECT_EQ(list->Items()->Count(), 1);
                SimulateClick(f->BClose);
            });
            TeeRunChartEditor(Chart, nullptr);
            EXPECT_TRUE(script.Done());
            // The other series is left as it was, but for the type it was asked to take.
            ASSERT_EQ(Chart->SeriesCount(), 1);
            if (command == Change && goes == 1) {
                EXPECT_EQ(Chart->Series(0)->ClassName(), "TAreaSeries");
            } else {
                ASSERT_TRUE(kept);
                EXPECT_EQ(Chart->Series(0), kept.Get());
                EXPECT_EQ(kept->SeriesColor(), keptColour);
                EXPECT_EQ(kept->Title(), "");
            }
        }
    }
}

TEST_F(FreedUnderDialogTest, SeriesPageSwatchOfAFreedSeries) {
    TFormTeeSeries page(nullptr);
    page.SetBounds(0, 0, 460, 340);
    page.CBSeries->Items()->AddObject(Series[0]->Name(), Series[0]);
    page.Show();
    page.SetTheSeries(Series[0]);
    page.SetCBSeries();
    FreeWhileShown(
        TDialogKind::ColorDialog, [&] { TComponent::Free(Series[0]); },
        [](TDialogAnswer& a) { a.Color = clLime; });
    SimulateClick(page.PaintBox1);
    EXPECT_TRUE(Responder.Done());
    EXPECT_EQ(page.TheSeries(), nullptr);
}

TEST_F(FreedUnderDialogTest, PageNavigatorPrintsNoFreedChart) {
    Chart->SetMaxPointsPerPage(2);
    ASSERT_GT(Chart->NumPages(), 1);
    auto* navigator = new TChartPageNavigator(Host.get());
    navigator->SetParent(Host.get());
    navigator->SetChart(Chart);
    FreeWhileShown(TDialogKind::PrintDialog, [&] { FreeChart(); });
    navigator->Print();
    EXPECT_TRUE(Responder.Done());
    EXPECT_EQ(navigator->Chart(), nullptr);
}

// The limit and increment dialogs of a custom axis deleted while they show
// (as the axis page's Delete does), then answered with a figure and OK.
TEST_F(FreedUnderDialogTest, AxisDialogsOfADeletedCustomAxisChangeNothing) {
    for (const int which : {0, 1, 2}) {
        SCOPED_TRACE(which == 0 ? "maximum" : which == 1 ? "minimum" : "increment");
        auto* axis = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
        axis->SetMinMax(0, 100);
        TPumpScript script;
        script.When([] { return OpenForm<TAxisMaxMin>() || OpenForm<TAxisIncrement>(); })
            .Do([&] {
                delete axis;
                if (TAxisMaxMin* d = OpenForm<TAxisMaxMin>()) {
                    d->EMaximum->SetText("50");
                    d->EMinimum->SetText("50");
                    SimulateClick(d->BitBtn1);
                } else if (TAxisIncrement* d = OpenForm<TAxisIncrement>()) {
                    d->ECustom->SetText("5");
                    SimulateClick(d->BOk);
                }
            });
        const bool changed = which == 2 ? EditAxisIncrement(Host.get(), axis)
                                        : EditAxisMaxMin(Host.get(), axis, which == 0);
        EXPECT_TRUE(script.Done());
        EXPECT_FALSE(changed);
        EXPECT_EQ(OpenForm<TAxisMaxMin>(), nullptr);
        EXPECT_EQ(OpenForm<TAxisIncrement>(), nullptr);
        EXPECT_EQ(Chart->CustomAxes()->Count(), 0);
    }
}

} // namespace
