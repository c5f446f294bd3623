#include "panel_fixture.h"
#include "chart/engine/teeconst.h"
#include "platform/classes/streams.h"
#include "platform/graphics/clipbrd.h"
#include "platform/graphics/metafile.h"
#include "platform/rtl/rtlmath.h"
#include "support/external_tool.h"
#include "support/forms_testing.h"
#include "support/recording_canvas.h"
#include "support/recording_printer.h"
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {
std::string ReadFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
} // namespace

TEST_F(PanelTest, ChartRectangleFromMarginsAndFrame) {
    struct Row {
        const char* What;
        std::function<void(TTestPanel*)> Setup;
        TRect Expected;
    };
    const Row rows[] = {
        {"percent margins", [](TTestPanel*) {}, TRect(12, 10, 388, 240)},
        {"pixel margins 0",
         [](TTestPanel* p) {
             p->SetMarginUnits(muPixels);
             for (int i = 0; i < 4; ++i)
                 p->SetMargin(i, 0);
             p->SetBevelOuter(bvRaised);
             p->SetBevelWidth(2);
         },
         TRect(2, 2, 398, 248)},
        {"border and both bevels",
         [](TTestPanel* p) {
             p->SetMarginUnits(muPixels);
             p->SetMarginLeft(5);
             p->SetMarginTop(6);
             p->SetMarginRight(7);
             p->SetMarginBottom(8);
             p->SetBevelOuter(bvRaised);
             p->SetBevelInner(bvLowered);
             p->SetBorderWidth(1);
             p->Border()->SetVisible(true);
             p->Border()->SetWidth(3);
         },
         TRect(5 + 6, 6 + 6, 400 - 7 - 6, 250 - 8 - 6)},
        // Narrower than its margins: never empty or inverted.
        {"too narrow",
         [](TTestPanel* p) {
             p->SetMarginUnits(muPixels);
             p->SetMarginLeft(300);
             p->SetMarginTop(0);
             p->SetMarginRight(300);
             p->SetMarginBottom(0);
         },
         TRect(300, 0, 301, 250)},
    };
    for (const Row& row : rows) {
        TTestPanel panel;
        panel.SetBevelOuter(bvNone);
        row.Setup(&panel);
        panel.TeeCreateBitmap(clWhite, panel.GetRectangle());
        EXPECT_EQ(panel.ChartRect(), row.Expected) << row.What;
        EXPECT_EQ(panel.ChartWidth(), row.Expected.Width()) << row.What;
        EXPECT_EQ(panel.ChartXCenter(), (row.Expected.Left + row.Expected.Right) / 2) << row.What;
    }
}

TEST_F(PanelTest, ZeroSizedRectangleTakesTheControlSize) {
    Panel->SetMarginUnits(muPixels);
    for (int i = 0; i < 4; ++i)
        Panel->SetMargin(i, 0);
    Panel->SetChartBounds(TRect(0, 0, 400, 250));
    Panel->SetChartRect(TRect(20, 30, 20, 30));
    Panel->ReCalcWidthHeight();
    EXPECT_EQ(Panel->ChartRect(), TRect(20, 30, 420, 280));
    EXPECT_THROW(Panel->SetMargin(4, 1), ERangeError);
}

TEST_F(PanelTest, Chart3DPercentRange) {
    try {
        Panel->SetChart3DPercent(0);
        ADD_FAILURE() << "0 accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "3D effect percent must be between 1 and 100");
    }
    EXPECT_EQ(Panel->Chart3DPercent(), 15);
    EXPECT_THROW(Panel->SetChart3DPercent(101), Exception);
    Panel->SetChart3DPercent(100);
    EXPECT_EQ(Panel->Chart3DPercent(), 100);
}

