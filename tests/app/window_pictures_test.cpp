// What the windows show, read from their pixels: every window of the program
// at the screen sizes operators use, with each control's box inside its
// window and each group box's frame drawn whole; large figures that are not
// cut away and status texts that fit the box that shows them.
// Set QM_SHOTS to a folder to look at the windows checked.
#include "app/chartcpm.h"
#include "app/display_help.h"
#include "app/pgt300.h"
#include "app/portsettings.h"
#include "app/readeepromdata.h"
#include "app/rxm850.h"
#include "app/rxm850inputfilecomments.h"
#include "app/rxmcalimenu.h"
#include "app/setcpm.h"
#include "app_fixture.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeediaxis.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeprevi.h"
#include "chart/engine/teepanel.h"
#include "chart/series/teeextraseries.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/jpeg.h"
#include "support/rxm_sim.h"
#include <cstdlib>
#include <string>
#include <vector>

namespace {
// The box around the dark (text) pixels of a control as it is on screen.
struct TInk {
    int Left = 0, Top = 0, Right = -1, Bottom = -1, Width = 0, Height = 0;
    bool Any() const { return Right >= Left; }
};

TInk InkOf(TControl* Control) {
    TBitmap face(Control->Width(), Control->Height());
    GrabControl(Control, &face);
    TInk ink;
    ink.Width = face.Width();
    ink.Height = face.Height();
    ink.Left = face.Width();
    ink.Top = face.Height();
    for (int y = 0; y < face.Height(); ++y)
        for (int x = 0; x < face.Width(); ++x) {
            const uint32_t c = face.Canvas()->Pixels(x, y);
            if ((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) >= 3 * 80) continue;
            ink.Left = std::min(ink.Left, x);
            ink.Right = std::max(ink.Right, x);
            ink.Top = std::min(ink.Top, y);
            ink.Bottom = std::max(ink.Bottom, y);
        }
    return ink;
}

std::string NameOf(const TControl* C) {
    const AnsiString n = C->Name();
    return n.IsEmpty() ? std::string(C->ClassName().c_str()) : std::string(n.c_str());
}

// What is wrong with a window as drawn: boxes that leave the area their parent
// gives them, controls on the window's own edge, group boxes whose frame is
// not drawn whole.
class TLayoutCheck {
public:
    std::vector<std::string> Problems;

    void Window(TCustomForm* Form, const std::string& Where) {
        FWhere = Where;
        OnScreen(Form);
        Boxes(Form);
        TBitmap shot;
        GrabControl(Form, &shot);
        // The grabbed window holds the menu bar above the client area.
        FClientTop = shot.Height() - Form->ClientHeight();
        FForm = Form;
        Frames(Form, &shot);
        if (const char* dir = std::getenv("QM_SHOTS")) {
            TPngImage png;
            png.Assign(&shot);
            png.SaveToFile(AnsiString(dir) + "/" + Where.c_str() + ".png");
        }
    }

private:
    void Add(const TControl* C, const std::string& What) {
        Problems.push_back(FWhere + ": " + NameOf(C) + " " + What);
    }
    // Where a point of a control's client area lies in the grabbed picture.
    TPoint InShot(const TControl* C, TPoint P) const {
        const TPoint s = C->ClientToScreen(P), o = FForm->ClientToScreen(TPoint(0, 0));
        return TPoint(s.x - o.x, s.y - o.y + FClientTop);
    }

    // The whole frame on the screen: a window larger than the screen is
    // shown fitted to it.
    void OnScreen(TCustomForm* Form) {
        const TRect r = ShownWindowBounds(Form);
        if (r.Left < 0 || r.Top < 0 || r.Right > Screen->Width() || r.Bottom > Screen->Height())
            Add(Form, "has its frame off the screen at " + std::to_string(r.Left) + "," +
                          std::to_string(r.Top) + " " + std::to_string(r.Width()) + "x" +
                          std::to_string(r.Height()));
    }

