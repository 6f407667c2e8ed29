// Writes a bit stream most significant bit of each byte first: what BitReader reads.
#pragma once

#include <stdint.h>

#include <vector>

class BitWriter {
 public:
  // Appends to `output`, which must outlive the writer.
  explicit BitWriter(std::vector<uint8_t>* output) : output_(output) {}

  // Writes the low `count` (0..32) bits of `value`, most significant first.
  void WriteBits(uint32_t value, unsigned count) {
    if (count == 0) return;
    const uint64_t mask = (uint64_t{1} << count) - 1;
    pending_ = (pending_ << count) | (value & mask);
    pendingBits_ += count;
    while (pendingBits_ >= 8) {
      pendingBits_ -= 8;
      output_->push_back(static_cast<uint8_t>(pending_ >> pendingBits_));
    }
  }

  void WriteBit(unsigned bit) { WriteBits(bit, 1); }

  // Pads the last byte with zero bits.
  void Finish() {
    if (pendingBits_ > 0) WriteBits(0, 8 - pendingBits_);
  }

 private:
  std::vector<uint8_t>* output_;
  uint64_t pending_ = 0;  // never more than 7 bits between calls
  unsigned pendingBits_ = 0;
};