TEST_F(PanelTest, RenderedPixelsAtTheChartRectangleEdges) {
    const TRect r(12, 10, 388, 240);
    auto check = [&](TCanvas* c, const char* where) {
        EXPECT_EQ(c->Pixels(r.Left, r.Top), clRed) << where;
        EXPECT_EQ(c->Pixels(r.Right - 1, r.Bottom - 1), clRed) << where;
        EXPECT_EQ(c->Pixels(r.Left - 1, r.Top), clWhite) << where;
        EXPECT_EQ(c->Pixels(r.Left, r.Top - 1), clWhite) << where;
        EXPECT_EQ(c->Pixels(r.Right, r.Bottom - 1), clWhite) << where;
        EXPECT_EQ(c->Pixels(r.Right - 1, r.Bottom), clWhite) << where;
    };
    auto bitmap = Panel->TeeCreateBitmap(clWhite, Panel->GetRectangle());
    ASSERT_EQ(bitmap->Width(), 400);
    ASSERT_EQ(bitmap->Height(), 250);
    check(bitmap->Canvas(), "bitmap");

    // Onto another canvas through the buffer, which then repaints the control alone.
    TBitmap target(400, 250);
    Panel->Draw(target.Canvas(), Panel->GetRectangle());
    check(target.Canvas(), "buffered");
    const int draws = Panel->Draws;
    ASSERT_TRUE(Panel->Canvas()->ReDrawBitmap());
    EXPECT_EQ(Panel->Draws, draws);
    check(Panel->ControlCanvas(), "from the buffer");
    Panel->Invalidate();
    EXPECT_FALSE(Panel->Canvas()->ReDrawBitmap());

    // The control's own canvas keeps its image: drawn there straight, and never
    // covered later by an older off-screen copy.
    Panel->Draw();
    check(Panel->ControlCanvas(), "on the control");
    EXPECT_FALSE(Panel->Canvas()->ReDrawBitmap());

    Panel->SetBufferedDisplay(false);
    Panel->Draw();
    check(Panel->ControlCanvas(), "direct");
}

TEST_F(PanelTest, BevelsAndBorderDrawInsideTheBounds) {
    Panel->SetBevelOuter(bvRaised);
    Panel->SetBevelInner(bvLowered);
    Panel->SetBevelWidth(1);
    Panel->FillChart = false;
    auto b = Panel->TeeCreateBitmap(clWhite, Panel->GetRectangle());
    TCanvas* c = b->Canvas();
    const TColor highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
    // Raised outside: light top-left, dark bottom-right; lowered inside: the reverse.
    EXPECT_EQ(c->Pixels(0, 5), TColor(highlight));
    EXPECT_EQ(c->Pixels(399, 5), TColor(shadow));
    EXPECT_EQ(c->Pixels(1, 5), TColor(shadow));
    EXPECT_EQ(c->Pixels(398, 5), TColor(highlight));
    EXPECT_EQ(c->Pixels(2, 5), clWhite);
}

TEST_F(PanelTest, BorderPenWidthInsetsTheBevels) {
    struct Row {
        const char* What;
        int PenWidth;
        bool SmallDots;
        int Round;
        const char* Log;
    };
    const Row rows[] = {
        // w = 3: left and top in by 2, right and bottom by 1, then one more.
        {"width 4", 4, false, 0,
         "Rectangle(2,2,399,249)\nFrame3D(4,4,397,247,0x000014,0x000010,1)"},
        {"width 3", 3, false, 0,
         "Rectangle(1,1,399,249)\nFrame3D(3,3,397,247,0x000014,0x000010,1)"},
        {"round", 4, false, 5, "RoundRect(2,2,398,248,5,5)\nRoundRect(3,3,397,247,5,5)"},
        {"small dots", 1, true, 0,
         "Rectangle(0,0,400,250)\nFrame3D(1,1,399,249,0x000014,0x000010,1)"},
    };
    for (const Row& row : rows) {
        TTestPanel panel;
        auto canvas = std::make_unique<TRecordingCanvas>();
        TRecordingCanvas* recorder = canvas.get();
        panel.SetInternalCanvas(std::move(canvas));
        recorder->SetCanvas(recorder->Surface()->Canvas());
        panel.Border()->SetVisible(true);
        panel.Border()->SetWidth(row.PenWidth);
        panel.Border()->SetSmallDots(row.SmallDots);
        panel.SetBorderRound(row.Round);
        recorder->Clear();
        panel.DrawPanelBevels(TRect(0, 0, 400, 250));
        EXPECT_EQ(recorder->Text(), row.Log) << row.What;
    }
}

TEST_F(PanelTest, NoColourAndNoGradientLeaveTheBackgroundAlone) {
    Panel->SetColor(clNone);
    Panel->FillChart = false;
    auto b = Panel->TeeCreateBitmap(clLime, Panel->GetRectangle());
    EXPECT_EQ(b->Canvas()->Pixels(200, 100), clLime);
    Panel->Gradient()->SetVisible(true);
    Panel->Gradient()->SetStartColor(clBlue);
    Panel->Gradient()->SetEndColor(clBlue);
    b = Panel->TeeCreateBitmap(clLime, Panel->GetRectangle());
    EXPECT_EQ(b->Canvas()->Pixels(200, 100), clBlue);
}