    void Boxes(TWinControl* Parent) {
        const bool window = dynamic_cast<TCustomForm*>(Parent) && !Parent->Parent();
        const TPoint p0 = Parent->ClientToScreen(TPoint(0, 0));
        const TRect area(p0.x, p0.y, p0.x + Parent->ClientWidth(), p0.y + Parent->ClientHeight());
        for (int i = 0; i < Parent->ControlCount(); ++i) {
            TControl* c = Parent->Controls(i);
            // Hidden ones are placed for the state that shows them.
            if (!c->Visible()) continue;
            const TPoint o = Parent->ClientToScreen(TPoint(c->Left(), c->Top()));
            const TRect box(o.x, o.y, o.x + c->Width(), o.y + c->Height());
            if (box.Left < area.Left || box.Top < area.Top || box.Right > area.Right ||
                box.Bottom > area.Bottom)
                Add(c, "leaves " + NameOf(Parent) + " (" + std::to_string(c->Left()) + "," +
                           std::to_string(c->Top()) + " " + std::to_string(c->Width()) + "x" +
                           std::to_string(c->Height()) + " in " +
                           std::to_string(Parent->ClientWidth()) + "x" +
                           std::to_string(Parent->ClientHeight()) + ")");
            // A control placed by hand on the window's right or bottom edge
            // is cut by the frame; charts and frameless panels fill the
            // window's side on purpose.
            else if (window && c->Align() == alNone && !FillsOnPurpose(c) &&
                     (box.Right > area.Right - EdgeGap || box.Bottom > area.Bottom - EdgeGap))
                Add(c, "touches the window's edge");
            auto* wc = dynamic_cast<TWinControl*>(c);
            if (!wc) continue;
            // What the control draws inside itself goes where its box is.
            const TPoint c0 = wc->ClientToScreen(TPoint(0, 0));
            if (c0.x < box.Left || c0.y < box.Top || c0.x + wc->ClientWidth() > box.Right ||
                c0.y + wc->ClientHeight() > box.Bottom)
                Add(c, "draws its inside beyond its box");
            Boxes(wc);
        }
    }

    static bool FillsOnPurpose(const TControl* C) {
        if (dynamic_cast<const TCustomTeePanel*>(C)) return true;
        auto* panel = dynamic_cast<const TCustomPanel*>(C);
        return panel && panel->BevelOuter() == bvNone && panel->BevelInner() == bvNone;
    }

    // The etched frame of every group box shown: a line darker than the
    // face along the left, right and bottom sides.
    void Frames(TWinControl* Parent, TBitmap* Shot) {
        for (int i = 0; i < Parent->ControlCount(); ++i) {
            auto* wc = dynamic_cast<TWinControl*>(Parent->Controls(i));
            if (!wc || !wc->Showing()) continue;
            if (dynamic_cast<TGroupBox*>(wc)) {
                const TPoint a = InShot(Parent, TPoint(wc->Left(), wc->Top()));
                const TRect r(a.x, a.y, a.x + wc->Width(), a.y + wc->Height());
                const struct {
                    const char* Side;
                    bool Vertical;
                    int At, Inward;
                } sides[] = {{"left", true, r.Left, 1},
                             {"right", true, r.Right - 1, -1},
                             {"bottom", false, r.Bottom - 1, -1}};
                for (const auto& s : sides)
                    if (!Line(Shot, s.Vertical, s.At, s.Inward,
                              s.Vertical ? r.Top + 20 : r.Left + 8,
                              s.Vertical ? r.Bottom - 8 : r.Right - 8))
                        Add(wc, std::string("has no ") + s.Side + " frame");
            }
            Frames(wc, Shot);
        }
    }
    // A dark line along From..To at At or up to 2 pixels inward of it.
    static bool Line(TBitmap* Shot, bool Vertical, int At, int Inward, int From, int To) {
        if (To <= From) return true;
        int found = 0;
        for (int i = From; i < To; ++i) {
            bool dark = false;
            for (int d = 0; d <= 2 && !dark; ++d) {
                const int x = Vertical ? At + d * Inward : i, y = Vertical ? i : At + d * Inward;
                if (x < 0 || y < 0 || x >= Shot->Width() || y >= Shot->Height()) continue;
                const uint32_t c = Shot->Canvas()->Pixels(x, y);
                dark = (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) < 3 * 175;
            }
            found += dark;
        }
        return found * 10 >= (To - From) * 9;
    }

