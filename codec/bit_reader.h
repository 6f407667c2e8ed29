// Reads a block's stored bytes as a bit stream, most significant bit of each byte first.
#pragma once

#include <stdint.h>

// One reader per block, on the stack of the decoding call. Never reads outside
// [data, data + length): a read past the end yields 0 bits and marks the reader overrun,
// which the caller must treat as a damaged block (valid input never gets there).
class BitReader {
 public:
  BitReader(const uint8_t* data, uint32_t length)
      : position_(data), end_(data + length), mask_(0x80), overrun_(false) {}

  // Returns the next bit, 0 or 1.
  unsigned ReadBit() {
    if (position_ == end_) {
      overrun_ = true;
      return 0;
    }
    const unsigned bit = (*position_ & mask_) != 0;
    mask_ >>= 1;
    if (mask_ == 0) {
      ++position_;
      mask_ = 0x80;
    }
    return bit;
  }

  // Returns the next `count` bits (1..32), the first bit read being the most significant.
  uint32_t ReadBits(unsigned count) {
    uint32_t value = 0;
    for (uint32_t m = uint32_t{1} << (count - 1); m != 0; m >>= 1) {
      if (ReadBit()) value |= m;
    }
    return value;
  }

  bool overrun() const { return overrun_; }

 private:
  const uint8_t* position_;
  const uint8_t* end_;
  unsigned mask_;
  bool overrun_;
};
