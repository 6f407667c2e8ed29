// Inverse move-to-front.
#include "codec/move_to_front.h"

#include <string.h>

void UndoMoveToFront(const uint8_t* input, uint8_t* output, uint32_t length) {
  uint8_t list[256];
  for (int i = 0; i < 256; ++i) list[i] = static_cast<uint8_t>(i);
  for (uint32_t i = 0; i < length; ++i) {
    const uint8_t code = input[i];
    const uint8_t value = list[code];
    if (code != 0) {
      memmove(list + 1, list, code);
      list[0] = value;
    }
    output[i] = value;
  }
}
