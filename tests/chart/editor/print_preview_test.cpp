// The print preview: the sheet in the printer's proportions, margins dragged
// with the mouse, margin fields, and the printed page at the previewed place
// (recording printer, and a real PDF read back by pdftotext).
#include "chart/control/teecommander.h"
#include "platform/forms/buttons.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeexport.h"
#include "chart/editor/teenavigator.h"
#include "chart/editor/teeprevi.h"
#include "chart/editor/teepreviewpanel.h"
#include "dialogs_fixture.h"
#include "platform/classes/filer.h"
#include "platform/classes/objtext.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/graphics/printers.h"
#include "support/external_tool.h"
#include "support/recording_printer.h"
#include "platform/graphics/jpeg.h"
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

// QM_SHOTS=<folder> saves the window as a picture to look at.
void Shot(TControl* C, const char* Name) {
    const char* dir = std::getenv("QM_SHOTS");
    if (!dir) return;
    TPngImage png;
    GrabControl(C, png.Bitmap());
    png.SaveToFile(AnsiString(dir) + "/" + Name + ".png");
}

class PrintPreviewTest : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        TeeRegisterPrintAndExport();
        Chart->Title()->Text()->SetText("Field strength run");
        Chart->SetPrintProportional(false);
        Chart->SetPrintMargins(TRect(15, 15, 15, 15));
        Printer.Install(); // A4 portrait, 2480 x 3508
    }
    // A 432 x 312 preview of the chart on a shown form.
    TTeePreviewPanel* Preview() {
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 500, 400);
        auto* p = new TTeePreviewPanel(Host.get());
        p->SetParent(Host.get());
        p->SetBevelOuter(bvNone);
        p->SetBounds(0, 0, 432, 312);
        p->SetPanel(Chart.get());
        Host->Show();
        p->Draw();
        return p;
    }
    TRecordingPrinter Printer;
    std::unique_ptr<TForm> Host;
};

struct Drag {
    const char* Name;
    TPoint From, To;
    int Part;
    TRect Image;   // the rectangle on the sheet afterwards
    TRect Margins; // the chart's print margins afterwards, in percent
};

// Sheet (127, 31, 304, 281): the control is wider than the page, so the
// height decides; 15 % margins put the image at (154, 69, 277, 243).
const Drag Drags[] = {
    {"left edge", {154, 150}, {180, 150}, 1, {180, 69, 277, 243}, {30, 15, 15, 15}},
    {"top edge", {200, 70}, {200, 31}, 2, {154, 31, 277, 243}, {15, 0, 15, 15}},
    {"left edge not past the right",
     {154, 150},
     {290, 150},
     1,
     {154, 69, 277, 243},
     {15, 15, 15, 15}},
    {"bottom-right corner", {276, 242}, {250, 200}, 9, {154, 69, 250, 200}, {15, 15, 31, 32}},
    {"corner needs both edges", {156, 71}, {300, 100}, 6, {154, 69, 277, 243}, {15, 15, 15, 15}},
    {"move shrinks at the paper edge",
     {200, 150},
     {240, 150},
     5,
     {194, 69, 304, 243},
     {38, 15, 0, 15}},
};

