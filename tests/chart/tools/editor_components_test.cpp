// The editor and previewer components around the editor's forms, the save
// dialog's picture formats, the chart picture and the Draw3D panel.
#include "chart/control/series.h"
#include "chart/control/teedraw3d.h"
#include "chart/control/teeedit.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teestore.h"
#include "platform/classes/objtext.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/extctrls.h"
#include "platform/win32/kernel.h"
#include "support/forms_testing.h"
#include <cstdio>
#include <gtest/gtest.h>

namespace {

class EditorComponentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Chart = std::make_unique<TChart>();
        Chart->SetBounds(0, 0, 300, 200);
        Chart->SetAutoRepaint(true);
        Series = new TLineSeries(Chart.get());
        Series->SetParentChart(Chart.get());
        Series->AddXY(1, 2);
    }
    void TearDown() override { TeeEditorHooks() = TTeeEditorHooks(); }
    // A form the script closes once it is shown, running Check while it is open.
    std::unique_ptr<TCustomForm> ModalForm(TPumpScript& Script, std::function<void()> Check) {
        auto form = std::make_unique<TForm>(nullptr);
        TForm* f = form.get();
        Script.When([f] { return f->Visible(); }).Do([f, Check] {
            Check();
            f->SetModalResult(mrOk);
        });
        return form;
    }
    std::unique_ptr<TChart> Chart;
    TLineSeries* Series = nullptr;
};

TEST_F(EditorComponentsTest, EditorHandsItsSettingsAndHoldsRepaintsWhileOpen) {
    TChartEditor editor(nullptr);
    editor.Execute(); // no chart: nothing
    editor.SetChart(Chart.get());
    editor.Execute(); // no editor yet: nothing shows
    EXPECT_TRUE(Chart->CancelMouse());

    TPumpScript script;
    TChartEditorSettings got;
    bool repaintWhileOpen = true;
    TeeEditorHooks().CreateEditForm = [&](const TChartEditorSettings& S) {
        got = S;
        return ModalForm(script, [&] { repaintWhileOpen = Chart->AutoRepaint(); });
    };
    std::vector<std::string> events;
    editor.OnShow = [&](TObject* S) { events.push_back(S ? "show" : "show without form"); };
    editor.OnClose = [&](TObject* S) { events.push_back(S ? "close" : "close without form"); };
    int swaps = 0;
    editor.OnChangeSeriesOrder = [&](TObject*, TChartSeries* A, TChartSeries*) {
        swaps += A == Series;
    };
    editor.SetTitle("Look");
    editor.SetSeries(Series);
    editor.SetDefaultTab(cetLegend);
    editor.SetHideTabs(TChartEditorHiddenTabs{cetPaging});
    editor.SetAutoRepaint(false);
    Chart->SetCancelMouse(false);
    editor.Execute();

    EXPECT_EQ(got.Chart, Chart.get());
    EXPECT_EQ(got.Title, "Look");
    EXPECT_EQ(got.Series, Series);
    EXPECT_EQ(got.DefaultTab, cetLegend);
    EXPECT_TRUE(got.HideTabs.Contains(cetPaging));
    EXPECT_TRUE(got.Options.Contains(ceHelp));
    got.OnChangeSeriesOrder(nullptr, Series, nullptr);
    EXPECT_EQ(swaps, 1);
    EXPECT_FALSE(repaintWhileOpen);
    EXPECT_TRUE(Chart->AutoRepaint());
    EXPECT_EQ(events, (std::vector<std::string>{"show", "close"}));
    EXPECT_TRUE(Chart->CancelMouse());
    EXPECT_TRUE(script.Done());

    // A series of another chart brings its chart along; a freed series is forgotten.
    TChart other;
    auto* s2 = new TLineSeries(&other);
    s2->SetParentChart(&other);
    editor.SetSeries(s2);
    EXPECT_EQ(editor.Chart(), &other);
    delete s2;
    EXPECT_EQ(editor.Series(), nullptr);
}

