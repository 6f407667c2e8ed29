// The expanded header block.
#include "package/header_block.h"

#include <string.h>

#include "base/little_endian.h"

namespace {

// Takes the NUL-terminated text at *position; false when no NUL comes before `end`.
bool TakeText(const uint8_t* data, size_t length, size_t* position, TextSpan* span) {
  if (*position >= length) return false;
  const uint8_t* start = data + *position;
  const void* nul = memchr(start, 0, length - *position);
  if (nul == nullptr) return false;
  span->text = reinterpret_cast<const char*>(start);
  span->length = static_cast<size_t>(static_cast<const uint8_t*>(nul) - start);
  *position += span->length + 1;
  return true;
}

}  // namespace

bool ParseHeaderBlock(const uint8_t* data, size_t length, HeaderFields* fields) {
  memset(fields, 0, sizeof *fields);
  size_t position = 0;
  for (size_t i = 0; i < kHeaderTextCount; ++i) {
    if (!TakeText(data, length, &position, &fields->texts[i])) return false;
  }
  // The directory checksum and the size table follow the fifth NUL directly, unaligned.
  if (length - position < kHeaderDirectoryChecksumSize + 4 * kSizeTableWords) return false;
  fields->directoryChecksum = LoadLe32(data + position);
  position += kHeaderDirectoryChecksumSize;
  for (size_t i = 0; i < kSizeTableWords; ++i, position += 4) {
    fields->sizeTable[i] = LoadLe32(data + position);
  }
  // A first byte of 0 (or no byte at all) means no licence text.
  if (position == length || data[position] == 0) return true;
  fields->hasLicence = true;
  fields->licence.text = reinterpret_cast<const char*>(data + position);
  const void* nul = memchr(data + position, 0, length - position);
  fields->licence.length =
      nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - (data + position))
          : length - position;
  return true;
}
