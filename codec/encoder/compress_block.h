// The builder's side of the codec: the exact inverse of ExpandBlock. Host only; the
// stub never links it.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <vector>

// Largest number of stored bytes a block record can carry (a 16-bit length).
constexpr size_t kMaxStoredLength = 65535;

// The capacities the stub expands with: file blocks and the header block.
constexpr uint32_t kFileBlockCapacity = 0x18000;
constexpr uint32_t kHeaderBlockCapacity = 0xFFFF;

// Bytes a block's expansion needs beyond its own length: the block sort's 4-byte
// primary index and the run-length form byte.
constexpr size_t kExpansionOverhead = 5;

// Compresses `length` bytes (1 or more) into the stored form that ExpandBlock turns
// back into them. Chooses, per block, the run-length form that gives fewer stored
// bytes. Returns false, leaving *stored empty, when the stored form would exceed
// kMaxStoredLength: the caller then cuts the piece smaller.
// The result expands, with ExpandBlock, within any capacity C >= length + 5
// (kExpansionOverhead): a 65000-byte piece within the file block capacity, and a header
// block of at most 65530 bytes within the header block capacity.
bool CompressBlock(const uint8_t* data, size_t length, std::vector<uint8_t>* stored);

// The same, for a block that will be expanded with `capacity`: also returns false (empty
// *stored) when length + kExpansionOverhead > capacity, so that the result always
// expands. The three-argument form uses kFileBlockCapacity.
bool CompressBlock(const uint8_t* data, size_t length, uint32_t capacity,
                   std::vector<uint8_t>* stored);
