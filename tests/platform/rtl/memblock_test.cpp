// Growable memory blocks keep their bytes when they grow and shrink across the
// size where they move between the heap and mappings of their own, count the
// mapped bytes they hold, and reuse the pages of freed ones within a bound.
#include "platform/rtl/memblock.h"
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t MB = size_t(1) << 20;

long MinorFaults() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt;
}

size_t AddressSpaceBytes() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    return pages * size_t(sysconf(_SC_PAGESIZE));
}

} // namespace

TEST(MemBlock, BytesSurviveEveryMoveBetweenHeapAndMapping) {
    const size_t mappedBefore = MappedBlockBytes();
    const std::vector<size_t> sizes = {16,
                                       4096,
                                       MappedBlockThreshold - 8,
                                       MappedBlockThreshold,
                                       3 * MappedBlockThreshold + 5,
                                       40 * MappedBlockThreshold,
                                       2 * MappedBlockThreshold,
                                       100,
                                       MappedBlockThreshold * 5};
    void* block = nullptr;
    size_t size = 0, filled = 0;
    for (size_t next : sizes) {
        block = ResizeBlock(block, size, next);
        auto* b = static_cast<uint8_t*>(block);
        for (size_t i = 0; i < std::min(filled, next); ++i)
            ASSERT_EQ(b[i], uint8_t(i * 7 + 3))
                << "byte " << i << " after " << size << " -> " << next;
        for (size_t i = 0; i < next; ++i)
            b[i] = uint8_t(i * 7 + 3);
        filled = next;
        size = next;
        EXPECT_EQ(MappedBlockBytes() > mappedBefore, next >= MappedBlockThreshold) << next;
    }
    EXPECT_EQ(ResizeBlock(block, size, 0), nullptr);
    EXPECT_EQ(MappedBlockBytes(), mappedBefore);
}

TEST(MemBlock, ANewBlockTakesThePagesOfOneJustFreed) {
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    struct Case {
        size_t Freed, Made;
    };
    for (const Case c : {Case{8 * MB, 8 * MB}, Case{8 * MB, 5 * MB}, Case{5 * MB, 8 * MB}}) {
        void* old = ResizeBlock(nullptr, 0, c.Freed);
        std::memset(old, 1, c.Freed);
        ResizeBlock(old, c.Freed, 0);
        const long before = MinorFaults();
        auto* made = static_cast<uint8_t*>(ResizeBlock(nullptr, 0, c.Made));
        std::memset(made, 2, c.Made);
        // Only the pages beyond the freed block's are new to the process.
        const long fresh = MinorFaults() - before;
        const long beyond = long((std::max(c.Made, c.Freed) - c.Freed) / page);
        EXPECT_LE(fresh, beyond + 16) << c.Freed << " -> " << c.Made;
        ResizeBlock(made, c.Made, 0);
    }
}

TEST(MemBlock, FreedBlocksHeldForReuseStayWithinTheirBound) {
    struct Case {
        int Count;
        size_t Bytes;
    };
    for (const Case c : {Case{12, 10 * MB}, Case{1, KeptBlockBytesMax + MB}, Case{40, MB}}) {
        std::vector<void*> blocks;
        for (int i = 0; i < c.Count; ++i)
            blocks.push_back(ResizeBlock(nullptr, 0, c.Bytes));
        const size_t held = AddressSpaceBytes();
        for (void* b : blocks)
            ResizeBlock(b, c.Bytes, 0);
        // A block larger than the bound is never held.
        const size_t total = size_t(c.Count) * c.Bytes;
        const size_t mayHold =
            c.Bytes <= KeptBlockBytesMax ? std::min(total, KeptBlockBytesMax) : 0;
        EXPECT_GE(held - AddressSpaceBytes(), total - mayHold) << c.Count << " x " << c.Bytes;
    }
}
