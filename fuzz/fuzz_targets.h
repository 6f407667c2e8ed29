// The fuzz targets' bodies, shared by the libFuzzer drivers and by the tests, which
// replay every corpus file through them.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The capacities the installer expands file blocks and the header block with.
constexpr uint32_t kFuzzFileCapacity = 0x18000;
constexpr uint32_t kFuzzHeaderCapacity = 0xFFFF;

// Feeds `data` (up to 65535 bytes; the rest is ignored) as a block's stored bytes to
// ExpandBlock with the header block capacity and with the file block capacity. Returns
// false if ExpandBlock broke its contract; the sanitizers watch its memory accesses.
bool FuzzExpandBlock(const uint8_t* data, size_t size);

// Compresses `data` and expands the result with the smallest capacity CompressBlock
// promises to be enough. Returns false unless the original bytes come back or the block
// was refused as too large.
bool FuzzRoundTrip(const uint8_t* data, size_t size);

// Decodes `data` (up to 0x18000 bytes) as stored bytes with the Huffman decoder and with
// the slow reference decoder, then encodes `data` as codes and decodes that. Returns
// false unless both decoders agree on the bytes and the verdict each time, and the codes
// come back.
bool FuzzHuffmanDecoder(const uint8_t* data, size_t size);

// Parses `data` as an expanded header block. Returns false if a parsed text reaches
// outside the block.
bool FuzzHeaderBlock(const uint8_t* data, size_t size);

// Reads `data` as a PE file's version resource. Returns false if the reader reports a
// version without having found one.
bool FuzzPeVersion(const uint8_t* data, size_t size);
