// Pixels of the self-drawn controls (bevels, labels, status panels, forms) and
// details of controls driven by the user (grids, tabs, check boxes, track bars).
#include "forms_fixture.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/grids.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/qtbridge.h"
#include <QImage>
#include <algorithm>
#include <QWidget>
#include <string>
#include <vector>

class PaintTest : public FormsTest {
protected:
    static COLORREF At(TCanvas* c, int x, int y) { return ColorToRGB(c->Pixels(x, y)); }
    const COLORREF Shadow = ColorToRGB(clBtnShadow);
    const COLORREF Light = ColorToRGB(clBtnHighlight);
};

TEST_F(PaintTest, BevelShapesDrawTheirLines) {
    const struct {
        TBevelShape Shape;
        TBevelStyle Style;
        int X1, Y1;   // first colour here
        int X2, Y2;   // second colour here
        bool Lowered; // first colour is the shadow
    } rows[] = {
        {bsTopLine, bsLowered, 10, 0, 10, 1, true},
        {bsTopLine, bsRaised, 10, 0, 10, 1, false},
        {bsBottomLine, bsLowered, 10, 18, 10, 19, true},
        {bsLeftLine, bsLowered, 0, 10, 1, 10, true},
        {bsRightLine, bsRaised, 38, 10, 39, 10, false},
        {bsBox, bsLowered, 0, 0, 39, 19, true},
    };
    auto* bevel = Make<TBevel>(0, 0, 40, 20);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Shape);
        bevel->SetShape(row.Shape);
        bevel->SetStyle(row.Style);
        bevel->Repaint();
        TCanvas* c = bevel->Canvas();
        EXPECT_EQ(At(c, row.X1, row.Y1), row.Lowered ? Shadow : Light);
        EXPECT_EQ(At(c, row.X2, row.Y2), row.Lowered ? Light : Shadow);
        EXPECT_EQ(At(c, 20, 10), ColorToRGB(Form->Color())); // the parent shows through
    }
}

TEST_F(PaintTest, ShapesDrawTheirFigureWithTheirPenAndBrush) {
    auto* shape = Make<TShape>(0, 0, 30, 20);
    shape->Brush()->SetColor(clRed);
    shape->Repaint();
    TCanvas* c = shape->Canvas();
    const COLORREF black = RGB(0, 0, 0), red = RGB(255, 0, 0), back = ColorToRGB(Form->Color());
    EXPECT_EQ(At(c, 0, 0), black);
    EXPECT_EQ(At(c, 29, 19), black);
    EXPECT_EQ(At(c, 15, 10), red);
    // A circle keeps to the middle square; the rest shows the parent.
    shape->SetShape(stCircle);
    shape->Repaint();
    EXPECT_EQ(At(c, 2, 10), back);
    EXPECT_EQ(At(c, 15, 10), red);
    EXPECT_EQ(At(c, 5, 10), black);
    // A wide pen is drawn inside the control.
    shape->SetShape(stRectangle);
    shape->Pen()->SetWidth(4);
    shape->Repaint();
    EXPECT_EQ(At(c, 0, 10), black);
    EXPECT_EQ(At(c, 29, 10), black);
    EXPECT_EQ(At(c, 15, 19), black);
    EXPECT_EQ(At(c, 15, 4), red);
}

namespace {
// A button that shows a colour sample on its face, as colour buttons do.
class TSwatchButton : public TButton {
public:
    using TButton::TButton;

protected:
    void PaintOver(TCanvas* ACanvas) override {
        ACanvas->Brush()->SetColor(clRed);
        ACanvas->FillRect(Rect(4, 4, 14, 14));
    }
};
} // namespace

