// Inverse block sort.
#include "codec/block_sort_inverse.h"

#include <stdlib.h>

#include "base/little_endian.h"

bool UndoBlockSort(const uint8_t* input, uint8_t* output, uint32_t* length) {
  if (*length < 4) return false;
  const uint32_t n = *length - 4;
  const uint32_t primary = LoadLe32(input);
  if (primary >= n || n > kMaxBlockSortLength) return false;
  const uint8_t* last = input + 4;

  uint32_t start[256] = {};
  for (uint32_t i = 0; i < n; ++i) ++start[last[i]];
  uint32_t smaller = 0;
  for (int v = 0; v < 256; ++v) {
    const uint32_t count = start[v];
    start[v] = smaller;
    smaller += count;
  }

  // Each entry holds the next row (upper 24 bits) and the row's byte of L (low 8 bits),
  // so the walk below touches one entry per output byte.
  uint32_t* transform = static_cast<uint32_t*>(malloc(n * sizeof(uint32_t)));
  if (transform == nullptr) return false;
  for (uint32_t i = 0; i < n; ++i) transform[start[last[i]]++] = i << 8;
  for (uint32_t p = 0; p < n; ++p) transform[p] |= last[p];

  uint32_t row = primary;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t entry = transform[row];
    output[i] = static_cast<uint8_t>(entry);
    row = entry >> 8;
  }
  free(transform);
  *length = n;
  return true;
}
