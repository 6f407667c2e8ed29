// Compressing pieces into block records.
#include "twk/build/build_blocks.h"

#include <stdexcept>

#include "base/little_endian.h"
#include "codec/encoder/compress_block.h"
#include "package/format.h"
#include "twk/build/block_checksum_wide.h"

void AppendBlockRecord(const uint8_t* plain, size_t length, const std::vector<uint8_t>& stored,
                       std::vector<uint8_t>* out) {
  uint8_t fixed[kBlockRecordFixedSize];
  StoreLe16(fixed, static_cast<uint16_t>(stored.size()));
  StoreLe32(fixed + 2, BlockChecksumWide(plain, length, kChecksumStart));
  StoreLe32(fixed + 6, BlockChecksumWide(stored.data(), stored.size(), kChecksumStart));
  out->insert(out->end(), fixed, fixed + sizeof(fixed));
  out->insert(out->end(), stored.begin(), stored.end());
}

size_t AppendCompressedPiece(const uint8_t* data, size_t length, std::vector<uint8_t>* out) {
  std::vector<uint8_t> stored;
  if (CompressBlock(data, length, kFileBlockCapacity, &stored)) {
    if (stored.empty() || stored.size() > kMaxStoredBlockLength) {
      throw std::logic_error("the block compressor returned a stored form out of range");
    }
    AppendBlockRecord(data, length, stored, out);
    return 1;
  }
  if (length < 2) throw std::logic_error("the block compressor refused a single byte");
  const size_t first = (length + 1) / 2;
  return AppendCompressedPiece(data, first, out) +
         AppendCompressedPiece(data + first, length - first, out);
}

CompressedPiece CompressPiece(const std::vector<uint8_t>& piece) {
  CompressedPiece result;
  result.blocks = AppendCompressedPiece(piece.data(), piece.size(), &result.records);
  result.plainLength = piece.size();
  return result;
}

bool MakeHeaderRecord(const std::vector<uint8_t>& expanded, std::vector<uint8_t>* record) {
  record->clear();
  std::vector<uint8_t> stored;
  if (expanded.empty() ||
      !CompressBlock(expanded.data(), expanded.size(), kHeaderBlockCapacity, &stored)) {
    return false;
  }
  AppendBlockRecord(expanded.data(), expanded.size(), stored, record);
  return true;
}
