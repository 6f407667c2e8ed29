// The expanded header block: five NUL-terminated texts, the directory checksum, the size
// table and the licence text. Parsing never reads past the expanded length, whatever the bytes.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "package/format.h"

struct TextSpan {
  const char* text;  // points into the parsed buffer; not NUL-terminated when cut short
  size_t length;
};

enum HeaderText {
  kHeaderTitle = 0,
  kHeaderBottomText = 1,
  kHeaderProductKey = 2,
  kHeaderProgramFolder = 3,
  kHeaderStartMenuFolder = 4,
};

struct HeaderFields {
  TextSpan texts[kHeaderTextCount];
  uint32_t directoryChecksum;  // kNoDirectoryChecksum when the package has none
  uint32_t sizeTable[kSizeTableWords];
  bool hasLicence;
  TextSpan licence;
};

// Returns false when the header is cut short: a text without its NUL, or fewer bytes than
// the directory checksum and the size table need. A licence text that runs to the end of the
// block without a NUL is taken up to the end.
bool ParseHeaderBlock(const uint8_t* data, size_t length, HeaderFields* fields);
