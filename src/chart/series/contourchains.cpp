#include "chart/series/contourchains.h"
#include <bit>
#include <cmath>

namespace {

constexpr double JoinTolerance = 0.001;

double Manhattan(const TContourPoint& A, const TContourPoint& B) {
    return std::fabs(A.X - B.X) + std::fabs(A.Z - B.Z);
}

// Written so that a NaN distance never counts as near.
bool Within(double Distance) {
    return Distance <= JoinTolerance;
}

bool Near(const TContourPoint& A, const TContourPoint& B) {
    return Within(std::fabs(A.X - B.X)) && Within(std::fabs(A.Z - B.Z));
}

// Ends are filed in square buckets 1/25 wide, centred on whole numbers (grid
// lines often are). A point within the tolerance of another lies in the
// other's bucket or, when the other is near a bucket's side, in the bucket
// beyond that side.
constexpr double BucketsPerUnit = 25;
constexpr double BucketReach = JoinTolerance * 1.5 * BucketsPerUnit; // with room for rounding

// The two lowest polyline indexes seen.
struct TNearest {
    uint32_t First = UINT32_MAX, Second = UINT32_MAX;
    void Add(uint32_t C) {
        if (C == First || C == Second) return;
        if (C < First) {
            Second = First;
            First = C;
        } else if (C < Second) {
            Second = C;
        }
    }
    uint32_t LowestBut(uint32_t C) const { return First == C ? Second : First; }
};

} // namespace

int64_t TContourChains::BucketOf(double V, int& Lo, int& Hi) {
    const double k = V * BucketsPerUnit + 0.5;
    Lo = Hi = 0;
    if (!(std::fabs(k) < 4e18)) // huge or not a number: one shared bucket at each end
        return std::isnan(k) ? 0 : (k < 0 ? INT64_MIN / 2 : INT64_MAX / 2);
    auto i = static_cast<int64_t>(k);
    if (k < static_cast<double>(i)) --i;
    const double f = k - static_cast<double>(i);
    Lo = f < BucketReach ? -1 : 0;
    Hi = f > 1 - BucketReach ? 1 : 0;
    return i;
}

TContourChains::TPlace TContourChains::PlaceOf(const TContourPoint& P) {
    TPlace p;
    p.Bucket.X = BucketOf(P.X, p.LoX, p.HiX);
    p.Bucket.Z = BucketOf(P.Z, p.LoZ, p.HiZ);
    return p;
}

void TContourChains::AddLine(const TContourPoint& A, const TContourPoint& B) {
    const TPlace placeA = PlaceOf(A), placeB = PlaceOf(B);
    // One pass over the ends near A and near B finds the polyline taking the
    // piece and, for each of A and B, the two lowest polylines touching it (the
    // one to join after growing is the lowest other than the taker).
    TNearest nearA, nearB;
    uint32_t taker = None;
    const auto visit = [&](const TEntry& E) {
        const uint32_t c = E.Ref >> 1;
        if (c < taker && (Within(Manhattan(E.Point, A)) || Within(Manhattan(E.Point, B))))
            taker = c;
        if (Near(E.Point, A)) nearA.Add(c);
        if (Near(E.Point, B)) nearB.Add(c);
    };
    VisitAround(placeA, visit);
    VisitAround(placeB, visit);
    if (taker == None) {
        const auto c = static_cast<uint32_t>(FSegments.size());
        const uint32_t a = NewNode(A), b = NewNode(B);
        Link(a, b);
        FSegments.push_back({a, b, placeA.Bucket, placeB.Bucket, true});
        File(placeA.Bucket, c * 2, A);
        File(placeB.Bucket, c * 2 + 1, B);
        ++FAlive;
        return;
    }
    TSegment& s = FSegments[taker];
    const TContourPoint& front = FNodes[s.Front].Point;
    const TContourPoint& back = FNodes[s.Back].Point;
    const double d[4] = {Manhattan(front, B), Manhattan(front, A), Manhattan(back, B),
                         Manhattan(back, A)};
    int hit = -1;
    for (int k = 0; k < 4; ++k) {
        if (!Within(d[k])) continue;
        bool least = true;
        for (int m = 0; m < 4; ++m)
            if (d[k] > d[m]) least = false;
        if (least) hit = k; // the later of equals wins
    }
    // Cases: first point met by B, first met by A, last met by B, last met by A.
    const bool atFront = hit < 2, addA = hit == 0 || hit == 2;
    const uint32_t ref = taker * 2 + (atFront ? 0 : 1);
    Unfile(atFront ? s.FrontBucket : s.BackBucket, ref);
    const uint32_t node = NewNode(addA ? A : B); // may move FNodes, not FSegments
    Link(node, atFront ? s.Front : s.Back);
    (atFront ? s.Front : s.Back) = node;
    (atFront ? s.FrontBucket : s.BackBucket) = addA ? placeA.Bucket : placeB.Bucket;
    const uint32_t other = (addA ? nearA : nearB).LowestBut(taker);
    if (other != None) Join(taker, atFront, other);
    const TSegment& grown = FSegments[taker];
    const uint32_t end = atFront ? grown.Front : grown.Back;
    File(atFront ? grown.FrontBucket : grown.BackBucket, ref, FNodes[end].Point);
}

