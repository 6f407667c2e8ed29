// Block records: a file's data cut into pieces, each compressed and framed with its two
// checksums. The installer expands each record on its own.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <functional>
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

// Receives the block records of one piece and the number of plain bytes they hold.
using PieceSink = std::function<void(const std::vector<uint8_t>& records, size_t plainLength)>;

struct CompressedStream {
  uint64_t plainBytes = 0;
  uint64_t blocks = 0;
};

// Fills `dest` with up to `count` bytes of the input and returns how many; fewer only at
// the input's end. Called on the calling thread of CompressStream.
using InputReader = std::function<size_t(uint8_t* dest, size_t count)>;

// Reads the input to its end in 65000-byte pieces and compresses them with
// AppendCompressedPiece, several pieces at once on all cores; `sink` gets every piece's
// records in file order, on the calling thread, so the output does not depend on timing.
// An empty input gives no records.
CompressedStream CompressStream(const InputReader& read, const PieceSink& sink);

// The header block's record: false when its stored form does not fit 65535 bytes or it
// would not expand within the header block capacity (0xFFFF).
bool MakeHeaderRecord(const std::vector<uint8_t>& expanded, std::vector<uint8_t>* record);
