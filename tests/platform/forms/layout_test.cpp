// Geometry: form frames and client sizes, centring on the screen, alignment of
// children, label auto-size, and pixels of self-drawn controls in their back buffers.
#include "forms_fixture.h"
#include "platform/forms/buttons.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/menus.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include <QImage>
#include <QScrollArea>
#include <QWindow>
#include <QWidget>

class LayoutTest : public FormsTest {};

TEST_F(LayoutTest, ClientSizeFollowsBorderStyleAndMenu) {
    const struct {
        TFormBorderStyle Style;
        int ClientW, ClientH;
    } rows[] = {
        {bsNone, 400, 300},
        {bsSizeable, 400 - 8, 300 - 19 - 8},
        {bsDialog, 400 - 6, 300 - 19 - 6},
        {bsToolWindow, 400 - 6, 300 - 16 - 6},
    };
    for (const auto& row : rows) {
        Form->SetBorderStyle(row.Style);
        EXPECT_EQ(Form->ClientWidth(), row.ClientW) << row.Style;
        EXPECT_EQ(Form->ClientHeight(), row.ClientH) << row.Style;
    }
    // A menu with a visible item takes a menu bar's height from the client.
    TMainMenu menu(Form.get());
    auto* item = new TMenuItem(Form.get());
    item->SetCaption("&File");
    menu.Items()->Add(item);
    Form->SetBorderStyle(bsSingle);
    Form->SetMenu(&menu);
    EXPECT_EQ(Form->ClientHeight(), 300 - 19 - 6 - GetSystemMetrics(SM_CYMENU));
    item->SetVisible(false);
    EXPECT_EQ(Form->ClientHeight(), 300 - 19 - 6);
    // Setting the client size keeps the frame.
    Form->SetClientWidth(414);
    Form->SetClientHeight(320);
    EXPECT_EQ(Form->Width(), 420);
    EXPECT_EQ(Form->Height(), 345);
}

TEST_F(LayoutTest, ConstraintsHoldForCodeAndForTheWindow) {
    Form->SetBorderStyle(bsSizeable);
    Form->Constraints()->SetMinWidth(1006);
    Form->Constraints()->SetMaxWidth(1006);
    Form->Constraints()->SetMinHeight(700);
    Form->Constraints()->SetMaxHeight(700);
    EXPECT_EQ(Form->Width(), 1006);
    EXPECT_EQ(Form->Height(), 700);
    Form->SetBounds(0, 0, 500, 500);
    EXPECT_EQ(Form->Width(), 1006);
    EXPECT_EQ(Form->Widget()->minimumWidth(), Form->ClientWidth());
    EXPECT_EQ(Form->Widget()->maximumHeight(), Form->ClientHeight());
}

