// First stage of block expansion: the stored bit stream back to move-to-front codes.
#pragma once

#include <stdint.h>

#include "codec/bit_reader.h"
#include "codec/huffman_model.h"

// NextSymbol's answer for a damaged stream: the reader ran past its input, or an escape
// named a value that is already in the tree.
constexpr int kDamagedSymbol = -1;

// Decodes one symbol by walking `model` from the root, one bit per branch. Returns a byte
// value (0..255; an escape is resolved and its value added to the tree), the
// end-of-block symbol, or kDamagedSymbol. Does not count the symbol.
int NextSymbol(HuffmanModel* model, BitReader* reader);

// Decodes `input` (inputLength bytes) into `output` (room for `capacity` bytes) from a
// fresh tree, until the end-of-block symbol or until `capacity` bytes are written,
// whichever comes first. *outputLength receives the bytes written (<= capacity) also on
// failure. Returns false for a damaged stream. Nothing outside the two buffers is read
// or written; the model lives on this call's stack.
bool HuffmanDecodeBlock(const uint8_t* input, uint32_t inputLength, uint8_t* output,
                        uint32_t capacity, uint32_t* outputLength);
