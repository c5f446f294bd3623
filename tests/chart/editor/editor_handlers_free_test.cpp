// Handlers of the editor's controls that free what they belong to. Every
// event that the data grid, the navigators, the series list, the gallery
// panel, the preview panel and the editor panel publish gets, in turn, a
// handler that frees its sender, the chart or the form, at each step of a
// user's gesture (mouse and keys through the platform) where it runs; the
// user then carries on with what is left. Under the address sanitizer a read
// of what went fails here. Then the single cases, each with what it must
// leave behind.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teeedit.h"
#include "chart/editor/teeedigene.h"
#include "chart/engine/teeconst.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teegallerypanel.h"
#include "chart/editor/teegally.h"
#include "chart/editor/teegrid.h"
#include "chart/editor/teelisb.h"
#include "chart/editor/teepreviewpanel.h"
#include "chart/editor/teeprevi.h"
#include "chart/freeing_handlers.h"
#include "page_walk.h"
#include "chart/series/teegauges.h"
#include "chart/series/teepoin3.h"
#include "platform/classes/watched.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/rtl/clock.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const std::vector<TMethodInfo>& Handlers() {
    return FreeingHandlersOf<
        TNotifyEvent, TKeyEvent, TKeyPressEvent, TMouseEvent, TMouseMoveEvent, TMouseWheelEvent,
        TMouseWheelUpDownEvent, TDragOverEvent, TDragDropEvent, TEndDragEvent, TSelectCellEvent,
        TSetEditEvent, TNotifySeriesEvent, TChangeOrderEvent, TDblClickSeriesEvent,
        TOnChangeMarginsEvent, decltype(TCustomTeeNavigator::OnButtonClicked)>();
}

// ---------------------------------------------------------------------------
// Kinds of events

// The kind of user's input an event is named for; empty for an event no user
// input fires, with Aside saying why.
std::string KindOf(const std::string& Name, std::string& Aside) {
    if (Name.find("Draw") != std::string::npos || Name.find("Paint") != std::string::npos) {
        Aside = "runs while drawing (a drawing handler frees nothing it draws)";
        return "";
    }
    if (Name.find("Resize") != std::string::npos) {
        Aside = "a resize comes from code or the window manager, not from the user's input";
        return "";
    }
    const std::pair<const char*, const char*> words[] = {{"DblClick", "double click"},
                                                         {"Wheel", "scroll"},
                                                         {"TopLeft", "scroll"},
                                                         {"Mouse", "mouse"},
                                                         {"Click", "click"},
                                                         {"Key", "key"},
                                                         {"Drag", "drag"},
                                                         {"ChangeOrder", "drag"},
                                                         {"Select", "select"},
                                                         {"Enter", "enter"},
                                                         {"Exit", "exit"},
                                                         {"Page", "page change"},
                                                         {"ChangeChart", "change of chart"}};
    for (const auto& [word, kind] : words)
        if (Name.find(word) != std::string::npos) return kind;
    for (const char* word : {"Change", "Refresh", "Removed", "SetEditText"})
        if (Name.find(word) != std::string::npos) return "edit";
    Aside = "of no known kind: name its kind here";
    return "";
}

// ---------------------------------------------------------------------------
// Scenes: a shown form with a chart and the control swept

// Tells whether the chart is telling its listeners of a series event: the
// first listener sets it, the last one clears it.
struct TSeriesEventMark : ITeeEventListener {
    TSeriesEventMark(bool& Flag, bool Value) : FFlag(Flag), FValue(Value) {}
    void TeeEvent(TTeeEvent* Event) override {
        if (dynamic_cast<TTeeSeriesEvent*>(Event)) FFlag = FValue;
    }
    bool& FFlag;
    bool FValue;
};

struct TScene {
    TScene() {
        Form = new TForm(nullptr);
        Form->SetBounds(0, 0, 760, 460);
        Chart = new TChart(Form);
        Chart->SetParent(Form);
        Chart->SetName("Chart1");
        Chart->SetBounds(440, 0, 300, 200);
        Chart->SetView3D(false);
        for (int s = 0; s < 3; ++s) {
            auto* line = new TLineSeries(Form);
            line->SetName(("Series" + std::to_string(s + 1)).c_str());
            line->SetParentChart(Chart);
            for (int i = 0; i < 30; ++i)
                line->AddXY(i, (i * 37 + s * 11) % 100);
            line->SetHasDataStored(true);
        }
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(440, 420, 120, 24);
        FormAlive = Form;
        ChartAlive = Chart;
        Chart->Listeners()->Add(&FirstMark);
    }
    virtual ~TScene() { delete FormAlive.Get(); }
    TScene(const TScene&) = delete;
    TScene& operator=(const TScene&) = delete;

    void Show() {
        Chart->Listeners()->Add(&LastMark);
        Form->Show();
        SenderAlive = Sender;
    }
    // Frees the sender (the control, or Other when that is the sender), the
    // chart or the form.
    void Free(TFrees F, TComponent* Other = nullptr) {
        if (F == TFrees::Sender) delete (Other ? TWatched<TComponent>(Other) : SenderAlive).Get();
        if (F == TFrees::Chart) delete ChartAlive.Get();
        if (F == TFrees::Form) delete FormAlive.Get();
    }
    // The objects whose events are swept here, with the events.
    struct TSwept {
        TComponent* Object;
        std::vector<const TPropInfo*> Events;
    };
    virtual std::vector<TSwept> Swept() {
        std::vector<const TPropInfo*> events;
        std::string aside;
        for (const TPropInfo* p : GetPropList(Sender->ClassType()))
            if (p->Kind == TPropKind::Method && !KindOf(p->Name.c_str(), aside).empty())
                events.push_back(p);
        return {{Sender, events}};
    }

