// The shape dialog edits only the parts of a framed box it shows; the style
// lists draw a sample that can be seen; the panel's picture loader refuses a
// damaged file and leaves the panel as it was.
#include "chart/control/teelegend.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeedipane.h"
#include "chart/editor/teependlg.h"
#include "chart/editor/teeshapeedit.h"
#include "dialogs_fixture.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/graphics/jpeg.h"
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

void Shot(TControl* Control, const char* Name) {
    if (const char* dir = std::getenv("QM_SHOTS")) {
        TPngImage png;
        GrabControl(Control, png.Bitmap());
        png.SaveToFile(AnsiString(dir) + "/" + Name + ".png");
    }
}

class ShapeDialogTest : public DialogsTest {};

TEST_F(ShapeDialogTest, ChangesApplyAtOnceAndTouchNothingElse) {
    TChartLegend* legend = Chart->Legend();
    const TColor color = legend->Color();
    const int penWidth = legend->Pen()->Width();
    const auto before = Pixels();
    TPumpScript script;
    OnModal<TFormTeeShape>(script, [&](TFormTeeShape* d) {
        auto* ok = dynamic_cast<TButton*>(d->FindComponent("BOk"));
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->Left(), d->ClientWidth() - 98);
        Shot(d, "shape_format");
        EXPECT_FALSE(d->EBevWidth->Enabled());
        Choose(d->CBBevel, "Lowered");
        EXPECT_TRUE(d->EBevWidth->Enabled());
        SimulateClick(d->CBRound);
        d->EShadowTransp->SetText("40");
        d->PageControl1->SelectPageByUser(d->TabText);
        d->FontEditor()->Edit2->SetText("2");
        Shot(d, "shape_text");
        d->PageControl1->SelectPageByUser(d->TabGradient);
        Shot(d, "shape_gradient");
        d->PageControl1->SelectPageByUser(d->TabShadow);
        d->ShadowEditor()->EVertSize->SetText("5");
        Shot(d, "shape_shadow");
        SimulateClick(ok);
    });
    EditTeeCustomShape(Chart.get(), legend);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(legend->Bevel(), bvLowered);
    EXPECT_EQ(legend->ShapeStyle(), fosRoundRectangle);
    EXPECT_EQ(legend->Transparency(), 40);
    EXPECT_EQ(legend->Font()->InterCharSize(), 2);
    EXPECT_EQ(legend->Shadow()->VertSize(), 5);
    EXPECT_EQ(legend->Color(), color);
    EXPECT_EQ(legend->Pen()->Width(), penWidth);
    EXPECT_FALSE(legend->Transparent());
    EXPECT_NE(Pixels(), before);
}

// The row drawn onto a white 120 x 18 bitmap.
std::unique_ptr<TBitmap> Row(const std::function<void(TCanvas*, const TRect&)>& Draw) {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(120, 18);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clWhite);
    c->Brush()->SetStyle(bsSolid);
    Draw(c, TRect{0, 0, 120, 18});
    return bmp;
}

int CountColor(TBitmap* B, int X0, int X1, int Y0, int Y1, TColor C) {
    int n = 0;
    for (int y = Y0; y < Y1; ++y)
        for (int x = X0; x < X1; ++x)
            n += ColorToRGB(B->Canvas()->Pixels(x, y)) == C;
    return n;
}

TEST_F(ShapeDialogTest, StyleListRowsShowASampleThatStandsOut) {
    struct Case {
        TColor PenColor, Expected;
    };
    for (const Case c : {Case{clRed, clRed}, Case{clWhite, clBlack}}) {
        TPen pen;
        pen.SetColor(c.PenColor);
        auto bmp = Row([&](TCanvas* Cv, const TRect& R) {
            TeeDrawPenStyleItem(Cv, psSolid, R, {}, &pen, "Solid");
        });
        EXPECT_EQ(CountColor(bmp.get(), 2, 30, 9, 10, c.Expected), 28) << c.PenColor;
    }
    // "Fill 40%" is half black, half white; "None" has no swatch at all.
    auto fill = Row([](TCanvas* Cv, const TRect& R) { TeeDrawBrushStyleItem(Cv, 10, R, ""); });
    const int black = CountColor(fill.get(), 2, 16, 2, 16, clBlack);
    EXPECT_EQ(black, 14 * 14 / 2);
    auto none = Row([](TCanvas* Cv, const TRect& R) { TeeDrawBrushStyleItem(Cv, 1, R, ""); });
    EXPECT_EQ(CountColor(none.get(), 0, 18, 0, 18, clWhite), 18 * 18);
    {
        TPenDialog pd(nullptr);
        pd.ThePen = Line->LinePen();
        pd.Show();
        Shot(&pd, "pen_dialog");
        TBrushDialog bd(nullptr);
        bd.TheBrush = Chart->Legend()->Brush();
        bd.Show();
        Shot(&bd, "brush_dialog");
    }
    auto cross = Row([](TCanvas* Cv, const TRect& R) { TeeDrawBrushStyleItem(Cv, 6, R, ""); });
    EXPECT_GT(CountColor(cross.get(), 2, 16, 2, 16, clBlack), 0);
    EXPECT_GT(CountColor(cross.get(), 2, 16, 2, 16, clWhite), 0);
}

TEST_F(ShapeDialogTest, DamagedBackImageIsRefusedAndAGoodOneLoadsAndClears) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("qm_shape_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const AnsiString bad = (dir / "bad.bmp").c_str();
    std::ofstream(bad.c_str(), std::ios::binary) << "BM\xff\xff\xff\x7f garbage";
    const AnsiString good = (dir / "good.bmp").c_str();
    {
        TBitmap b;
        b.SetSize(4, 4);
        b.SaveToFile(good);
    }
    TFormTeePanel page(nullptr, Chart.get());
    page.Show();
    Responder.ExpectOpen(bad).ExpectMessage("", mrOk);
    SimulateClick(page.BBrowseImage);
    EXPECT_TRUE(Responder.Done());
    EXPECT_FALSE(Chart->HasBackImage());
    EXPECT_EQ(page.BBrowseImage->Caption(), "B&rowse...");

    Responder.ExpectOpen(good);
    SimulateClick(page.BBrowseImage);
    EXPECT_TRUE(Chart->HasBackImage());
    EXPECT_EQ(page.BBrowseImage->Caption(), "Clea&r");
    EXPECT_TRUE(page.CBTransp->Enabled());
    SimulateClick(page.BBrowseImage);
    EXPECT_FALSE(Chart->HasBackImage());
    EXPECT_FALSE(page.RGBitmap->Enabled());
    std::filesystem::remove_all(dir);
}

} // namespace