TEST_F(PaintTest, NativeControlsLetTheProgramDrawOverTheirFace) {
    auto* swatch = new TSwatchButton(Form.get());
    swatch->SetParent(Form.get());
    swatch->SetBounds(0, 0, 75, 25);
    auto* plain = Make<TButton>(0, 30, 75, 25);
    Form->Show();
    const QImage face = swatch->Widget()->grab().toImage();
    EXPECT_EQ(face.pixelColor(8, 8), QColor(Qt::red));
    EXPECT_NE(face.pixelColor(40, 12), QColor(Qt::red));
    const QImage other = plain->Widget()->grab().toImage();
    EXPECT_NE(other.pixelColor(8, 8), QColor(Qt::red));
}

// The columns where a button's caption leaves dark pixels, inside its frame.
std::pair<int, int> CaptionColumns(TButton* B) {
    const QImage face = B->Widget()->grab().toImage();
    int first = face.width(), last = -1;
    for (int x = 3; x < face.width() - 3; ++x)
        for (int y = 4; y < face.height() - 4; ++y)
            if (qGray(face.pixel(x, y)) < 80) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

TEST_F(PaintTest, ACaptionStaysClearOfTheRoomKeptForASymbol) {
    auto* narrow = Make<TButton>(0, 0, 70, 25);
    auto* wide = Make<TButton>(0, 30, 150, 25);
    for (TButton* b : {narrow, wide})
        b->SetCaption("&Border...");
    Form->Show();
    const auto narrowPlain = CaptionColumns(narrow), widePlain = CaptionColumns(wide);
    ASSERT_GT(narrowPlain.second, 70 - 21) << "the caption must reach the room to test it";
    for (TButton* b : {narrow, wide})
        b->SetSymbolRoom(21);
    const auto kept = CaptionColumns(narrow);
    EXPECT_LT(kept.second, 70 - 21);
    EXPECT_LT(kept.first, narrowPlain.first);
    EXPECT_EQ(kept.second - kept.first, narrowPlain.second - narrowPlain.first);
    // A caption already clear of the room stays centred where it was.
    EXPECT_EQ(CaptionColumns(wide), widePlain);
}

TEST_F(PaintTest, LabelsDrawTheirTextAndBackground) {
    auto* label = Make<TLabel>(0, 0, 100, 20);
    label->SetAutoSize(false);
    label->SetColor(clYellow);
    label->Font()->SetColor(clBlack);
    label->Font()->SetSize(14);
    label->SetCaption("WWW");
    label->Repaint();
    TCanvas* c = label->Canvas();
    EXPECT_EQ(At(c, 99, 19), ColorToRGB(clYellow));
    auto inkIn = [&](int x0, int x1) {
        int ink = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = 0; y < 20; ++y)
                ink += At(c, x, y) == 0;
        return ink;
    };
    EXPECT_GT(inkIn(0, 50), 20);
    EXPECT_EQ(inkIn(60, 100), 0);
    // Right alignment moves the ink to the right edge; transparency shows the parent.
    label->SetAlignment(taRightJustify);
    label->SetTransparent(true);
    label->Repaint();
    EXPECT_EQ(inkIn(0, 40), 0);
    EXPECT_GT(inkIn(50, 100), 20);
    EXPECT_EQ(At(c, 0, 19), ColorToRGB(Form->Color()));
}

TEST_F(PaintTest, GroupBoxesShowTheirColourInsideAnEtchedFrame) {
    Form->SetColor(clWhite);
    auto* box = Make<TGroupBox>(10, 10, 200, 120);
    box->SetCaption("maximum");
    TBitmap shot;
    GrabControl(box, &shot);
    TCanvas* c = shot.Canvas();
    // No shaded panel: the inside is the colour the box takes from its form.
    for (const auto& [x, y] : {std::pair{20, 60}, {100, 100}, {190, 40}})
        EXPECT_EQ(At(c, x, y), 0xFFFFFFu) << x << "," << y;
    EXPECT_NE(At(c, 100, 118), 0xFFFFFFu) << "no frame";
    // The top line runs at the caption's middle, not along the box's edge.
    int top = 0;
    while (top < 60 && At(c, 150, top) == 0xFFFFFFu)
        ++top;
    EXPECT_GT(top, 3);
    EXPECT_LT(top, 20);
}