TEST_F(PanelTest, CenteredPictureShowsItsMiddleInsideTheClip) {
    TBitmap picture(600, 400);
    picture.Canvas()->Brush()->SetColor(clBlue);
    picture.Canvas()->FillRect(TRect(0, 0, 600, 400));
    picture.Canvas()->Brush()->SetColor(clYellow);
    picture.Canvas()->FillRect(TRect(290, 190, 310, 210)); // the middle
    Panel->BackImage()->SetGraphic(&picture);
    Panel->SetBackImageMode(pbmCenter);
    Panel->FillChart = false;
    auto b = Panel->TeeCreateBitmap(clWhite, Panel->GetRectangle());
    TCanvas* c = b->Canvas();
    // Offsets (600 - 400) / 2 and (400 - 250) / 2: the middle lands at (190..210, 115..135).
    EXPECT_EQ(c->Pixels(190, 115), clYellow);
    EXPECT_EQ(c->Pixels(209, 134), clYellow);
    EXPECT_EQ(c->Pixels(189, 115), clBlue);
    EXPECT_EQ(c->Pixels(0, 0), clBlue);
    EXPECT_EQ(c->Pixels(399, 249), clBlue);
    EXPECT_EQ(Panel->Canvas()->ClipDepth(), 0);
}

TEST_F(PanelTest, ZoomRectangleDrawnTwiceErasesItself) {
    Panel->SetColor(clGray); // a white pen shows on the panel's colour
    Panel->Draw();
    TCanvas* c = Panel->ControlCanvas();
    const TColor before = c->Pixels(50, 50);
    Panel->Zoom()->X0 = 50;
    Panel->Zoom()->Y0 = 50;
    Panel->Zoom()->X1 = 150;
    Panel->Zoom()->Y1 = 120;
    Panel->DrawZoomRectangle();
    EXPECT_NE(c->Pixels(50, 50), before);
    EXPECT_EQ(c->Pixels(100, 80), clRed); // the clear brush leaves the inside
    Panel->DrawZoomRectangle();
    EXPECT_EQ(c->Pixels(50, 50), before);
    EXPECT_EQ(c->Pixels(149, 119), clRed);
}

TEST_F(PanelTest, FlagsComeBackWhenDrawingFails) {
    Panel->Fail = true;
    EXPECT_THROW(Panel->TeeCreateBitmap(clWhite, Panel->GetRectangle()), Exception);
    EXPECT_TRUE(Panel->BufferedDisplay());
    EXPECT_TRUE(Panel->Canvas()->GetUseBuffer());
    TBitmap target(400, 250);
    EXPECT_THROW(Panel->DrawToMetaCanvas(target.Canvas(), TRect(0, 0, 400, 250)), Exception);
    EXPECT_FALSE(Panel->Canvas()->Metafiling());
    EXPECT_THROW(Panel->PrintPartialCanvas(target.Canvas(), TRect(0, 0, 400, 250)), Exception);
    EXPECT_FALSE(Panel->Printing());
    EXPECT_EQ(target.Canvas()->GetMapMode(), MM_TEXT);
    const double zoom = Panel->Canvas()->FontZoom();
    EXPECT_THROW(TeeAntiAlias(Panel.get()), Exception);
    EXPECT_TRUE(Panel->AutoRepaint());
    EXPECT_TRUE(Panel->BufferedDisplay());
    EXPECT_EQ(Panel->Canvas()->FontZoom(), zoom);
}

TEST_F(PanelTest, AntiAliasAveragesEachTwoByTwoBlock) {
    Panel->SetBounds(0, 0, 8, 6);
    Panel->FillChart = false;
    TRect laidOut;
    Panel->OnDraw = [this, &laidOut](const TRect& R) {
        laidOut = R;
        // A pixel is one device pixel at twice the scale: one black pixel in
        // every 2 x 2 block of the large drawing.
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                Panel->Canvas()->SetPixel(x, y, clBlack);
    };
    auto small = TeeAntiAlias(Panel.get());
    ASSERT_EQ(small->Width(), 8);
    ASSERT_EQ(small->Height(), 6);
    // Laid out as the window is, not as a window twice its size.
    EXPECT_EQ(laidOut, TRect(0, 0, 8, 6));
    EXPECT_EQ(small->Canvas()->Pixels(3, 3), TColor(0xBFBFBF)); // 3 * 255 / 4
    EXPECT_EQ(Panel->Draws, 1);
}

