#include "platform/rtl/memblock.h"
#include <atomic>
#include <cstdlib>
#include <cstring>
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

void* Map(size_t Bytes) {
    void* p = mmap(nullptr, PageRounded(Bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                   -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    MappedBytes += PageRounded(Bytes);
    return p;
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

void Unmap(void* Block, size_t Bytes) {
    munmap(Block, PageRounded(Bytes));
    MappedBytes -= PageRounded(Bytes);
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
            Populate(p, PageRounded(OldBytes), PageRounded(NewBytes));
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