TEST_F(PaintTest, FormsPaintTheirColourAndOnPaint) {
    Form->SetColor(clWhite);
    int paints = 0;
    Form->OnPaint = [&](TObject*) {
        ++paints;
        Form->Canvas()->Brush()->SetColor(clRed);
        Form->Canvas()->FillRect(Rect(0, 0, 10, 10));
    };
    Form->Repaint();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(At(Form->Canvas(), 5, 5), ColorToRGB(clRed));
    EXPECT_EQ(At(Form->Canvas(), 50, 50), 0xFFFFFFu);
}

TEST_F(PaintTest, StatusBarDrawsOwnerDrawPanelsThroughItsEvent) {
    auto* status = Make<TStatusBar>(0, 0, 300, 19);
    TStatusPanel* text = status->Panels()->Add();
    text->SetText("Ready");
    TStatusPanel* drawn = status->Panels()->Add();
    drawn->SetStyle(psOwnerDraw);
    std::vector<std::string> calls;
    status->OnDrawPanel = [&](TStatusBar* bar, TStatusPanel* panel, const TRect& r) {
        calls.push_back(std::to_string(panel->Index()) + " " + std::to_string(r.Left));
        bar->Canvas()->Brush()->SetColor(clLime);
        bar->Canvas()->FillRect(r);
    };
    status->Repaint();
    EXPECT_EQ(calls, std::vector<std::string>{"1 53"});
    EXPECT_EQ(At(status->Canvas(), 100, 10), ColorToRGB(clLime));
    status->SetSimplePanel(true);
    status->Repaint();
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(PaintTest, GridColumnsAreSizedByDraggingTheirFixedEdge) {
    auto* grid = Make<TStringGrid>(0, 0, 300, 150);
    grid->SetOptions(grid->Options() + TGridOptions{goColSizing});
    Form->Show();
    const TRect r = grid->CellRect(1, 0);
    SimulateMouse(grid, TMouseAction::Down, mbLeft, r.Right - 1, 5);
    SimulateMouse(grid, TMouseAction::Move, mbLeft, r.Right + 19, 5);
    SimulateMouse(grid, TMouseAction::Up, mbLeft, r.Right + 19, 5);
    EXPECT_EQ(grid->ColWidths(1), 84);
    EXPECT_EQ(grid->CellRect(2, 1).Left, r.Right + 21);
    EXPECT_THROW(grid->ColWidths(9), EListError);
}

TEST_F(PaintTest, GridSelectsRangesAndWholeRows) {
    auto* grid = Make<TStringGrid>(0, 0, 300, 150);
    Form->Show();
    const TRect a = grid->CellRect(1, 1), b = grid->CellRect(3, 2);
    SimulateMouse(grid, TMouseAction::Down, mbLeft, a.Left + 2, a.Top + 2);
    SimulateMouse(grid, TMouseAction::Move, mbLeft, b.Left + 2, b.Top + 2);
    SimulateMouse(grid, TMouseAction::Up, mbLeft, b.Left + 2, b.Top + 2);
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 3, 2}));
    SimulateKey(grid, VK_DOWN, TShiftState{ssShift});
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 3, 3}));
    SimulateKey(grid, VK_UP);
    EXPECT_EQ(grid->Selection(), (TGridRect{3, 2, 3, 2}));
    grid->SetOptions(grid->Options() + TGridOptions{goRowSelect});
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 2, 4, 2}));
    // The wheel moves the current row.
    SimulateWheel(grid, -120);
    EXPECT_EQ(grid->Row(), 3);
}

