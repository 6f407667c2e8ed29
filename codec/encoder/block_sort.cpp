// Block sort by suffix sorting. Suffix order and rotation order differ only where one
// suffix is a prefix of another (the shorter sorts first, while the rotations go on
// comparing the bytes that wrap around). Started at its least rotation W, the block has
// no such disagreement that matters: if suffix j of W is a prefix of suffix i, the
// rotations then compare W itself with a later rotation of W, and W is the least, so
// rotation j sorts first as well, or the two rotations are equal. Sorting the suffixes
// of W therefore sorts the rotations, without doubling the block.
#include "codec/encoder/block_sort.h"

#include <divsufsort.h>
#include <stdint.h>

#include <algorithm>
#include <memory>

#include "base/little_endian.h"

namespace {

// Start of the least rotation of data[0, length), in linear time: two candidate starts
// race; the first mismatch after k equal bytes rules out the worse one and the k starts
// after it, which can only be worse by the same mismatch.
size_t LeastRotation(const uint8_t* data, size_t length) {
  // Positions below 2 * length wrap with one subtraction; a division per byte compared
  // would cost more than the suffix sort.
  const auto at = [data, length](size_t position) {
    return data[position < length ? position : position - length];
  };
  size_t i = 0;
  size_t j = 1;
  size_t k = 0;
  while (i < length && j < length && k < length) {
    const uint8_t a = at(i + k);
    const uint8_t b = at(j + k);
    if (a == b) {
      ++k;
      continue;
    }
    if (a > b) {
      i += k + 1;
    } else {
      j += k + 1;
    }
    if (i == j) ++j;
    k = 0;
  }
  return std::min(i, j);
}

}  // namespace

std::vector<uint8_t> BlockSort(const uint8_t* data, size_t length) {
  std::vector<uint8_t> out;
  if (length == 0 || length > INT32_MAX) return out;
  const size_t shift = LeastRotation(data, length);
  std::vector<uint8_t> least(data + shift, data + length);
  least.insert(least.end(), data, data + shift);
  // Filled by the sort: not cleared first, which would cost a pass over 4 bytes a byte.
  const std::unique_ptr<saidx_t[]> suffixes(new saidx_t[length]);
  if (divsufsort(least.data(), suffixes.get(), static_cast<saidx_t>(length)) != 0) return out;

  out.resize(length + 4);
  uint8_t* last = out.data() + 4;
  // The rotation of the block that starts at data[1] starts at this offset in `least`.
  const size_t primaryStart = length == 1 ? 0 : (1 + length - shift) % length;
  uint32_t primary = 0;
  for (size_t row = 0; row < length; ++row) {
    const size_t start = static_cast<size_t>(suffixes[row]);
    if (start == primaryStart) primary = static_cast<uint32_t>(row);
    last[row] = least[start == 0 ? length - 1 : start - 1];
  }
  StoreLe32(out.data(), primary);
  return out;
}