    static constexpr int EdgeGap = 3;
    std::string FWhere;
    TCustomForm* FForm = nullptr;
    int FClientTop = 0;
};

struct TScreenSize {
    int Width, Height;
};
void PrintTo(const TScreenSize& s, std::ostream* os) {
    *os << s.Width << "x" << s.Height;
}

class WindowPicturesTest : public AppTest {};

class EveryWindowTest : public AppTest, public ::testing::WithParamInterface<TScreenSize> {
protected:
    // Checks a window once it shows: Open may run a modal loop, in which
    // the pump script checks and then leaves with Close.
    void Check(const std::string& Name, const std::function<void()>& Open,
               const std::function<void()>& Close,
               const std::function<void(TCustomForm*)>& Inside = {}) {
        TPumpScript script;
        TCustomForm* form = nullptr;
        script.When([&] { return (form = Screen->ActiveForm()) != MainForm && form; })
            .Do(
                [&] {
                    if (Inside)
                        Inside(form);
                    else
                        Layout.Window(form, Name + "_" + Size());
                    Close();
                },
                Name.c_str());
        Open();
        for (int i = 0; i < 50 && !script.Done(); ++i)
            Application->ProcessMessages();
        EXPECT_TRUE(script.Done()) << Name << " never showed";
    }
    std::string Size() const {
        return std::to_string(GetParam().Width) + "x" + std::to_string(GetParam().Height);
    }
    TLayoutCheck Layout;
};
} // namespace