TEST_F(PaintTest, TabControlChangesAskOnChangingToo) {
    auto* tabs = Make<TTabControl>(0, 0, 200, 100);
    tabs->Tabs()->Add("Chart");
    tabs->Tabs()->Add("Data");
    tabs->SetTabIndex(0);
    bool allow = false;
    int changes = 0;
    tabs->OnChanging = [&](TObject*, bool& can) { can = allow; };
    tabs->OnChange = [&](TObject*) { ++changes; };
    EXPECT_FALSE(tabs->SelectTabByUser(1));
    EXPECT_EQ(tabs->TabIndex(), 0);
    allow = true;
    EXPECT_TRUE(tabs->SelectTabByUser(1));
    EXPECT_EQ(tabs->TabIndex(), 1);
    EXPECT_EQ(changes, 1);
    // Controls on a tab control live in its display area.
    auto* inside = Make<TPanel>(0, 0, 10, 10, tabs);
    inside->SetAlign(alClient);
    EXPECT_EQ(inside->Width(), tabs->ClientWidth());
    EXPECT_LT(tabs->ClientHeight(), tabs->Height() - 16);
}

TEST_F(PaintTest, SheetsReportShowingAndHiding) {
    auto* pages = Make<TPageControl>(0, 0, 200, 100);
    auto* a = new TTabSheet(Form.get());
    auto* b = new TTabSheet(Form.get());
    a->SetPageControl(pages);
    b->SetPageControl(pages);
    std::vector<std::string> log;
    a->OnShow = [&](TObject*) { log.push_back("show a"); };
    a->OnHide = [&](TObject*) { log.push_back("hide a"); };
    b->OnShow = [&](TObject*) { log.push_back("show b"); };
    pages->SetActivePage(a);
    pages->SelectNextPage(true);
    EXPECT_EQ(pages->ActivePage(), b);
    EXPECT_EQ(log, (std::vector<std::string>{"show a", "hide a", "show b"}));
    b->SetPageIndex(0);
    EXPECT_EQ(pages->Pages(0), b);
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    EXPECT_THROW(pages->Pages(2), EListError);
}