TEST_F(EditorComponentsTest, PreviewerSetsThePanelSwitchOnlyWhileOpenAndDisablesByOptions) {
    TChartPreviewer previewer(nullptr);
    previewer.SetChart(Chart.get());
    previewer.SetOptions(TChartPreviewOptions{cpoPrintPanel, cpoSetupPrinter});
    TPumpScript script;
    bool switchWhileOpen = false, printersEnabled = true, setupEnabled = false;
    TeeEditorHooks().CreatePreviewForm = [&](TChartPreviewer* P) {
        EXPECT_EQ(P, &previewer);
        auto form = ModalForm(script, [&] {
            switchWhileOpen = PrintTeePanel;
            auto* f = previewer.GetPreview();
            printersEnabled = dynamic_cast<TControl*>(f->FindComponent("CBPrinters"))->Enabled();
            setupEnabled = dynamic_cast<TControl*>(f->FindComponent("BSetupPrinter"))->Enabled();
        });
        auto* printers = new TComboBox(form.get());
        printers->SetName("CBPrinters");
        auto* setup = new TButton(form.get());
        setup->SetName("BSetupPrinter");
        return form;
    };
    const bool before = PrintTeePanel;
    previewer.Execute();
    EXPECT_TRUE(switchWhileOpen);
    EXPECT_EQ(PrintTeePanel, before);
    EXPECT_FALSE(printersEnabled);
    EXPECT_TRUE(setupEnabled);
    // Switched off for the preview only: looking stores nothing.
    EXPECT_TRUE(Chart->PrintProportional());
    EXPECT_EQ(previewer.GetPreview(), nullptr);
}

TEST_F(EditorComponentsTest, PreviewerKeepsAMarginTheUserMovedWithoutProportionalMargins) {
    TChartPreviewer previewer(nullptr);
    previewer.SetChart(Chart.get());
    previewer.SetOptions(previewer.Options().Exclude(cpoProportional));
    Chart->SetPrintProportional(true);
    TPumpScript script;
    TeeEditorHooks().CreatePreviewForm = [&](TChartPreviewer*) {
        // What a dragged margin does to the chart.
        return ModalForm(script, [&] { Chart->SetPrintMargins(TRect(20, 15, 15, 15)); });
    };
    previewer.Execute();
    EXPECT_FALSE(Chart->PrintProportional());
    EXPECT_EQ(Chart->PrintMargins(), TRect(20, 15, 15, 15));
}

// A picture format as the editor registers it.
class TFakeFormat : public TObject, public ITeeExportFormat {
public:
    explicit TFakeFormat(int Index) : FIndex(Index) {}
    TClass ClassType() const override { return &TObject::ClassInfo; }
    bool WantsFilterIndex(int Index) override { return Index == FIndex; }
    void SaveToFile(const AnsiString& FileName) override { Saved.push_back(FileName); }
    std::vector<AnsiString> Saved;

private:
    int FIndex;
};

TEST_F(EditorComponentsTest, SaveDialogOffersRegisteredPicturesAndSavesThroughThem) {
    TFakeFormat bmp(2), emf(3);
    TeeEditorHooks().FillPictureDialog = [&](TSaveDialog* D, TCustomTeePanel*, TStrings* L) {
        D->SetFilter(D->Filter() + "|Bitmap (*.bmp)|*.bmp|Metafile (*.emf)|*.emf");
        L->AddObject("bmp", &bmp);
        L->AddObject("emf", &emf);
    };
    const AnsiString path = AnsiString(::testing::TempDir().c_str()) + "picture_choice.emf";
    std::remove(path.c_str());
    TStrictResponder responder;
    responder.ExpectSave(path, 3);
    EXPECT_EQ(SaveChartDialog(Chart.get()), path);
    EXPECT_EQ(responder.Shown().front().Filter,
              "Chart files (*.tee)|*.tee|Bitmap (*.bmp)|*.bmp|Metafile (*.emf)|*.emf");
    EXPECT_TRUE(bmp.Saved.empty());
    EXPECT_EQ(emf.Saved, std::vector<AnsiString>{path});
    EXPECT_FALSE(FileExists(path)); // no chart file under a picture's name

    responder.ExpectCancel(TDialogKind::SaveDialog);
    EXPECT_EQ(SaveChartDialog(Chart.get()), "");
}

