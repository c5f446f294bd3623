#pragma once
// The rectangles of the marks placed so far, kept by where they lie, so that a
// new mark finds the ones it overlaps without looking at every earlier one.
#include "platform/graphics/types.h"
#include <cstdint>
#include <unordered_map>
#include <vector>

class TPlacedMarks {
public:
    void Clear();
    void Add(const TRect& R);
    int Count() const { return static_cast<int>(FRects.size()); }
    // How far a mark whose rectangle is R moves up (negative: down) to clear
    // each rectangle added that it overlaps: the sum over those of the
    // distance to the far edge of each, as if it cleared them one by one
    // from where it stands.
    int Lift(const TRect& R);

private:
    struct TCells {
        int64_t X0, Y0, X1, Y1;
        int64_t Count() const { return (X1 - X0 + 1) * (Y1 - Y0 + 1); }
    };
    TCells CellsOf(const TRect& R) const;
    static uint64_t Key(int64_t X, int64_t Y) {
        return (uint64_t(uint32_t(X)) << 32) | uint32_t(Y);
    }
    int FCell = 0; // side of a cell, from the first rectangle added
    std::vector<TRect> FRects;
    std::vector<uint32_t> FSeen; // the query that last met each rectangle
    uint32_t FQuery = 0;
    std::unordered_map<uint64_t, std::vector<int>> FCells;
    std::vector<int> FWide; // rectangles over too many cells: met by every query
};