    TForm* Form = nullptr;
    TChart* Chart = nullptr;
    TEdit* Other = nullptr;
    TComponent* Sender = nullptr;
    TWatched<TForm> FormAlive;
    TWatched<TComponent> ChartAlive; // the chart the control shows (a gallery: its selected one)
    TWatched<TComponent> SenderAlive;
    // The chart is telling its listeners that a series came, went or moved.
    bool InSeriesEvent = false;
    TSeriesEventMark FirstMark{InSeriesEvent, true};
    TSeriesEventMark LastMark{InSeriesEvent, false};
};

// What a user does, step by step; a step does nothing with what has gone.
using TStep = std::function<void(TScene&)>;
struct TGesture {
    std::string Name;
    std::vector<TStep> Steps;
};

// The user's mouse reaches a control where nothing else lies over it.
bool UserHits(TControl* C, int X, int Y) {
    TCustomForm* form = GetParentForm(C);
    if (!form || !CanUserReach(C)) return false;
    const TPoint at = form->ScreenToClient(C->ClientToScreen(TPoint(X, Y)));
    return form->ControlAtPos(at, false) == C;
}

TStep MouseAt(std::function<TControl*(TScene&)> On, TMouseAction Action, int X, int Y,
              TShiftState Shift = {}) {
    return [=](TScene& S) {
        if (!S.FormAlive) return;
        TControl* c = On(S);
        if (!c) return;
        // A move with the button held drags, wherever the mouse goes.
        const bool held = Shift.Contains(ssLeft) || Action == TMouseAction::Up;
        if (held || UserHits(c, X, Y)) SimulateMouse(c, Action, mbLeft, X, Y, Shift);
    };
}

std::vector<TStep> Click(std::function<TControl*(TScene&)> On, int X, int Y) {
    return {MouseAt(On, TMouseAction::Move, X, Y), MouseAt(On, TMouseAction::Down, X, Y),
            MouseAt(On, TMouseAction::Up, X, Y)};
}

std::vector<TStep> DoubleClick(std::function<TControl*(TScene&)> On, int X, int Y) {
    return {MouseAt(On, TMouseAction::Down, X, Y), MouseAt(On, TMouseAction::Up, X, Y),
            MouseAt(On, TMouseAction::DoubleClick, X, Y), MouseAt(On, TMouseAction::Up, X, Y)};
}

std::vector<TStep> Drag(std::function<TControl*(TScene&)> On, TPoint From, TPoint To) {
    const TShiftState held{ssLeft};
    return {MouseAt(On, TMouseAction::Move, From.x, From.y),
            MouseAt(On, TMouseAction::Down, From.x, From.y),
            MouseAt(On, TMouseAction::Move, From.x + 8, From.y + 6, held),
            MouseAt(On, TMouseAction::Move, (From.x + To.x) / 2, (From.y + To.y) / 2, held),
            MouseAt(On, TMouseAction::Move, To.x, To.y, held),
            MouseAt(On, TMouseAction::Up, To.x, To.y)};
}

// Where the keyboard is for a control: the field inside it that has the
// focus (a grid's cell editor), else the control when it has the focus or
// takes it as a tab stop.
TWinControl* KeyTarget(TScene& S, TWinControl* C) {
    if (!C || !CanUserReach(C)) return nullptr;
    for (TControl* f = S.FormAlive ? S.FormAlive->ActiveControl() : nullptr; f; f = f->Parent())
        if (f == C) return S.FormAlive->ActiveControl();
    return C->TabStop() || C->Focused() ? C : nullptr;
}

TStep Key(std::function<TWinControl*(TScene&)> On, WORD K, TShiftState Shift = {}) {
    return [=](TScene& S) {
        if (!S.FormAlive) return;
        if (TWinControl* c = KeyTarget(S, On(S))) SimulateKey(c, K, Shift);
    };
}

// Key by key, each where the keyboard is then.
TStep Type(std::function<TWinControl*(TScene&)> On, const std::string& Text) {
    return [=](TScene& S) {
        for (char ch : Text) {
            if (!S.FormAlive) return;
            TWinControl* c = On(S);
            if (c && c == S.Other && CanUserReach(c)) {
                SimulateType(c, AnsiString(ch));
            } else if (TWinControl* t = KeyTarget(S, c)) {
                SimulateType(t, AnsiString(ch));
            }
        }
    };
}

TStep Wheel(std::function<TControl*(TScene&)> On, int Delta, int X, int Y) {
    return [=](TScene& S) {
        if (!S.FormAlive) return;
        TControl* c = On(S);
        if (c && UserHits(c, X, Y)) SimulateWheel(c, Delta, X, Y);
    };
}

// Focus goes to the form's other field: the control is left.
TStep Leave() {
    return Type([](TScene& S) -> TWinControl* { return S.Other; }, "x");
}