TEST_F(PaintTest, CheckBoxesCycleThroughGrayedWhenAllowed) {
    auto* box = Make<TCheckBox>(0, 0, 100, 17);
    box->SetAllowGrayed(true);
    Form->Show();
    std::vector<TCheckBoxState> states;
    box->OnClick = [&](TObject*) { states.push_back(box->State()); };
    for (int i = 0; i < 3; ++i)
        SimulateClick(box);
    EXPECT_EQ(states, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
    box->SetState(cbGrayed);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(states.size(), 4u);
}

TEST_F(PaintTest, TrackBarFollowsKeysWithinItsRange) {
    auto* track = Make<TTrackBar>(0, 0, 150, 30);
    track->SetMax(4);
    int changes = 0;
    track->OnChange = [&](TObject*) { ++changes; };
    Form->Show();
    for (int i = 0; i < 6; ++i)
        SimulateKey(track, VK_RIGHT);
    EXPECT_EQ(track->Position(), 4);
    EXPECT_EQ(changes, 4);
    track->SetPosition(-3);
    EXPECT_EQ(track->Position(), 0);
}

TEST_F(PaintTest, NewControlPlacesNamedControlsAsADesignerWould) {
    auto* button = NewControl<TButton>(Form.get(), Form.get(), "b_Start", 8, 16, 75, 25, "&Start");
    auto* label = NewControl<TLabel>(Form.get(), Form.get(), "laSampleTime", 8, 50, 100, 17);
    EXPECT_EQ(Form->FindComponent("b_Start"), button);
    EXPECT_EQ(button->BoundsRect(), Rect(8, 16, 83, 41));
    EXPECT_EQ(button->Caption(), "&Start");
    EXPECT_EQ(button->Parent(), Form.get());
    EXPECT_EQ(label->Caption(), "");
    EXPECT_THROW(NewControl<TEdit>(Form.get(), Form.get(), "b_Start", 0, 0, 10, 10),
                 EComponentError);
}

TEST_F(PaintTest, BorderIconsAndStayOnTopBecomeWindowFlags) {
    TForm window(nullptr);
    window.SetFormStyle(fsStayOnTop);
    EXPECT_TRUE(window.Widget()->windowFlags() & Qt::WindowStaysOnTopHint);
    window.SetBorderIcons(TBorderIcons{});
    EXPECT_FALSE(window.Widget()->windowFlags() & Qt::WindowCloseButtonHint);
    window.SetBorderIcons(TBorderIcons{biSystemMenu});
    EXPECT_TRUE(window.Widget()->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.Widget()->windowFlags() & Qt::WindowMinimizeButtonHint);
    window.SetCaption("Info");
    EXPECT_EQ(window.Widget()->windowTitle().toStdString(), "Info");
}

// A disabled bitmap or speed button greys its caption and shows its glyph
// etched (or its own disabled image when the strip has one).
TEST_F(PaintTest, DisabledGlyphButtonsLookDisabled) {
    // Blue on a fuchsia (transparent) ground; a strip of two adds a red disabled image.
    TBitmap strip(32, 16);
    TCanvas* g = strip.Canvas();
    g->Brush()->SetColor(clFuchsia);
    g->FillRect(Rect(0, 0, 32, 16));
    g->Brush()->SetColor(clBlue);
    g->FillRect(Rect(3, 3, 13, 13));
    g->Brush()->SetColor(clRed);
    g->FillRect(Rect(19, 3, 29, 13));
    auto* bit = Make<TBitBtn>(0, 0, 130, 30);
    auto* speed = Make<TSpeedButton>(0, 40, 130, 30);
    bit->SetCaption("Save results");
    speed->SetCaption("Save results");
    Form->Show();
    const COLORREF blue = ColorToRGB(clBlue), red = ColorToRGB(clRed);
    for (int glyphs : {2, 1}) {
        for (TControl* button : {static_cast<TControl*>(bit), static_cast<TControl*>(speed)}) {
            SCOPED_TRACE(std::string(button == bit ? "bitmap" : "speed") + " button, glyphs " +
                         std::to_string(glyphs));
            // A strip of one is the first image alone.
            strip.SetWidth(16 * glyphs);
            if (auto* b = dynamic_cast<TBitBtn*>(button)) {
                b->SetGlyph(&strip);
                b->SetNumGlyphs(glyphs);
            } else {
                auto* s = static_cast<TSpeedButton*>(button);
                s->SetGlyph(&strip);
                s->SetNumGlyphs(glyphs);
            }
            for (bool enabled : {true, false}) {
                button->SetEnabled(enabled);
                const QImage face = Form->Widget()->grab().toImage().copy(
                    button->Left(), button->Top(), button->Width(), button->Height());
                // The glyph's colours, and the darkest caption pixel (right of the glyph).
                std::vector<COLORREF> colours;
                int darkest = 255;
                for (int y = 0; y < face.height(); ++y)
                    for (int x = 0; x < face.width(); ++x) {
                        const QRgb p = face.pixel(x, y);
                        colours.push_back(RGB(qRed(p), qGreen(p), qBlue(p)));
                        if (x > 50 && x < face.width() - 6 && y > 4 && y < face.height() - 4)
                            darkest = std::min(darkest, qGray(p));
                    }
                auto has = [&](COLORREF c) {
                    return std::find(colours.begin(), colours.end(), c) != colours.end();
                };
                EXPECT_EQ(has(blue), enabled);
                EXPECT_EQ(has(red), !enabled && glyphs == 2);
                if (!enabled && glyphs == 1) {
                    EXPECT_TRUE(has(Shadow));
                    EXPECT_TRUE(has(Light));
                }
                if (enabled)
                    EXPECT_LT(darkest, 60);
                else
                    EXPECT_GE(darkest, qGray(ToQColor(clGrayText).rgb()) - 10);
            }
        }
    }
}
