#include "chart/engine/teemarksplace.h"
#include <algorithm>
#include <cstdlib>

namespace {
// A rectangle over more cells than this is kept apart; a query over more
// looks at every rectangle.
constexpr int64_t MaxCells = 64;

int64_t FloorDiv(int64_t A, int64_t B) {
    return A >= 0 ? A / B : -((-A + B - 1) / B);
}

// Edges that touch keep two marks apart. A rectangle may be inverted (a mark
// dragged to a negative size): the test is the same as for any other.
bool Overlap(const TRect& A, const TRect& B) {
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}
} // namespace

void TPlacedMarks::Clear() {
    FCell = 0;
    FRects.clear();
    FSeen.clear();
    FQuery = 0;
    FCells.clear();
    FWide.clear();
}

// The cells of the closed span of each axis: rectangles that overlap share a
// point of it, inverted ones included.
TPlacedMarks::TCells TPlacedMarks::CellsOf(const TRect& R) const {
    const int64_t c = FCell;
    return {FloorDiv(std::min(R.Left, R.Right), c), FloorDiv(std::min(R.Top, R.Bottom), c),
            FloorDiv(std::max(R.Left, R.Right), c), FloorDiv(std::max(R.Top, R.Bottom), c)};
}

void TPlacedMarks::Add(const TRect& R) {
    if (FCell == 0) {
        // Marks of one series are of about one size: a mark meets a few cells.
        const int64_t side =
            std::max(std::llabs(int64_t(R.Right) - R.Left), std::llabs(int64_t(R.Bottom) - R.Top));
        FCell = static_cast<int>(std::clamp<int64_t>(side, 16, 1024));
    }
    const int id = Count();
    FRects.push_back(R);
    FSeen.push_back(0);
    const TCells c = CellsOf(R);
    if (c.Count() > MaxCells) {
        FWide.push_back(id);
        return;
    }
    for (int64_t x = c.X0; x <= c.X1; ++x)
        for (int64_t y = c.Y0; y <= c.Y1; ++y)
            FCells[Key(x, y)].push_back(id);
}

int TPlacedMarks::Lift(const TRect& R) {
    int lift = 0;
    const auto meet = [&](int Id) {
        const TRect& k = FRects[size_t(Id)];
        if (Overlap(R, k)) lift += k.Top > R.Top ? R.Bottom - k.Top : R.Top - k.Bottom;
    };
    if (FRects.empty()) return 0;
    const TCells c = CellsOf(R);
    if (c.Count() > MaxCells) {
        for (int id = 0; id < Count(); ++id)
            meet(id);
        return lift;
    }
    if (++FQuery == 0) {
        std::fill(FSeen.begin(), FSeen.end(), 0);
        FQuery = 1;
    }
    for (int64_t x = c.X0; x <= c.X1; ++x)
        for (int64_t y = c.Y0; y <= c.Y1; ++y) {
            const auto cell = FCells.find(Key(x, y));
            if (cell == FCells.end()) continue;
            for (int id : cell->second) {
                if (FSeen[size_t(id)] == FQuery) continue;
                FSeen[size_t(id)] = FQuery;
                meet(id);
            }
        }
    for (int id : FWide)
        meet(id);
    return lift;
}
