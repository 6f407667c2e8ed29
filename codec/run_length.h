// Last stage of block expansion: the run-length data back to the block's plain bytes.
#pragma once

#include <stdint.h>

// `input` holds *length bytes: a form byte, then either the plain bytes (form 0) or the
// run-length code (any other form). In the code, 0xFF 0xFF is a literal 0xFF and 0xFF c
// (c < 0xFF) repeats the last literal c + 3 times (0xFF before the first literal).
// A run is written only while the output then stays below `capacity`.
// Writes at most `capacity` bytes to `output` (must not overlap `input`) and sets
// *length to the bytes written. Returns true only when all input was expanded; false for
// an empty input, a lone 0xFF as the last byte, output that reached the capacity with
// input left, or a run refused at the capacity. Nothing is read past the input.
bool UndoRunLength(const uint8_t* input, uint8_t* output, uint32_t* length, uint32_t capacity);
