#include "panel_fixture.h"
#include "platform/classes/filer.h"
#include "platform/classes/objtext.h"
#include "platform/classes/props.h"
#include "platform/classes/streams.h"
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

namespace {
std::string SaveText(TComponent* C) {
    TMemoryStream bin;
    WriteComponentToStream(&bin, C);
    bin.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(&bin, &text);
    return text.DataString().str();
}

void LoadText(const std::string& Text, TComponent* C) {
    TStringStream in(Text), bin;
    ObjectTextToBinary(&in, &bin);
    bin.SetPosition(0);
    ReadComponentFromStream(&bin, C);
}
} // namespace

TEST(TeeEventListeners, AddRemoveAndOrder) {
    std::vector<std::string> log;
    TLogListener a("a", &log), b("b", &log);
    TTeeEventListeners list;
    EXPECT_EQ(list.Add(&a), 0);
    EXPECT_EQ(list.Add(&b), 1);
    EXPECT_EQ(list.Add(&a), 0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Get(1), &b);
    EXPECT_THROW(list.Get(2), EListError);
    EXPECT_EQ(list.Remove(&a), 0);
    EXPECT_EQ(list.Remove(&a), -1);
    EXPECT_EQ(list[0], &b);
}

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

TEST_F(PanelTest, SettersRepaintOnlyOnChange) {
    Panel->Draw();
    ASSERT_TRUE(Panel->Canvas()->ReDrawBitmap());
    Panel->SetMarginLeft(3); // unchanged
    EXPECT_TRUE(Panel->Canvas()->ReDrawBitmap());
    Panel->SetMarginLeft(5);
    EXPECT_FALSE(Panel->Canvas()->ReDrawBitmap());
    Panel->Draw();
    Panel->SetAutoRepaint(false);
    Panel->SetMarginLeft(6);
    EXPECT_TRUE(Panel->Canvas()->ReDrawBitmap()); // no repaint while auto-repaint is off
    Panel->SetAutoRepaint(true);
    Panel->Border()->SetColor(clBlue);
    EXPECT_FALSE(Panel->Canvas()->ReDrawBitmap());
}

TEST(TeeZoom, CheckOrdersTheCorners) {
    TZoomPanning z;
    z.Activate(30, 40);
    EXPECT_TRUE(z.Active);
    EXPECT_EQ(z.X1, 30);
    z.X1 = 10;
    z.Y1 = 5;
    z.Check();
    EXPECT_EQ(z.X0, 10);
    EXPECT_EQ(z.X1, 30);
    EXPECT_EQ(z.Y0, 5);
    EXPECT_EQ(z.Y1, 40);
}

TEST(TeeZoom, DefaultsAndAssignByValue) {
    TTeeZoom a;
    EXPECT_TRUE(a.Allow());
    EXPECT_EQ(a.AnimatedSteps(), 8);
    EXPECT_EQ(a.MinimumPixels(), 16);
    EXPECT_EQ(a.Direction(), tzdBoth);
    EXPECT_EQ(a.BrushIfAny(), nullptr);
    EXPECT_EQ(a.Brush()->Color(), clWhite);
    EXPECT_EQ(a.Brush()->Style(), bsClear);
    EXPECT_EQ(a.Pen()->Color(), clWhite);
    a.Pen()->SetColor(clRed);
    a.SetMinimumPixels(4);
    TTeeZoom b;
    b.Assign(&a);
    EXPECT_EQ(b.MinimumPixels(), 4);
    EXPECT_EQ(b.Pen()->Color(), clRed);
    EXPECT_NE(b.Pen(), a.Pen());
    a.SetPen(nullptr);
    EXPECT_EQ(a.PenIfAny(), nullptr);
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

TEST_F(PanelTest, AssignCopiesThePanelSettings) {
    TTestPanel other;
    other.SetMarginLeft(9);
    other.SetMarginUnits(muPixels);
    other.SetView3D(false);
    other.SetChart3DPercent(40);
    other.SetColor(clYellow);
    other.SetPrintMargins(TRect(1, 2, 3, 4));
    other.Border()->SetVisible(true);
    other.SetAllowPanning(pmVertical);
    other.Zoom()->SetMinimumPixels(3);
    other.Gradient()->SetVisible(true);
    Panel->Assign(&other);
    EXPECT_EQ(Panel->MarginLeft(), 9);
    EXPECT_EQ(Panel->MarginUnits(), muPixels);
    EXPECT_FALSE(Panel->View3D());
    EXPECT_EQ(Panel->Chart3DPercent(), 40);
    EXPECT_EQ(Panel->Color(), clYellow);
    EXPECT_EQ(Panel->PrintMargins(), TRect(1, 2, 3, 4));
    EXPECT_TRUE(Panel->Border()->Visible());
    EXPECT_EQ(Panel->AllowPanning(), pmVertical);
    EXPECT_EQ(Panel->Zoom()->MinimumPixels(), 3);
    EXPECT_TRUE(Panel->Gradient()->Visible());
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
