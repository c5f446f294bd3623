// Every dialog and menu of the system, shown for real: on the real platform
// plugin under an X server of its own (the end-to-end suite) and headless.
// While one shows, a timer in its own loop frees the form under it, or what
// its opener names (the series whose pen colour is chosen, the chart whose
// font, picture, file, print-out or preview it is, the series a question or a
// new title is about, the calendar series of a month menu, a pop-up menu's
// control); what still shows is then answered OK. The opener reports Cancel,
// and under the address sanitizer nothing is read or freed twice.
#include "chart/control/chart.h"
#include "chart/control/series_line.h"
#include "chart/control/teecommander.h"
#include "chart/editor/teeedigene.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teelisb.h"
#include "chart/editor/teependlg.h"
#include "chart/editor/teeprevi.h"
#include "chart/engine/teecontrols.h"
#include "chart/series/teecalendar.h"
#include "platform/classes/watched.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/grids.h"
#include "platform/forms/menus.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/graphics.h"
#include "platform/rtl/datetime.h"
#include "support/recording_printer.h"
#include "support/temp_folder.h"
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A form with a chart of two line series, or of a calendar.
struct TScene {
    explicit TScene(bool Calendar = false) {
        auto* host = new TForm(nullptr);
        host->SetBounds(40, 40, 480, 380);
        Host = host;
        auto* chart = new TChart(host);
        chart->SetParent(host);
        chart->SetBounds(0, 60, 460, 300);
        chart->SetView3D(false);
        Chart = chart;
        if (Calendar) {
            auto* calendar = new TCalendarSeries(host);
            calendar->SetParentChart(chart);
            calendar->SetFirstWeekDay(0);
            calendar->SetDate(EncodeDate(2024, 1, 31));
            Series = calendar;
        } else {
            for (TWatched<TChartSeries>* s : {&Series, &Other}) {
                auto* line = new TLineSeries(host);
                line->SetParentChart(chart);
                line->FillSampleValues(6);
                *s = line;
            }
            Series->SetName("Series1");
            Other->SetName("Series2");
        }
        host->Show();
        Under = host;
        // Drawn once at the size shown: the calendar's cells are where it draws them.
        TBitmap face(chart->Width(), chart->Height());
        chart->Draw(face.Canvas(), TRect(0, 0, chart->Width(), chart->Height()));
    }
    ~TScene() { delete Host.Get(); }
    TScene(const TScene&) = delete;
    TScene& operator=(const TScene&) = delete;
    TCalendarSeries* Calendar() const { return dynamic_cast<TCalendarSeries*>(Series.Get()); }
    // What is left is drawn.
    void ExerciseRest() const {
        if (!Chart) return;
        TBitmap face(Chart->Width(), Chart->Height());
        Chart->Draw(face.Canvas(), TRect(0, 0, Chart->Width(), Chart->Height()));
    }
    TWatched<TForm> Host;
    // The form a dialog of the system shows over: the host, or one opened on it.
    TWatched<TForm> Under;
    TWatched<TChart> Chart;
    TWatched<TChartSeries> Series;
    TWatched<TChartSeries> Other;
};

template <class T> T* Place(TScene& S, int Left, int Top, int Width, int Height) {
    auto* c = new T(S.Host);
    c->SetParent(S.Host);
    c->SetBounds(Left, Top, Width, Height);
    return c;
}

// Presses the chart's left button at a point, and lets go of it when the
// chart is still there.
void PressChart(TScene& S, int X, int Y) {
    const TWatched<TChart> chart = S.Chart;
    SimulateMouse(chart, TMouseAction::Down, mbLeft, X, Y);
    if (chart) SimulateMouse(chart, TMouseAction::Up, mbLeft, X, Y);
}

// The calendar's month title, where a press opens the month menu.
void OpenMonthMenu(TScene& S) {
    const TRect title = S.Calendar()->MonthsRect();
    PressChart(S, title.Left + 8, (title.Top + title.Bottom) / 2);
}

// One who opens a dialog or menu of the system.
struct TOpener {
    const char* Name;
    TDialogKind Kind;
    // Opens it from the scene; true when the opener reported OK (a choice taken).
    std::function<bool(TScene&)> Open;
    // Frees what the opener names.
    std::function<void(TScene&)> FreeNamed;
    // The OK answer given over what went (a colour, a file name, a title).
    std::string Answer;
};

