// The pen, brush, gradient and shadow dialogs: each control changes only what
// it edits, and Cancel puts the object back as it was.
#include "chart/control/teeeditorhooks.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teecontrols.h"
#include "dialogs_fixture.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/stdctrls.h"

namespace {

struct PenState {
    TColor Color;
    int Width;
    TPenStyle Style;
    bool Visible, SmallDots;
    TPenEndStyle End;
    bool operator==(const PenState&) const = default;
};
PenState StateOf(TChartPen* P) {
    return {P->Color(), P->Width(), P->Style(), P->Visible(), P->SmallDots(), P->EndStyle()};
}

class PenDialogTest : public DialogsTest {};

TEST_F(PenDialogTest, HookOpensDialogAndCancelRestoresEveryChange) {
    TChartPen* pen = Line->LinePen();
    const PenState before = StateOf(pen);
    const auto pixels = Pixels();
    TPumpScript script;
    OnModal<TPenDialog>(script, [&](TPenDialog* d) {
        SimulateType(d->SEWidth, "");
        d->SEWidth->SetText("4");
        Choose(d->CBStyle, "Dash");
        Choose(d->CBEndStyle, "Flat");
        d->CBVisible->SetChecked(false);
        Responder.ExpectColor(clRed);
        SimulateClick(d->BColor);
        EXPECT_EQ(pen->Width(), 4);
        EXPECT_EQ(pen->Style(), psDash);
        EXPECT_EQ(pen->Color(), clRed);
        EXPECT_FALSE(pen->Visible());
        SimulateClick(d->BCancel);
    });
    EXPECT_FALSE(EditChartPen(Chart.get(), pen, false));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(StateOf(pen), before);
    EXPECT_EQ(Pixels(), pixels);
}

TEST_F(PenDialogTest, OkKeepsTheWidthAndNothingElseAndRepaints) {
    TChartPen* pen = Line->LinePen();
    PenState expected = StateOf(pen);
    expected.Width = 3;
    const auto pixels = Pixels();
    TPumpScript script;
    OnModal<TPenDialog>(script, [](TPenDialog* d) {
        d->UDWidth->Step(btNext);
        d->UDWidth->Step(btNext);
        SimulateClick(d->BOk);
    });
    EXPECT_TRUE(EditChartPen(Chart.get(), pen, false));
    EXPECT_EQ(StateOf(pen), expected);
    EXPECT_NE(Pixels(), pixels);
}

TEST_F(PenDialogTest, SmallDotsDisablesWidthAndPlainPenOffersNeither) {
    TPenDialog d(nullptr);
    TChartPen chartPen;
    d.ThePen = &chartPen;
    d.Show();
    ASSERT_EQ(d.CBStyle->Items()->Count(), 6);
    Choose(d.CBStyle, "Small Dots");
    EXPECT_TRUE(chartPen.SmallDots());
    EXPECT_FALSE(d.SEWidth->Enabled());
    Choose(d.CBStyle, "Dot");
    EXPECT_FALSE(chartPen.SmallDots());
    EXPECT_EQ(chartPen.Style(), psDot);
    EXPECT_TRUE(d.SEWidth->Enabled());
    d.Hide();

    TPen plain;
    d.ThePen = &plain;
    d.Show();
    EXPECT_FALSE(d.CBVisible->Visible());
    EXPECT_FALSE(d.CBEndStyle->Visible());
    EXPECT_EQ(d.CBStyle->Items()->Count(), 5);
}

TEST_F(PenDialogTest, HiddenVisibleBoxStaysHidden) {
    TPenDialog d(nullptr);
    TChartPen pen;
    d.ThePen = &pen;
    d.HideVisible = true;
    d.Show();
    EXPECT_FALSE(d.CBVisible->Visible());
}

class BrushDialogTest : public DialogsTest {};

TEST_F(BrushDialogTest, PatternItemLoadsItsBitmapKeepsStyleAndCancelClearsIt) {
    TChartBrush* brush = Chart->BackWall()->Brush();
    brush->SetStyle(bsCross);
    const TColor color = brush->Color();
    TBrushDialog d(nullptr);
    d.TheBrush = brush;
    d.Show();
    EXPECT_EQ(d.LStyle->ItemIndex(), 6);
    d.LStyle->SetItemIndex(d.LStyle->Items()->IndexOf("Fill 40%"));
    d.LStyleClick(nullptr);
    ASSERT_NE(brush->ImageIfAny(), nullptr);
    TBitmap expected;
    GetTeeBrush(2, &expected);
    TBitmap* got = brush->ImageIfAny()->Bitmap();
    ASSERT_EQ(got->Width(), 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(got->Canvas()->Pixels(x, y), expected.Canvas()->Pixels(x, y));
    EXPECT_EQ(brush->Style(), bsCross);
    EXPECT_EQ(d.Button1->Caption(), "Clea&r");

    d.LStyle->SetItemIndex(1);
    d.LStyleClick(nullptr);
    EXPECT_EQ(brush->Style(), bsClear);
    EXPECT_FALSE(d.BColor->Enabled());

    SimulateClick(d.Button3);
    EXPECT_EQ(brush->Style(), bsCross);
    EXPECT_EQ(brush->Color(), color);
    EXPECT_TRUE(!brush->ImageIfAny() || !brush->ImageIfAny()->Graphic());
}

TEST(BrushPatterns, TwelveDistinctPatternsAndNoOthers) {
    std::vector<std::vector<TColor>> seen;
    for (int i = 0; i < 12; ++i) {
        TBitmap b;
        GetTeeBrush(i, &b);
        std::vector<TColor> px;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                px.push_back(b.Canvas()->Pixels(x, y));
        for (const auto& s : seen)
            EXPECT_NE(s, px) << i;
        seen.push_back(px);
    }
    TBitmap b;
    for (int outside : {-1, 12, 20})
        try {
            GetTeeBrush(outside, &b);
            ADD_FAILURE() << "pattern " << outside << " was given";
        } catch (const EListError& e) {
            EXPECT_NE(e.Message.Pos("out of range (" + IntToStr(outside) + ")"), 0)
                << e.Message.c_str();
        }
}

// Pattern k is item 8 + k of the list: its swatch shows the pattern (black on
// white, repeated from the swatch's corner), and a click on it gives the brush
// that pattern.
TEST_F(BrushDialogTest, EachPatternIsTheSwatchAndTheChoiceOfItsItem) {
    TChartBrush* brush = Chart->BackWall()->Brush();
    TBrushDialog d(nullptr);
    d.TheBrush = brush;
    d.Show();
    for (int k = 0; k < 12; ++k) {
        const int item = 8 + k;
        SCOPED_TRACE(d.LStyle->Items()->Strings(item).c_str());
        TBitmap pattern;
        GetTeeBrush(k, &pattern);
        d.LStyle->SetTopIndex(item);
        const TRect row = d.LStyle->ItemRect(item);
        TBitmap face(d.LStyle->Width(), d.LStyle->Height());
        GrabControl(d.LStyle, &face);
        // The rows are drawn inside the list's frame.
        const TPoint client = d.LStyle->ClientToScreen(TPoint(0, 0));
        const TPoint outer =
            d.LStyle->Parent()->ClientToScreen(TPoint(d.LStyle->Left(), d.LStyle->Top()));
        int wrong = 0;
        for (int y = row.Top + 2; y < row.Bottom - 2; ++y)
            for (int x = row.Left + 2; x < row.Left + 16; ++x) {
                const TColor want = ColorToRGB(
                    pattern.Canvas()->Pixels((x - row.Left - 2) % 8, (y - row.Top - 2) % 8));
                if (ColorToRGB(face.Canvas()->Pixels(x + client.x - outer.x,
                                                     y + client.y - outer.y)) != want)
                    ++wrong;
            }
        EXPECT_EQ(wrong, 0) << "pixels of the item's swatch unlike pattern " << k;

        SimulateClick(d.LStyle, row.Left + 60, (row.Top + row.Bottom) / 2);
        ASSERT_EQ(d.LStyle->ItemIndex(), item);
        ASSERT_NE(brush->ImageIfAny(), nullptr);
        TBitmap* got = brush->ImageIfAny()->Bitmap();
        ASSERT_EQ(got->Width(), 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(got->Canvas()->Pixels(x, y), pattern.Canvas()->Pixels(x, y))
                    << "the brush chosen is not pattern " << k << " at " << x << "," << y;
    }
}

class GradientDialogTest : public DialogsTest {};

TEST_F(GradientDialogTest, RadialEnablesBalanceAndOffsetsNotTheMiddle) {
    TTeeGradient g;
    g.SetVisible(true);
    TTeeGradientEditor d(nullptr, &g);
    EXPECT_FALSE(d.PanelButtons->Visible());
    EXPECT_TRUE(d.BMid->Enabled());
    EXPECT_FALSE(d.SBBalance->Enabled());
    Choose(d.CBDirection, "Radial");
    EXPECT_EQ(g.Direction(), gdRadial);
    EXPECT_TRUE(d.SBBalance->Enabled());
    EXPECT_TRUE(d.TrackBar1->Enabled());
    EXPECT_FALSE(d.BMid->Enabled());
    EXPECT_FALSE(d.CBMid->Enabled());
    d.SBBalance->SetPosition(30);
    EXPECT_EQ(g.Balance(), 30);
    EXPECT_EQ(d.LabelBalance->Caption(), "30 %");
}

TEST_F(GradientDialogTest, SwapExchangesOnlyTheEndColoursAndCancelRestores) {
    TTeeGradient* g = Chart->Gradient();
    g->SetStartColor(clRed);
    g->SetEndColor(clBlue);
    const auto pixels = Pixels();
    TPumpScript script;
    OnModal<TTeeGradientEditor>(script, [g](TTeeGradientEditor* d) {
        SimulateClick(d->CBVisible);
        SimulateClick(d->BSwap);
        EXPECT_EQ(g->StartColor(), clBlue);
        EXPECT_EQ(g->EndColor(), clRed);
        EXPECT_TRUE(g->Visible());
        EXPECT_EQ(g->Direction(), gdTopBottom);
        SimulateClick(d->BCancel);
    });
    EXPECT_FALSE(EditTeeGradient(Chart.get(), g));
    EXPECT_EQ(g->StartColor(), clRed);
    EXPECT_EQ(g->EndColor(), clBlue);
    EXPECT_FALSE(g->Visible());
    EXPECT_EQ(Pixels(), pixels);
}

TEST_F(GradientDialogTest, NoMiddleBoxSwitchesTheMiddleColour) {
    TTeeGradient g;
    g.SetVisible(true);
    TTeeGradientEditor d(nullptr, &g);
    EXPECT_TRUE(d.CBMid->Checked());
    d.CBMid->SetChecked(false);
    EXPECT_TRUE(g.UseMiddle());
    d.CBMid->SetChecked(true);
    EXPECT_EQ(g.MidColor(), clNone);
}

// Unchecked, "No Middle" gives the gradient the middle its button shows: the
// one chosen before, or the white a middle never chosen draws; a chart file
// then draws the same chart.
TEST_F(GradientDialogTest, UncheckingNoMiddleKeepsTheDrawnMiddleInTheChartFile) {
    for (const TColor earlier : {clNone, clYellow}) {
        SCOPED_TRACE(earlier);
        TTeeGradient* g = Chart->Gradient();
        g->SetVisible(true);
        g->SetStartColor(clRed);
        g->SetEndColor(clBlue);
        g->SetMidColor(earlier);
        g->SetMidColor(clNone);
        TTeeGradientEditor d(nullptr, g);
        ASSERT_TRUE(d.CBMid->Checked());
        SimulateClick(d.CBMid);
        const TColor middle = earlier == clNone ? clWhite : earlier;
        EXPECT_EQ(g->MidColor(), middle);
        EXPECT_EQ(d.BMid->GetTeeColor(), middle);
        const auto drawn = Pixels();
        std::unique_ptr<TChart> reloaded = RoundTrip();
        reloaded->SetBounds(0, 0, 300, 200);
        reloaded->Draw();
        std::vector<TColor> again;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                again.push_back(reloaded->ControlCanvas()->Pixels(x, y));
        EXPECT_EQ(reloaded->Gradient()->MidColor(), middle);
        EXPECT_TRUE(again == drawn) << "the chart file draws another chart";
    }
}

TEST_F(DialogsTest, ShadowEditorWritesEachSizeAlone) {
    TTeeShadow* s = Chart->Legend()->Shadow();
    const int vert = s->VertSize();
    const TColor color = s->Color();
    TTeeShadowEditor d(nullptr);
    d.RefreshControls(s);
    d.Show();
    d.Edit1->SetText("9");
    EXPECT_EQ(s->HorizSize(), 9);
    EXPECT_EQ(s->VertSize(), vert);
    EXPECT_EQ(s->Color(), color);
    d.EShadowTransp->SetText("250");
    EXPECT_EQ(s->Transparency(), 100);
}

} // namespace
