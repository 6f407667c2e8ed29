// Inverse move-to-front.
#include "codec/move_to_front.h"

#include <string.h>

namespace {

constexpr unsigned kFrontEntries = 8;

}  // namespace

void UndoMoveToFront(const uint8_t* input, uint8_t* output, uint32_t length) {
  // After a block sort nearly every code is small. The first eight entries of the list
  // live in one word, entry i in its byte i, so that such a code moves them with a few
  // operations on the word, where a byte loop would cost a mispredicted branch or a call.
  uint64_t front = 0;
  for (unsigned i = 0; i < kFrontEntries; ++i) front |= static_cast<uint64_t>(i) << (8 * i);
  uint8_t rest[256 - kFrontEntries];
  for (unsigned i = 0; i < sizeof rest; ++i) rest[i] = static_cast<uint8_t>(i + kFrontEntries);
  for (uint32_t i = 0; i < length; ++i) {
    const unsigned code = input[i];
    uint8_t value;
    if (code < kFrontEntries) {
      const unsigned shift = 8 * code;
      value = static_cast<uint8_t>(front >> shift);
      const uint64_t moved = ~uint64_t{0} >> (56 - shift);  // bytes 0..code
      front = (front & ~moved) | ((front << 8) & moved) | value;
    } else {
      const unsigned position = code - kFrontEntries;
      value = rest[position];
      memmove(rest + 1, rest, position);
      rest[0] = static_cast<uint8_t>(front >> 56);
      front = (front << 8) | value;
    }
    output[i] = value;
  }
}