TEST_F(PrintPreviewTest, DraggedMarginsMoveTheImageAndSetWholePercentMargins) {
    for (const Drag& d : Drags) {
        SCOPED_TRACE(d.Name);
        Chart->SetPrintMargins(TRect(15, 15, 15, 15));
        TTeePreviewPanel* p = Preview();
        ASSERT_EQ(p->PaperRect(), TRect(127, 31, 304, 281));
        ASSERT_EQ(p->ImageRect(), TRect(154, 69, 277, 243));
        int events = 0;
        p->OnChangeMargins = [&](TObject*, bool Disable, const TRect& M) {
            ++events;
            EXPECT_TRUE(Disable);
            EXPECT_EQ(M, Chart->PrintMargins());
        };
        EXPECT_EQ(p->WhereIsCursor(d.From.x, d.From.y), d.Part);
        SimulateMouse(p, TMouseAction::Down, mbLeft, d.From.x, d.From.y);
        SimulateMouse(p, TMouseAction::Move, mbLeft, d.To.x, d.To.y, TShiftState{ssLeft});
        EXPECT_EQ(p->ImageRect(), d.Image);
        SimulateMouse(p, TMouseAction::Up, mbLeft, d.To.x, d.To.y);
        EXPECT_EQ(Chart->PrintMargins(), d.Margins);
        // The printed rectangle follows on the A4 page (nearest pixel).
        const TRect m = d.Margins;
        auto part = [](int Size, int Percent) { return (Size * Percent + 50) / 100; };
        EXPECT_EQ(Chart->ChartPrintRect(),
                  TRect(part(2480, m.Left), part(3508, m.Top), 2480 - part(2480, m.Right),
                        3508 - part(3508, m.Bottom)));
        EXPECT_EQ(events, 1);
        // The next paint puts the image where the whole-percent margins say.
        p->Draw();
        const TRect again = p->ImageRect();
        EXPECT_NEAR(again.Left, d.Image.Left, 2);
        EXPECT_NEAR(again.Top, d.Image.Top, 2);
        EXPECT_NEAR(again.Right, d.Image.Right, 2);
        EXPECT_NEAR(again.Bottom, d.Image.Bottom, 2);
    }
}

TEST_F(PrintPreviewTest, HitTestFollowsAllowResizeAndAllowMove) {
    TTeePreviewPanel* p = Preview();
    const struct {
        int X, Y;
        int Both, NoResize, NoMove;
    } cases[] = {
        {157, 72, 6, 0, 6},  {157, 240, 8, 0, 8}, {274, 72, 7, 0, 7}, {274, 240, 9, 0, 9},
        {150, 150, 1, 0, 1}, {280, 150, 3, 0, 3}, {200, 66, 2, 0, 2}, {200, 246, 4, 0, 4},
        {200, 150, 5, 5, 0}, {140, 150, 0, 0, 0}, {200, 20, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.X << "," << c.Y);
        p->AllowResize = p->AllowMove = true;
        EXPECT_EQ(p->WhereIsCursor(c.X, c.Y), c.Both);
        p->AllowResize = false;
        EXPECT_EQ(p->WhereIsCursor(c.X, c.Y), c.NoResize);
        p->AllowResize = true;
        p->AllowMove = false;
        EXPECT_EQ(p->WhereIsCursor(c.X, c.Y), c.NoMove);
    }
}

// The panel's own look, read from its stored form, is drawn around the sheet.
TEST_F(PrintPreviewTest, StoredGradientAndBevelAreDrawnAroundTheSheet) {
    TTeePreviewPanel* p = Preview();
    TStringStream text("object Preview: TTeePreviewPanel\r\n"
                       "  BevelOuter = bvLowered\r\n"
                       "  BevelWidth = 3\r\n"
                       "  Gradient.EndColor = clBlue\r\n"
                       "  Gradient.StartColor = clRed\r\n"
                       "  Gradient.Visible = True\r\n"
                       "end\r\n");
    TMemoryStream binary;
    ObjectTextToBinary(&text, &binary);
    binary.SetPosition(0);
    ReadComponentFromStream(&binary, p);
    p->Draw();
    TCanvas* c = p->ControlCanvas();
    const TColor shadow = ColorToRGB(clBtnShadow), light = ColorToRGB(clBtnHighlight);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ColorToRGB(c->Pixels(i, 150)), shadow) << i;
        EXPECT_EQ(ColorToRGB(c->Pixels(200, i)), shadow) << i;
        EXPECT_EQ(ColorToRGB(c->Pixels(431 - i, 150)), light) << i;
        EXPECT_EQ(ColorToRGB(c->Pixels(200, 311 - i)), light) << i;
    }
    // Left of the sheet: the start colour at the bottom, the end colour at the top.
    const TColor top = ColorToRGB(c->Pixels(60, 4)), bottom = ColorToRGB(c->Pixels(60, 307));
    EXPECT_GT(GetBValue(top), 230);
    EXPECT_LT(GetRValue(top), 25);
    EXPECT_GT(GetRValue(bottom), 230);
    EXPECT_LT(GetBValue(bottom), 25);
    EXPECT_EQ(ColorToRGB(c->Pixels(200, 50)), ColorToRGB(clWhite)) << "the sheet";
}

