// Verification and expansion of one block record's stored bytes.
#include "package/block_record.h"

#include "codec/expand_block.h"
#include "package/block_checksum.h"
#include "package/format.h"

BlockVerdict VerifyAndExpandBlock(uint8_t* buffer, uint32_t storedLength,
                                  uint32_t expandedChecksum, uint32_t storedChecksum,
                                  uint32_t capacity, uint32_t* expandedLength,
                                  const ExpandMemory* memory) {
  *expandedLength = 0;
  if (storedLength > capacity ||
      BlockChecksum(buffer, storedLength, kChecksumStart) != storedChecksum) {
    return BlockVerdict::kStoredChecksumMismatch;
  }
  uint32_t length = storedLength;
  bool expanded = ExpandBlock(buffer, &length, capacity, memory);
  // ExpandBlock keeps the length within the capacity even when it fails; the clamp
  // keeps the checksum inside the buffer should that ever change.
  if (length > capacity) length = capacity;
  // The expanded checksum decides first: a refused expansion whose output does not
  // match either is damage, and the caller reports damage through the corrupt flag.
  if (BlockChecksum(buffer, length, kChecksumStart) != expandedChecksum) {
    return BlockVerdict::kExpandedChecksumMismatch;
  }
  if (!expanded) return BlockVerdict::kExpansionFailed;
  *expandedLength = length;
  return BlockVerdict::kOk;
}