TEST_F(LayoutTest, ScreenCentreFollowsTheScreenOverride) {
    TScreenSizeScope screen(1280, 1024);
    EXPECT_EQ(Screen->Width(), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
    Form->SetBounds(0, 0, 1006, 700);
    Form->SetPosition(poScreenCenter);
    Form->Show();
    EXPECT_EQ(Form->Left(), 137);
    EXPECT_EQ(Form->Top(), 162);
}

// Screens too small for a window (1024x768 at scale 1.5 and 1920x1080 at scale 2
// leave 683x512 and 960x540 to lay out on), windows placed beyond an edge.
TEST_F(LayoutTest, WindowsShowWithTheirFrameOnTheScreen) {
    const struct {
        int ScreenW, ScreenH;
        TPosition Position;
        int Left, Top, Width, Height;
        int WantLeft, WantTop;
    } rows[] = {
        {683, 512, poScreenCenter, 0, 0, 1006, 700, 0, 0},
        {960, 540, poDesigned, -23, -80, 920, 650, 0, 0},
        {683, 512, poDesigned, 300, 200, 400, 300, 283, 200},
        {1024, 768, poDesigned, 900, 700, 200, 100, 824, 668},
        {1024, 768, poDesigned, 100, 50, 200, 100, 100, 50},
    };
    for (const auto& r : rows) {
        TScreenSizeScope screen(r.ScreenW, r.ScreenH);
        TForm form(nullptr);
        form.SetPosition(r.Position);
        form.SetBounds(r.Left, r.Top, r.Width, r.Height);
        form.Show();
        EXPECT_EQ(form.Left(), r.WantLeft) << r.ScreenW << " " << r.Left;
        EXPECT_EQ(form.Top(), r.WantTop) << r.ScreenW << " " << r.Top;
        EXPECT_EQ(form.Width(), r.Width);
    }
}

TEST_F(LayoutTest, OnShowRunsBeforeTheFormIsPlacedAndShown) {
    bool visibleInOnShow = false;
    Form->SetPosition(poScreenCenter);
    Form->OnShow = [&](TObject*) {
        visibleInOnShow = Form->Visible();
        Form->SetWidth(200);
    };
    Form->Show();
    EXPECT_TRUE(visibleInOnShow);
    EXPECT_EQ(Form->Left(), (1024 - 200) / 2);
    EXPECT_TRUE(Form->Active());
    EXPECT_EQ(Screen->ActiveForm(), Form.get());
}

TEST_F(LayoutTest, AlignedChildrenShareTheClientArea) {
    auto* top = Make<TPanel>(0, 0, 10, 30);
    auto* bottom = Make<TPanel>(0, 0, 10, 20);
    auto* left = Make<TPanel>(0, 0, 50, 10);
    auto* client = Make<TPanel>(0, 0, 10, 10);
    top->SetAlign(alTop);
    bottom->SetAlign(alBottom);
    left->SetAlign(alLeft);
    client->SetAlign(alClient);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 30));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 280, 400, 300));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 30, 50, 280));
    EXPECT_EQ(client->BoundsRect(), Rect(50, 30, 400, 280));
    // Hiding one gives its room to the others; resizing the parent realigns.
    top->SetVisible(false);
    EXPECT_EQ(client->BoundsRect(), Rect(50, 0, 400, 280));
    Form->SetBounds(0, 0, 300, 200);
    EXPECT_EQ(client->BoundsRect(), Rect(50, 0, 300, 180));
    // A panel's bevels keep aligned children off its edge.
    auto* inner = Make<TPanel>(0, 0, 10, 10, client);
    client->SetBorderWidth(2);
    inner->SetAlign(alClient);
    EXPECT_EQ(inner->BoundsRect(), Rect(3, 3, 247, 177));
}

TEST_F(LayoutTest, AnchoredControlsKeepTheirDistancesWhenTheParentResizes) {
    auto* close = Make<TButton>(300, 10, 75, 25);
    auto* list = Make<TPanel>(10, 50, 380, 200);
    auto* floating = Make<TPanel>(100, 260, 200, 20);
    auto* plain = Make<TPanel>(10, 10, 50, 20);
    close->SetAnchors(TAnchors{akTop, akRight});
    list->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    floating->SetAnchors(TAnchors{});
    Form->SetBounds(0, 0, 500, 350);
    EXPECT_EQ(close->BoundsRect(), Rect(400, 10, 475, 35));
    EXPECT_EQ(list->BoundsRect(), Rect(10, 50, 490, 300));
    EXPECT_EQ(floating->BoundsRect(), Rect(150, 285, 350, 305)); // keeps its relative place
    EXPECT_EQ(plain->BoundsRect(), Rect(10, 10, 60, 30));
    Form->SetBounds(0, 0, 400, 300);
    EXPECT_EQ(close->BoundsRect(), Rect(300, 10, 375, 35));
    EXPECT_EQ(list->BoundsRect(), Rect(10, 50, 390, 250));
    // Placing a control by code measures its distances anew.
    close->SetLeft(200);
    Form->SetWidth(410);
    EXPECT_EQ(close->Left(), 210);
}

TEST_F(LayoutTest, GroupBoxKeepsAlignedChildrenBelowItsCaption) {
    auto* box = Make<TGroupBox>(0, 0, 200, 100);
    box->SetCaption("Group");
    auto* inside = Make<TPanel>(0, 0, 10, 10, box);
    inside->SetAlign(alClient);
    EXPECT_EQ(inside->Left(), 2);
    EXPECT_GT(inside->Top(), 10);
    EXPECT_EQ(inside->Top() + inside->Height(), 98);
}

TEST_F(LayoutTest, AutoSizedLabelsFitTheirTextAndKeepTheirRightEdge) {
    auto* label = Make<TLabel>(100, 10, 10, 10);
    label->SetCaption("&Start");
    const int width = label->Width();
    EXPECT_GT(width, 15);
    EXPECT_GT(label->Height(), 8);
    label->Font()->SetSize(24);
    EXPECT_GT(label->Width(), width);
    auto* right = Make<TLabel>(100, 40, 80, 17);
    right->SetAlignment(taRightJustify);
    right->SetCaption("x");
    EXPECT_EQ(right->Left() + right->Width(), 180);
    right->SetAutoSize(false);
    right->SetCaption("much longer text here");
    EXPECT_EQ(right->Left() + right->Width(), 180);
}

