// Arbitrary stored bytes must never make ExpandBlock step outside its buffers.
#include <stdlib.h>
#include <string.h>

#include "codec/block_sort_inverse.h"
#include "codec/encoder/compress_block.h"
#include "codec/expand_block.h"
#include "codec/move_to_front.h"
#include "codec/run_length.h"
#include "fuzz/fuzz_targets.h"

namespace {

// Exactly `capacity` bytes, so that the sanitizers see any access past the end.
uint8_t* AllocateCopy(const uint8_t* data, uint32_t length, uint32_t capacity) {
  auto* buffer = static_cast<uint8_t*>(malloc(capacity));
  if (buffer != nullptr) memcpy(buffer, data, length);
  return buffer;
}

// Random stored bytes seldom get far through the Huffman stage, so the later stages also
// get `data` as if the Huffman stage had produced it.
bool FuzzLaterStages(const uint8_t* data, uint32_t length, uint32_t capacity) {
  auto* buffer = static_cast<uint8_t*>(malloc(capacity));
  uint8_t* work = AllocateCopy(data, length, capacity);
  bool fits = true;
  if (buffer != nullptr && work != nullptr) {
    UndoMoveToFront(work, buffer, length);
    if (UndoBlockSort(buffer, work, &length)) {
      UndoRunLength(work, buffer, &length, capacity);
      fits = length <= capacity;
    }
  }
  free(buffer);
  free(work);
  return fits;
}

}  // namespace

bool FuzzExpandBlock(const uint8_t* data, size_t size) {
  const auto storedLength =
      static_cast<uint32_t>(size < kMaxStoredLength ? size : kMaxStoredLength);
  for (const uint32_t capacity : {kFuzzHeaderCapacity, kFuzzFileCapacity}) {
    uint8_t* buffer = AllocateCopy(data, storedLength, capacity);
    if (buffer == nullptr) return true;
    uint32_t length = storedLength;
    ExpandBlock(buffer, &length, capacity);
    free(buffer);
    if (length > capacity) return false;
  }
  return FuzzLaterStages(data, storedLength, kFuzzFileCapacity);
}
