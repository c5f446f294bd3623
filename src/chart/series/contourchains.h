#pragma once
// Joining the line pieces of one contour level into polylines: a piece joins
// the first polyline with an end within 0.001 (Manhattan) of one of its ends,
// and a polyline that grew is then joined with the first other one whose end
// lies within 0.001 (per coordinate) of the new end.
#include <cstddef>
#include <cstdint>
#include <vector>

struct TContourPoint {
    double X = 0;
    double Z = 0;
};
using TContourSegment = std::vector<TContourPoint>;

// Points live in one pool as path nodes linked to their (at most two)
// neighbours without a direction, so a polyline grows, turns round and joins
// another in constant time. Ends are filed by position in a hash table, so only
// the few ends near a new piece are looked at. Polyline order is creation
// order (a joined one leaves a gap): "the first polyline that takes the piece"
// is the lowest index among the near ones.
class TContourChains {
public:
    void AddLine(const TContourPoint& A, const TContourPoint& B);
    // The polylines in order, each from its first point to its last.
    std::vector<TContourSegment> TakeSegments() const;

private:
    static constexpr uint32_t None = UINT32_MAX;

    struct TBucket {
        int64_t X = 0, Z = 0;
    };
    // A point's bucket, and per axis whether the bucket before (-1) or after
    // (+1) must be searched too.
    struct TPlace {
        TBucket Bucket;
        int LoX = 0, HiX = 0, LoZ = 0, HiZ = 0;
    };
    struct TNode {
        TContourPoint Point;
        uint32_t L0 = None, L1 = None; // neighbours, in no particular order
    };
    struct TSegment {
        uint32_t Front, Back;
        TBucket FrontBucket, BackBucket;
        bool Alive;
    };
    // A filed end: the reference is polyline index x 2, plus 1 for the back.
    struct TEntry {
        uint32_t Next = None;
        uint32_t Ref = None;
        TContourPoint Point;
        TBucket Bucket;
    };

    static int64_t BucketOf(double V, int& Lo, int& Hi);
    static TPlace PlaceOf(const TContourPoint& P);
    uint32_t NewNode(const TContourPoint& P);
    void Link(uint32_t U, uint32_t V);
    void Join(uint32_t Index, bool AtFront, uint32_t Other);
    size_t Slot(const TBucket& B) const;
    template <class TVisit> void VisitAround(const TPlace& P, TVisit&& Visit) const;
    void File(const TBucket& B, uint32_t Ref, const TContourPoint& P);
    void Unfile(const TBucket& B, uint32_t Ref);
    void Rehash();

    std::vector<TNode> FNodes;
    std::vector<TSegment> FSegments;
    size_t FAlive = 0;
    std::vector<uint32_t> FHeads;
    std::vector<TEntry> FEntries;
    uint32_t FFree = None;
    size_t FFiled = 0;
    int FShift = 64;
};
