// Mouse and drag input through the event path: buttons and shift states,
// double clicks, capture, wheel notches, clicks of self-drawn controls, drag and drop.
#include "forms_fixture.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include <string>
#include <vector>

namespace {
struct TMouseLog {
    std::vector<std::string> Events;
    void Attach(TControl* c) {
        c->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) {
            Events.push_back("down " + std::to_string(b) + (s.Contains(ssDouble) ? " double" : "") +
                             (s.Contains(ssShift) ? " shift" : "") + " " + std::to_string(x) + "," +
                             std::to_string(y));
        };
        c->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState, int x, int y) {
            Events.push_back("up " + std::to_string(b) + " " + std::to_string(x) + "," +
                             std::to_string(y));
        };
        c->OnMouseMove = [this](TObject*, TShiftState s, int x, int y) {
            Events.push_back(std::string("move") + (s.Contains(ssLeft) ? " left" : "") + " " +
                             std::to_string(x) + "," + std::to_string(y));
        };
        c->OnClick = [this](TObject*) { Events.push_back("click"); };
        c->OnDblClick = [this](TObject*) { Events.push_back("dblclick"); };
    }
};
} // namespace

class InputTest : public FormsTest {
protected:
    InputTest() {
        Panel = Make<TPanel>(10, 10, 100, 80);
        Other = Make<TPanel>(200, 10, 100, 80);
        Form->Show();
    }
    TPanel* Panel;
    TPanel* Other;
};

TEST_F(InputTest, PressAndReleaseGiveDownClickUpWithButtonsAndShift) {
    TMouseLog log;
    log.Attach(Panel);
    SimulateMouse(Panel, TMouseAction::Down, mbLeft, 5, 6, TShiftState{ssShift});
    SimulateMouse(Panel, TMouseAction::Up, mbLeft, 5, 6);
    SimulateMouse(Panel, TMouseAction::Down, mbRight, 7, 8);
    SimulateMouse(Panel, TMouseAction::Up, mbRight, 7, 8);
    EXPECT_EQ(log.Events, (std::vector<std::string>{"down 0 shift 5,6", "click", "up 0 5,6",
                                                    "down 1 7,8", "up 1 7,8"}));
}

TEST_F(InputTest, ADoubleClickArrivesAsASecondPressWithDouble) {
    TMouseLog log;
    log.Attach(Panel);
    SimulateDoubleClick(Panel, 3, 4);
    EXPECT_EQ(log.Events, (std::vector<std::string>{"down 0 3,4", "click", "up 0 3,4", "dblclick",
                                                    "down 0 double 3,4", "up 0 3,4"}));
}

TEST_F(InputTest, ReleaseOutsideTheControlGivesNoClick) {
    TMouseLog log;
    log.Attach(Panel);
    SimulateMouse(Panel, TMouseAction::Down, mbLeft, 5, 5);
    SimulateMouse(Panel, TMouseAction::Up, mbLeft, 150, 5);
    EXPECT_EQ(log.Events, (std::vector<std::string>{"down 0 5,5", "up 0 150,5"}));
}

