// Move-to-front coding.
#include "codec/encoder/move_to_front_encoder.h"

#include <string.h>

namespace {

constexpr unsigned kFrontEntries = 8;
constexpr uint64_t kEveryByte = 0x0101010101010101;

// The index of the first byte of `word` (its lowest) that equals `value`, or 8.
unsigned FindByte(uint64_t word, uint8_t value) {
  const uint64_t differences = word ^ (kEveryByte * value);
  // The lowest byte that is 0 gets its top bit set; bytes above it may get false ones.
  const uint64_t zeros = (differences - kEveryByte) & ~differences & (kEveryByte << 7);
  return zeros == 0 ? 8 : static_cast<unsigned>(__builtin_ctzll(zeros)) / 8;
}

}  // namespace

void MoveToFront(const uint8_t* input, uint8_t* output, size_t length) {
  // After a block sort most values repeat one of the last few: the first eight entries of
  // the list live in one word (entry i in its byte i), where they are found and moved
  // with a few operations; the rest of the list is searched and moved in memory.
  uint64_t front = 0;
  for (unsigned i = 0; i < kFrontEntries; ++i) front |= static_cast<uint64_t>(i) << (8 * i);
  uint8_t rest[256 - kFrontEntries];
  for (unsigned i = 0; i < sizeof rest; ++i) rest[i] = static_cast<uint8_t>(i + kFrontEntries);
  for (size_t i = 0; i < length; ++i) {
    const uint8_t value = input[i];
    unsigned position = FindByte(front, value);
    if (position < kFrontEntries) {
      const uint64_t moved = ~uint64_t{0} >> (56 - 8 * position);  // bytes 0..position
      front = (front & ~moved) | ((front << 8) & moved) | value;
    } else {
      // Every value is in the list, so the search always succeeds.
      const auto* found = static_cast<const uint8_t*>(memchr(rest, value, sizeof rest));
      const auto index = static_cast<unsigned>(found - rest);
      memmove(rest + 1, rest, index);
      rest[0] = static_cast<uint8_t>(front >> 56);
      front = (front << 8) | value;
      position = kFrontEntries + index;
    }
    output[i] = static_cast<uint8_t>(position);
  }
}
