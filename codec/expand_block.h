// Block expansion: the stored bytes of one block record back to the block's plain bytes.
// Stages, in the order they run: adaptive Huffman decoding, inverse move-to-front,
// inverse block sort, run-length expansion. Each block stands alone.
#pragma once

#include <stdint.h>

// Expands `buffer` in place.
// Contract: `buffer` holds `capacity` bytes; on entry its first *length bytes are the
// stored bytes (*length <= capacity). On return *length is the number of expanded bytes,
// always <= capacity. On any input, valid or damaged, nothing is read or written outside
// `buffer`, the work area and the stages' own tables. Returns false when the block is
// damaged or does not fit the capacity; the buffer then holds nothing of use, and
// *length is what the run-length stage wrote, or 0 when an earlier stage failed.
// `capacity` may be at most 16 MiB; the file blocks use 0x18000, the header block 0xFFFF.
// Allocates one work area of `capacity` bytes and, for the block sort, 6 bytes per block
// byte (4 for blocks over 64 KiB), both released before returning; fails when either
// cannot be had.
bool ExpandBlock(uint8_t* buffer, uint32_t* length, uint32_t capacity);