TEST_F(LayoutTest, ParentFontAndColorFlowToChildrenUntilSetThemselves) {
    auto* panel = Make<TPanel>(0, 0, 100, 100);
    auto* label = Make<TLabel>(0, 0, 10, 10, panel);
    panel->Font()->SetName("Arial");
    panel->Font()->SetSize(14);
    EXPECT_EQ(label->Font()->Size(), 14);
    EXPECT_TRUE(label->ParentFont());
    label->Font()->SetStyle(TFontStyles{fsBold});
    EXPECT_FALSE(label->ParentFont());
    panel->Font()->SetSize(20);
    EXPECT_EQ(label->Font()->Size(), 14);
    EXPECT_TRUE(label->ParentColor());
    panel->SetColor(clRed);
    EXPECT_EQ(label->Color(), clRed);
}

TEST_F(LayoutTest, PanelPaintsBevelsAndBackgroundIntoItsBackBuffer) {
    auto* panel = Make<TPanel>(0, 0, 40, 30);
    panel->SetColor(clRed);
    panel->Repaint();
    TCanvas* c = panel->Canvas();
    EXPECT_EQ(ColorToRGB(c->Pixels(0, 0)), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(ColorToRGB(c->Pixels(39, 29)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ColorToRGB(c->Pixels(20, 15)), ColorToRGB(clRed));
    panel->SetBevelOuter(bvLowered);
    panel->Repaint();
    EXPECT_EQ(ColorToRGB(c->Pixels(0, 0)), ColorToRGB(clBtnShadow));
}

TEST_F(LayoutTest, DrawingOutsidePaintStaysUntilTheNextPaint) {
    auto* box = Make<TPaintBox>(0, 0, 20, 20);
    int paints = 0;
    box->OnPaint = [&](TObject*) {
        ++paints;
        box->Canvas()->Brush()->SetColor(clWhite);
        box->Canvas()->FillRect(box->ClientRect());
    };
    box->Repaint();
    EXPECT_EQ(paints, 1);
    // An XOR overlay drawn twice erases itself.
    TCanvas* c = box->Canvas();
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    c->MoveTo(0, 5);
    c->LineTo(20, 5);
    EXPECT_EQ(ColorToRGB(c->Pixels(10, 5)), 0u);
    c->MoveTo(0, 5);
    c->LineTo(20, 5);
    EXPECT_EQ(ColorToRGB(c->Pixels(10, 5)), 0xFFFFFFu);
    EXPECT_EQ(paints, 1);
    box->Invalidate();
    box->Update();
    EXPECT_EQ(paints, 2);
}

TEST_F(LayoutTest, SpeedButtonsOfAGroupAreExclusive) {
    auto* a = Make<TSpeedButton>(0, 0, 25, 25);
    auto* b = Make<TSpeedButton>(30, 0, 25, 25);
    auto* single = Make<TSpeedButton>(60, 0, 25, 25);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    Form->Show();
    SimulateClick(a);
    EXPECT_TRUE(a->Down());
    SimulateClick(b);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    // Clicking the down button of a group without AllowAllUp keeps it down.
    SimulateClick(b);
    EXPECT_TRUE(b->Down());
    b->SetAllowAllUp(true);
    SimulateClick(b);
    EXPECT_FALSE(b->Down());
    // A button of no group never stays down.
    single->SetDown(true);
    EXPECT_FALSE(single->Down());
    int clicks = 0;
    single->OnClick = [&](TObject*) { ++clicks; };
    SimulateClick(single);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(single->Down());
}

TEST_F(LayoutTest, BitBtnKindsSetCaptionResultAndRole) {
    auto* b = Make<TBitBtn>(0, 0, 75, 25);
    b->SetKind(bkOK);
    EXPECT_EQ(b->Caption(), "OK");
    EXPECT_EQ(b->ModalResult(), mrOk);
    EXPECT_TRUE(b->Default());
    b->SetKind(bkNo);
    EXPECT_EQ(b->Caption(), "&No");
    EXPECT_TRUE(b->Cancel());
    EXPECT_FALSE(b->Default());
    auto* close = Make<TBitBtn>(0, 30, 75, 25);
    close->SetKind(bkClose);
    Form->Show();
    SimulateClick(close);
    EXPECT_FALSE(Form->Visible());
}

TEST_F(LayoutTest, ImagesDrawTheirPictureStretchedOrCentred) {
    auto* image = Make<TImage>(0, 0, 40, 20);
    TBitmap bitmap(10, 10);
    bitmap.Canvas()->Brush()->SetColor(clBlue);
    bitmap.Canvas()->FillRect(Rect(0, 0, 10, 10));
    image->Picture()->SetGraphic(&bitmap);
    image->SetCenter(true);
    EXPECT_EQ(image->DestRect(), Rect(15, 5, 25, 15));
    image->SetStretch(true);
    EXPECT_EQ(image->DestRect(), Rect(0, 0, 40, 20));
    image->SetProportional(true);
    EXPECT_EQ(image->DestRect(), Rect(10, 0, 30, 20));
    image->Repaint();
    EXPECT_EQ(ColorToRGB(image->TGraphicControl::Canvas()->Pixels(20, 10)), ColorToRGB(clBlue));
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 10);
}

// An unscaled picture shows pixel for pixel where DestRect puts it, on the
// parent's colour, whether it is smaller or larger than the control.
TEST_F(LayoutTest, CentredPicturesShowPixelForPixelOnTheParentsColour) {
    const struct { int Width, Height; } pictures[] = {{10, 6}, {60, 30}, {40, 20}};
    for (const auto& p : pictures) {
        auto* image = Make<TImage>(4, 4, 40, 20);
        Form->SetColor(clYellow);
        image->SetCenter(true);
        TBitmap* bitmap = image->Picture()->Bitmap();
        bitmap->SetSize(p.Width, p.Height);
        for (int y = 0; y < p.Height; ++y)
            for (int x = 0; x < p.Width; ++x)
                bitmap->Canvas()->SetPixel(x, y, TColor(RGB(x * 4, y * 8, 200)));
        Form->Show();
        const QImage face = image->Widget()->grab().toImage();
        const TRect r = image->DestRect();
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool in = x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
                const COLORREF want =
                    in ? RGB((x - r.Left) * 4, (y - r.Top) * 8, 200) : ColorToRGB(clYellow);
                ASSERT_EQ(face.pixel(x, y) & 0xFFFFFF,
                          qRgb(GetRValue(want), GetGValue(want), GetBValue(want)) & 0xFFFFFF)
                    << p.Width << "x" << p.Height << " at " << x << "," << y;
            }
        delete image;
    }
}