TEST_F(PanelTest, BitmapFileIsReplacedOnlyByACompleteOne) {
    const std::string path = TempPath("chart.bmp");
    {
        std::ofstream out(path, std::ios::binary);
        out << "old content";
    }
    Panel->Fail = true;
    EXPECT_THROW(Panel->SaveToBitmapFile(path.c_str()), Exception);
    EXPECT_EQ(ReadFile(path), "old content");
    Panel->Fail = false;
    Panel->SaveToBitmapFile(path.c_str());
    TBitmap b;
    b.LoadFromFile(path.c_str());
    EXPECT_EQ(b.Width(), 400);
    EXPECT_EQ(b.Canvas()->Pixels(200, 100), clRed);
    std::remove(path.c_str());
}

TEST_F(PanelTest, EnhancedMetafileIsReadByAnIndependentReader) {
    QM_REQUIRE_TOOL("emf2svg-conv");
    const std::string emf = TempPath("chart.emf"), svg = TempPath("chart.svg");
    Panel->SaveToMetafileEnh(emf.c_str());
    ASSERT_EQ(std::system(("emf2svg-conv -i " + emf + " -o " + svg + " >/dev/null 2>&1").c_str()),
              0);
    std::string out = ReadFile(svg);
    for (char& ch : out)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_NE(out.find("#ff0000"), std::string::npos) << out.substr(0, 600);
    std::remove(emf.c_str());
    std::remove(svg.c_str());

    auto m = Panel->TeeCreateMetafile(false, TRect(0, 0, 0, 0));
    EXPECT_EQ(m->Width(), 1);
    EXPECT_FALSE(m->Enhanced());
}

TEST_F(PanelTest, CopiesToTheClipboard) {
    Panel->CopyToClipboardBitmap();
    TBitmap b;
    b.Assign(Clipboard());
    EXPECT_EQ(b.Width(), 400);
    EXPECT_EQ(b.Canvas()->Pixels(200, 100), clRed);
    Panel->CopyToClipboardMetafile(true);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_ENHMETAFILE));
}

TEST_F(PanelTest, AssignToBitmapAndPicture) {
    TBitmap b;
    b.Assign(Panel.get());
    EXPECT_EQ(b.Width(), 400);
    EXPECT_EQ(b.Canvas()->Pixels(200, 100), clRed);
    TPicture p;
    p.Assign(Panel.get());
    ASSERT_NE(p.Graphic(), nullptr);
    EXPECT_EQ(p.Width(), 400);
}

// ---------------------------------------------------------------------------
// Printing.

class PanelPrintTest : public PanelTest {
protected:
    PanelPrintTest() { Printer.Install(); }
    TRecordingPrinter Printer;
};

TEST_F(PanelPrintTest, LandscapePanelOnPortraitPageGetsProportionalMargins) {
    const TRect stored = Panel->PrintMargins();
    const TRect r = Panel->ChartPrintRect();
    // Printing takes them without storing them in the chart.
    EXPECT_EQ(Panel->PrintMargins(), stored);
    const TRect m = Panel->ProportionalMargins();
    EXPECT_EQ(m.Left, 15);
    EXPECT_EQ(m.Right, 15);
    EXPECT_EQ(m.Top, m.Bottom);
    // The 70 % of the page the side margins leave, in the chart's proportions:
    // round(50 * (3508 - 0.7 * 2480 * 250 / 400) / 3508), 34.5 exactly.
    EXPECT_EQ(m.Top, 35);
    EXPECT_EQ(r, TRect(372, 1228, 2108, 2280));
    Panel->SetPrintProportional(false);
    Panel->SetPrintMargins(TRect(10, 10, 10, 10));
    EXPECT_EQ(Panel->ChartPrintRect(), TRect(248, 351, 2232, 3157));
}

TEST_F(PanelTest, PrinterWithoutAPageTakesTheScreensProportions) {
    TRecordingPrinter printer(TSize(0, 0));
    printer.Install();
    TScreenSizeScope screen(1000, 800);
    Panel->CalcProportionalMargins();
    // round(50 * (800 - 0.7 * 1000 * 250 / 400) / 800), from 22.66
    EXPECT_EQ(Panel->PrintMargins(), TRect(15, 23, 15, 23));
}

