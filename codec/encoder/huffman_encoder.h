// Adaptive Huffman coding of one block, mirroring HuffmanDecodeBlock.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

// Codes the `length` bytes of `input` from a fresh tree: each byte as the path from the
// root to its leaf, a new value as the escape's path and 8 raw bits, then the end-of-block
// symbol; the last byte is padded with zero bits. Returns the coded bytes.
std::vector<uint8_t> HuffmanEncodeBlock(const uint8_t* input, size_t length);