// A group box keeps its etched frame when disabled: a line darker than the face
// on each side.
TEST_F(LayoutTest, DisabledGroupBoxKeepsItsFrame) {
    auto* box = Make<TGroupBox>(8, 8, 200, 100);
    box->SetCaption("Status");
    Form->Show();
    for (bool enabled : {true, false}) {
        box->SetEnabled(enabled);
        const QImage face = box->Widget()->grab().toImage();
        auto darkIn = [&](int x0, int x1, int y0, int y1) {
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x)
                    if (qGray(face.pixel(x, y)) < 175) return true;
            return false;
        };
        EXPECT_TRUE(darkIn(0, 2, 50, 50)) << "left, enabled " << enabled;
        EXPECT_TRUE(darkIn(197, 199, 50, 50)) << "right, enabled " << enabled;
        EXPECT_TRUE(darkIn(100, 100, 97, 99)) << "bottom, enabled " << enabled;
    }
}

namespace {
// A window's client size on the 1024x768 screen and the client area it shows.
struct TFitCase {
    const char* Name;
    TFormBorderStyle Border;
    int ClientW, ClientH;
    int ShownW, ShownH;
};
void PrintTo(const TFitCase& c, std::ostream* os) {
    *os << c.Name;
}
class FitTest : public FormsTest, public ::testing::WithParamInterface<TFitCase> {};
} // namespace