class SystemWindowsTest : public ::testing::Test {
protected:
    SystemWindowsTest() : Folder(MakeTempFolder("qm_system_windows_")) {
        TeeEditorStartup();
        Printer.Install();
    }
    ~SystemWindowsTest() override { std::filesystem::remove_all(Folder); }

    std::string InFolder(const std::string& Name) const { return Folder + "/" + Name; }

    std::vector<TOpener> Openers() {
        std::vector<TOpener> all;
        const auto freeSeries = [](TScene& S) { TComponent::Free(S.Series.Get()); };
        const auto freeChart = [](TScene& S) { TComponent::Free(S.Chart.Get()); };
        all.push_back({"colour button of a series' pen", TDialogKind::ColorDialog,
                       [](TScene& S) {
                           auto* button = Place<TButtonColor>(S, 4, 4, 75, 25);
                           button->LinkProperty(S.Series->Pen(), "Color");
                           bool clicked = false;
                           button->OnClick = [&clicked](TObject*) { clicked = true; };
                           SimulateClick(button);
                           return clicked;
                       },
                       freeSeries, "#00ff00"});
        all.push_back({"font of the chart's title", TDialogKind::FontDialog,
                       [](TScene& S) { return EditTeeFont(S.Host, S.Chart->Title()->Font()); },
                       freeChart, ""});
        all.push_back({"picture behind the chart", TDialogKind::OpenDialog,
                       [](TScene& S) {
                           TeeLoadClearImage(S.Host, S.Chart->BackImage());
                           return S.Chart && S.Chart->BackImage()->Graphic() != nullptr;
                       },
                       freeChart, InFolder("back.bmp")});
        all.push_back({"commander's save", TDialogKind::SaveDialog,
                       [this](TScene& S) {
                           auto* commander = Place<TTeeCommander>(S, 0, 0, 460, 30);
                           commander->SetPanel(S.Chart);
                           SimulateClick(commander->ButtonSave());
                           return std::filesystem::exists(InFolder("saved.tee"));
                       },
                       freeChart, InFolder("saved.tee")});
        all.push_back({"page navigator's print", TDialogKind::PrintDialog,
                       [this](TScene& S) {
                           S.Chart->SetMaxPointsPerPage(2);
                           auto* navigator = Place<TChartPageNavigator>(S, 0, 0, 200, 30);
                           navigator->SetChart(S.Chart);
                           navigator->Print();
                           return !Printer.Log.empty();
                       },
                       freeChart, ""});
        all.push_back({"print preview's printer set-up", TDialogKind::PrinterSetupDialog,
                       [](TScene& S) {
                           // Over the preview, its own form (freed as the form under it).
                           auto* preview = new TChartPreview(S.Host);
                           preview->SetSubject(S.Chart);
                           preview->Show();
                           S.Under = preview;
                           SimulateClick(preview->BSetupPrinter);
                           return false;
                       },
                       freeChart, ""});
        all.push_back({"series list's delete", TDialogKind::MessageBox,
                       [](TScene& S) {
                           auto* list = Place<TChartListBox>(S, 0, 0, 200, 60);
                           list->SetChart(S.Chart);
                           list->SelectSeries(0);
                           list->DeleteSeries();
                           // Only what was asked about may go, and only once.
                           return S.Host && !S.Other;
                       },
                       freeSeries, ""});
        all.push_back({"series list's new title", TDialogKind::InputQuery,
                       [](TScene& S) {
                           auto* list = Place<TChartListBox>(S, 0, 0, 200, 60);
                           list->SetChart(S.Chart);
                           list->SelectSeries(0);
                           return list->RenameSeries();
                       },
                       freeSeries, "Renamed"});
        all.push_back({"calendar's month menu", TDialogKind::PopupMenu,
                       [](TScene& S) {
                           OpenMonthMenu(S);
                           return S.Series && S.Calendar()->Date() != EncodeDate(2024, 1, 31);
                       },
                       freeSeries, ""});
        all.push_back({"pop-up menu of a panel", TDialogKind::PopupMenu,
                       [](TScene& S) {
                           auto* menu = new TPopupMenu(S.Host);
                           bool chosen = false;
                           for (const char* caption : {"First", "Second"}) {
                               auto* item = new TMenuItem(menu);
                               item->SetCaption(caption);
                               item->OnClick = [&chosen](TObject*) { chosen = true; };
                               menu->Items()->Add(item);
                           }
                           auto* panel = Place<TPanel>(S, 0, 0, 100, 50);
                           panel->SetPopupMenu(menu);
                           const TWatched<TPanel> held = panel;
                           SimulateMouse(panel, TMouseAction::Down, mbRight, 10, 10);
                           if (held) SimulateMouse(panel, TMouseAction::Up, mbRight, 10, 10);
                           return chosen;
                       },
                       [](TScene& S) {
                           for (int i = S.Host->ControlCount() - 1; i >= 0; --i)
                               if (auto* p = dynamic_cast<TPanel*>(S.Host->Controls(i)))
                                   TComponent::Free(p);
                       },
                       ""});
        return all;
    }