// Ink of a recorded page, in page pixels (rendered at a quarter size).
TRect PageInk(TRecordingPrinter& P) {
    TBitmap b;
    P.RenderPage(0, b, 4);
    TRect r(b.Width(), b.Height(), -1, -1);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Canvas()->Pixels(x, y) != clWhite) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return TRect(r.Left * 4, r.Top * 4, r.Right * 4, r.Bottom * 4);
}

TEST_F(PrintPreviewTest, PrintedPageHoldsTheChartWhereThePreviewShowedIt) {
    Chart->SetColor(clYellow);
    PrintTeePanel = true;
    TTeePreviewPanel* p = Preview();
    SimulateMouse(p, TMouseAction::Down, mbLeft, 276, 242);
    SimulateMouse(p, TMouseAction::Move, mbLeft, 250, 200, TShiftState{ssLeft});
    SimulateMouse(p, TMouseAction::Up, mbLeft, 250, 200);
    SimulateMouse(p, TMouseAction::Down, mbLeft, 200, 150);
    SimulateMouse(p, TMouseAction::Move, mbLeft, 180, 130, TShiftState{ssLeft});
    SimulateMouse(p, TMouseAction::Up, mbLeft, 180, 130);
    const TRect image = p->ImageRect(); // (134, 49, 230, 180) on the sheet
    const TRect paper = p->PaperRect();
    p->Title = "Preview job";
    p->Print();
    PrintTeePanel = false;
    ASSERT_EQ(Printer.PageCount(), 1);
    EXPECT_EQ(Printer.Log.front(), "BeginDoc Preview job");
    // The sheet scaled to the page: the printed chart fills the same place
    // within the whole-percent rounding of the margins and the quarter-size render.
    const double sx = 2480.0 / paper.Width(), sy = 3508.0 / paper.Height();
    const TRect ink = PageInk(Printer);
    const double tolX = 2480 * 0.01 + 8, tolY = 3508 * 0.01 + 8;
    EXPECT_NEAR(ink.Left, (image.Left - paper.Left) * sx, tolX);
    EXPECT_NEAR(ink.Right, (image.Right - paper.Left) * sx, tolX);
    EXPECT_NEAR(ink.Top, (image.Top - paper.Top) * sy, tolY);
    EXPECT_NEAR(ink.Bottom, (image.Bottom - paper.Top) * sy, tolY);
    EXPECT_NE(Printer.AllText().find("Field strength run"), std::string::npos);
}

// Drawn through a bitmap, the previewed chart shows the lines the metafile
// path shows: shrinking a picture of the chart's own size would drop whole
// rows and columns of it, grid lines and the series' line among them.
TEST_F(PrintPreviewTest, AsBitmapShowsEveryLineTheMetafileShows) {
    constexpr TColor GridColor = 0x00008CFF, LineColor = 0x00A00000;
    for (TChartAxis* a : {Chart->LeftAxis(), Chart->BottomAxis()}) {
        a->Grid()->SetStyle(psSolid);
        a->Grid()->SetColor(GridColor);
    }
    Line->SetSeriesColor(LineColor);
    // In its own proportions the chart has one layout on either path.
    Chart->SetPrintProportional(true);
    TTeePreviewPanel* p = Preview();
    auto count = [p](TColor C) {
        const TRect r = p->ImageRect();
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += TColor(ColorToRGB(p->ControlCanvas()->Pixels(x, y)) & 0xFFFFFF) == C;
        return n;
    };
    ASSERT_FALSE(p->AsBitmap());
    const int grid = count(GridColor), line = count(LineColor);
    ASSERT_GT(grid, 100);
    ASSERT_GT(line, 100);
    Shot(p, "preview metafile");
    p->SetAsBitmap(true);
    p->Draw();
    Shot(p, "preview bitmap");
    EXPECT_GE(count(GridColor), grid * 9 / 10) << "the metafile's " << grid;
    EXPECT_GE(count(LineColor), line * 9 / 10) << "the metafile's " << line;
}

