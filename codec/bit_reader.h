// Reads a block's stored bytes as a bit stream, most significant bit of each byte first.
#pragma once

#include <stdint.h>

// One reader per block, on the stack of the decoding call. Never reads outside
// [data, data + length): bits past the end read as 0, and consuming one marks the reader
// overrun, which the caller must treat as a damaged block (valid input never gets there).
// The next bits wait, most significant first, in a 64-bit window, so that a decoder can
// look at several of them before it knows how many it uses.
class BitReader {
 public:
  BitReader(const uint8_t* data, uint32_t length)
      : position_(data), end_(data + length), window_(0), available_(0), overrun_(false) {
    Refill();
  }

  // Returns the next bit, 0 or 1.
  unsigned ReadBit() {
    if (available_ == 0) {
      Refill();
      if (available_ == 0) {
        overrun_ = true;
        return 0;
      }
    }
    const unsigned bit = static_cast<unsigned>(window_ >> 63);
    window_ <<= 1;
    --available_;
    return bit;
  }

  // Returns the next `count` bits (1..32), the first bit read being the most significant.
  uint32_t ReadBits(unsigned count) {
    const uint32_t value = PeekBits(count);
    SkipBits(count);
    return value;
  }

  // The next `count` bits (1..32) without consuming them; 0 bits past the input's end.
  uint32_t PeekBits(unsigned count) {
    if (available_ < count) Refill();
    return static_cast<uint32_t>(window_ >> (64 - count));
  }

  // Consumes `count` bits (0..32) that PeekBits has shown.
  void SkipBits(unsigned count) {
    if (count > available_) {
      overrun_ = true;
      window_ = 0;
      available_ = 0;
      return;
    }
    window_ <<= count;
    available_ -= count;
  }

  bool overrun() const { return overrun_; }

 private:
  // Tops the window up to at least 57 bits, or to the rest of the input.
  void Refill() {
    while (available_ <= 56 && position_ != end_) {
      window_ |= static_cast<uint64_t>(*position_++) << (56 - available_);
      available_ += 8;
    }
  }

  const uint8_t* position_;
  const uint8_t* end_;
  uint64_t window_;     // the next bits, left-aligned; zeros below the available ones
  unsigned available_;  // bits of the window that come from the input
  bool overrun_;
};