    TRecordingPrinter Printer;
    std::string Folder;
};

// A picture the open dialog may be answered with: loading it would change the chart.
void WriteBitmap(const std::string& File) {
    TBitmap b(4, 4);
    b.SaveToFile(File.c_str());
}

TEST_F(SystemWindowsTest, EachClosesAsCancelWhenItsFormOrWhatItsOpenerNamesGoes) {
    WriteBitmap(InFolder("back.bmp"));
    enum TGoes { Form, Named };
    int cases = 0;
    for (const TOpener& o : Openers())
        for (const TGoes goes : {Form, Named}) {
            SCOPED_TRACE(std::string(o.Name) +
                         (goes == Form ? ", its form freed" : ", named freed"));
            TScene s(o.Kind == TDialogKind::PopupMenu &&
                     std::string(o.Name).find("calendar") != std::string::npos);
            TSystemWindowDriver driver;
            bool shown = false, closed = false;
            driver.Then([&](TShownSystemWindow& W) {
                shown = true;
                EXPECT_EQ(W.Kind(), o.Kind);
                if (goes == Form) {
                    TComponent::Free(s.Under.Get());
                    closed = !W.Showing();
                    return;
                }
                o.FreeNamed(s);
                if (W.Showing()) W.Accept(o.Answer.c_str());
            });
            const bool reported = o.Open(s);
            EXPECT_TRUE(shown);
            EXPECT_TRUE(driver.Done());
            EXPECT_EQ(driver.Shown().size(), 1u);
            if (goes == Form) EXPECT_TRUE(closed) << "it closes as its form goes";
            EXPECT_FALSE(reported);
            s.ExerciseRest();
            ++cases;
        }
    RecordProperty("cases", cases);
    std::printf("[ swept ] %d cases\n", cases);
}

// The real colour dialog over a form that a timer frees while it shows: one
// the form owns (made by new, freed by the form), one on the stack that the
// form owns (kept for its scope) and one of nobody's.
TEST_F(SystemWindowsTest, ColourDialogOfAFreedFormClosesAsCancel) {
    enum TMade { Owned, OnStack, Nobodys };
    for (const TMade made : {Owned, OnStack, Nobodys}) {
        SCOPED_TRACE(made == Owned ? "owned" : made == OnStack ? "on the stack" : "nobody's");
        TWatched<TForm> form = new TForm(nullptr);
        form->Show();
        TSystemWindowDriver driver;
        driver.Then([&](TShownSystemWindow& W) {
            EXPECT_EQ(W.Kind(), TDialogKind::ColorDialog);
            TComponent::Free(form.Get());
            EXPECT_FALSE(W.Showing());
        });
        TColorDialog onStack(made == OnStack ? form.Get() : nullptr);
        TColorDialog* dialog = made == Owned ? new TColorDialog(form) : &onStack;
        const TWatched<TColorDialog> held = dialog;
        dialog->SetColor(clRed);
        EXPECT_FALSE(dialog->Execute());
        EXPECT_TRUE(driver.Done());
        EXPECT_FALSE(form);
        // The form freed its own; the others are their scopes' and nobody else's.
        EXPECT_EQ(!held, made == Owned);
        if (held) {
            EXPECT_EQ(held->Owner(), nullptr);
            EXPECT_EQ(held->Color(), clRed);
        }
    }
}

