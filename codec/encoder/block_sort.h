// The block sort (the sorted cyclic rotations of a block) that UndoBlockSort inverts.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

// Sorts the `length` (1 or more) cyclic rotations of `data` in ascending unsigned byte
// order and returns the block-sorted form of length + 4 bytes: the primary index (the
// sorted position of the rotation that starts at data[1], 0 when length is 1) as 4
// little-endian bytes, then the last column (for each sorted rotation, the byte before
// it). Equal rotations may come in any order: their last-column bytes are equal too.
// Returns an empty vector for length 0 or more than INT32_MAX.
std::vector<uint8_t> BlockSort(const uint8_t* data, size_t length);