TEST_F(PanelPrintTest, StoredMarginsBeyondReasonSaturate) {
    Panel->SetPrintProportional(false);
    Panel->SetPrintMargins(TRect(2000000000, 0, 0, 2000000000));
    const TRect r = Panel->ChartPrintRect();
    EXPECT_EQ(r.Left, PixelLimit);
    EXPECT_EQ(r.Bottom, -PixelLimit);
    EXPECT_EQ(r.Right, 2480);
}

TEST_F(PanelPrintTest, PrintsOnePageScaledIntoThePrintRectangle) {
    Panel->SetName("Chart1");
    Panel->Print();
    EXPECT_EQ(Printer.Log, (std::vector<std::string>{"BeginDoc Chart1", "EndDoc"}));
    ASSERT_EQ(Printer.PageCount(), 1);
    EXPECT_FALSE(Panel->Printing());
    TBitmap page;
    Printer.RenderPage(0, page, 4);
    // The chart rectangle (12..388 of 400) maps onto 372..2108 of the page.
    const double sx = (2108 - 372) / 400.0;
    const int left = static_cast<int>((372 + 12 * sx) / 4),
              right = static_cast<int>((372 + 388 * sx) / 4);
    EXPECT_EQ(page.Canvas()->Pixels(left + 2, 1754 / 4), clRed);
    EXPECT_EQ(page.Canvas()->Pixels(right - 2, 1754 / 4), clRed);
    EXPECT_NE(page.Canvas()->Pixels(left - 3, 1754 / 4), clRed);
    EXPECT_NE(page.Canvas()->Pixels(right + 3, 1754 / 4), clRed);
}

TEST_F(PanelPrintTest, FailedPrintAbortsAndRestoresState) {
    Panel->Fail = true;
    EXPECT_THROW(Panel->PrintLandscape(), Exception);
    EXPECT_EQ(Printer.Log.back(), "Abort");
    EXPECT_FALSE(Printer.Printing());
    EXPECT_FALSE(Panel->Printing());
    EXPECT_EQ(Printer.Orientation(), poPortrait);
    Panel->Fail = false;
    Panel->PrintLandscape();
    EXPECT_EQ(Printer.Orientation(), poPortrait);
    EXPECT_EQ(Printer.Log.back(), "EndDoc");
}

TEST_F(PanelTest, FailedDrawingLeavesTheCanvasOnTheControlUnclipped) {
    Panel->FillChart = false;
    Panel->OnDraw = [this](const TRect& R) {
        Panel->Canvas()->ClipRectangle(R);
        throw Exception("drawing failed");
    };
    {
        TBitmap target(400, 250);
        EXPECT_THROW(Panel->NonBufferDraw(target.Canvas(), TRect(0, 0, 400, 250)), Exception);
    }
    // The bitmap is gone: overlays drawn now must reach the control.
    EXPECT_EQ(Panel->Canvas()->PlatformCanvas(), Panel->ControlCanvas());
    EXPECT_EQ(Panel->Canvas()->ClipDepth(), 0);
    Panel->OnDraw = nullptr;
    Panel->FillChart = true;
    Panel->Draw();
    EXPECT_EQ(Panel->ControlCanvas()->Pixels(200, 100), clRed);
}

TEST_F(PanelTest, AFailedFrameLeavesAWholeBitmapWithPixels) {
    TBitmap target(400, 250);
    Panel->Draw(target.Canvas(), TRect(0, 0, 400, 250));
    Panel->OnDraw = [](const TRect&) { throw Exception("drawing failed"); };
    EXPECT_THROW(Panel->Draw(target.Canvas(), TRect(0, 0, 400, 250)), Exception);
    ASSERT_EQ(target.Width(), 400);
    EXPECT_EQ(target.Canvas()->Pixels(200, 100), clRed);
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), clWhite);
}

TEST_F(PanelTest, TheHandCursorIsRegisteredOnceAChartPanelExists) {
    ASSERT_NE(Screen->Cursors(crTeeHand), nullptr);
    const HCURSOR first = Screen->Cursors(crTeeHand);
    TeeInstallHandCursor();
    EXPECT_EQ(Screen->Cursors(crTeeHand), first);
}