// A message box over a form that a timer frees: the box closes, and its
// caller gets the answer that cancels.
TEST_F(SystemWindowsTest, MessageBoxOfAFreedFormClosesAsCancel) {
    struct TAsked {
        TMsgDlgButtons Buttons;
        int Cancel;
    };
    for (const TAsked asked :
         {TAsked{mbYesNoCancel, mrCancel}, TAsked{{mbYes, mbNo}, mrNo}, TAsked{{mbOK}, mrOk}}) {
        TWatched<TForm> form = new TForm(nullptr);
        form->Show();
        TSystemWindowDriver driver;
        driver.Then([&](TShownSystemWindow& W) {
            EXPECT_EQ(W.Kind(), TDialogKind::MessageBox);
            TComponent::Free(form.Get());
            EXPECT_FALSE(W.Showing());
        });
        EXPECT_EQ(MessageDlg("Go on?", mtConfirmation, asked.Buttons), asked.Cancel);
        EXPECT_TRUE(driver.Done());
        EXPECT_FALSE(form);
    }
}

// The month chosen from the calendar's menu, by the keyboard and by the mouse,
// and the change handler frees the series, the chart or the form.
TEST_F(SystemWindowsTest, CalendarMonthChosenWhileTheChangeFreesWhatShowsIt) {
    enum TFrees { Series, Chart, Form };
    for (const bool byMouse : {false, true})
        for (const TFrees frees : {Series, Chart, Form}) {
            SCOPED_TRACE(std::string(byMouse ? "mouse" : "keys") + ", frees " +
                         (frees == Series  ? "series"
                          : frees == Chart ? "chart"
                                           : "form"));
            TScene s(true);
            TDateTime asked = 0;
            s.Calendar()->OnChange = [&](TCalendarSeries*, TDateTime& NewDate) {
                asked = NewDate;
                // Freeing the series frees this handler: nothing of it is read after.
                TComponent::Free(frees == Series  ? static_cast<TComponent*>(s.Series.Get())
                                 : frees == Chart ? static_cast<TComponent*>(s.Chart.Get())
                                                  : static_cast<TComponent*>(s.Host.Get()));
            };
            TSystemWindowDriver driver;
            driver.Then([&](TShownSystemWindow& W) {
                // February: the second item, two steps down from none.
                if (byMouse) {
                    W.ClickItem(1);
                } else {
                    W.Key(VK_DOWN);
                    W.Key(VK_DOWN);
                    W.Key(VK_RETURN);
                }
                EXPECT_FALSE(W.Showing());
            });
            OpenMonthMenu(s);
            EXPECT_TRUE(driver.Done());
            EXPECT_EQ(asked, EncodeDate(2024, 2, 29));
            EXPECT_FALSE(s.Series); // a chart frees its series
            EXPECT_EQ(!s.Chart, frees != Series);
            EXPECT_EQ(!s.Host, frees == Form);
            s.ExerciseRest();
        }
}

// Chosen again with nothing freed: the menu made once serves each opening.
TEST_F(SystemWindowsTest, CalendarMonthMenuChoosesAgainAfterAChoice) {
    TScene s(true);
    TSystemWindowDriver driver;
    driver.Then([](TShownSystemWindow& W) { W.ClickItem(2); })
        .Then([](TShownSystemWindow& W) {
            W.Key(VK_DOWN);
            W.Key(VK_RETURN);
        })
        .Then([](TShownSystemWindow& W) { W.Cancel(); });
    OpenMonthMenu(s);
    EXPECT_EQ(s.Calendar()->Date(), EncodeDate(2024, 3, 31));
    OpenMonthMenu(s);
    EXPECT_EQ(s.Calendar()->Date(), EncodeDate(2024, 1, 31));
    OpenMonthMenu(s);
    EXPECT_EQ(s.Calendar()->Date(), EncodeDate(2024, 1, 31));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(s.Calendar()->MonthMenu()->PopupCount(), 3);
}

