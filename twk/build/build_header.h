// The expanded header block: five texts, the directory checksum, the size table, the
// licence.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "package/format.h"
#include "twk/script/script_model.h"

struct HeaderContent {
  std::string title;
  std::string bottomText;
  std::string productKey;
  std::string programFolder;
  std::string startMenuFolder;
  std::string licence;  // empty = no licence page
  uint32_t sizeTable[kSizeTableWords] = {0, 0, 0, 0, 0, 0, 0, 0};
  uint32_t directoryChecksum = kNoDirectoryChecksum;
};

// The header's texts as the script gives them, with the licence page's text (empty for
// none). The size table and the directory checksum are left for the package to fill.
HeaderContent HeaderOf(const SetupScript& script, const std::string& licence);

// Counts one file of `size` bytes stored in `blocks` block records: words 0 to 6 grow by
// the allocation units of 512 << k bytes it occupies (its size divided by the unit, rounded
// up), word 7 by its blocks. Words stop at 0xFFFFFFFF rather than wrap around, so that the
// disk-space estimate errs on the large side.
void AddToSizeTable(uint64_t size, uint64_t blocks, uint32_t sizeTable[kSizeTableWords]);

// The header block's bytes before compression. The texts must hold no NUL (they would end
// early).
std::vector<uint8_t> BuildExpandedHeader(const HeaderContent& header);

// The licence text as the licence page shows it: the installer's edit control breaks lines
// only at CR LF, so a lone LF becomes CR LF. CR LF pairs are kept as they are.
std::string LicenceForEditControl(const std::string& text);
