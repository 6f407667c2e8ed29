// The builder's side of the codec: the exact inverse of ExpandBlock. Host only; the
// stub never links it.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <vector>

// Largest number of stored bytes a block record can carry (a 16-bit length).
constexpr size_t kMaxStoredLength = 65535;

// Bytes a block's expansion needs beyond its own length: the block sort's 4-byte
// primary index and the run-length form byte.
constexpr size_t kExpansionOverhead = 5;

// Compresses `length` bytes (1 or more) into the stored form that ExpandBlock turns
// back into them. Compresses the coded run-length form when it is the shorter one, and
// otherwise the stored form; the other form only when the first does not fit. Returns
// false, leaving *stored empty, when neither fits kMaxStoredLength: the caller then cuts
// the piece smaller. Runs on the calling thread alone.
// The result expands, with ExpandBlock, within any capacity C >= length + 5
// (kExpansionOverhead) that holds the stored bytes: a 65000-byte piece within the file
// block capacity 0x18000, a header block of at most 65530 bytes within the header block
// capacity 0xFFFF. This form refuses blocks over 0x18000 - 5 bytes.
bool CompressBlock(const uint8_t* data, size_t length, std::vector<uint8_t>* stored);

// The same, for a block that will be expanded with `capacity`: also returns false (empty
// *stored) when length + kExpansionOverhead > capacity, so that the result always
// expands there.
bool CompressBlock(const uint8_t* data, size_t length, uint32_t capacity,
                   std::vector<uint8_t>* stored);
