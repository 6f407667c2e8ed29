// Block records: a file's data cut into pieces, each compressed and framed with its two
// checksums. The installer expands each record on its own.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

// Appends to *out one block record for `length` (1 or more) plain bytes whose stored form
// is `stored` (1 to 65535 bytes): stored length, expanded checksum, stored checksum, bytes.
void AppendBlockRecord(const uint8_t* plain, size_t length, const std::vector<uint8_t>& stored,
                       std::vector<uint8_t>* out);

// Compresses `length` (1 or more) bytes into block records appended to *out, and returns
// how many it appended. A piece whose stored form would exceed 65535 bytes is cut in
// halves until every part fits, so no record is empty and none expands to 0 bytes.
// Callers pass at most one piece (65000 bytes) at a time.
size_t AppendCompressedPiece(const uint8_t* data, size_t length, std::vector<uint8_t>* out);

// The block records of one piece.
struct CompressedPiece {
  std::vector<uint8_t> records;
  size_t blocks = 0;       // records in it: more than one when the piece was cut in halves
  size_t plainLength = 0;  // the piece's length
};

// AppendCompressedPiece for a whole piece, as a job of its own.
CompressedPiece CompressPiece(const std::vector<uint8_t>& piece);

// The header block's record: false when its stored form does not fit 65535 bytes or it
// would not expand within the header block capacity (0xFFFF).
bool MakeHeaderRecord(const std::vector<uint8_t>& expanded, std::vector<uint8_t>* record);
