// Move-to-front coding.
#include "codec/encoder/move_to_front_encoder.h"

#include <string.h>

void MoveToFront(const uint8_t* input, uint8_t* output, size_t length) {
  uint8_t list[256];
  for (int i = 0; i < 256; ++i) list[i] = static_cast<uint8_t>(i);
  for (size_t i = 0; i < length; ++i) {
    const uint8_t value = input[i];
    // After a block sort most values repeat the one before; the rest may lie far down.
    if (list[0] == value) {
      output[i] = 0;
      continue;
    }
    // Every value is in the list, so the search always succeeds.
    const auto* found = static_cast<const uint8_t*>(memchr(list + 1, value, sizeof list - 1));
    const auto position = static_cast<size_t>(found - list);
    memmove(list + 1, list, position);
    list[0] = value;
    output[i] = static_cast<uint8_t>(position);
  }
}