TEST_F(PrintPreviewTest, FreedPanelLeavesTheSheetAndAnEmptySheetPrintsNothing) {
    TTeePreviewPanel* p = Preview();
    auto second = std::make_unique<TChart>();
    p->SetPanel(second.get());
    ASSERT_EQ(p->Panels().size(), 2u);
    second.reset(); // the second of the list, not the first, goes
    ASSERT_EQ(p->Panels().size(), 1u);
    EXPECT_EQ(p->Panel(), Chart.get());
    p->Draw();
    p->SetPanel(nullptr);
    EXPECT_TRUE(p->Panels().empty());
    p->Print();
    EXPECT_TRUE(Printer.Log.empty());
    Chart->SetPrintMargins(TRect(5, 5, 5, 5));
    p->Draw();
    EXPECT_EQ(p->ImageRect(), TRect(154, 69, 277, 243)); // 15 % without a panel
}

// A panel put straight into the list (the sheet does not hear of its end)
// and freed is neither drawn nor printed, wherever it stands in the list.
TEST_F(PrintPreviewTest, APanelAddedToTheListAndFreedIsNeitherDrawnNorPrinted) {
    TTeePreviewPanel* p = Preview();
    for (bool first : {false, true}) {
        SCOPED_TRACE(first ? "first of the list" : "second of the list");
        auto added = std::make_unique<TChart>();
        auto& list = p->Panels();
        list.insert(first ? list.begin() : list.end(), added.get());
        p->Draw();
        added.reset();
        EXPECT_EQ(p->Panel(), Chart.get());
        p->Draw();
        EXPECT_EQ(p->Panels().size(), 1u);
        Printer.Log.clear();
        p->Print();
        EXPECT_FALSE(Printer.Log.empty());
    }
}

TEST_F(PrintPreviewTest, WindowRefusesAMarginPairReachingAHundredAndResetsMargins) {
    TChartPreview form(nullptr);
    form.SetSubject(Chart.get());
    Chart->SetPrintMargins(TRect(10, 20, 10, 40));
    form.Show();
    Shot(&form, "preview");
    EXPECT_EQ(form.PreviewPanel()->Panel(), Chart.get());
    EXPECT_EQ(form.SETopMa->Text(), "20");
    EXPECT_EQ(form.SEBotMa->Text(), "40");
    EXPECT_FALSE(form.CBProp->Checked());
    form.SETopMa->SetText("60");
    EXPECT_EQ(form.SETopMa->Text(), "20");
    EXPECT_EQ(Chart->PrintMargins().Top, 20);
    EXPECT_FALSE(form.BReset->Enabled());
    form.SETopMa->SetText("30");
    EXPECT_EQ(Chart->PrintMargins().Top, 30);
    EXPECT_TRUE(form.BReset->Enabled());
    SimulateClick(form.BReset);
    EXPECT_EQ(Chart->PrintMargins(), TRect(10, 20, 10, 40));
    EXPECT_EQ(form.SETopMa->Text(), "20");
    // Dragging unchecks the proportional box without its click reaction.
    form.CBProp->SetChecked(true);
    EXPECT_TRUE(Chart->PrintProportional());
    TTeePreviewPanel* p = form.PreviewPanel();
    p->Draw();
    const TRect r = p->ImageRect();
    SimulateMouse(p, TMouseAction::Down, mbLeft, r.Left, (r.Top + r.Bottom) / 2);
    SimulateMouse(p, TMouseAction::Move, mbLeft, r.Left + 10, (r.Top + r.Bottom) / 2,
                  TShiftState{ssLeft});
    SimulateMouse(p, TMouseAction::Up, mbLeft, r.Left + 10, (r.Top + r.Bottom) / 2);
    EXPECT_FALSE(form.CBProp->Checked());
    EXPECT_FALSE(Chart->PrintProportional());
    EXPECT_EQ(form.SELeftMa->Text(), IntToStr(Chart->PrintMargins().Left));
}