std::vector<TContourSegment> TContourChains::TakeSegments() const {
    std::vector<TContourSegment> result;
    result.reserve(FAlive);
    for (const TSegment& s : FSegments) {
        if (!s.Alive) continue;
        TContourSegment& points = result.emplace_back();
        for (uint32_t prev = None, n = s.Front; n != None;) {
            points.push_back(FNodes[n].Point);
            const uint32_t next = FNodes[n].L0 != prev ? FNodes[n].L0 : FNodes[n].L1;
            prev = n;
            n = next;
        }
    }
    return result;
}

uint32_t TContourChains::NewNode(const TContourPoint& P) {
    FNodes.push_back({P, None, None});
    return static_cast<uint32_t>(FNodes.size() - 1);
}

void TContourChains::Link(uint32_t U, uint32_t V) {
    (FNodes[U].L0 == None ? FNodes[U].L0 : FNodes[U].L1) = V;
    (FNodes[V].L0 == None ? FNodes[V].L0 : FNodes[V].L1) = U;
}

// Joins polyline Other onto the grown end of polyline Index, in the order that
// keeps the line continuous; the shared point keeps the grown line's copy.
void TContourChains::Join(uint32_t Index, bool AtFront, uint32_t Other) {
    TSegment& g = FSegments[Index];
    TSegment& o = FSegments[Other];
    const uint32_t end = AtFront ? g.Front : g.Back;
    const bool first = Near(FNodes[end].Point, FNodes[o.Front].Point);
    Unfile(o.FrontBucket, Other * 2);
    Unfile(o.BackBucket, Other * 2 + 1);
    // The other's touching end is dropped and its neighbour linked to ours.
    const uint32_t shared = first ? o.Front : o.Back;
    const uint32_t beyond = FNodes[shared].L0 != None ? FNodes[shared].L0 : FNodes[shared].L1;
    (FNodes[beyond].L0 == shared ? FNodes[beyond].L0 : FNodes[beyond].L1) = None;
    Link(end, beyond);
    (AtFront ? g.Front : g.Back) = first ? o.Back : o.Front;
    (AtFront ? g.FrontBucket : g.BackBucket) = first ? o.BackBucket : o.FrontBucket;
    o.Alive = false;
    --FAlive;
}

size_t TContourChains::Slot(const TBucket& B) const {
    const uint64_t h = static_cast<uint64_t>(B.X) * 0x9E3779B97F4A7C15ull +
                       static_cast<uint64_t>(B.Z) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<size_t>(h >> FShift);
}

// Visits every filed end in the buckets where a point within the tolerance of
// the placed point can lie (and the few that share their slots).
template <class TVisit> void TContourChains::VisitAround(const TPlace& P, TVisit&& Visit) const {
    if (FFiled == 0) return;
    for (int dx = P.LoX; dx <= P.HiX; ++dx)
        for (int dz = P.LoZ; dz <= P.HiZ; ++dz)
            for (uint32_t e = FHeads[Slot({P.Bucket.X + dx, P.Bucket.Z + dz})]; e != None;
                 e = FEntries[e].Next)
                Visit(FEntries[e]);
}

void TContourChains::File(const TBucket& B, uint32_t Ref, const TContourPoint& P) {
    if (FFiled >= FHeads.size()) Rehash();
    uint32_t e = FFree;
    if (e != None) {
        FFree = FEntries[e].Next;
    } else {
        e = static_cast<uint32_t>(FEntries.size());
        FEntries.emplace_back();
    }
    uint32_t& head = FHeads[Slot(B)];
    FEntries[e] = {head, Ref, P, B};
    head = e;
    ++FFiled;
}

void TContourChains::Unfile(const TBucket& B, uint32_t Ref) {
    for (uint32_t* link = &FHeads[Slot(B)]; *link != None; link = &FEntries[*link].Next)
        if (FEntries[*link].Ref == Ref) {
            const uint32_t e = *link;
            *link = FEntries[e].Next;
            FEntries[e] = {FFree, None, {}, {}};
            FFree = e;
            --FFiled;
            return;
        }
}

void TContourChains::Rehash() {
    const size_t size = FHeads.empty() ? 256 : FHeads.size() * 2;
    FShift = 64 - std::countr_zero(size);
    FHeads.assign(size, None);
    FFree = None;
    for (uint32_t e = 0; e < FEntries.size(); ++e) {
        uint32_t& head = FEntries[e].Ref == None ? FFree : FHeads[Slot(FEntries[e].Bucket)];
        FEntries[e].Next = head;
        head = e;
    }
}