TEST_P(EveryWindowTest, ControlsStayInsideTheirWindowAndGroupBoxesKeepTheirFrame) {
    SetScreenSizeOverride(GetParam().Width, GetParam().Height);
    // As the program starts: the editor finds its pages by name.
    TeeExtraSeriesStartup();
    TeeEditorStartup();
    Start();
    Item("N20kVm1")->Click();
    MainForm->Grafik1->Click();
    Layout.Window(MainForm, "main_" + Size());

    struct TShown {
        const char* Name;
        TCustomForm* Form;
        std::function<void()> Before;
    };
    const TShown shown[] = {
        {"cpm", CPMSetup, {}},
        {"decay", FormChartCPM, [] { FormChartCPM->Chart1->Show(); }},
        {"filerange", FormReadCPMFiles, [] { FormReadCPMFiles->GroupBoxRangeFileNumber->Show(); }},
        {"filecomments", FormReadCPMFiles,
         [] {
             FormReadCPMFiles->GroupBoxRangeFileNumber->Hide();
             FormReadCPMFiles->GroupBoxInputComment->Show();
         }},
        {"rxm", FormRXM850, {}},
        {"rxmtimer", FormRXM850,
         [] {
             FormRXM850->RadioGroup_RXM_TI->SetItemIndex(1);
             FormRXM850->RadioGroup_RXM_TI->Click();
         }},
        {"rxmcomments", FormRXM850FComment, {}},
        {"cali", FormRXMCali, {}},
        {"pgt", FormPGT300, {}},
        {"setupcom", Setup_COM, {}},
    };
    for (const TShown& s : shown) {
        if (s.Before) s.Before();
        s.Form->Show();
        Application->ProcessMessages();
        Layout.Window(s.Form, std::string(s.Name) + "_" + Size());
        s.Form->Hide();
    }

    Check(
        "display", [] { MainForm->Display->Click(); }, [] { FormDisplay->bCancel->Click(); });
    Check(
        "info", [] { MainForm->Help->Click(); }, [] { FormHelp->HelpOKButton->Click(); });

    TPortSettingsDialog ports(nullptr);
    DCB dcb{};
    Check(
        "ports", [&] { ports.Execute("COM1", dcb); }, [&] { ports.ButtonCancel->Click(); },
        [&](TCustomForm* F) {
            Layout.Window(F, "ports_" + Size());
            // A dialog of no owner window opens in the middle of the screen.
            EXPECT_EQ(F->Left(), std::max(0, (GetParam().Width - F->Width()) / 2));
            EXPECT_EQ(F->Top(), std::max(0, (GetParam().Height - F->Height()) / 2));
        });

    // The chart editor: each of its pages, and each tab of the chart's
    // pages, of the series page and of the axis page.
    TChartEditForm* editor = nullptr;
    std::function<void(TPageControl*, const std::string&)> everyTab = [&](TPageControl* Pages,
                                                                          const std::string& Path) {
        for (int i = 0; i < Pages->PageCount(); ++i) {
            TTabSheet* tab = Pages->Pages(i);
            if (!tab->TabVisible()) continue;
            Pages->SelectPageByUser(tab);
            const std::string where = Path + "_" + tab->Caption().c_str();
            Layout.Window(editor, where + "_" + Size());
            if (tab == editor->TabChart)
                everyTab(editor->SubPage, where);
            else if (tab == editor->TabSeries && editor->TheFormSeries)
                everyTab(editor->TheFormSeries->PageSeries, where);
            else if (auto* axis = dynamic_cast<TFormTeeAxis*>(editor->PageForm(tab)))
                everyTab(axis->PageAxis, where);
        }
    };
    Check(
        "editor",
        [&] { TeeRunChartEditor(MainForm->Chart1, [&](TChartEditForm* F) { editor = F; }); },
        [&] { editor->BClose->Click(); },
        [&](TCustomForm*) { everyTab(editor->MainPage, "editor"); });

    // The chart library's dialogs, as the editor's buttons open them.
    for (const char* name : {"TPenDialog", "TBrushDialog", "TTeeGradientEditor", "TTeeShadowEditor",
                             "TTeeFontEditor", "TAxisIncrement", "TAxisMaxMin"}) {
        std::unique_ptr<TCustomForm> dialog(TeeCreateFormByClass(GetClass(name), nullptr));
        ASSERT_NE(dialog, nullptr) << name;
        Check(
            name, [&] { dialog->ShowModal(); }, [&] { dialog->SetModalResult(mrCancel); });
    }

    TCustomForm* preview = nullptr;
    Check(
        "preview", [&] { TeePreview(nullptr, MainForm->Chart1, nullptr); },
        [&] { preview->Close(); },
        [&](TCustomForm* F) {
            preview = F;
            Layout.Window(F, "preview_" + Size());
        });

    for (const std::string& p : Layout.Problems)
        ADD_FAILURE() << p;
}

INSTANTIATE_TEST_SUITE_P(ScreenSizes, EveryWindowTest,
                         // 1024x768 and 1920x1080, and as scales 1.5 and 2 leave them.
                         ::testing::Values(TScreenSize{1024, 768}, TScreenSize{1920, 1080},
                                           TScreenSize{683, 512}, TScreenSize{960, 540}),
                         [](const auto& Info) {
                             return std::to_string(Info.param.Width) + "x" +
                                    std::to_string(Info.param.Height);
                         });

