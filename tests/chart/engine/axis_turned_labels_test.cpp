// Turned axis labels keep clear of the axis titles, drawn for real with the
// platform's fonts and rotation: no title pixel lies inside any label's ink box.
// QM_SAVE_PNG=<folder> keeps each picture for a look.
#include "axis_fixture.h"
#include "platform/graphics/jpeg.h"
#include <cstdlib>
#include <string>

namespace {
constexpr int W = 800, H = 600;

// Text is smoothed: ink is any pixel clearly leaning to one primary.
int Lean(TColor C, int Channel) {
    const int v[3] = {int(C & 0xFF), int((C >> 8) & 0xFF), int((C >> 16) & 0xFF)};
    return v[Channel] - std::max(v[(Channel + 1) % 3], v[(Channel + 2) % 3]);
}
constexpr int Red = 0, Green = 1, Blue = 2;

struct TLayout {
    const char* Name;
    bool OtherSide;
    int Angle;
    double XMin, XMax, YMin, YMax;
};

void PrintTo(const TLayout& L, std::ostream* Out) {
    *Out << L.Name;
}

const TLayout Layouts[] = {
    {"BottomLeft90", false, 90, 10000, 20000, -10000, 10000},
    {"BottomLeft270", false, 270, 10000, 20000, -10000, 10000},
    {"TopRight90", true, 90, 10000, 20000, -10000, 10000},
    {"TopRight270", true, 270, 10000, 20000, -10000, 10000},
    // The end labels ("-1", "1") are narrower than those between them ("-0.5").
    {"NarrowEnds", false, 90, -1, 1, 0, 1000},
};
} // namespace

class AxisTurnedLabels : public ::testing::TestWithParam<TLayout> {
protected:
    void SetUp() override {
        const TLayout& p = GetParam();
        Chart->SetBevelOuter(bvNone);
        Chart->SetColor(clWhite);
        Chart->SetView3D(false);
        Chart->SetWidth(W);
        Chart->SetHeight(H);
        Series->SetParentChart(Chart.get());
        Series->SetSeriesColor(clBlack);
        Series->SetHorizAxis(p.OtherSide ? aTopAxis : aBottomAxis);
        Series->SetVertAxis(p.OtherSide ? aRightAxis : aLeftAxis);
        // Enough points that the step need not be a whole number of points.
        for (int i = 0; i <= 100; ++i)
            Series->AddXY(p.XMin + (p.XMax - p.XMin) * i / 100,
                          p.YMin + (p.YMax - p.YMin) * i / 100);
        Across = p.OtherSide ? Chart->TopAxis() : Chart->BottomAxis();
        Upright = p.OtherSide ? Chart->RightAxis() : Chart->LeftAxis();
        Across->SetMinMax(p.XMin, p.XMax);
        Upright->SetMinMax(p.YMin, p.YMax);
        const struct {
            TChartAxis* Axis;
            TColor Labels;
        } styles[] = {{Across, clBlue}, {Upright, clGreen}};
        for (const auto& s : styles) {
            s.Axis->SetLabelsAngle(p.Angle);
            s.Axis->LabelsFont()->SetColor(s.Labels);
            s.Axis->Title()->SetCaption("Title of the axis");
            s.Axis->Title()->Font()->SetColor(clRed);
        }
    }

    void TearDown() override { Series->SetParentChart(nullptr); }

    void Render() {
        Picture = std::make_unique<TBitmap>(W, H);
        Chart->Draw(Picture->Canvas(), TRect(0, 0, W, H));
        if (const char* dir = std::getenv("QM_SAVE_PNG")) {
            TPngImage png;
            png.Bitmap()->Assign(Picture.get());
            png.SaveToFile(AnsiString(std::string(dir) + "/turned_" + GetParam().Name + ".png"));
        }
    }

    // Ink boxes of one axis' labels in the band outside the plot: each run of
    // columns (rows for a vertical axis) that holds ink of the labels' colour.
    std::vector<TRect> LabelBoxes(TChartAxis* Axis, int Channel) {
        const TRect r = Chart->ChartRect();
        const bool h = Axis->Horizontal(), far = Axis->OtherSide();
        const int from = h ? (far ? 0 : r.Bottom) : (far ? r.Right : 0);
        const int to = h ? (far ? r.Top : H) : (far ? W : r.Left);
        std::vector<TRect> boxes;
        bool open = false;
        for (int i = 0; i < (h ? W : H); ++i) {
            bool any = false;
            for (int j = from; j < to; ++j) {
                const int x = h ? i : j, y = h ? j : i;
                if (Lean(Picture->Canvas()->Pixels(x, y), Channel) <= 40) continue;
                if (!open && !any) boxes.emplace_back(x, y, x + 1, y + 1);
                TRect& b = boxes.back();
                b = TRect(std::min<int>(b.Left, x), std::min<int>(b.Top, y),
                          std::max<int>(b.Right, x + 1), std::max<int>(b.Bottom, y + 1));
                any = true;
            }
            open = any;
        }
        return boxes;
    }

    int TitlePixelsIn(const TRect& R) {
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (Lean(Picture->Canvas()->Pixels(x, y), Red) > 40) ++n;
        return n;
    }

    std::unique_ptr<TAxisTestChart> Chart = std::make_unique<TAxisTestChart>();
    std::unique_ptr<TAxisTestSeries> Series = std::make_unique<TAxisTestSeries>();
    std::unique_ptr<TBitmap> Picture;
    TChartAxis* Across = nullptr;
    TChartAxis* Upright = nullptr;
};

TEST_P(AxisTurnedLabels, NoTitlePixelInsideAnyLabel) {
    Render();
    ASSERT_GT(TitlePixelsIn(TRect(0, 0, W, H)), 100) << "both titles are drawn";
    const struct {
        TChartAxis* Axis;
        int Channel;
    } axes[] = {{Across, Blue}, {Upright, Green}};
    for (const auto& a : axes) {
        const std::vector<TRect> boxes = LabelBoxes(a.Axis, a.Channel);
        EXPECT_GE(boxes.size(), 5u);
        for (const TRect& b : boxes)
            EXPECT_EQ(TitlePixelsIn(b), 0)
                << (a.Axis->Horizontal() ? "horizontal" : "vertical") << " label at " << b.Left
                << "," << b.Top << "-" << b.Right << "," << b.Bottom;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, AxisTurnedLabels, ::testing::ValuesIn(Layouts),
                         [](const auto& Info) { return std::string(Info.param.Name); });