TEST_F(EditorComponentsTest, ChartPictureLoadsChartFilesAndReportsTheirSize) {
    const AnsiString path = AnsiString(::testing::TempDir().c_str()) + "as_picture.tee";
    Chart->SetBounds(0, 0, 321, 123);
    SaveChartToFile(Chart.get(), path);
    TPicture picture;
    picture.LoadFromFile(path);
    auto* image = dynamic_cast<TChartImage*>(picture.Graphic());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 321);
    EXPECT_EQ(image->Height(), 123);
    EXPECT_EQ(image->Chart()->SeriesCount(), 1);

    // Damage is refused, leaving the picture's chart as it was.
    TMemoryStream bad;
    bad.WriteBuffer("TPF0junk", 8);
    bad.SetPosition(0);
    EXPECT_ANY_THROW(image->LoadFromStream(&bad));
    EXPECT_EQ(image->Chart()->SeriesCount(), 1);

    // A chart shown from outside is not freed by the picture.
    {
        TChartImage shown;
        shown.SetChart(Chart.get());
        shown.Clear();
    }
    EXPECT_EQ(Chart->SeriesCount(), 1);
    std::remove(path.c_str());
}

TEST(Draw3DTest, PaintsTheBackgroundThenHandsItsCanvasToOnPaint) {
    TDraw3D panel(nullptr);
    panel.SetBounds(0, 0, 200, 150);
    panel.SetBevelOuter(bvNone);
    panel.SetColor(clWhite);
    TBitmap plain(200, 150);
    panel.Draw(plain.Canvas(), TRect(0, 0, 200, 150));
    EXPECT_EQ(plain.Canvas()->Pixels(100, 75), clWhite);

    TRect got;
    panel.OnPaint = [&](TDraw3D* Sender, const TRect& R) {
        got = R;
        TCanvas3D* c = Sender->Canvas();
        c->Brush()->SetColor(clRed);
        c->Pen()->SetColor(clRed);
        c->Rectangle(TRect(90, 65, 110, 85));
    };
    int after = 0;
    panel.OnAfterDraw = [&](TObject*) { ++after; };
    panel.SetView3D(false);
    TBitmap painted(200, 150);
    panel.Draw(painted.Canvas(), TRect(0, 0, 200, 150));
    EXPECT_EQ(got, TRect(0, 0, 200, 150));
    EXPECT_EQ(painted.Canvas()->Pixels(100, 75), clRed);
    EXPECT_EQ(painted.Canvas()->Pixels(5, 5), clWhite);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(panel.Width3D(), 100);
}

// Read from a stream, its alignment places it: alClient fills its parent.
TEST(Draw3DTest, AlignmentComesFromTheStreamAndPlacesThePanel) {
    TPanel parent(nullptr);
    parent.SetBounds(0, 0, 300, 200);
    parent.SetBevelOuter(bvNone);
    TDraw3D panel(nullptr);
    panel.SetBounds(10, 10, 50, 40);
    panel.SetParent(&parent);
    TStringStream text("object Draw: TDraw3D\r\n  Align = alClient\r\nend\r\n");
    TMemoryStream binary;
    ObjectTextToBinary(&text, &binary);
    binary.SetPosition(0);
    ReadComponentFromStream(&binary, &panel);
    EXPECT_EQ(panel.Align(), alClient);
    EXPECT_EQ(panel.BoundsRect(), TRect(0, 0, 300, 200));
}

} // namespace
