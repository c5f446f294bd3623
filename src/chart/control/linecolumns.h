#pragma once
// A polyline in pixels folded column by column as it is built.
#include "platform/graphics/types.h"
#include <cstdint>
#include <vector>

// Each run of points on one pixel column is kept as its first point, the
// lowest and highest of the points before the run's last row was reached, and
// its last point. The canvas paints a column's run as one span from those
// alone (the last row left out at the very end unless reached before), so the
// folded line paints exactly the pixels of the whole one. A column the line
// leaves again paints its whole span whatever the order, as the next segment
// starts on its last row: its extremes may count that row, and only those
// beyond its first and last rows are kept.
class TLineColumns {
public:
    explicit TLineColumns(size_t Reserve) { FOut.reserve(Reserve); }
    void Start(const TPoint& P) {
        FOut.clear();
        Open(P.x, P.y);
    }
    void Add(const TPoint* P, int Count) {
        for (int k = 0; k < Count; ++k) {
            const int x = P[k].x, y = P[k].y;
            if (x != FX)
                NewColumn(x, y);
            else if (y != FLast)
                Extend(INT32_MAX, INT32_MIN, y);
        }
    }
    int Column() const { return FX; }
    int LastRow() const { return FLast; }
    void NewColumn(int X, int Y) {
        CloseLeft();
        Open(X, Y);
    }
    // Points of the open column on rows Lo .. Hi (none when Lo > Hi), then a
    // run on row Last, which differs from the row reached before it (or, on a
    // column the line leaves again, may be among Lo .. Hi).
    void Extend(int Lo, int Hi, int Last) {
        Lo = Lo < FLast ? Lo : FLast;
        Hi = Hi > FLast ? Hi : FLast;
        FLo = FLo < Lo ? FLo : Lo;
        FHi = FHi > Hi ? FHi : Hi;
        FLast = Last;
    }
    // The points folded so far; the open column is added by Finish.
    const std::vector<TPoint>& Points() const { return FOut; }
    // After a piece went out: the next starts where it ended.
    void KeepLast() {
        const TPoint last = FOut.back();
        FOut.clear();
        FOut.push_back(last);
    }
    void Finish() { Close(); }

private:
    void Open(int X, int Y) {
        FX = X;
        FFirst = FLast = Y;
        FLo = INT32_MAX;
        FHi = INT32_MIN;
    }
    void Put(int Y) {
        const TPoint p(FX, Y);
        if (FOut.empty() || FOut.back() != p) FOut.push_back(p);
    }
    // Left for another column: the span's ends beyond the first and last rows.
    void CloseLeft() {
        Put(FFirst);
        const int a = FFirst < FLast ? FFirst : FLast, b = FFirst < FLast ? FLast : FFirst;
        if (FLo < a) Put(FLo);
        if (FHi > b) Put(FHi);
        Put(FLast);
    }
    void Close() {
        Put(FFirst);
        if (FLo <= FHi) {
            // An extreme on the last row goes first, so the point before the
            // last lies on another row, as in the whole run.
            const bool hiFirst = FHi == FLast;
            Put(hiFirst ? FHi : FLo);
            Put(hiFirst ? FLo : FHi);
        }
        Put(FLast);
    }

    std::vector<TPoint> FOut;
    int FX = 0, FFirst = 0, FLast = 0, FLo = 0, FHi = 0;
};
