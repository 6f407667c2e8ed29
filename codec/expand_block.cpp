// Block expansion: the four decoding stages in the order they undo the builder's work.
#include "codec/expand_block.h"

#include <stdlib.h>

#include "codec/block_sort_inverse.h"
#include "codec/huffman_decoder.h"
#include "codec/move_to_front.h"
#include "codec/run_length.h"

namespace {

// Each part starts on a 16-byte boundary of the one allocation.
uint32_t Rounded(uint32_t bytes) { return (bytes + 15u) & ~15u; }

}  // namespace

bool TakeExpandMemory(ExpandMemory* memory, uint32_t capacity) {
  *memory = ExpandMemory{};
  const uint32_t work = Rounded(capacity);
  const uint32_t table = Rounded(BlockSortTableBytes(capacity));
  uint8_t* bytes = static_cast<uint8_t*>(malloc(work + table + kHuffmanDecoderMemory));
  if (bytes == nullptr) return false;
  memory->work = bytes;
  memory->table = reinterpret_cast<uint32_t*>(bytes + work);
  memory->model = bytes + work + table;
  memory->capacity = capacity;
  return true;
}

void ReleaseExpandMemory(ExpandMemory* memory) {
  free(memory->work);
  *memory = ExpandMemory{};
}

bool ExpandBlock(uint8_t* buffer, uint32_t* length, uint32_t capacity,
                 const ExpandMemory* memory) {
  const uint32_t storedLength = *length;
  *length = 0;
  if (storedLength > capacity || capacity == 0) return false;
  ExpandMemory own = {};
  if (memory == nullptr || memory->capacity < capacity) {
    if (!TakeExpandMemory(&own, capacity)) return false;
    memory = &own;
  }
  // The work area holds stage 1's output and then stage 3's, while the caller's buffer
  // holds the others.
  uint8_t* work = memory->work;
  uint32_t count = 0;
  bool intact =
      HuffmanDecodeBlock(buffer, storedLength, work, capacity, &count, memory->model);
  if (intact) {
    UndoMoveToFront(work, buffer, count);
    intact = UndoBlockSort(buffer, work, &count, memory->table);
  }
  if (intact) {
    intact = UndoRunLength(work, buffer, &count, capacity);
    *length = count;
  }
  ReleaseExpandMemory(&own);
  return intact;
}