// Opened from the commander's print button, as the user does: looking stores
// nothing, even proportional margins or a detail the slider cannot show; a
// margin the user types is stored with the other sides as they were shown.
TEST_F(PrintPreviewTest, OpeningStoresNothingAndATypedMarginStoresWhatWasShown) {
    TeeEditorStartup();
    auto file = [&] {
        TMemoryStream m;
        SaveChartToStream(Chart.get(), &m);
        return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
    };
    Chart->SetPrintProportional(true);
    Chart->SetPrintMargins(TRect(15, 15, 15, 15));
    Chart->SetPrintResolution(20);
    TTeeCommander commander(nullptr);
    commander.SetPanel(Chart.get());
    struct Step {
        const char* Name;
        std::function<void(TChartPreview*)> Act;
    };
    TRect shown;
    const Step steps[] = {
        {"open and close", [](TChartPreview*) {}},
        {"reset by the proportional box",
         [](TChartPreview* f) {
             f->CBProp->SetChecked(false);
             f->CBProp->SetChecked(true);
         }},
        {"reset by the orientation", [](TChartPreview* f) { f->Orientation->SetItemIndex(0); }},
    };
    for (const Step& s : steps) {
        const std::string before = file();
        TPumpScript script;
        OnModal<TChartPreview>(script, [&](TChartPreview* f) {
            s.Act(f);
            shown = TRect(f->UDLeftMa->Position(), f->UDTopMa->Position(),
                          f->UDRightMa->Position(), f->UDBotMa->Position());
            SimulateClick(f->BClose);
        });
        SimulateClick(commander.ButtonPrint());
        ASSERT_TRUE(script.Done()) << s.Name;
        EXPECT_EQ(file(), before) << s.Name;
        EXPECT_NE(shown, TRect(15, 15, 15, 15)) << s.Name << ": proportional margins shown";
        Chart->SetPrintProportional(true); // the box was the user's to change
    }
    TPumpScript script;
    OnModal<TChartPreview>(script, [&](TChartPreview* f) {
        shown = TRect(f->UDLeftMa->Position(), f->UDTopMa->Position(), f->UDRightMa->Position(),
                      f->UDBotMa->Position());
        f->SETopMa->SetText(IntToStr(shown.Top + 3));
        SimulateClick(f->BClose);
    });
    SimulateClick(commander.ButtonPrint());
    ASSERT_TRUE(script.Done());
    const std::unique_ptr<TChart> back = RoundTrip();
    EXPECT_FALSE(back->PrintProportional());
    EXPECT_EQ(back->PrintMargins(),
              TRect(shown.Left, shown.Top + 3, shown.Right, shown.Bottom));
}

TEST_F(PrintPreviewTest, CommanderAndEditorPagesOpenThePreviewAndTheExportDialog) {
    TeeEditorStartup();
    TTeeCommander commander(nullptr);
    commander.SetPanel(Chart.get());
    TPumpScript script;
    OnModal<TChartPreview>(script, [&](TChartPreview* f) {
        EXPECT_EQ(f->PreviewPanel()->Panel(), Chart.get());
        // A chart's preview moves through its pages.
        ASSERT_NE(f->PageNavigator(), nullptr);
        EXPECT_EQ(f->PageNavigator()->Panel(), Chart.get());
        SimulateClick(f->BClose);
    });
    SimulateClick(commander.ButtonPrint());
    EXPECT_TRUE(script.Done());

    TPumpScript editor;
    OnModal<TChartEditForm>(editor, [&](TChartEditForm* f) {
        f->MainPage->SelectPageByUser(f->TabPrint);
        Shot(f, "editor_print");
        auto* preview = dynamic_cast<TChartPreview*>(f->PreviewForm);
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(preview->PreviewPanel()->Panel(), Chart.get());
        ASSERT_NE(preview->PageNavigator(), nullptr);
        EXPECT_EQ(preview->PageNavigator()->Panel(), Chart.get());
        f->MainPage->SelectPageByUser(f->TabExport);
        Shot(f, "editor_export");
        auto* exporter = dynamic_cast<TTeeExportForm*>(f->PageForm(f->TabExport));
        ASSERT_NE(exporter, nullptr);
        EXPECT_EQ(exporter->ExportPanel, Chart.get());
        EXPECT_EQ(exporter->LBFormat->Items()->Count(), 2);
        // The size asked for once is not shown stale when the page comes back.
        SimulateClick(exporter->CBFileSize, 6, 8);
        ASSERT_TRUE(exporter->CBFileSize->Checked());
        f->MainPage->SelectPageByUser(f->TabPrint);
        f->MainPage->SelectPageByUser(f->TabExport);
        EXPECT_FALSE(exporter->CBFileSize->Checked());
        EXPECT_EQ(exporter->LabelSize->Caption(), "?");
        SimulateClick(f->BClose);
    });
    TeeRunChartEditor(Chart.get(), nullptr);
    EXPECT_TRUE(editor.Done());
}

