// Block expansion: the stored bytes of one block record back to the block's plain bytes.
// Stages, in the order they run: adaptive Huffman decoding, inverse move-to-front,
// inverse block sort, run-length expansion. Each block stands alone.
#pragma once

#include <stdint.h>

// The memory that expanding blocks of one capacity needs beside the caller's buffer: the
// work area, the block sort's tables and the Huffman model. Taken once for a run of
// blocks: taken and given back for every block, it costs the stub more than a block's
// decoding on some systems (fresh pages from the system each time).
struct ExpandMemory {
  uint8_t* work;     // `capacity` bytes
  uint32_t* table;   // the block sort's tables for up to `capacity` bytes
  void* model;       // the Huffman decoder's model
  uint32_t capacity;
};

// Takes the memory for blocks of `capacity` bytes; false (and nothing taken) when it
// cannot be had.
bool TakeExpandMemory(ExpandMemory* memory, uint32_t capacity);
// Gives it back; a memory that holds nothing is ignored.
void ReleaseExpandMemory(ExpandMemory* memory);

// Expands `buffer` in place.
// Contract: `buffer` holds `capacity` bytes; on entry its first *length bytes are the
// stored bytes (*length <= capacity). On return *length is the number of expanded bytes,
// always <= capacity. On any input, valid or damaged, nothing is read or written outside
// `buffer`, the work area and the stages' own tables. Returns false when the block is
// damaged or does not fit the capacity; the buffer then holds nothing of use, and
// *length is what the run-length stage wrote, or 0 when an earlier stage failed.
// `capacity` may be at most 16 MiB; the file blocks use 0x18000, the header block 0xFFFF.
// With `memory` (taken for at least `capacity`) nothing is allocated; without it the
// call takes its memory and gives it back before returning, and fails when it cannot be
// had.
bool ExpandBlock(uint8_t* buffer, uint32_t* length, uint32_t capacity,
                 const ExpandMemory* memory = nullptr);
