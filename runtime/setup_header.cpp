// Loading the package header into the setup state.
#include "runtime/setup_header.h"

#include <stdlib.h>
#include <string.h>

#include "package/format.h"
#include "package/header_block.h"
#include "runtime/extract_block.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"

namespace {

bool StoreText(char** item, const char* text, size_t length) {
  char* copy = NewTextCopy(text, length);
  if (copy == nullptr) return false;
  free(*item);
  *item = copy;
  return true;
}

bool StoreHeaderFields(const HeaderFields& fields) {
  char** items[kHeaderTextCount] = {&g_setup.title, &g_setup.bottomText, &g_setup.productKeyName,
                                    &g_setup.programFolder, &g_setup.startMenuFolder};
  for (size_t i = 0; i < kHeaderTextCount; ++i) {
    if (!StoreText(items[i], fields.texts[i].text, fields.texts[i].length)) return false;
  }
  memcpy(g_setup.sizeTable, fields.sizeTable, sizeof g_setup.sizeTable);
  g_setup.directoryChecksum = fields.directoryChecksum;
  if (fields.hasLicence &&
      !StoreText(&g_setup.licenceText, fields.licence.text, fields.licence.length)) {
    return false;
  }
  const TextSpan& folder = fields.texts[kHeaderProgramFolder];
  g_setup.fixedFolder = folder.length >= 2 && folder.text[1] == ':';
  return true;
}

bool ReadInstallHeader() {
  uint8_t* block = static_cast<uint8_t*>(malloc(kHeaderBlockCapacity));
  if (block == nullptr) return false;
  int32_t length = 0;
  HeaderFields fields;
  bool usable = ExtractBlock(block, &length, kHeaderBlockCapacity) &&
                ParseHeaderBlock(block, static_cast<size_t>(length), &fields);
  // A header that expands but makes no sense is as damaged as one that fails its
  // checksum; a cancelled read is the user's choice, not damage.
  if (!usable && !g_setup.cancelled) g_setup.corrupt = true;
  bool stored = usable && StoreHeaderFields(fields);
  free(block);
  return stored;
}

bool ReadMaintenanceTrailer() {
  char** items[] = {&g_setup.title, &g_setup.bottomText, &g_setup.productKeyName};
  for (char** item : items) {
    const char* record = ReadStringRecord();
    // Only a failed read sets the cancel flag here; stop before prompting again.
    if (g_setup.cancelled) return false;
    if (!StoreText(item, record, strlen(record))) return false;
  }
  return true;
}

// The mode byte has no checksum. What the format does guarantee: an installation file's
// volume length word is the end of its package, never 0, and a maintenance program's is
// always 0; a maintenance program's mode is 1 or 2. A mode byte and a word that disagree
// are damage, so that no single flipped bit of either makes an installer run as an
// uninstaller or a finalizer and report a finished run, or the reverse.
bool ModeFitsLengthWord(uint8_t mode, uint32_t lengthWord) {
  if (mode == kModeInstall) return lengthWord != 0;
  return (mode == kModeUninstall || mode == kModeFinalize) && lengthWord == 0;
}

}  // namespace

bool ReadSetupHeader() {
  uint8_t mode = 0;
  if (ReadPackage(&mode, 1) < 0) return false;
  if (!ModeFitsLengthWord(mode, g_setup.firstVolumeLengthWord)) {
    // The word tells which kind of file it is: an installer is damaged like any other
    // (the mode stays install), a maintenance program the way its cut trailer is.
    if (g_setup.firstVolumeLengthWord != 0) {
      g_setup.corrupt = true;
    } else {
      ReportDamagedProgram();
    }
    return false;
  }
  if (mode == kModeInstall) return ReadInstallHeader();
  g_setup.mode = static_cast<int8_t>(mode);
  return ReadMaintenanceTrailer();
}
