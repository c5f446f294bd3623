#include "platform/rtl/memblock.h"
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace {

std::atomic<size_t> MappedBytes{0};

bool Mapped(size_t Bytes) {
    return Bytes >= MappedBlockThreshold;
}

size_t PageRounded(size_t Bytes) {
    static const size_t page = size_t(sysconf(_SC_PAGESIZE));
    return (Bytes + page - 1) / page * page;
}

// The pages a growing array is about to fill, faulted in at once rather than
// one trap at a time (ignored where the system cannot).
void Populate(void* Block, size_t From, size_t To) {
#ifdef MADV_POPULATE_WRITE
    if (To > From) madvise(static_cast<char*>(Block) + From, To - From, MADV_POPULATE_WRITE);
#else
    (void)Block, (void)From, (void)To;
#endif
}

// Freed mappings kept for the next new block: a chart loaded again or a series
// refilled takes pages already in memory instead of fresh ones the system must
// clear first, as the heap keeps its own freed top.
struct TKept {
    void* Block = nullptr;
    size_t Bytes = 0; // page rounded
};
constexpr int KeptMax = 4;
std::mutex KeptLock;
TKept Kept[KeptMax]; // oldest first
int KeptCount = 0;
size_t KeptBytes = 0;

// The kept block nearest in size to Bytes, within a factor of two either way
// (a much larger one would be cut down and its pages lost to a later need).
bool TakeKept(size_t Bytes, TKept& Taken) {
    std::lock_guard<std::mutex> lock(KeptLock);
    int best = -1;
    size_t bestGap = 0;
    for (int i = 0; i < KeptCount; ++i) {
        const size_t b = Kept[i].Bytes;
        if (b > 2 * Bytes || 2 * b < Bytes) continue;
        const size_t gap = b > Bytes ? b - Bytes : Bytes - b;
        if (best < 0 || gap <= bestGap) best = i, bestGap = gap;
    }
    if (best < 0) return false;
    Taken = Kept[best];
    KeptBytes -= Taken.Bytes;
    for (int i = best; i + 1 < KeptCount; ++i)
        Kept[i] = Kept[i + 1];
    --KeptCount;
    return true;
}

// A new mapping of Bytes, every page present.
void* Map(size_t Bytes) {
    const size_t size = PageRounded(Bytes);
    TKept kept;
    void* p;
    if (TakeKept(size, kept)) {
        p = kept.Block;
        if (kept.Bytes > size) {
            munmap(static_cast<char*>(p) + size, kept.Bytes - size);
        } else if (kept.Bytes < size) {
            p = mremap(p, kept.Bytes, size, MREMAP_MAYMOVE);
            if (p == MAP_FAILED) {
                munmap(kept.Block, kept.Bytes);
                throw std::bad_alloc();
            }
            Populate(p, kept.Bytes, size);
        }
    } else {
        p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        Populate(p, 0, size);
    }
    MappedBytes += size;
    return p;
}

void Unmap(void* Block, size_t Bytes) {
    const size_t size = PageRounded(Bytes);
    MappedBytes -= size;
    if (size <= KeptBlockBytesMax) {
        std::lock_guard<std::mutex> lock(KeptLock);
        while (KeptCount > 0 && (KeptCount == KeptMax || KeptBytes + size > KeptBlockBytesMax)) {
            munmap(Kept[0].Block, Kept[0].Bytes);
            KeptBytes -= Kept[0].Bytes;
            for (int i = 1; i < KeptCount; ++i)
                Kept[i - 1] = Kept[i];
            --KeptCount;
        }
        Kept[KeptCount++] = {Block, size};
        KeptBytes += size;
        return;
    }
    munmap(Block, size);
}

} // namespace

void* ResizeBlock(void* Block, size_t OldBytes, size_t NewBytes) {
    if (!Block) OldBytes = 0;
    if (NewBytes == 0) {
        if (Block) {
            if (Mapped(OldBytes))
                Unmap(Block, OldBytes);
            else
                std::free(Block);
        }
        return nullptr;
    }
    if (Mapped(NewBytes)) {
        if (!Block || !Mapped(OldBytes)) {
            void* p = Map(NewBytes);
            if (Block) {
                std::memcpy(p, Block, OldBytes);
                std::free(Block);
            }
            return p;
        }
        const size_t from = PageRounded(OldBytes), to = PageRounded(NewBytes);
        if (from == to) return Block;
        void* p = mremap(Block, from, to, MREMAP_MAYMOVE);
        if (p == MAP_FAILED) throw std::bad_alloc();
        MappedBytes += to;
        MappedBytes -= from;
        Populate(p, from, to);
        return p;
    }
    if (Block && Mapped(OldBytes)) {
        void* p = std::malloc(NewBytes);
        if (!p) throw std::bad_alloc();
        std::memcpy(p, Block, NewBytes);
        Unmap(Block, OldBytes);
        return p;
    }
    void* p = std::realloc(Block, NewBytes);
    if (!p) throw std::bad_alloc();
    return p;
}

size_t MappedBlockBytes() {
    return MappedBytes;
}
