#pragma once
// Memory for long growable arrays of plain values (the value lists of a chart
// series): a block of a few hundred kilobytes or more is a mapping of its own,
// which grows in place or moves without its bytes being copied, so such arrays
// can grow in small steps and keep little room spare. Smaller blocks live on
// the heap.
#include <cstddef>

// Blocks of at least this many bytes are mappings.
constexpr size_t MappedBlockThreshold = 256 * 1024;

// Freed mappings, up to this many bytes in all, stay in memory for the next new
// block of about their size, which then needs no fresh pages.
constexpr size_t KeptBlockBytesMax = size_t(32) << 20;

// Resizes Block (nullptr: a new one) from OldBytes, the size it was last given,
// to NewBytes, keeping the bytes both sizes hold; 0 frees it and gives
// nullptr. Throws std::bad_alloc when memory runs out (Block is then as it was).
void* ResizeBlock(void* Block, size_t OldBytes, size_t NewBytes);

// Bytes held in mappings now: the part of the memory in use that the heap's own
// statistics do not count.
size_t MappedBlockBytes();