TEST_P(FitTest, LargerThanTheWorkAreaShowsFittedWithItsContentScrolling) {
    const TFitCase& c = GetParam();
    Form->SetBorderStyle(c.Border);
    Form->SetBounds(300, 200, 100, 100);
    Form->SetClientWidth(c.ClientW);
    Form->SetClientHeight(c.ClientH);
    auto* corner = Make<TButton>(c.ClientW - 80, c.ClientH - 30, 75, 25);
    Form->Show();
    QWidget* win = Form->Widget();
    EXPECT_EQ(win->width(), c.ShownW);
    EXPECT_EQ(win->height(), c.ShownH);
    // The layout keeps its designed size.
    EXPECT_EQ(Form->ClientWidth(), c.ClientW);
    EXPECT_EQ(Form->ClientHeight(), c.ClientH);
    const TRect r = ShownWindowBounds(Form.get());
    EXPECT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Right <= 1024 && r.Bottom <= 768)
        << r.Left << "," << r.Top << " " << r.Width() << "x" << r.Height();
    // The last control can be scrolled into the window.
    if (auto* area = win->findChild<QScrollArea*>(); area && area->isVisibleTo(win))
        area->ensureWidgetVisible(corner->Widget(), 0, 0);
    const QRect shown(corner->Widget()->mapTo(win, QPoint(0, 0)), corner->Widget()->size());
    EXPECT_TRUE(QRect(0, 0, c.ShownW, c.ShownH).contains(shown))
        << shown.x() << "," << shown.y() << " in " << c.ShownW << "x" << c.ShownH;

    // On a screen that holds it the window shows whole again.
    SetScreenSizeOverride(1920, 1200);
    Form->Hide();
    Form->Show();
    EXPECT_EQ(win->width(), c.ClientW);
    EXPECT_EQ(win->height(), c.ClientH);
    EXPECT_EQ(corner->Widget()->mapTo(win, QPoint(0, 0)), QPoint(c.ClientW - 80, c.ClientH - 30));
}

// What the window manager does to a window (moving, maximizing, dragging its
// frame) keeps a window larger than the screen scrolling its content, and
// gives one that fits the whole client area, with no scroll bars.
TEST_F(LayoutTest, WindowManagerSizesKeepFittedWindowsScrollingAndOthersWhole) {
    Form->SetBorderStyle(bsSizeable);
    Form->SetBounds(10, 10, 100, 100);
    Form->SetClientWidth(1200);
    Form->SetClientHeight(900);
    auto* corner = Make<TButton>(1120, 870, 75, 25);
    corner->SetAnchors({akRight, akBottom});
    Form->Show();
    ASSERT_TRUE(ShownClient(Form.get()).Scrolls);
    Form->Widget()->windowHandle()->setPosition(40, 30);
    Application->ProcessMessages();
    EXPECT_TRUE(ShownClient(Form.get()).Scrolls) << "moved";
    EXPECT_EQ(Form->ClientWidth(), 1200);
    EXPECT_EQ(corner->Left(), 1120);
    // Given room for all of it, the content fills the window.
    SimulateFrameResize(Form.get(), 1300, 950);
    EXPECT_FALSE(ShownClient(Form.get()).Scrolls);
    EXPECT_EQ(Form->ClientWidth(), 1300);
    EXPECT_EQ(corner->Left(), 1220);
    EXPECT_EQ(corner->Top(), 920);

    auto small = std::make_unique<TForm>(nullptr);
    small->SetBounds(100, 100, 300, 200);
    auto* close = new TButton(small.get());
    close->SetParent(small.get());
    close->SetBounds(small->ClientWidth() - 80, small->ClientHeight() - 30, 75, 25);
    close->SetAnchors({akRight, akBottom});
    small->Show();
    small->SetWindowState(wsMaximized);
    Application->ProcessMessages();
    const TShownClient shown = ShownClient(small.get());
    EXPECT_FALSE(shown.Scrolls);
    EXPECT_GT(shown.Width, 300);
    EXPECT_EQ(small->ClientWidth(), shown.Width);
    EXPECT_EQ(small->ClientHeight(), shown.Height);
    EXPECT_EQ(close->Left(), shown.Width - 80);
    EXPECT_EQ(close->Top(), shown.Height - 30);
}

// 1024x768 less the frame (8 by 27 sizeable, 6 by 25 as a dialog) and a
// scroll bar of 16 where the content goes on.
INSTANTIATE_TEST_SUITE_P(
    Sizes, FitTest,
    ::testing::Values(TFitCase{"Fits", bsSizeable, 800, 600, 800, 600},
                      TFitCase{"TooTall", bsSizeable, 800, 900, 816, 741},
                      TFitCase{"TooWide", bsSizeable, 1200, 500, 1016, 516},
                      TFitCase{"TooWideAndTall", bsSizeable, 1200, 900, 1016, 741},
                      TFitCase{"TallWithNoRoomForItsBar", bsSizeable, 1010, 900, 1016, 741},
                      TFitCase{"TallDialog", bsDialog, 700, 800, 716, 743},
                      TFitCase{"WideWithoutFrame", bsNone, 1100, 500, 1024, 516}),
    [](const auto& Info) { return std::string(Info.param.Name); });
