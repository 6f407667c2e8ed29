// Second stage of block expansion: move-to-front codes back to the block-sorted bytes.
#pragma once

#include <stdint.h>

// Replaces each code x of `input` by the entry at position x of a list that starts as
// 0..255, moving that entry to the front. Reads `length` bytes of `input` and writes
// `length` bytes of `output`; the two may be the same buffer.
void UndoMoveToFront(const uint8_t* input, uint8_t* output, uint32_t length);
