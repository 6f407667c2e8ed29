// Small helpers shared by the codec tests.
#pragma once

#include <stdint.h>

#include <algorithm>
#include <random>
#include <vector>

#include "codec/encoder/block_sort.h"
#include "codec/encoder/huffman_encoder.h"
#include "codec/encoder/move_to_front_encoder.h"
#include "codec/expand_block.h"

using Bytes = std::vector<uint8_t>;

// The capacities the installer expands file blocks and the header block with.
constexpr uint32_t kFileCapacity = 0x18000;
constexpr uint32_t kHeaderCapacity = 0xFFFF;

// Expands `stored` in a buffer of `capacity` bytes; `out` gets the expanded bytes.
inline bool Expand(const Bytes& stored, uint32_t capacity, Bytes* out) {
  Bytes buffer(std::max<size_t>(capacity, stored.size()));
  std::copy(stored.begin(), stored.end(), buffer.begin());
  uint32_t length = static_cast<uint32_t>(stored.size());
  const bool ok = ExpandBlock(buffer.data(), &length, capacity);
  EXPECT_LE(length, capacity);
  out->assign(buffer.begin(), buffer.begin() + length);
  return ok;
}

// Stored bytes whose block sort stage yields `sorted` (primary index + last column):
// how the tests hand-craft damage that the later stages must catch.
inline Bytes PackSorted(Bytes sorted) {
  MoveToFront(sorted.data(), sorted.data(), sorted.size());
  return HuffmanEncodeBlock(sorted.data(), sorted.size());
}

// Stored bytes whose run-length stage receives exactly `runLengthData`.
inline Bytes PackRunLengthData(const Bytes& runLengthData) {
  return PackSorted(BlockSort(runLengthData.data(), runLengthData.size()));
}

inline Bytes RandomBytes(size_t length, uint32_t seed, int alphabet = 256) {
  std::mt19937 rng(seed);
  Bytes out(length);
  for (auto& b : out) b = static_cast<uint8_t>(rng() % static_cast<uint32_t>(alphabet));
  return out;
}
