// Lines of a series drawn through the chart canvas: point after point with
// LineTo (flat or projected) or as one polyline, the picture is the one that
// drawing every segment on its own gives, clipped at the plot's edges.
#include "chart/engine/tecanvas.h"
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

enum TShape { RandomWalk, NoisySine, Spikes };
enum TCall { LineTo, Polyline, LineTo3D };

const TRect Frame(0, 0, 800, 600);
const TRect Plot(40, 40, 760, 560);

// Count points across the frame, many to a pixel column at the larger counts;
// values run past the plot at its top and bottom.
std::vector<TPoint> Points(TShape Shape, int Count) {
    std::mt19937 gen(20240611);
    std::uniform_int_distribution<int> step(-8, 8), noise(-40, 40), small(-2, 2);
    std::vector<TPoint> p;
    int walk = 300;
    for (int i = 0; i < Count; ++i) {
        int y = Shape == RandomWalk ? (walk = std::clamp(walk + step(gen), -100, 700))
                : Shape == NoisySine
                    ? 300 + int(290 * std::sin(i * 6.0 * M_PI / Count)) + noise(gen)
                    : 300 + small(gen);
        if (Shape == Spikes && i % 997 == 500) y = i % 2 ? 900 : -300; // one sample out and back
        p.emplace_back(20 + int(int64_t(i) * 760 / Count), y);
    }
    return p;
}

// The points drawn in lime on a black frame with the pen mode Mode.
void Draw(TBitmap& Target, const std::vector<TPoint>& P, TCall Call, TPenMode Mode) {
    Target.SetSize(Frame.Right, Frame.Bottom);
    Target.Canvas()->Brush()->SetColor(clBlack);
    Target.Canvas()->FillRect(Frame);
    TView3DOptions options;
    options.SetZoom(87); // neighbouring columns fall together when projected
    TTeeCanvas3D canvas;
    canvas.SetUseBuffer(false);
    canvas.InitWindow(Target.Canvas(), &options, clBlack, Call == LineTo3D, Frame);
    canvas.Projection(100, Frame, Frame);
    canvas.Pen()->SetColor(clLime);
    canvas.Pen()->SetMode(Mode);
    canvas.ClipRectangle(Plot);
    if (Call == Polyline) canvas.Polyline(P.data(), int(P.size()) - 1);
    if (Call == LineTo) canvas.MoveTo(P[0].x, P[0].y);
    if (Call == LineTo3D) canvas.MoveTo3D(P[0].x, P[0].y, 30);
    for (size_t i = 1; Call != Polyline && i < P.size(); ++i)
        if (Call == LineTo)
            canvas.LineTo(P[i].x, P[i].y);
        else
            canvas.LineTo3D(P[i].x, P[i].y, 30);
    canvas.UnClipRectangle();
}

struct TCase {
    TShape Shape;
    int Count;
    TCall Call;
};

std::string Name(const TCase& C) {
    static const char* shapes[] = {"RandomWalk", "NoisySine", "Spikes"};
    static const char* calls[] = {"LineTo", "Polyline", "LineTo3D"};
    return shapes[C.Shape] + std::to_string(C.Count) + calls[C.Call];
}
[[maybe_unused]] void PrintTo(const TCase& C, std::ostream* Out) {
    *Out << Name(C);
}

class SeriesLines : public ::testing::TestWithParam<TCase> {};

} // namespace

// Merging onto black paints exactly the pixels a copy paints, but only the
// copy pen may join lines: the merged picture is drawn segment by segment.
TEST_P(SeriesLines, SameAsEverySegmentOnItsOwn) {
    const std::vector<TPoint> p = Points(GetParam().Shape, GetParam().Count);
    TBitmap joined, single;
    Draw(joined, p, GetParam().Call, pmCopy);
    Draw(single, p, GetParam().Call, pmMerge);
    int lime = 0, outside = 0, differ = 0;
    for (int y = 0; y < Frame.Bottom; ++y) {
        const auto* a = static_cast<const uint32_t*>(joined.ScanLine(y));
        const auto* b = static_cast<const uint32_t*>(single.ScanLine(y));
        for (int x = 0; x < Frame.Right; ++x) {
            differ += a[x] != b[x];
            if ((a[x] & 0xFFFFFF) == 0) continue;
            ++lime;
            outside += !PtInRect(Plot, TPoint(x, y));
        }
    }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(lime, 1000);
    EXPECT_EQ(outside, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, SeriesLines,
    ::testing::Values(TCase{RandomWalk, 10000, LineTo}, TCase{RandomWalk, 100000, Polyline},
                      TCase{RandomWalk, 1000000, LineTo3D}, TCase{NoisySine, 10000, LineTo3D},
                      TCase{NoisySine, 100000, LineTo}, TCase{NoisySine, 1000000, Polyline},
                      TCase{Spikes, 10000, Polyline}, TCase{Spikes, 100000, LineTo3D},
                      TCase{Spikes, 1000000, LineTo}),
    [](const auto& Info) { return Name(Info.param); });

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
