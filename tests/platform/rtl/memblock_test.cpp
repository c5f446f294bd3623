// Growable memory blocks keep their bytes when they grow and shrink across the
// size where they move between the heap and mappings of their own, and count
// the mapped bytes they hold.
#include "platform/rtl/memblock.h"
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

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
