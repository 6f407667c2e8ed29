// Move-to-front coding, the inverse of UndoMoveToFront.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Replaces each byte by its position in a list that starts as 0..255 and moves each
// coded byte to the front. `input` and `output` hold `length` bytes; they may be equal.
void MoveToFront(const uint8_t* input, uint8_t* output, size_t length);
