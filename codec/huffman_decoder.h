// First stage of block expansion: the stored bit stream back to move-to-front codes.
#pragma once

#include <stdint.h>

// Decodes `input` (inputLength bytes) into `output` (room for `capacity` bytes) from a
// fresh tree, until the end-of-block symbol or until `capacity` bytes are written,
// whichever comes first. *outputLength receives the bytes written (<= capacity) also on
// failure. Returns false for a damaged stream: the input ends inside a symbol, or an
// escape names a value that is already in the tree; and when the model's 6 KB cannot be
// had from the heap. Nothing outside the two buffers is read or written.
bool HuffmanDecodeBlock(const uint8_t* input, uint32_t inputLength, uint8_t* output,
                        uint32_t capacity, uint32_t* outputLength);

// The same with the model's memory given: `memory` holds kHuffmanDecoderMemory bytes,
// aligned for a pointer, and is used for this call only; nothing is allocated.
extern const uint32_t kHuffmanDecoderMemory;
bool HuffmanDecodeBlock(const uint8_t* input, uint32_t inputLength, uint8_t* output,
                        uint32_t capacity, uint32_t* outputLength, void* memory);
