// Block expansion: the four decoding stages in the order they undo the builder's work.
#include "codec/expand_block.h"

#include <stdlib.h>

#include "codec/block_sort_inverse.h"
#include "codec/huffman_decoder.h"
#include "codec/move_to_front.h"
#include "codec/run_length.h"

bool ExpandBlock(uint8_t* buffer, uint32_t* length, uint32_t capacity) {
  const uint32_t storedLength = *length;
  *length = 0;
  if (storedLength > capacity || capacity == 0) return false;
  // Holds stage 1's output and then stage 3's, while the caller's buffer holds the others.
  uint8_t* work = static_cast<uint8_t*>(malloc(capacity));
  if (work == nullptr) return false;

  uint32_t count = 0;
  bool intact = HuffmanDecodeBlock(buffer, storedLength, work, capacity, &count);
  if (intact) {
    UndoMoveToFront(work, buffer, count);
    intact = UndoBlockSort(buffer, work, &count);
  }
  if (intact) {
    intact = UndoRunLength(work, buffer, &count, capacity);
    *length = count;
  }
  free(work);
  return intact;
}
