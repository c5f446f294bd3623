#include "panel_fixture.h"
#include "stream_text.h"
#include "platform/classes/props.h"
#include <string>
#include <vector>

namespace {
class TLogListener : public ITeeEventListener {
public:
    explicit TLogListener(std::string AName, std::vector<std::string>* ALog)
        : Name(std::move(AName)), Log(ALog) {}
    void TeeEvent(TTeeEvent* Event) override {
        std::string what = Event->ClassName().str();
        if (auto* m = dynamic_cast<TTeeMouseEvent*>(Event))
            what += " " + std::to_string(m->Event) + " " + std::to_string(m->X) + "," +
                    std::to_string(m->Y);
        Log->push_back(Name + ": " + what);
        if (Cancel) Event->Sender->SetCancelMouse(true);
        if (OnEvent) OnEvent();
    }
    std::string Name;
    std::vector<std::string>* Log;
    bool Cancel = false;
    std::function<void()> OnEvent;
};

// A panel that publishes what a chart publishes of the panel bases.
class TStreamPanel : public TTestPanel {
    QM_CLASS(TStreamPanel)
public:
    explicit TStreamPanel(TComponent* AOwner) : TTestPanel(AOwner) {}
};
} // namespace

QM_CLASS_OWNED(TStreamPanel, TCustomTeePanelExtended, TComponent)
QM_PUBLISHED(TStreamPanel, Prop("Border", &Self::Border, &Self::SetBorder),
             Prop("Zoom", &Self::Zoom, &Self::SetZoom));

TEST_F(PanelTest, MouseEventsReachListenersUntilOneCancels) {
    std::vector<std::string> log;
    TLogListener a("a", &log), b("b", &log);
    Panel->Listeners()->Add(&a);
    Panel->Listeners()->Add(&b);
    Panel->BroadcastMouseEvent(meDown, mbLeft, TShiftState{}, 5, 6);
    a.Cancel = true;
    Panel->BroadcastMouseEvent(meMove, mbLeft, TShiftState{}, 7, 8);
    a.Cancel = false;
    Panel->SetCancelMouse(false);
    Panel->SetView3D(false);
    Panel->SetView3D(false); // no change, no event
    EXPECT_EQ(log, (std::vector<std::string>{"a: TTeeMouseEvent 0 5,6", "b: TTeeMouseEvent 0 5,6",
                                             "a: TTeeMouseEvent 2 7,8", "a: TTeeView3DEvent",
                                             "b: TTeeView3DEvent"}));
    Panel->RemoveListener(&a);
    Panel->RemoveListener(&b);
    log.clear();
    Panel->BroadcastMouseEvent(meUp, mbLeft, TShiftState{}, 1, 1);
    EXPECT_TRUE(log.empty());
}

TEST_F(PanelTest, ListenerMayLeaveWhileBeingTold) {
    std::vector<std::string> log;
    TLogListener a("a", &log), b("b", &log), c("c", &log);
    // a leaves: b after it is still told. b sends c away: c is not told.
    a.OnEvent = [&] { Panel->RemoveListener(&a); };
    b.OnEvent = [&] { Panel->RemoveListener(&c); };
    Panel->Listeners()->Add(&a);
    Panel->Listeners()->Add(&b);
    Panel->Listeners()->Add(&c);
    TTeeView3DEvent e;
    EXPECT_EQ(Panel->BroadcastTeeEvent(&e), &e);
    EXPECT_EQ(e.Sender, Panel.get());
    EXPECT_EQ(log, (std::vector<std::string>{"a: TTeeView3DEvent", "b: TTeeView3DEvent"}));
    EXPECT_EQ(Panel->Listeners()->Count(), 1);
}

