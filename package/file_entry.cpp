// The fixed fields of a file entry.
#include "package/file_entry.h"

#include "base/little_endian.h"

void ParseFileEntryFields(const uint8_t bytes[kFileEntryFixedSize], FileEntryFields* fields) {
  fields->blockCount = LoadLe16(bytes);
  for (int i = 0; i < 4; ++i) fields->version[i] = LoadLe16(bytes + 2 + 2 * i);
  fields->timeLow = LoadLe32(bytes + 10);
  fields->timeHigh = LoadLe32(bytes + 14);
  fields->shared = bytes[18];
}

void StoreFileEntryFields(const FileEntryFields& fields, uint8_t bytes[kFileEntryFixedSize]) {
  StoreLe16(bytes, fields.blockCount);
  for (int i = 0; i < 4; ++i) StoreLe16(bytes + 2 + 2 * i, fields.version[i]);
  StoreLe32(bytes + 10, fields.timeLow);
  StoreLe32(bytes + 14, fields.timeHigh);
  bytes[18] = fields.shared;
}
