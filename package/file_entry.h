// The fixed fields of a file entry that follow its name record.
#pragma once

#include <stdint.h>

#include "package/format.h"

struct FileEntryFields {
  uint16_t blockCount;  // data blocks that follow; the end record is not counted
  uint16_t version[4];  // major, minor, build, revision; all 0 = no version
  uint32_t timeLow;     // last-write time as a FILETIME
  uint32_t timeHigh;
  uint8_t shared;       // nonzero = shared, reference-counted file
};

void ParseFileEntryFields(const uint8_t bytes[kFileEntryFixedSize], FileEntryFields* fields);
void StoreFileEntryFields(const FileEntryFields& fields, uint8_t bytes[kFileEntryFixedSize]);