TEST_F(InputTest, TheMouseIsCapturedFromPressToRelease) {
    TMouseLog log, other;
    log.Attach(Panel);
    other.Attach(Other);
    SimulateMouse(Panel, TMouseAction::Down, mbLeft, 5, 5);
    EXPECT_TRUE(Panel->MouseCapture());
    // Moves and the release over another control still go to the pressed one,
    // in its own coordinates.
    SimulateMouse(Other, TMouseAction::Move, mbLeft, 10, 10);
    SimulateMouse(Other, TMouseAction::Up, mbLeft, 10, 10);
    EXPECT_TRUE(other.Events.empty());
    EXPECT_EQ(log.Events,
              (std::vector<std::string>{"down 0 5,5", "move left 200,10", "up 0 200,10"}));
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(InputTest, AClickOnABoxBackgroundStaysWithTheBox) {
    auto* box = Make<TGroupBox>(0, 100, 150, 80);
    auto* group = Make<TRadioGroup>(160, 100, 150, 80);
    group->Items()->Add("Lapse");
    TMouseLog formLog, boxLog, groupLog;
    formLog.Attach(Form.get());
    boxLog.Attach(box);
    groupLog.Attach(group);
    SimulateClick(box, 100, 60);
    SimulateClick(group, 140, 70);
    EXPECT_EQ(boxLog.Events, (std::vector<std::string>{"down 0 100,60", "click", "up 0 100,60"}));
    // A radio group clicks only when an item is chosen.
    EXPECT_EQ(groupLog.Events, (std::vector<std::string>{"down 0 140,70", "up 0 140,70"}));
    EXPECT_TRUE(formLog.Events.empty());
}

TEST_F(InputTest, TheWheelReportsWholeNotchesOf120) {
    std::vector<int> deltas;
    Panel->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        deltas.push_back(delta);
        handled = true;
    };
    SimulateWheel(Panel, 60);
    EXPECT_TRUE(deltas.empty());
    SimulateWheel(Panel, 60);
    SimulateWheel(Panel, -240);
    EXPECT_EQ(deltas, (std::vector<int>{120, -240}));
}

TEST_F(InputTest, AnUnhandledWheelGoesToTheParent) {
    auto* inner = Make<TPanel>(5, 5, 40, 40, Panel);
    int innerDowns = 0, parentDowns = 0;
    inner->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool&) { ++innerDowns; };
    Panel->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
        ++parentDowns;
        handled = true;
    };
    SimulateWheel(inner, -120);
    EXPECT_EQ(innerDowns, 1);
    EXPECT_EQ(parentDowns, 1);
}

TEST_F(InputTest, DisabledControlsTakeNoMouse) {
    TMouseLog log;
    log.Attach(Panel);
    Panel->SetEnabled(false);
    SimulateClick(Panel);
    EXPECT_TRUE(log.Events.empty());
}

TEST_F(InputTest, DraggingDropsOnAControlThatAccepts) {
    std::vector<std::string> events;
    Panel->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        Panel->BeginDrag(false, 5);
    };
    Other->OnDragOver = [&](TObject*, TObject* source, int, int, TDragState state, bool& accept) {
        events.push_back("over " + std::to_string(state));
        accept = source == Panel;
    };
    Other->OnDragDrop = [&](TObject*, TObject* source, int x, int y) {
        events.push_back("drop " + std::to_string(source == Panel) + " " + std::to_string(x) + "," +
                         std::to_string(y));
    };
    Panel->OnEndDrag = [&](TObject*, TObject* target, int, int) {
        events.push_back(std::string("end ") + (target == Other ? "other" : "none"));
    };
    SimulateMouse(Panel, TMouseAction::Down, mbLeft, 5, 5);
    SimulateMouse(Panel, TMouseAction::Move, mbLeft, 7, 6);
    EXPECT_FALSE(Panel->Dragging()); // below the threshold
    SimulateMouse(Other, TMouseAction::Move, mbLeft, 20, 30);
    EXPECT_TRUE(Panel->Dragging());
    SimulateMouse(Other, TMouseAction::Move, mbLeft, 21, 30);
    SimulateMouse(Other, TMouseAction::Up, mbLeft, 21, 30);
    EXPECT_EQ(events, (std::vector<std::string>{"over 0", "over 2", "drop 1 21,30", "end other"}));
    EXPECT_FALSE(Panel->Dragging());
}

TEST_F(InputTest, ADropNobodyAcceptsEndsWithoutTarget) {
    std::string end;
    Panel->OnEndDrag = [&](TObject*, TObject* target, int, int) {
        end = target ? "target" : "none";
    };
    Panel->SetDragMode(dmAutomatic);
    SimulateMouse(Panel, TMouseAction::Down, mbLeft, 5, 5);
    SimulateMouse(Other, TMouseAction::Move, mbLeft, 20, 30);
    SimulateMouse(Other, TMouseAction::Up, mbLeft, 20, 30);
    EXPECT_EQ(end, "none");
}