TEST(PrintPreviewPdf, PrintedPdfHoldsTheChartTitle) {
    QM_REQUIRE_TOOL("pdftotext");
    TeeRegisterPrintAndExport();
    TPrinter printer;
    if (printer.Printers()->Count() != 1 || printer.Printers()->Strings(0) != "PDF file")
        GTEST_SKIP() << "a real printer is installed";
    TPrinter* old = SetPrinter(&printer);
    const std::string pdf =
        (std::filesystem::temp_directory_path() / "qm_preview_print.pdf").string();
    const std::string txt = pdf + ".txt";
    printer.SetPdfOutputPath(pdf.c_str());
    {
        TChart chart;
        chart.SetBounds(0, 0, 300, 200);
        chart.Title()->Text()->SetText("Decay of plate 7");
        auto* line = new TLineSeries(&chart);
        line->SetParentChart(&chart);
        line->AddXY(0, 1);
        line->AddXY(1, 3);
        TChartPreview form(nullptr);
        form.SetSubject(&chart);
        form.Show();
        ASSERT_TRUE(form.BPrint->Enabled());
        SimulateClick(form.BPrint);
    }
    SetPrinter(old);
    ASSERT_EQ(std::system(("pdftotext " + pdf + " " + txt).c_str()), 0);
    std::ifstream f(txt);
    std::stringstream s;
    s << f.rdbuf();
    EXPECT_NE(s.str().find("Decay of plate 7"), std::string::npos);
    std::filesystem::remove(pdf);
    std::filesystem::remove(txt);
}

// The paper chosen in the preview's Setup is the paper the chart prints on.
TEST(PrintPreviewPdf, SetupsPaperIsThePrintedPage) {
    QM_REQUIRE_TOOL("pdfinfo");
    TeeRegisterPrintAndExport();
    TPrinter printer;
    if (printer.Printers()->Count() != 1 || printer.Printers()->Strings(0) != "PDF file")
        GTEST_SKIP() << "a real printer is installed";
    TPrinter* old = SetPrinter(&printer);
    const std::string pdf = (std::filesystem::temp_directory_path() / "qm_preview_a5.pdf").string();
    std::filesystem::remove(pdf);
    printer.SetPdfOutputPath(pdf.c_str());
    {
        TDialogResponder responder;
        TChart chart;
        chart.SetBounds(0, 0, 300, 200);
        TChartPreview form(nullptr);
        form.SetSubject(&chart);
        form.Show();
        responder.ExpectPaper(TDialogKind::PrinterSetupDialog, {1480, 2100}, poPortrait)
            .ExpectMessage("saved as", IDOK);
        SimulateClick(form.BSetupPrinter);
        SimulateClick(form.BPrint);
        EXPECT_TRUE(responder.Done());
    }
    SetPrinter(old);
    FILE* info = ::popen(("pdfinfo '" + pdf + "'").c_str(), "r");
    std::string out;
    char buf[256];
    while (info && std::fgets(buf, sizeof buf, info))
        out += buf;
    if (info) ::pclose(info);
    EXPECT_NE(out.find("Page size:       420 x 595 pts (A5)"), std::string::npos) << out;
    std::filesystem::remove(pdf);
}

} // namespace