TEST_F(WindowPicturesTest, ResistanceFiguresShowWhole) {
    TRxmSimulator sim;
    Time.Clock.Attach(&sim);
    Start();
    FoCom->ComPort1->SetDeviceName(sim.Path().c_str());
    Item("RXM_850_Start")->Click();
    TFormRXM850* w = FormRXM850;
    w->BitBtn_init->Click();
    w->BitBtn_start->Click();
    Time.Clock.Detach(&sim);
    ASSERT_EQ(w->Label_RXM_Me->Caption(), "1.2 MOhm");

    const TInk value = InkOf(w->Label_RXM_Me);
    ASSERT_TRUE(value.Any());
    EXPECT_GT(value.Right - value.Left, 200) << "a 50-point figure";
    EXPECT_GT(value.Left, 0);
    EXPECT_LT(value.Right, value.Width - 1) << "not cut at the right";
    EXPECT_GT(value.Right, value.Width * 3 / 4) << "right-aligned";
    for (TLabel* l : {w->Label_RXM_Hu, w->Label_RXM_Te}) {
        const TInk ink = InkOf(l);
        ASSERT_TRUE(ink.Any()) << l->Name().c_str();
        EXPECT_GT(ink.Right - ink.Left, 40) << l->Name().c_str();
        EXPECT_LT(ink.Bottom, ink.Height - 1) << l->Name().c_str();
    }
}

TEST_F(WindowPicturesTest, SamplingPeriodFitsTheStatusBoxOfTheLargeDisplay) {
    PlugConverter();
    for (int i = 0; i < 50; ++i)
        QueueCounts(100);
    Start();
    Item("N20kVm1")->Click();
    TFormDisplay* d = FormDisplay;
    TInk status;
    TPumpScript script;
    script.Click(d->b_Start)
        .After(3)
        .Do([&] { status = InkOf(d->Memo_Status); })
        .Click(d->b_Stop)
        .Click(d->bCancel);
    MainForm->Display->Click();
    ASSERT_TRUE(script.Done());
    ASSERT_TRUE(status.Any());
    EXPECT_LT(status.Bottom - status.Top, 16) << "one line";
    EXPECT_LT(status.Bottom, status.Height - 3) << "not cut at the bottom";
    EXPECT_LT(status.Right, status.Width - 3) << "not cut at the right";
}

// Every converter range's widest figures, a full-scale negative reading and
// "OVERFLOW !", show whole on the large display: a lost minus sign would turn
// the reading positive.
TEST_F(WindowPicturesTest, LargeDisplayFiguresOfEveryRangeShowWhole) {
    PlugConverter();
    Start();
    const char* ranges[] = {"N200kVm2",           "N2MVm1", "N20kVVP31max2kV1", "N10kVmax4kV1",
                            "N200kVmMessblende1", "N2kV1",  "N200Vm1"};
    TFormDisplay* d = FormDisplay;
    for (const char* range : ranges) {
        Item(range)->Click();
        QueueCounts(-465); // -0.999 V: the negative full scale
        QueueCounts(700);  // 1.5 V: beyond the input
        std::vector<std::pair<AnsiString, TInk>> shown;
        auto look = [&](TLabel* l) { shown.emplace_back(l->Caption(), InkOf(l)); };
        TPumpScript script;
        script.Click(d->b_Start)
            .When([d] { return d->LabelMesswert->Caption().Pos("-") == 1; })
            .Do([&] {
                look(d->LabelMesswert);
                look(d->LabelNegMaximum_Value);
            })
            .When([d] { return d->LabelMesswert->Caption() == "OVERFLOW !"; })
            .Do([&] {
                look(d->LabelMesswert);
                look(d->LabelPosMaximum_Value);
            })
            .Click(d->b_Stop)
            .Click(d->bCancel);
        MainForm->Display->Click();
        ASSERT_TRUE(script.Done()) << range;
        for (const auto& [text, ink] : shown) {
            ASSERT_TRUE(ink.Any()) << range << " " << text.c_str();
            EXPECT_GT(ink.Left, 0) << range << " " << text.c_str() << ": cut at the left";
            EXPECT_LT(ink.Right, ink.Width - 1) << range << " " << text.c_str();
            EXPECT_GT(ink.Right - ink.Left, ink.Width / 3) << range << " " << text.c_str();
        }
        FakeUsb::Reset();
        PlugConverter();
    }
}
