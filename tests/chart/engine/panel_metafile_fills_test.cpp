// A chart's patterned and rounded fills saved as metafiles: what each saved
// form plays back is what the bitmap export shows.
#include "panel_fixture.h"
#include "platform/graphics/clipbrd.h"
#include "platform/graphics/metafile.h"
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The brush dialog's "Fill 40%": black every other pixel, rows shifted by one.
std::unique_ptr<TBitmap> Fill40() {
    auto b = std::make_unique<TBitmap>(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            b->Canvas()->SetPixel(x, y, (x + y) % 2 ? clWhite : clBlack);
    return b;
}

// A bar filled with the pattern and a gradient with corners rounded by 16.
class PanelFills : public PanelTest {
protected:
    PanelFills() {
        Panel->FillChart = false;
        Panel->SetWidth(120);
        Panel->SetHeight(80);
        Panel->OnDraw = [this](const TRect&) {
            TCanvas3D* c = Panel->Canvas();
            TChartBrush brush;
            const auto pattern = Fill40();
            brush.Image()->SetGraphic(pattern.get());
            c->Pen()->SetStyle(psClear);
            c->AssignBrush(&brush, clRed);
            c->Rectangle(TRect(4, 4, 41, 71));
            TTeeGradient gradient;
            gradient.SetVisible(true);
            gradient.SetStartColor(clBlue);
            gradient.SetEndColor(clLime);
            gradient.Draw(c, Rounded, 16);
        };
    }
    const TRect Rounded{50, 4, 110, 70};

    std::unique_ptr<TBitmap> Played(TMetafile& m) {
        auto b = std::make_unique<TBitmap>(120, 80);
        b->Canvas()->Draw(0, 0, &m);
        return b;
    }
    // Pixels of the bitmap export that the played picture does not have.
    int Differ(TBitmap& Shown, TBitmap& Exported) {
        int n = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 120; ++x)
                n += Shown.Canvas()->Pixels(x, y) != Exported.Canvas()->Pixels(x, y);
        return n;
    }
};

} // namespace

TEST_F(PanelFills, EveryMetafileWayOutKeepsThePatternAndTheRoundedCorners) {
    const auto exported = Panel->TeeCreateBitmap(clWhite, TRect(0, 0, 120, 80));
    TCanvas* e = exported->Canvas();
    ASSERT_EQ(e->Pixels(10, 10), clBlack);
    ASSERT_EQ(e->Pixels(11, 10), clWhite);
    ASSERT_EQ(e->Pixels(Rounded.Left, Rounded.Top), clWhite); // the corner stays out
    ASSERT_NE(e->Pixels(Rounded.Left + 8, Rounded.Top + 8), clWhite);
    const std::string emf = TempPath("fills.emf"), wmf = TempPath("fills.wmf");
    Panel->SaveToMetafileEnh(emf.c_str());
    Panel->SaveToMetafile(wmf.c_str());
    const auto made = Panel->TeeCreateMetafile(false, TRect(0, 0, 120, 80));
    Panel->CopyToClipboardMetafile(false);
    TMetafile pasted;
    pasted.Assign(Clipboard());
    const struct {
        const char* Way;
        std::function<void(TMetafile&)> Read;
    } ways[] = {
        {"saved enhanced", [&](TMetafile& m) { m.LoadFromFile(emf.c_str()); }},
        {"saved old-style", [&](TMetafile& m) { m.LoadFromFile(wmf.c_str()); }},
        {"made", [&](TMetafile& m) { m.LoadFromBytes(made->SaveToBytes()); }},
        {"copied", [&](TMetafile& m) { m.LoadFromBytes(pasted.SaveToWmf()); }},
    };
    for (const auto& w : ways) {
        SCOPED_TRACE(w.Way);
        TMetafile m;
        w.Read(m);
        const auto shown = Played(m);
        EXPECT_EQ(shown->Canvas()->Pixels(Rounded.Left, Rounded.Top), clWhite);
        EXPECT_EQ(Differ(*shown, *exported), 0);
    }
    std::remove(emf.c_str());
    std::remove(wmf.c_str());
}

namespace {

// A series area clipped to the walls' cube of an orthogonal 3D view.
void DrawInCube(TCanvas* Target) {
    TTeeCanvas3D canvas;
    TView3DOptions options;
    options.SetOrthogonal(true);
    options.SetRotation(345);
    options.SetElevation(345);
    options.SetOrthoAngle(45);
    options.SetPerspective(0);
    canvas.SetUseBuffer(false);
    canvas.InitWindow(Target, &options, clWhite, true, TRect(0, 0, 100, 80));
    canvas.Projection(20, TRect(0, 0, 100, 80), TRect(10, 10, 90, 70));
    canvas.ClipCube(TRect(20, 20, 70, 60), 0, 20);
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(TRect(0, 0, 100, 80));
    canvas.UnClipRectangle();
    canvas.Brush()->SetColor(clBlue);
    canvas.FillRect(TRect(0, 76, 100, 80)); // unclipped again
}

} // namespace

TEST(MetafileCubeClip, OldStyleFilesClipToTheCubeAsTheScreenDoes) {
    TBitmap direct(100, 80);
    DrawInCube(direct.Canvas());
    TMetafile m;
    m.SetWidth(100);
    m.SetHeight(80);
    {
        TMetafileCanvas c(&m, nullptr);
        DrawInCube(&c);
    }
    TMetafile wmf;
    wmf.LoadFromBytes(m.SaveToWmf());
    TBitmap played(100, 80);
    played.Canvas()->Draw(0, 0, &wmf);
    int red = 0, differ = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) {
            red += direct.Canvas()->Pixels(x, y) == clRed;
            differ += played.Canvas()->Pixels(x, y) != direct.Canvas()->Pixels(x, y);
        }
    ASSERT_GT(red, 1000);
    EXPECT_EQ(differ, 0);
}