TEST(TeePanelStreaming, ZoomPenAndPrintMarginsAreWrittenOnlyWhenChanged) {
    RegisterClass(&TStreamPanel::ClassInfo);
    TStreamPanel panel(nullptr);
    panel.SetName("Chart1");
    std::string text = SaveText(&panel);
    EXPECT_EQ(text.find("Zoom.Pen"), std::string::npos) << text;
    EXPECT_EQ(text.find("PrintMargins"), std::string::npos) << text;
    panel.Zoom()->Pen()->SetColor(clRed);
    panel.SetPrintMargins(TRect(10, 15, 15, 15));
    text = SaveText(&panel);
    EXPECT_NE(text.find("Zoom.Pen.Color = clRed"), std::string::npos) << text;
    EXPECT_NE(text.find("PrintMargins = (\r\n    10\r\n    15\r\n    15\r\n    15)"),
              std::string::npos)
        << text;

    TStreamPanel loaded(nullptr);
    LoadText(text, &loaded);
    EXPECT_EQ(loaded.PrintMargins(), TRect(10, 15, 15, 15));
    EXPECT_EQ(loaded.Zoom()->Pen()->Color(), clRed);
}

TEST(TeePanelStreaming, LegacyPropertiesAreReadIntoTheirNewPlaces) {
    RegisterClass(&TStreamPanel::ClassInfo);
    TStreamPanel panel(nullptr);
    LoadText("object Chart1: TStreamPanel\r\n"
             "  AllowZoom = False\r\n"
             "  AnimatedZoom = True\r\n"
             "  AnimatedZoomSteps = 3\r\n"
             "  BorderStyle = bsSingle\r\n"
             "end\r\n",
             &panel);
    EXPECT_FALSE(panel.Zoom()->Allow());
    EXPECT_TRUE(panel.AnimatedZoom());
    EXPECT_EQ(panel.AnimatedZoomSteps(), 3);
    EXPECT_TRUE(panel.Border()->Visible());
    const std::string text = SaveText(&panel);
    EXPECT_EQ(text.find("AllowZoom"), std::string::npos);
    EXPECT_EQ(text.find("BorderStyle"), std::string::npos);
    EXPECT_NE(text.find("Zoom.Allow = False"), std::string::npos) << text;
}

TEST_F(PanelTest, ClippingAndPenRulesFollowTheOutputDevice) {
    EXPECT_TRUE(Panel->CanClip());
    Panel->SetPrinting(true);
    TeeClipWhenPrinting = false;
    EXPECT_FALSE(Panel->CanClip());
    TeeClipWhenPrinting = true;
    EXPECT_TRUE(Panel->CanClip());
    TPen pen;
    pen.SetStyle(psDot);
    Panel->CheckPenWidth(&pen);
    EXPECT_EQ(pen.Width(), 0);
    Panel->SetPrinting(false);
    pen.SetWidth(1);
    Panel->CheckPenWidth(&pen);
    EXPECT_EQ(pen.Width(), 1);
    EXPECT_TRUE(Panel->IsScreenHighColor());
}

TEST(TeeProcsControls, CheckBoxAndEnabling) {
    TBitmap b(20, 20);
    TeeDrawCheckBox(2, 3, b.Canvas(), false, clRed);
    TCanvas* c = b.Canvas();
    EXPECT_EQ(c->Pixels(2, 3), TColor(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(c->Pixels(14, 15), TColor(ColorToRGB(clBtnHighlight)));
    EXPECT_EQ(c->Pixels(8, 10), TColor(ColorToRGB(clWindow)));
    TeeDrawCheckBox(2, 3, b.Canvas(), true, clRed);
    EXPECT_EQ(c->Pixels(7, 10), TColor(ColorToRGB(clWindowText))); // on the tick
    EXPECT_EQ(c->Pixels(15, 3), clWhite);                          // outside the 13 x 13 box

    TPanel a(nullptr), d(nullptr);
    TControl* controls[] = {&a, nullptr, &d};
    EnableControls(false, controls);
    EXPECT_FALSE(a.Enabled());
    EXPECT_FALSE(d.Enabled());
    TControl* seen = nullptr;
    TeeTranslateHook = [&](TControl* C) { seen = C; };
    TeeTranslateControl(&a);
    TeeTranslateHook = nullptr;
    TeeTranslateControl(&d);
    EXPECT_EQ(seen, &a);
}
