#pragma once
// Lookups by name without regard to case (ASCII letters, as SameText), for the
// class registry, the property tables and the owned components of a component.
//   TNameHash, TNameEqual   hash and compare such names without copies
//   TNameTable              values found through the name each one carries
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qm_detail {

inline char FoldName(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

struct TNameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const noexcept {
        // Setting bit 5 folds letters and keeps equal names equal; a few
        // non-letters share a hash with others, which only costs a compare.
        uint64_t h = 14695981039346656037ull;
        for (char c : s)
            h = (h ^ (static_cast<unsigned char>(c) | 0x20u)) * 1099511628211ull;
        return static_cast<size_t>(h ^ (h >> 29));
    }
};

struct TNameEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i] && FoldName(a[i]) != FoldName(b[i])) return false;
        return true;
    }
};

// Non-null pointers found by the name KeyOf gives for each. A value's name must
// not change while it is in the table (take it out, rename, put it back).
// Several values may share a name. Open addressing with linear probing in a
// power-of-two table at most half full, so a lookup is a hash, a mask and a
// compare or two; removal closes the gap instead of leaving markers.
template <typename V, std::string_view (*KeyOf)(V)> class TNameTable {
public:
    explicit TNameTable(size_t Expected = 0) {
        size_t size = 16;
        while (size < Expected * 2)
            size *= 2;
        FSlots.resize(size);
    }

    size_t Count() const { return FCount; }

    void Add(V Value) {
        if ((FCount + 1) * 2 > FSlots.size()) {
            std::vector<TSlot> old(FSlots.size() * 2);
            old.swap(FSlots);
            for (const TSlot& slot : old)
                if (slot.Value) Place(slot.Hash, slot.Value);
        }
        Place(TNameHash()(KeyOf(Value)), Value);
        ++FCount;
    }

    // Takes out this very value (not others of its name); false when absent.
    bool Remove(V Value) {
        size_t hole = TNameHash()(KeyOf(Value)) & Mask();
        while (FSlots[hole].Value && FSlots[hole].Value != Value)
            hole = (hole + 1) & Mask();
        if (!FSlots[hole].Value) return false;
        // Move up each later entry of the run whose search would stop at the hole.
        for (size_t j = (hole + 1) & Mask(); FSlots[j].Value; j = (j + 1) & Mask()) {
            const size_t home = FSlots[j].Hash & Mask();
            if (((hole - home) & Mask()) < ((j - home) & Mask())) {
                FSlots[hole] = FSlots[j];
                hole = j;
            }
        }
        FSlots[hole] = TSlot{};
        --FCount;
        return true;
    }

    // A value of that name or nullptr; Several (when given) tells whether more
    // than one has it.
    V Find(std::string_view Name, bool* Several = nullptr) const {
        const size_t hash = TNameHash()(Name);
        V found{};
        if (Several) *Several = false;
        for (size_t i = hash & Mask(); FSlots[i].Value; i = (i + 1) & Mask()) {
            const TSlot& slot = FSlots[i];
            if (slot.Hash != hash || !TNameEqual()(KeyOf(slot.Value), Name)) continue;
            if (!found) {
                found = slot.Value;
                if (!Several) break;
            } else {
                *Several = true;
                break;
            }
        }
        return found;
    }

    // Calls Visit for every value, in no particular order.
    template <typename F> void ForEach(F Visit) const {
        for (const TSlot& slot : FSlots)
            if (slot.Value) Visit(slot.Value);
    }

private:
    struct TSlot {
        size_t Hash = 0;
        V Value{};
    };

    size_t Mask() const { return FSlots.size() - 1; }
    void Place(size_t Hash, V Value) {
        size_t i = Hash & Mask();
        while (FSlots[i].Value)
            i = (i + 1) & Mask();
        FSlots[i] = TSlot{Hash, Value};
    }

    std::vector<TSlot> FSlots;
    size_t FCount = 0;
};

} // namespace qm_detail
