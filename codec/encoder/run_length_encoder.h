// The two run-length forms a block can take before it is block-sorted.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

constexpr uint8_t kStoredRunLengthForm = 0;
constexpr uint8_t kCodedRunLengthForm = 1;

// The stored form: the form byte 0, then the bytes unchanged (length + 1 bytes).
std::vector<uint8_t> MakeStoredForm(const uint8_t* data, size_t length);

// The coded form: the form byte 1, then literals, 0xFF 0xFF for a literal 0xFF, and
// 0xFF c for c + 3 (3..257) more copies of the last literal (0xFF before the first one;
// runs leave it unchanged). Every run ends within `length` bytes of output.
std::vector<uint8_t> EncodeRunLength(const uint8_t* data, size_t length);
