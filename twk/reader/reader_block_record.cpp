// Reading, checking and expanding block records.
#include "twk/reader/reader_block_record.h"

#include <algorithm>

#include "package/block_checksum.h"
#include "package/format.h"
#include "twk/reader/reader_text.h"

BlockRecord ReadBlockRecord(VolumeStream& stream, const std::string& what) {
  BlockRecord record;
  record.where = stream.position();
  record.storedLength = stream.ReadLe16(what);
  if (record.storedLength == 0) return record;
  record.expandedChecksum = stream.ReadLe32(what);
  record.storedChecksum = stream.ReadLe32(what);
  record.stored.resize(record.storedLength);
  stream.Read(record.stored.data(), record.stored.size(), what);
  return record;
}

BlockVerdict ExpandBlockRecord(const BlockRecord& record, uint32_t capacity,
                               std::vector<uint8_t>* expanded) {
  expanded->assign(capacity, 0);
  std::copy(record.stored.begin(), record.stored.end(), expanded->begin());
  uint32_t length = 0;
  const BlockVerdict verdict =
      VerifyAndExpandBlock(expanded->data(), record.storedLength, record.expandedChecksum,
                           record.storedChecksum, capacity, &length);
  expanded->resize(verdict == BlockVerdict::kOk ? length : 0);
  return verdict;
}

std::string DescribeBlockVerdict(BlockVerdict verdict, const BlockRecord& record) {
  switch (verdict) {
    case BlockVerdict::kOk:
      return "sound";
    case BlockVerdict::kStoredChecksumMismatch:
      return "stored checksum " + FormatHex32(record.storedChecksum) +
             " does not match the stored bytes (" +
             FormatHex32(BlockChecksum(record.stored.data(), record.stored.size(),
                                       kChecksumStart)) +
             ")";
    case BlockVerdict::kExpansionFailed:
      return "the stored bytes match their checksum but do not expand";
    case BlockVerdict::kExpandedChecksumMismatch:
      return "expanded checksum " + FormatHex32(record.expandedChecksum) +
             " does not match the expanded bytes";
  }
  return "unknown verdict";
}