std::vector<TStep> Join(std::initializer_list<std::vector<TStep>> Parts) {
    std::vector<TStep> all;
    for (const auto& p : Parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

template <class T> std::function<TControl*(TScene&)> The() {
    return [](TScene& S) -> TControl* { return dynamic_cast<T*>(S.SenderAlive.Get()); };
}
template <class T> std::function<TWinControl*(TScene&)> TheWin() {
    return [](TScene& S) -> TWinControl* { return dynamic_cast<T*>(S.SenderAlive.Get()); };
}

// Answers what a gesture opens: message boxes Yes, the colour dialog with a
// colour, the gallery and the sub-gallery with their choice.
struct TAnswers {
    TAnswers() {
        Responder.OnFailure = [](const AnsiString&) {};
        Responder.AnswerAny = [](const TDialogRequest& R) {
            TDialogAnswer a;
            a.Result = (R.Flags & MB_TYPEMASK) == MB_OK ? IDOK : IDYES;
            a.Color = clLime;
            return a;
        };
    }
    TDialogResponder Responder;
};

TStep ChooseInWindow(TStep Opening) {
    return [Opening](TScene& S) {
        TPumpScript script;
        script.SetMaxIdlePumps(2000);
        script.When([] { return dynamic_cast<TTeeGallery*>(Screen->ActiveForm()) != nullptr; })
            .Do([] { Screen->ActiveForm()->SetModalResult(mrOk); });
        Opening(S);
    };
}

// The sub-gallery's first style is chosen.
TStep ChooseSubStyle(TStep Opening) {
    return [Opening](TScene& S) {
        TPumpScript script;
        script.SetMaxIdlePumps(2000);
        script.When([] { return dynamic_cast<TTeeSubGallery*>(Screen->ActiveForm()) != nullptr; })
            .Do([] {
                auto* sub = dynamic_cast<TTeeSubGallery*>(Screen->ActiveForm());
                if (!sub->Gallery->Charts().empty())
                    SimulateDoubleClick(sub->Gallery->Charts().front(), 20, 20);
                if (sub->ModalResult() == mrNone) sub->SetModalResult(mrOk);
            });
        Opening(S);
    };
}

// ---------------------------------------------------------------------------
// The controls

struct TGridScene : TScene {
    TGridScene() {
        Grid = new TChartGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(0, 0, 420, 200);
        Grid->SetShowColors(true);
        Grid->SetChart(Chart);
        Sender = Grid;
        Show();
    }
    // The middle of a cell, in the grid's client coordinates.
    static TPoint Cell(TCustomChartGrid* G, int Col, int Row) {
        const TRect r = G->CellRect(Col, Row);
        return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    TChartGrid* Grid;
};

std::vector<TGesture> GridGestures() {
    auto grid = The<TChartGrid>();
    auto keys = TheWin<TChartGrid>();
    // The first series' first and third value, the first point's colour and
    // the first series' title, as the grid lays them out.
    TPoint value, other, colour, header;
    {
        TGridScene probe;
        TChartGrid* g = probe.Grid;
        const int col = g->ColorsColumn() + 2, row = g->FirstRowNum();
        value = TGridScene::Cell(g, col, row);
        other = TGridScene::Cell(g, col, row + 2);
        colour = TGridScene::Cell(g, g->ColorsColumn(), row);
        header = TGridScene::Cell(g, col, 0);
    }
    return {
        {"click a value, then another",
         Join({Click(grid, value.x, value.y), Click(grid, other.x, other.y)})},
        {"click the current value and type into it",
         Join({Click(grid, value.x, value.y), Click(grid, value.x, value.y), {Type(keys, "7\r")}})},
        {"F2, type and Escape", Join({Click(grid, value.x, value.y),
                                      {Key(keys, VK_F2), Type(keys, "5"), Key(keys, VK_ESCAPE)}})},
        {"double click a value", DoubleClick(grid, value.x, value.y)},
        {"double click a colour",
         Join({Click(grid, colour.x, colour.y), DoubleClick(grid, colour.x, colour.y)})},
        {"click a column's title", Click(grid, header.x, header.y)},
        {"drag over values", Drag(grid, value, TPoint(260, 120))},
        {"arrow keys and Tab", Join({Click(grid, value.x, value.y),
                                     {Key(keys, VK_DOWN), Key(keys, VK_RIGHT), Key(keys, VK_UP),
                                      Key(keys, VK_LEFT), Key(keys, VK_TAB)}})},
        {"page down to the end and past it",
         Join({Click(grid, value.x, value.y),
               {Key(keys, VK_NEXT), Key(keys, VK_NEXT), Key(keys, VK_NEXT), Key(keys, VK_NEXT),
                Key(keys, VK_DOWN), Key(keys, VK_UP)}})},
        {"Insert and Delete",
         Join({Click(grid, value.x, value.y),
               {Key(keys, VK_INSERT), Key(keys, VK_DELETE), Key(keys, VK_ESCAPE)}})},
        {"the wheel",
         {Wheel(grid, -120, value.x, value.y), Wheel(grid, -120, value.x, value.y),
          Wheel(grid, 120, value.x, value.y)}},
        {"leave the grid", Join({Click(grid, value.x, value.y), {Leave()}})},
    };
}

struct TGridNavigatorScene : TScene {
    TGridNavigatorScene() {
        auto* grid = new TChartGrid(Form);
        grid->SetParent(Form);
        grid->SetBounds(0, 0, 420, 200);
        grid->SetChart(Chart);
        Nav = new TChartGridNavigator(Form);
        Nav->SetParent(Form);
        Nav->SetBounds(0, 210, 241, 25);
        Nav->SetTabStop(true);
        Nav->SetGrid(grid);
        Sender = Nav;
        Show();
    }
    TChartGridNavigator* Nav;
};

// A button of the bar, found through the bar the scene still has.
std::function<TControl*(TScene&)> NavButton(TTeeNavigateBtn B) {
    return [B](TScene& S) -> TControl* {
        auto* n = dynamic_cast<TCustomTeeNavigator*>(S.SenderAlive.Get());
        return n ? n->Buttons(B) : nullptr;
    };
}

// The button held down while the repeat timer runs on the virtual clock.
std::vector<TStep> Hold(TTeeNavigateBtn B) {
    std::vector<TStep> steps = {MouseAt(NavButton(B), TMouseAction::Down, 5, 5)};
    for (int ms : {400, 100, 100})
        steps.push_back([ms](TScene&) {
            if (auto* clock = dynamic_cast<TVirtualClock*>(&CurrentClock())) clock->Advance(ms);
            Application->ProcessMessages();
        });
    steps.push_back(MouseAt(NavButton(B), TMouseAction::Up, 5, 5));
    return steps;
}

// The moving buttons in turn, each editing button alone and the edit ended
// both ways.
std::vector<TGesture> NavigatorGestures(bool Editing) {
    auto nav = TheWin<TCustomTeeNavigator>();
    std::vector<TGesture> out = {
        {"Next, Prior, Last, First",
         Join({Click(NavButton(nbNext), 5, 5), Click(NavButton(nbPrior), 5, 5),
               Click(NavButton(nbLast), 5, 5), Click(NavButton(nbFirst), 5, 5)})}};
    if (Editing) {
        for (TTeeNavigateBtn b : {nbInsert, nbDelete})
            out.push_back({"button " + std::to_string(b), Click(NavButton(b), 5, 5)});
        for (TTeeNavigateBtn b : {nbPost, nbCancel})
            out.push_back({"Edit, then button " + std::to_string(b),
                           Join({Click(NavButton(nbEdit), 5, 5), Click(NavButton(b), 5, 5)})});
    }
    out.push_back({"hold Next", Hold(nbNext)});
    out.push_back({"keys on the bar",
                   {Key(nav, VK_RIGHT), Key(nav, VK_RIGHT), Key(nav, VK_SPACE), Key(nav, VK_LEFT),
                    Key(nav, VK_SPACE)}});
    out.push_back(
        {"press a button, then leave", Join({Click(NavButton(nbLast), 5, 5), {Leave()}})});
    return out;
}

struct TPageNavigatorScene : TScene {
    TPageNavigatorScene() {
        Chart->SetMaxPointsPerPage(5);
        Nav = new TChartPageNavigator(Form);
        Nav->SetParent(Form);
        Nav->SetBounds(0, 210, 241, 25);
        Nav->SetTabStop(true);
        Nav->SetChart(Chart);
        Sender = Nav;
        Show();
    }
    // The chart's page change too.
    std::vector<TSwept> Swept() override {
        std::vector<TSwept> swept = TScene::Swept();
        std::string aside;
        std::vector<const TPropInfo*> page;
        for (const TPropInfo* p : GetPropList(Chart->ClassType()))
            if (p->Kind == TPropKind::Method && KindOf(p->Name.c_str(), aside) == "page change")
                page.push_back(p);
        swept.push_back({Chart, page});
        return swept;
    }
    TChartPageNavigator* Nav;
};

struct TListScene : TScene {
    TListScene() {
        List = new TChartListBox(Form);
        List->SetParent(Form);
        List->SetBounds(0, 0, 300, 120);
        List->SetChart(Chart);
        Sender = List;
        Show();
    }
    TChartListBox* List;
};

std::vector<TGesture> ListGestures() {
    auto list = The<TChartListBox>();
    auto keys = TheWin<TChartListBox>();
    // The middle of each column of the first two rows.
    int icon = 0, check = 0, colourX = 0, title = 0;
    {
        TListScene probe;
        TChartListBox* l = probe.List;
        auto mid = [l](int Section) {
            return l->SectionLeft(Section) + l->Sections()[size_t(Section)].Width / 2;
        };
        icon = mid(TChartListBox::secIcon);
        check = mid(TChartListBox::secActive);
        colourX = mid(TChartListBox::secColor);
        title = l->SectionLeft(TChartListBox::secTitle) + 40;
    }
    return {
        {"click rows", Join({Click(list, title, 36), Click(list, title, 12)})},
        {"click an active box", Join({Click(list, title, 12), Click(list, check, 12)})},
        {"double click a title", DoubleClick(list, title, 12)},
        {"double click a colour", DoubleClick(list, colourX, 12)},
        {"double click an icon", {ChooseInWindow([list, icon](TScene& S) {
             for (const TStep& s : DoubleClick(list, icon, 12))
                 s(S);
         })}},
        {"drag a row onto another", Drag(list, TPoint(title, 12), TPoint(title, 60))},
        {"keys",
         Join({Click(list, title, 12), {Key(keys, VK_DOWN), Key(keys, VK_UP), Type(keys, "s")}})},
        {"Insert", Join({Click(list, title, 12), {ChooseInWindow(Key(keys, VK_INSERT))}})},
        {"Delete", Join({Click(list, title, 12), {Key(keys, VK_DELETE)}})},
        {"leave the list", Join({Click(list, title, 12), {Leave()}})},
    };
}

struct TGalleryScene : TScene {
    TGalleryScene() {
        Gallery = new TChartGalleryPanel(Form);
        Gallery->SetParent(Form);
        Gallery->SetBounds(0, 0, 420, 300);
        Gallery->CreateGalleryPage(TeeMsg_GalleryStandard);
        Sender = Gallery;
        Show();
        ChartAlive = Gallery->SelectedChart();
    }
    TChartGalleryPanel* Gallery;
};

std::function<TControl*(TScene&)> SampleChart(size_t I) {
    return [I](TScene& S) -> TControl* {
        auto* g = dynamic_cast<TChartGalleryPanel*>(S.SenderAlive.Get());
        return g && I < g->Charts().size() ? g->Charts()[I] : nullptr;
    };
}

std::vector<TGesture> GalleryGestures() {
    auto gallery = TheWin<TChartGalleryPanel>();
    return {
        {"click a sample", Click(SampleChart(1), 50, 40)},
        {"double click a sample", DoubleClick(SampleChart(2), 50, 40)},
        {"arrow keys and Enter",
         {Key(gallery, VK_RIGHT), Key(gallery, VK_DOWN), Key(gallery, VK_LEFT), Key(gallery, VK_UP),
          Key(gallery, VK_RETURN)}},
        {"the sub-styles by Alt+Down", {ChooseSubStyle(Key(gallery, VK_DOWN, TShiftState{ssAlt}))}},
        {"the sub-styles by the corner", {ChooseSubStyle([](TScene& S) {
             TControl* c = SampleChart(0)(S);
             if (!c) return;
             for (const TStep& s : Click(SampleChart(0), 4, c->Height() - 4))
                 s(S);
         })}},
        {"leave the gallery", {Key(gallery, VK_RIGHT), Leave()}},
    };
}

struct TPreviewScene : TScene {
    TPreviewScene() {
        Preview = new TTeePreviewPanel(Form);
        Preview->SetParent(Form);
        Preview->SetBounds(0, 0, 432, 312);
        Preview->SetTabStop(true);
        Preview->SetPanel(Chart);
        Sender = Preview;
        Show();
        Preview->Draw();
    }
    TTeePreviewPanel* Preview;
};

std::vector<TGesture> PreviewGestures() {
    auto preview = The<TTeePreviewPanel>();
    auto keys = TheWin<TTeePreviewPanel>();
    // The paper's image rectangle, as the panel lays it out for its size.
    const TRect image = [] {
        TPreviewScene probe;
        return probe.Preview->ImageRect();
    }();
    const TPoint mid((image.Left + image.Right) / 2, (image.Top + image.Bottom) / 2);
    std::vector<TStep> hover = {[](TScene& S) {
        if (auto* c = dynamic_cast<TControl*>(S.SenderAlive.Get())) SimulateMouseEnter(c);
    }};
    for (int x = 20; x < 432; x += 40)
        hover.push_back(MouseAt(preview, TMouseAction::Move, x, mid.y));
    hover.push_back([](TScene& S) {
        if (auto* c = dynamic_cast<TControl*>(S.SenderAlive.Get())) SimulateMouseLeave(c);
    });
    return {
        {"hover over the paper", hover},
        {"move the image", Drag(preview, mid, TPoint(mid.x + 30, mid.y + 20))},
        {"drag the left edge",
         Drag(preview, TPoint(image.Left, mid.y), TPoint(image.Left - 20, mid.y))},
        {"drag a corner", Drag(preview, TPoint(image.Right, image.Bottom),
                               TPoint(image.Right + 10, image.Bottom + 10))},
        {"double click", DoubleClick(preview, mid.x, mid.y)},
        {"the wheel", {Wheel(preview, -120, mid.x, mid.y), Wheel(preview, 120, mid.x, mid.y)}},
        {"keys, then leave", {Key(keys, VK_RIGHT), Type(keys, "a"), Leave()}},
    };
}

struct TEditorPanelScene : TScene {
    TEditorPanelScene() {
        Panel = new TChartEditorPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(0, 0, 430, 400);
        Panel->SetChart(Chart);
        Sender = Panel;
        Show();
    }
    TChartEditorPanel* Panel;
};

std::vector<TGesture> EditorPanelGestures() {
    auto panel = The<TChartEditorPanel>();
    auto keys = TheWin<TChartEditorPanel>();
    std::vector<TStep> everywhere;
    for (int y = 0; y < 400; y += 50)
        for (int x = 0; x < 430; x += 50)
            for (const TStep& s : Click(panel, x, y))
                everywhere.push_back(s);
    return {
        {"click all over", everywhere},
        {"the edges", Join({Click(panel, 0, 0),
                            DoubleClick(panel, 429, 399),
                            {Wheel(panel, -120, 0, 0), Wheel(panel, 120, 429, 399)}})},
        {"keys, then leave", {Key(keys, VK_TAB), Type(keys, "a"), Leave()}},
    };
}

struct TSubject {
    const char* Name;
    std::function<std::unique_ptr<TScene>()> Make;
    std::function<std::vector<TGesture>()> Gestures;
    // Events no gesture reaches, and why.
    std::map<std::string, std::string> Unreachable;
    // Events a gesture must reach.
    std::vector<std::string> Required;
};

const char* const NoDrag = "nothing starts a drag on or over it (its drag mode is manual)";
const char* const NoFocus = "it takes no focus (no tab stop), so no key reaches it";

const std::vector<TSubject>& Subjects() {
    static const std::vector<TSubject> subjects = {
        {"data grid",
         [] { return std::make_unique<TGridScene>(); },
         GridGestures,
         {},
         {"OnKeyDown", "OnKeyPress", "OnMouseDown", "OnSelectCell", "OnEnter", "OnExit",
          "OnTopLeftChanged", "OnSetEditText", "OnDblClick"}},
        {"grid navigator",
         [] { return std::make_unique<TGridNavigatorScene>(); },
         [] { return NavigatorGestures(true); },
         {},
         {"OnKeyDown", "OnEnter", "OnExit", "OnButtonClicked"}},
        {"page navigator",
         [] { return std::make_unique<TPageNavigatorScene>(); },
         [] { return NavigatorGestures(false); },
         {},
         {"OnPageChange", "OnButtonClicked"}},
        {"series list",
         [] { return std::make_unique<TListScene>(); },
         ListGestures,
         {},
         {"OnMouseDown", "OnDblClick", "OnDragDrop", "OnChangeOrder", "OnRemovedSeries",
          "OnRefresh", "OnChangeColor", "OnDblClickSeries"}},
        {"gallery panel",
         [] { return std::make_unique<TGalleryScene>(); },
         GalleryGestures,
         {},
         {"OnChangeChart", "OnSelectedChart", "OnSubSelected", "OnKeyDown"}},
        {"preview panel",
         [] { return std::make_unique<TPreviewScene>(); },
         PreviewGestures,
         {{"OnDragDrop", NoDrag}, {"OnDragOver", NoDrag}, {"OnEndDrag", NoDrag}},
         {"OnMouseDown", "OnMouseMove", "OnMouseUp", "OnChangeMargins", "OnDblClick"}},
        {"editor panel",
         [] { return std::make_unique<TEditorPanelScene>(); },
         EditorPanelGestures,
         {{"OnEnter", NoFocus},
          {"OnExit", NoFocus},
          {"OnKeyDown", NoFocus},
          {"OnKeyPress", NoFocus},
          {"OnKeyUp", NoFocus}}},
    };
    return subjects;
}

// ---------------------------------------------------------------------------
// The sweep

// What the user does next with what is left: lets go of the button, moves,
// the chart and the form paint, and a key goes to the form's other field.
void CarryOn(TScene& S) {
    if (auto* c = dynamic_cast<TControl*>(S.SenderAlive.Get()); c && S.FormAlive) {
        SimulateMouse(c, TMouseAction::Up, mbLeft, 5, 5);
        if (S.SenderAlive && S.FormAlive) SimulateMouse(c, TMouseAction::Move, mbLeft, 10, 10);
    }
    if (auto* chart = dynamic_cast<TCustomChart*>(S.ChartAlive.Get()); chart && S.FormAlive)
        chart->Draw();
    if (TForm* f = S.FormAlive) {
        TBitmap face(f->ClientWidth(), f->ClientHeight());
        GrabControl(f, &face);
        if (S.FormAlive) SimulateKey(S.Other, VK_TAB);
    }
}

// Where a gesture runs an event: the call (counted over the gesture) that
// comes first in each of its steps.
struct TFiring {
    size_t Swept; // which object of the scene's Swept()
    std::string Event;
    size_t Gesture;
    int Call;
    bool InSeriesEvent; // while the chart tells of a series event
};

class EditorHandlersFreeSweep : public ::testing::Test {
protected:
    void SetUp() override { TeeEditorStartup(); }

    // Every event of every swept object counted over each gesture.
    std::vector<TFiring> Probe(const TSubject& Subject, const std::vector<TGesture>& Gestures) {
        std::vector<TFiring> found;
        for (size_t g = 0; g < Gestures.size(); ++g) {
            // The hosts outlive the scene, whose end may still call them.
            std::vector<std::unique_ptr<TFreeingHost>> hosts;
            TVirtualClockScope time;
            TAnswers answers;
            std::unique_ptr<TScene> scene = Subject.Make();
            const auto swept = scene->Swept();
            struct TWatch {
                size_t Swept;
                const TPropInfo* Event;
                TFreeingHost* Host;
                std::vector<bool> InSeriesEvent; // for each call
                int Before = 0;
            };
            std::vector<TWatch> watches;
            for (size_t o = 0; o < swept.size(); ++o)
                for (const TPropInfo* e : swept[o].Events) {
                    hosts.push_back(std::make_unique<TFreeingHost>());
                    hosts.back()->FreeAt = 0; // counts only
                    if (!BindFreeing(Handlers(), swept[o].Object, e, hosts.back().get()))
                        ADD_FAILURE()
                            << Subject.Name << ": no freeing handler fits " << e->Name.c_str();
                    watches.push_back({o, e, hosts.back().get(), {}});
                }
            TScene* s = scene.get();
            for (TWatch& w : watches)
                w.Host->Seen = [&w, s](int) { w.InSeriesEvent.push_back(s->InSeriesEvent); };
            // In each step: its first call, and its first one on the other side
            // of a series event.
            for (const TStep& step : Gestures[g].Steps) {
                step(*scene);
                for (TWatch& w : watches) {
                    for (int call = w.Before; call < w.Host->Fired; ++call) {
                        const bool in = w.InSeriesEvent[size_t(call)];
                        if (call == w.Before || in != w.InSeriesEvent[size_t(w.Before)]) {
                            found.push_back({w.Swept, w.Event->Name.c_str(), g, call + 1, in});
                            if (call > w.Before) break;
                        }
                    }
                    w.Before = w.Host->Fired;
                }
            }
        }
        return found;
    }

    // One case: the handler frees F at its Call-th call in the gesture, the
    // gesture stops there and the user carries on.
    void RunCase(const TSubject& Subject, const TGesture& Gesture, const TFiring& At, TFrees F) {
        TFreeingHost host; // outlives the scene, whose end may still call it
        TVirtualClockScope time;
        TAnswers answers;
        std::unique_ptr<TScene> scene = Subject.Make();
        const auto swept = scene->Swept();
        TComponent* object = swept[At.Swept].Object;
        const TPropInfo* event = GetPropInfo(object->ClassType(), At.Event.c_str());
        host.FreeAt = At.Call;
        host.Act = [&](TObject*) { scene->Free(F, object); };
        ASSERT_TRUE(BindFreeing(Handlers(), object, event, &host));
        const TWatched<TComponent> bound = object;
        for (const TStep& step : Gesture.Steps) {
            step(*scene);
            if (host.Freed()) break;
        }
        EXPECT_TRUE(host.Freed()) << "call " << At.Call << " did not come";
        if (!host.Freed() && bound) event->SetMethod(object, TMethod{});
        CarryOn(*scene);
    }
};

TEST_F(EditorHandlersFreeSweep, EveryHandlerOfTheEditorsControlsMayFreeItsSenderTheChartOrTheForm) {
    int cases = 0, events = 0;
    std::map<std::string, int> byKind;
    std::string unreached, unexplained, unsupported;
    for (const TSubject& subject : Subjects()) {
        const std::vector<TGesture> gestures = subject.Gestures();
        const std::vector<TFiring> firings = Probe(subject, gestures);
        std::unique_ptr<TScene> probe = subject.Make();
        for (const TScene::TSwept& s : probe->Swept())
            for (const TPropInfo* e : s.Events) {
                ++events;
                const std::string name = e->Name.c_str();
                const std::string where =
                    std::string(subject.Name) + " " + s.Object->ClassName().c_str() + "." + name;
                bool reached = false;
                for (const TFiring& f : firings)
                    reached = reached || f.Event == name;
                const auto why = subject.Unreachable.find(name);
                if (!reached && why != subject.Unreachable.end())
                    unreached += where + ": " + why->second + "\n";
                else if (!reached)
                    unexplained += where + ": no gesture reaches it, and no reason is given\n";
                else if (why != subject.Unreachable.end())
                    unexplained += where + ": reached, though listed as unreachable\n";
            }
        for (const std::string& name : subject.Required) {
            bool reached = false;
            for (const TFiring& f : firings)
                reached = reached || f.Event == name;
            if (!reached) unexplained += std::string(subject.Name) + " " + name + ": not reached\n";
        }
        // Each event of a kind no user's input fires is said so.
        for (const TPropInfo* p : GetPropList(probe->Sender->ClassType())) {
            std::string aside;
            if (p->Kind == TPropKind::Method && KindOf(p->Name.c_str(), aside).empty())
                unreached +=
                    std::string(subject.Name) + " " + p->Name.c_str() + ": " + aside + "\n";
        }
        probe.reset();
        std::set<std::string> told;
        for (const TFiring& f : firings)
            for (TFrees fr : AllFrees) {
                const TGesture& g = gestures[f.Gesture];
                if (f.InSeriesEvent && fr != TFrees::Sender) {
                    const std::string what = std::string(subject.Name) + " " + f.Event + " in \"" +
                                             g.Name + "\" freeing " + FreesName(fr);
                    if (told.insert(what).second) unsupported += "  " + what + "\n";
                    continue;
                }
                SCOPED_TRACE(std::string(subject.Name) + " " + f.Event + " at call " +
                             std::to_string(f.Call) + " of \"" + g.Name + "\" freeing " +
                             FreesName(fr));
                if (std::getenv("QM_SWEEP_LIST"))
                    std::cout << subject.Name << " " << f.Event << " " << f.Call << " " << g.Name
                              << " " << FreesName(fr) << std::endl;
                RunCase(subject, g, f, fr);
                ++cases;
                std::string aside;
                ++byKind[KindOf(f.Event, aside)];
            }
    }
    std::cout << "editor controls: " << events << " events, " << cases
              << " cases (event x place a gesture runs it x what it frees)\n";
    for (const auto& [kind, n] : byKind)
        std::cout << "  " << kind << ": " << n << "\n";
    std::cout << "not reached by a gesture:\n" << unreached;
    // Freeing the chart while it tells its listeners of a series added, removed
    // or moved is code's doing, as freeing it before or after an add.
    std::cout << "not supported (the chart is telling of a series added, removed or moved):\n"
              << unsupported;
    RecordProperty("Cases", cases);
    EXPECT_EQ(unexplained, "");
    EXPECT_GT(cases, 1000);
}

// ---------------------------------------------------------------------------
// The single cases

class EditorHandlersFreeTest : public ::testing::Test {
protected:
    void SetUp() override { TeeEditorStartup(); }
    TAnswers Answers;
};

// The list's form goes while the gallery that Insert opened shows; the chart,
// on a form of its own, gets the series chosen.
TEST_F(EditorHandlersFreeTest, ListFreedWhileItsAddGalleryShowsTouchesNothingAfter) {
    TScene chartForm;
    chartForm.Sender = chartForm.Chart;
    chartForm.Show();
    auto* listForm = new TForm(nullptr);
    TWatched<TForm> listAlive = listForm;
    listForm->SetBounds(0, 0, 320, 200);
    auto* list = new TChartListBox(listForm);
    list->SetParent(listForm);
    list->SetBounds(0, 0, 300, 150);
    list->SetChart(chartForm.Chart);
    listForm->Show();
    SimulateClick(list, 150, 12);
    const int before = chartForm.Chart->SeriesCount();
    TPumpScript script;
    script.When([] { return dynamic_cast<TTeeGallery*>(Screen->ActiveForm()) != nullptr; }).Do([&] {
        delete listAlive.Get();
        Screen->ActiveForm()->SetModalResult(mrOk);
    });
    SimulateKey(list, VK_INSERT);
    EXPECT_TRUE(script.Done());
    EXPECT_FALSE(listAlive);
    EXPECT_EQ(chartForm.Chart->SeriesCount(), before + 1);
    chartForm.Chart->Draw();
}

// A chart's click that shows its part in the editor panel: the series under
// the mouse frees the form from its pointer's click handler.
TEST_F(EditorHandlersFreeTest, EditorPanelSelectingWhatAFreeingPointerClickHidesStops) {
    for (TFrees f : AllFrees) {
        SCOPED_TRACE(FreesName(f));
        TScene s;
        auto* panel = new TChartEditorPanel(s.Form);
        panel->SetParent(s.Form);
        panel->SetBounds(0, 0, 430, 400);
        panel->SetChart(s.Chart);
        s.Sender = panel;
        s.Chart->FreeAllSeries();
        auto* points = new TPoint3DSeries(s.Form);
        points->SetParentChart(s.Chart);
        points->FillSampleValues(5);
        s.Chart->SetView3D(true);
        s.Show();
        s.Chart->Draw();
        // Where its hit test answers, found before the handler is there.
        TPoint p(-1, -1);
        for (int y = 10; y < 290 && p.x < 0; y += 3)
            for (int x = 10; x < 290 && p.x < 0; x += 3)
                if (points->Clicked(x, y) != -1) p = TPoint(x, y);
        ASSERT_GE(p.x, 0);
        bool selecting = false;
        s.Chart->OnMouseDown = [panel, &selecting](TObject*, TMouseButton, TShiftState, int, int) {
            selecting = true;
            panel->SelectUnderMouse();
        };
        int clicks = 0;
        points->OnClickPointer = [&](TPoint3DSeries*, int, int, int) {
            if (++clicks > 1) return;
            EXPECT_TRUE(selecting);
            s.Free(f);
        };
        ::Mouse->SetCursorPos(s.Chart->ClientToScreen(p));
        ASSERT_EQ(s.Chart->GetCursorPos(), p);
        SimulateMouse(s.Chart, TMouseAction::Down, mbLeft, p.x, p.y);
        EXPECT_GE(clicks, 1);
        EXPECT_EQ(static_cast<bool>(s.FormAlive), f != TFrees::Form);
        CarryOn(s);
    }
}

// The editor panel's pages moved by the user tell the chart's handlers, which
// free the chart or the form: the 3D page's zoom and offset bars (the view's
// OnChangedZoom and OnScrolled) by arrow key and wheel, and the paging page's
// points per page typed (OnPageChange). Nothing of the page is read after.
TEST_F(EditorHandlersFreeTest, EditorPanelPagesStopWhenTheChartsHandlerFreesWhatTheyEdit) {
    struct TMove {
        const char* Control;
        std::function<void(TWinControl*)> Gesture;
    };
    const TMove moves[] = {
        {"SBZoom", [](TWinControl* c) { SimulateKey(c, VK_RIGHT); }},
        {"SBZoom", [](TWinControl* c) { SimulateWheel(c, -120, 20, 10); }},
        {"SBHOffset", [](TWinControl* c) { SimulateKey(c, VK_LEFT); }},
        {"SBVOffset", [](TWinControl* c) { SimulateWheel(c, 120, 20, 10); }},
        {"SEPointsPerPage", [](TWinControl* c) {
             SimulateKey(c, VK_END);
             SimulateType(c, "0");
         }},
    };
    for (const TMove& m : moves)
        for (TFrees f : {TFrees::Chart, TFrees::Form}) {
            SCOPED_TRACE(std::string(m.Control) + " freeing " + FreesName(f));
            TEditorPanelScene s;
            s.Chart->SetView3D(true);
            s.Chart->SetMaxPointsPerPage(2);
            s.Chart->SetPage(15);
            TWinControl* target = nullptr;
            OpenEveryTab(s.Panel);
            WalkControls(s.Panel, [&](TControl* c) {
                if (c->Name() == m.Control) target = dynamic_cast<TWinControl*>(c);
            });
            ASSERT_NE(target, nullptr);
            Reach(target);
            if (target->CanFocus()) target->SetFocus();
            int calls = 0;
            auto free = [&] {
                if (++calls == 1) s.Free(f);
            };
            TView3DOptions* view = s.Chart->View3DOptions();
            view->OnChangedZoom = [&](int) { free(); };
            view->OnScrolled = [&](bool) { free(); };
            s.Chart->OnPageChange = [&](TObject*) { free(); };
            m.Gesture(target);
            EXPECT_EQ(calls, 1);
            EXPECT_FALSE(s.ChartAlive);
            EXPECT_EQ(static_cast<bool>(s.FormAlive), f != TFrees::Form);
            CarryOn(s);
        }
}

// An up-down's arrow clicked on a page beside its chart: the position it
// sets writes the field beside it, whose setter tells the chart's handler
// (the paging page's OnPageChange, the gauge's OnChange), which frees the
// gauge, the chart or the form. The up-down and its page stop there.
TEST_F(EditorHandlersFreeTest, EditorPanelUpDownArrowsStopWhenTheChartsHandlerFreesWhatTheyEdit) {
    enum class TGone { Gauge, Chart, Form };
    struct TArrow {
        const char* UpDown;
        bool Gauge;
        TGone Gone;
    };
    const TArrow arrows[] = {
        {"UDPointsPerPage", false, TGone::Chart}, {"UDPointsPerPage", false, TGone::Form},
        {"UDValue", true, TGone::Gauge},          {"UDValue", true, TGone::Chart},
        {"UDValue", true, TGone::Form},
    };
    const char* names[] = {"the gauge", "the chart", "the form"};
    for (const TArrow& a : arrows) {
        SCOPED_TRACE(std::string(a.UpDown) + " freeing " + names[static_cast<int>(a.Gone)]);
        TEditorPanelScene s;
        TWatched<TGaugeSeries> gauge;
        if (a.Gauge) {
            s.Chart->FreeAllSeries();
            gauge = new TGaugeSeries(s.Form);
            gauge->SetParentChart(s.Chart);
            s.Panel->SetChart(nullptr);
            s.Panel->SetChart(s.Chart);
        } else {
            s.Chart->SetMaxPointsPerPage(2);
            s.Chart->SetPage(15);
        }
        OpenEveryTab(s.Panel);
        TUpDown* arrow = nullptr;
        WalkControls(s.Panel, [&](TControl* c) {
            if (c->Name() == a.UpDown) arrow = dynamic_cast<TUpDown*>(c);
        });
        ASSERT_NE(arrow, nullptr) << a.UpDown << " is not on the panel's pages";
        Reach(arrow);
        TWatched<TUpDown> watched = arrow;
        int calls = 0;
        auto free = [&](TObject*) {
            if (++calls > 1) return;
            if (a.Gone == TGone::Gauge)
                delete gauge.Get();
            else
                s.Free(a.Gone == TGone::Chart ? TFrees::Chart : TFrees::Form);
        };
        if (a.Gauge)
            gauge->OnChange = free;
        else
            s.Chart->OnPageChange = free;
        // The upper half is the up arrow.
        SimulateMouse(arrow, TMouseAction::Down, mbLeft, arrow->ClientWidth() / 2, 2);
        if (watched) SimulateMouse(arrow, TMouseAction::Up, mbLeft, arrow->ClientWidth() / 2, 2);
        EXPECT_EQ(calls, 1) << "the arrow's step reached the handler once";
        EXPECT_EQ(static_cast<bool>(s.ChartAlive), a.Gone == TGone::Gauge);
        EXPECT_EQ(static_cast<bool>(s.FormAlive), a.Gone != TGone::Form);
        CarryOn(s);
    }
}

// A timer frees the previewer while its preview shows; the preview paints
// after that without its after-draw handler.
TEST_F(EditorHandlersFreeTest, PreviewerFreedByATimerWhileItsPreviewShowsIsNotAskedToDraw) {
    TVirtualClockScope time;
    TScene s;
    s.Sender = s.Chart;
    s.Show();
    auto* previewer = new TChartPreviewer(s.Form);
    TWatched<TChartPreviewer> alive = previewer;
    previewer->SetChart(s.Chart);
    int drawn = 0;
    previewer->OnAfterDraw = [&](TObject*) { ++drawn; };
    TTimer timer(nullptr);
    timer.SetInterval(100);
    int paintedAfter = -1;
    timer.OnTimer = [&](TObject*) {
        timer.SetEnabled(false);
        auto* preview = dynamic_cast<TChartPreview*>(previewer->GetPreview());
        ASSERT_NE(preview, nullptr);
        delete previewer;
        // A paint before the window notices.
        preview->PreviewPanel()->Invalidate();
        const int before = drawn;
        TBitmap face(preview->ClientWidth(), preview->ClientHeight());
        GrabControl(preview, &face);
        paintedAfter = drawn - before;
    };
    TPumpScript script;
    script.AdvanceClockPerPump(20);
    script.When([] { return dynamic_cast<TChartPreview*>(Screen->ActiveForm()) != nullptr; })
        .Do([&] {
            TCustomForm* preview = Screen->ActiveForm();
            TBitmap face(preview->ClientWidth(), preview->ClientHeight());
            GrabControl(preview, &face);
            timer.SetEnabled(true);
        });
    previewer->Execute();
    EXPECT_FALSE(alive);
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(paintedAfter, 0);
    s.Chart->Draw();
}

} // namespace
