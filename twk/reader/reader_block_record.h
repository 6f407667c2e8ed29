// Block records as they stand in the package: read whole from the stream, then checked
// and expanded apart from it, so that a damaged block never loses the stream's place.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "package/block_record.h"
#include "twk/reader/volume_stream.h"

struct BlockRecord {
  StreamPosition where;         // of the stored length field
  uint16_t storedLength = 0;    // 0: the end record of a file, nothing else was read
  uint32_t expandedChecksum = 0;
  uint32_t storedChecksum = 0;
  std::vector<uint8_t> stored;  // storedLength bytes
};

// Reads one block record (2 bytes for an end record, 10 plus the stored length
// otherwise). Throws ReadError when the stream ends inside it.
BlockRecord ReadBlockRecord(VolumeStream& stream, const std::string& what);

// Checks both checksums and expands the record with `capacity` (kHeaderBlockCapacity or
// kFileBlockCapacity). On kOk `expanded` holds the block's bytes; otherwise it is empty.
BlockVerdict ExpandBlockRecord(const BlockRecord& record, uint32_t capacity,
                               std::vector<uint8_t>* expanded);

// Says which check failed, with the recorded and (for the stored bytes) the computed
// checksum: "stored checksum 0x... does not match the stored bytes (0x...)".
std::string DescribeBlockVerdict(BlockVerdict verdict, const BlockRecord& record);
