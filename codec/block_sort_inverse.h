// Third stage of block expansion: undoes the block sort (the sorted cyclic rotations).
#pragma once

#include <stdint.h>

// Longest last column the inverse accepts: positions share a 32-bit entry with a byte.
constexpr uint32_t kMaxBlockSortLength = 0xFFFFFF;

// `input` holds *length bytes: a 4-byte little-endian primary index, then the last
// column L of n = *length - 4 bytes. Writes the n bytes of the original data to `output`
// (room for n bytes; it may overlap `input`) and sets *length to n. Returns false,
// reading nothing past `input` + *length and writing nothing, when there are fewer than
// 4 bytes, the primary index is not below n (so an empty column always fails), n
// exceeds kMaxBlockSortLength, or the transform vector (on the heap: 6 bytes per byte of
// L, or 4 when L is longer than 64 KiB) cannot be allocated.
bool UndoBlockSort(const uint8_t* input, uint8_t* output, uint32_t* length);

// The bytes of the tables that the inverse of a last column of up to `n` bytes needs.
uint32_t BlockSortTableBytes(uint32_t n);
// The same with its tables given: `table` holds BlockSortTableBytes(n) bytes at least,
// aligned for a 32-bit word; nothing is allocated, and the call fails only on its input.
bool UndoBlockSort(const uint8_t* input, uint8_t* output, uint32_t* length, uint32_t* table);
