// Lines of a series drawn through the chart canvas: point after point with
// LineTo (flat or projected) or as one polyline, the picture is the one that
// drawing every segment on its own gives, clipped at the plot's edges.
#include "chart/engine/tecanvas.h"
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

enum class TShape { RandomWalk, NoisySine, Spikes };
enum class TCall { LineTo, Polyline, LineTo3D };

const TRect Frame(0, 0, 800, 600);
const TRect Plot(40, 40, 760, 560);

// Count points across the frame, several to a pixel column once there are
// more than 760; values run past the plot at its top and bottom.
std::vector<TPoint> Points(TShape Shape, int Count) {
    std::mt19937 gen(20240611);
    std::uniform_int_distribution<int> step(-8, 8), noise(-40, 40), small(-2, 2);
    std::vector<TPoint> p(static_cast<size_t>(Count));
    int walk = 300;
    for (int i = 0; i < Count; ++i) {
        const int x = 20 + static_cast<int>(int64_t(i) * 760 / Count);
        int y = 0;
        switch (Shape) {
        case TShape::RandomWalk:
            walk = std::clamp(walk + step(gen), -100, 700);
            y = walk;
            break;
        case TShape::NoisySine:
            y = 300 + static_cast<int>(290 * std::sin(i * 6.0 * M_PI / Count)) + noise(gen);
            break;
        case TShape::Spikes:
            y = 300 + small(gen);
            if (i % 997 == 500) y = i % 2 ? 900 : -300; // one sample out and back
            break;
        }
        p[static_cast<size_t>(i)] = TPoint(x, y);
    }
    return p;
}

// The points drawn on a black frame in lime with the pen mode Mode.
void Draw(TBitmap& Target, const std::vector<TPoint>& P, TCall Call, TPenMode Mode) {
    Target.SetSize(Frame.Right, Frame.Bottom);
    Target.Canvas()->Brush()->SetColor(clBlack);
    Target.Canvas()->FillRect(Frame);
    TView3DOptions options;
    options.SetZoom(87); // neighbouring columns fall together when projected
    TTeeCanvas3D canvas;
    canvas.SetUseBuffer(false);
    canvas.InitWindow(Target.Canvas(), &options, clBlack, Call == TCall::LineTo3D, Frame);
    canvas.Projection(100, Frame, Frame);
    canvas.Pen()->SetColor(clLime);
    canvas.Pen()->SetMode(Mode);
    canvas.ClipRectangle(Plot);
    const int z = 30;
    switch (Call) {
    case TCall::LineTo:
        canvas.MoveTo(P[0].x, P[0].y);
        for (size_t i = 1; i < P.size(); ++i)
            canvas.LineTo(P[i].x, P[i].y);
        break;
    case TCall::Polyline:
        canvas.Polyline(P.data(), static_cast<int>(P.size()) - 1);
        break;
    case TCall::LineTo3D:
        canvas.MoveTo3D(P[0].x, P[0].y, z);
        for (size_t i = 1; i < P.size(); ++i)
            canvas.LineTo3D(P[i].x, P[i].y, z);
        break;
    }
    canvas.UnClipRectangle();
}

// Rows that differ, as "y: first x" texts (empty when the pictures are equal).
std::string Differences(TBitmap& A, TBitmap& B) {
    std::string out;
    for (int y = 0; y < A.Height(); ++y) {
        const auto* a = static_cast<const uint32_t*>(A.ScanLine(y));
        const auto* b = static_cast<const uint32_t*>(B.ScanLine(y));
        for (int x = 0; x < A.Width(); ++x)
            if (a[x] != b[x]) {
                out += std::to_string(y) + ": " + std::to_string(x) + "\n";
                break;
            }
    }
    return out;
}

struct TCase {
    TShape Shape;
    int Count;
    TCall Call;
};

std::string Name(const TCase& C) {
    static const char* shapes[] = {"RandomWalk", "NoisySine", "Spikes"};
    static const char* calls[] = {"LineTo", "Polyline", "LineTo3D"};
    return std::string(shapes[int(C.Shape)]) + std::to_string(C.Count) + calls[int(C.Call)];
}
std::string TestName(const ::testing::TestParamInfo<TCase>& Info) {
    return Name(Info.param);
}
[[maybe_unused]] void PrintTo(const TCase& C, std::ostream* Out) {
    *Out << Name(C);
}

class SeriesLines : public ::testing::TestWithParam<TCase> {};

} // namespace

// Merging onto black paints exactly the pixels a copy paints, but only the
// copy pen may join lines: the merged picture is drawn segment by segment.
TEST_P(SeriesLines, SameAsEverySegmentOnItsOwn) {
    const TCase c = GetParam();
    const std::vector<TPoint> p = Points(c.Shape, c.Count);
    TBitmap joined, single;
    Draw(joined, p, c.Call, pmCopy);
    Draw(single, p, c.Call, pmMerge);
    EXPECT_EQ(Differences(joined, single), "");
    // Something of the line is inside the plot and nothing outside it.
    int lime = 0, outside = 0;
    for (int y = 0; y < Frame.Bottom; ++y) {
        const auto* row = static_cast<const uint32_t*>(joined.ScanLine(y));
        for (int x = 0; x < Frame.Right; ++x)
            if ((row[x] & 0xFFFFFF) != 0) {
                ++lime;
                if (!PtInRect(Plot, TPoint(x, y))) ++outside;
            }
    }
    EXPECT_GT(lime, 1000);
    EXPECT_EQ(outside, 0);
}

INSTANTIATE_TEST_SUITE_P(Shapes, SeriesLines,
                         ::testing::Values(TCase{TShape::RandomWalk, 10000, TCall::LineTo},
                                           TCase{TShape::RandomWalk, 100000, TCall::Polyline},
                                           TCase{TShape::RandomWalk, 1000000, TCall::LineTo3D},
                                           TCase{TShape::NoisySine, 10000, TCall::LineTo3D},
                                           TCase{TShape::NoisySine, 100000, TCall::LineTo},
                                           TCase{TShape::NoisySine, 1000000, TCall::Polyline},
                                           TCase{TShape::Spikes, 10000, TCall::Polyline},
                                           TCase{TShape::Spikes, 100000, TCall::LineTo3D},
                                           TCase{TShape::Spikes, 1000000, TCall::LineTo}),
                         TestName);

// A pen wider than one pixel leaves a dot where a point is set in 3D.
TEST(CanvasPixels, SetPixel3DWithAWidePenDrawsADot) {
    TBitmap target(20, 20);
    TView3DOptions options;
    TTeeCanvas3D canvas;
    canvas.SetUseBuffer(false);
    canvas.InitWindow(target.Canvas(), &options, clWhite, true, TRect(0, 0, 20, 20));
    canvas.Projection(10, TRect(0, 0, 20, 20), TRect(0, 0, 20, 20));
    canvas.Pen()->SetColor(clBlue);
    canvas.Pen()->SetWidth(5);
    const TPoint at = canvas.Calculate3DPosition(8, 12, 4);
    canvas.SetPixel3D(8, 12, 4, clRed);
    int blue = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (target.Canvas()->Pixels(x, y) == clBlue) {
                ++blue;
                EXPECT_LE(std::abs(x - at.x), 2);
                EXPECT_LE(std::abs(y - at.y), 2);
            }
    EXPECT_EQ(blue, 21); // a five-pixel round dot: the square less its corners
}