// On a window the window manager activates, the toolkit moves the focus on
// when a focused widget hides: a grid's cell editor opened by F2 and closed
// by Enter, Escape or a click on another cell gives the focus back to its
// grid without the grid being left or entered again.
TEST_F(SystemWindowsTest, GridsCellEditorComesAndGoesWithoutTheGridLosingTheFocus) {
    auto* form = new TForm(nullptr);
    const TWatched<TForm> alive = form;
    form->SetBounds(60, 60, 420, 260);
    auto* grid = new TStringGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 300, 150);
    grid->SetOptions(grid->Options() + TGridOptions{goEditing});
    // The field next in tab order; the editor, made later, stands between the
    // two in the toolkit's focus chain all the same.
    auto* other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(0, 170, 120, 24);
    form->Show();
    ASSERT_TRUE(WaitForKeyboard(form));
    SimulateClick(grid, 100, 40);
    int entered = 0, left = 0;
    grid->OnEnter = [&](TObject*) { ++entered; };
    grid->OnExit = [&](TObject*) { ++left; };
    const std::vector<std::pair<const char*, std::function<void()>>> closes = {
        {"Enter", [&] { SimulateKey(grid->InplaceEditor(), VK_RETURN); }},
        {"Escape", [&] { SimulateKey(grid->InplaceEditor(), VK_ESCAPE); }},
        {"another cell clicked", [&] {
             const TRect r = grid->CellRect(2, 3);
             SimulateClick(grid, r.Left + 4, r.Top + 4);
         }},
    };
    for (const auto& [how, close] : closes) {
        SCOPED_TRACE(how);
        SimulateKey(grid, VK_F2);
        ASSERT_TRUE(grid->EditorMode());
        SimulateType(grid->InplaceEditor(), "5");
        close();
        Application->ProcessMessages();
        EXPECT_FALSE(grid->EditorMode());
        EXPECT_EQ(form->ActiveControl(), grid);
        EXPECT_EQ(entered, 0);
        EXPECT_EQ(left, 0);
    }
    SimulateFocus(other);
    EXPECT_EQ(left, 1);
    // Out of the open editor to the field and back, by the keyboard and by the
    // mouse: each way out of the pair leaves the grid once, each way in enters
    // it once, and moves between the grid and its editor do neither.
    const TRect cell = grid->CellRect(1, 2);
    struct TStep {
        const char* What;
        std::function<void()> Gesture;
        int Entered, Left; // since the start
        TWinControl* Active;
        bool Open;
    };
    TInplaceEdit* const editor = grid->InplaceEditor();
    // The user's click gives the focus, then presses.
    auto click = [](TWinControl* C) {
        SimulateFocus(C);
        SimulateClick(C);
    };
    const TStep steps[] = {
        {"a cell clicked", [&] { SimulateClick(grid, cell.Left + 4, cell.Top + 4); }, 1, 1, grid,
         false},
        {"F2", [&] { SimulateKey(grid, VK_F2); }, 1, 1, editor, true},
        {"Tab from the open editor", [&] { SimulateKey(editor, VK_TAB); }, 1, 2, other, true},
        {"Shift+Tab back", [&] { SimulateKey(other, VK_TAB, TShiftState{ssShift}); }, 2, 2, grid,
         true},
        {"the open editor clicked", [&] { click(editor); }, 2, 2, editor, true},
        {"the field clicked", [&] { click(other); }, 2, 3, other, true},
        {"the open editor clicked from the field", [&] { click(editor); }, 3, 3, editor, true},
        {"Escape", [&] { SimulateKey(editor, VK_ESCAPE); }, 3, 3, grid, false},
        {"Tab from the grid", [&] { SimulateKey(grid, VK_TAB); }, 3, 4, other, false},
    };
    for (const TStep& step : steps) {
        step.Gesture();
        Application->ProcessMessages();
        EXPECT_EQ(entered, step.Entered) << "the grid's OnEnter calls after " << step.What;
        EXPECT_EQ(left, step.Left) << "the grid's OnExit calls after " << step.What;
        EXPECT_EQ(form->ActiveControl(), step.Active) << "the focused control after " << step.What;
        EXPECT_EQ(grid->EditorMode(), step.Open) << "the editor open after " << step.What;
    }
    delete alive.Get();
}

} // namespace
