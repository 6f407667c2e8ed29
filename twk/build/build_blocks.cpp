// Compressing pieces into block records.
#include "twk/build/build_blocks.h"

#include <algorithm>
#include <future>
#include <stdexcept>
#include <thread>

#include "base/little_endian.h"
#include "codec/encoder/compress_block.h"
#include "package/block_checksum.h"
#include "package/format.h"

void AppendBlockRecord(const uint8_t* plain, size_t length, const std::vector<uint8_t>& stored,
                       std::vector<uint8_t>* out) {
  uint8_t fixed[kBlockRecordFixedSize];
  StoreLe16(fixed, static_cast<uint16_t>(stored.size()));
  StoreLe32(fixed + 2, BlockChecksum(plain, length, kChecksumStart));
  StoreLe32(fixed + 6, BlockChecksum(stored.data(), stored.size(), kChecksumStart));
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

CompressedStream CompressStream(const InputReader& read, const PieceSink& sink) {
  const size_t lanes = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::vector<uint8_t>> pieces(lanes, std::vector<uint8_t>(kPieceSize));
  std::vector<size_t> lengths(lanes);
  CompressedStream result;
  for (;;) {
    size_t filled = 0;
    while (filled < lanes) {
      lengths[filled] = read(pieces[filled].data(), kPieceSize);
      if (lengths[filled] == 0) break;
      ++filled;
    }
    if (filled == 0) break;
    std::vector<std::future<std::pair<size_t, std::vector<uint8_t>>>> jobs;
    for (size_t i = 0; i < filled; ++i) {
      jobs.push_back(std::async(std::launch::async, [&pieces, &lengths, i] {
        std::vector<uint8_t> records;
        const size_t count = AppendCompressedPiece(pieces[i].data(), lengths[i], &records);
        return std::make_pair(count, std::move(records));
      }));
    }
    for (size_t i = 0; i < filled; ++i) {
      const std::pair<size_t, std::vector<uint8_t>> done = jobs[i].get();
      result.blocks += done.first;
      result.plainBytes += lengths[i];
      sink(done.second, lengths[i]);
    }
  }
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
