// Reading one block record from the package stream.
#include "runtime/extract_block.h"

#include <stdlib.h>

#include "base/little_endian.h"
#include "package/block_record.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"

namespace {

// The stream reads only forward, so skipped bytes are read into a scratch area.
bool SkipStoredBytes(uint32_t storedLength, int32_t* length) {
  void* scratch = malloc(storedLength);
  if (scratch == nullptr) return false;
  *length = ReadPackage(scratch, storedLength);
  free(scratch);
  return true;
}

}  // namespace

bool ExtractBlock(uint8_t* buffer, int32_t* length, uint32_t capacity,
                  const ExpandMemory* memory) {
  *length = 0;
  uint8_t field[4];
  if (ReadPackage(field, 2) < 0) return false;
  const uint32_t storedLength = LoadLe16(field);
  if (storedLength == 0) return true;  // the end record of a file
  if (ReadPackage(field, 4) < 0) return false;
  const uint32_t expandedChecksum = LoadLe32(field);
  if (ReadPackage(field, 4) < 0) return false;
  const uint32_t storedChecksum = LoadLe32(field);

  if (buffer == nullptr) return SkipStoredBytes(storedLength, length);

  // A block that cannot fit the caller's buffer is passed over and counts as damaged.
  if (storedLength > capacity) {
    int32_t skipped = 0;
    SkipStoredBytes(storedLength, &skipped);
    g_setup.corrupt = true;
    return false;
  }
  if (ReadPackage(buffer, storedLength) < 0) {
    g_setup.corrupt = true;
    return false;
  }
  uint32_t expandedLength = 0;
  BlockVerdict verdict = VerifyAndExpandBlock(buffer, storedLength, expandedChecksum,
                                              storedChecksum, capacity, &expandedLength, memory);
  if (verdict == BlockVerdict::kStoredChecksumMismatch ||
      verdict == BlockVerdict::kExpandedChecksumMismatch) {
    g_setup.corrupt = true;
  }
  if (verdict != BlockVerdict::kOk) return false;
  *length = static_cast<int32_t>(expandedLength);
  return true;
}
