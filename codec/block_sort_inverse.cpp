// Inverse block sort.
#include "codec/block_sort_inverse.h"

#include <stdlib.h>
#include <string.h>

#include "base/little_endian.h"

namespace {

// Columns up to this long have rows that fit 16 bits, and are walked two bytes a step.
constexpr uint32_t kPairedWalkLength = 0x10000;

constexpr uint32_t kCountsWords = 4 * 256;
constexpr size_t kCountsSize = kCountsWords * sizeof(uint32_t);

// start[v]: the number of bytes of `last` below v, the first row whose rotation begins
// with v. Four counters per value, each counting every fourth byte: a block-sorted column
// repeats its bytes, and one counter would make every count wait for the one before.
// The counters (`countsMemory`, kCountsSize bytes) are not on the stack, since the
// stub's frames stay below a page.
void FindStarts(const uint8_t* last, uint32_t n, uint32_t start[256], uint32_t* countsMemory) {
  auto* counts = reinterpret_cast<uint32_t(*)[256]>(countsMemory);
  memset(counts, 0, kCountsSize);
  uint32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    ++counts[0][last[i]];
    ++counts[1][last[i + 1]];
    ++counts[2][last[i + 2]];
    ++counts[3][last[i + 3]];
  }
  for (; i < n; ++i) ++counts[0][last[i]];
  uint32_t smaller = 0;
  for (int v = 0; v < 256; ++v) {
    start[v] = smaller;
    smaller += counts[0][v] + counts[1][v] + counts[2][v] + counts[3][v];
  }
}

// The walk from row to row is a chain of dependent loads from a table too large for the
// nearest cache, so its speed is that of the loads. Each entry here holds the next row
// (upper 24 bits) and the row's byte of L (low 8 bits): one load per output byte.
// `table`: the counters, then n words.
void WalkRows(const uint8_t* last, uint32_t n, uint32_t primary, uint8_t* output,
              uint32_t* table) {
  uint32_t start[256];
  FindStarts(last, n, start, table);
  uint32_t* transform = table + kCountsWords;
  for (uint32_t i = 0; i < n; ++i) transform[start[last[i]]++] = i << 8;
  for (uint32_t p = 0; p < n; ++p) transform[p] |= last[p];

  uint32_t row = primary;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t entry = transform[row];
    output[i] = static_cast<uint8_t>(entry);
    row = entry >> 8;
  }
}

// The same walk, two rows a step: each entry holds the row after next (upper 16 bits)
// and the bytes of L of the row and of the next one, so the chain of dependent loads is
// half as long. The entries are built from the one-row table with loads that do not
// depend on each other, which the processor overlaps.
// `table`: the counters, the pairs (4 bytes a row), then the next rows (2 bytes a row).
void WalkRowPairs(const uint8_t* last, uint32_t n, uint32_t primary, uint8_t* output,
                  uint32_t* table) {
  uint32_t start[256];
  FindStarts(last, n, start, table);
  uint32_t* pairs = table + kCountsWords;
  uint16_t* next = reinterpret_cast<uint16_t*>(pairs + n);
  for (uint32_t i = 0; i < n; ++i) next[start[last[i]]++] = static_cast<uint16_t>(i);
  for (uint32_t p = 0; p < n; ++p) {
    const uint32_t q = next[p];
    pairs[p] = static_cast<uint32_t>(next[q]) << 16 | static_cast<uint32_t>(last[q]) << 8 | last[p];
  }

  uint32_t row = primary;
  uint32_t i = 0;
  for (; i + 1 < n; i += 2) {
    const uint32_t entry = pairs[row];
    output[i] = static_cast<uint8_t>(entry);
    output[i + 1] = static_cast<uint8_t>(entry >> 8);
    row = entry >> 16;
  }
  // `last` may already lie under the output.
  if (i < n) output[i] = static_cast<uint8_t>(pairs[row]);
}

}  // namespace

uint32_t BlockSortTableBytes(uint32_t n) {
  // A shorter column may take more: the paired walk's 6 bytes a row.
  const uint32_t paired = (n < kPairedWalkLength ? n : kPairedWalkLength) *
                          static_cast<uint32_t>(sizeof(uint32_t) + sizeof(uint16_t));
  const uint32_t single = n > kPairedWalkLength ? n * static_cast<uint32_t>(sizeof(uint32_t)) : 0;
  return static_cast<uint32_t>(kCountsSize) + (paired > single ? paired : single);
}

bool UndoBlockSort(const uint8_t* input, uint8_t* output, uint32_t* length) {
  if (*length < 4) return false;
  const uint32_t n = *length - 4;
  if (LoadLe32(input) >= n || n > kMaxBlockSortLength) return false;
  uint32_t* table = static_cast<uint32_t*>(malloc(BlockSortTableBytes(n)));
  if (table == nullptr) return false;
  const bool done = UndoBlockSort(input, output, length, table);
  free(table);
  return done;
}

bool UndoBlockSort(const uint8_t* input, uint8_t* output, uint32_t* length, uint32_t* table) {
  if (*length < 4) return false;
  const uint32_t n = *length - 4;
  const uint32_t primary = LoadLe32(input);
  if (primary >= n || n > kMaxBlockSortLength) return false;
  const uint8_t* last = input + 4;
  if (n <= kPairedWalkLength) {
    WalkRowPairs(last, n, primary, output, table);
  } else {
    WalkRows(last, n, primary, output, table);
  }
  *length = n;
  return true;
}
