// First stage of block expansion: the stored bit stream back to move-to-front codes.
#pragma once

#include <stdint.h>

// Decodes `input` (inputLength bytes) into `output` (room for `capacity` bytes) from a
// fresh tree, until the end-of-block symbol or until `capacity` bytes are written,
// whichever comes first. *outputLength receives the bytes written (<= capacity) also on
// failure. Returns false for a damaged stream: the input ends inside a symbol, or an
// escape names a value that is already in the tree. Nothing outside the two buffers is
// read or written; the model and its lookup table live on this call's stack.
bool HuffmanDecodeBlock(const uint8_t* input, uint32_t inputLength, uint8_t* output,
                        uint32_t capacity, uint32_t* outputLength);
