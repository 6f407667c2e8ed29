// The registry phase: key lines open keys, value lines set values, and the uninstall log
// gets, per key, the key line, the names of its values and an empty record.
#include "installer/registry_entries.h"

#include <string.h>

#include "base/format_text.h"
#include "base/little_endian.h"
#include "engine/path_macros.h"
#include "engine/registry_keys.h"
#include "engine/remembered_folders.h"
#include "installer/maintenance_program.h"
#include "installer/uninstall_log_writer.h"
#include "package/format.h"
#include "platform/progress_dialog.h"
#include "platform/registry.h"
#include "runtime/messages.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"

namespace {

const char kLocalMachineLine[] = ":HKEY_LOCAL_MACHINE\\";

// One line of the registry list as the package holds it: `length` bytes, which may
// include zero bytes (the data of "D" and "B" values), followed by a NUL of our own.
struct ListLine {
  char bytes[kMaxStringRecord + 1];
  uint32_t length;
};

// The key of the last recognised key line and whether its log section is open. A
// section stays open, with no key, when its key could not be created.
struct Section {
  platform::Key key = nullptr;
  bool open = false;
};

// Reads the record itself rather than through ReadStringRecord, which hands back only
// the text up to the first zero byte: the length is needed to keep binary data inside
// its record. False at the empty record or when the read failed (the cancel flag then
// says why), as for every list of the package.
bool ReadListLine(ListLine* line) {
  uint8_t length = 0;
  if (ReadPackage(&length, 1) < 0 || length == 0) return false;
  if (ReadPackage(line->bytes, length) < 0) return false;
  line->bytes[length] = '\0';
  line->length = length;
  return true;
}

void CloseSection(Section* section) {
  if (!section->open) return;
  WriteLogRecord("");
  if (section->key != nullptr) platform::CloseKey(section->key);
  section->key = nullptr;
  section->open = false;
}

// A key line with another root changes nothing: the open key stays current.
void HandleKeyLine(const char* text, Section* section) {
  uint32_t root = 0;
  const char* subkey = nullptr;
  if (!ParseRegistryRoot(text + 1, &root, &subkey)) return;
  CloseSection(section);
  section->key = CreateKeyPath(root, subkey);
  section->open = true;
  WriteLogRecord(text);
}

// Writes the value whose type letter stands at `letter` (the data follow it, `available`
// bytes up to the end of the record) to `key` (nullptr: nothing is written). False when
// the line is refused: "D" data shorter than 4 bytes, a "B" length past the end of the
// record, a text whose expansion does not fit in 255 characters. A refused line writes
// nothing and is not logged, so the uninstaller never deletes a value that this
// installation did not touch.
bool WriteValue(platform::Key key, const char* name, const char* letter, uint32_t available) {
  const char* data = letter + 1;
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(data);
  switch (available > 0 ? letter[0] : kRegistryTypeText) {
    case kRegistryTypeNumber: {
      if (available - 1 < 4) return false;
      const uint32_t number = LoadLe32(bytes);
      if (key != nullptr) platform::SetValue(key, name, platform::kRegNumber, &number, 4);
      return true;
    }
    case kRegistryTypeBinary: {
      if (available - 1 < 2) return false;
      const uint32_t length = LoadLe16(bytes);
      if (length > available - 3) return false;
      if (key != nullptr) platform::SetValue(key, name, platform::kRegBinary, data + 2, length);
      return true;
    }
    case kRegistryTypeRemoveOnly:
      return true;
    default: {
      char text[kPathBufferSize] = {};
      if (available > 1) FormatText(text, sizeof text, "%s", data);
      if (!ExpandPathMacros(text)) return false;
      if (key != nullptr) {
        platform::SetValue(key, name, platform::kRegText, text,
                           static_cast<uint32_t>(strlen(text) + 1));
      }
      return true;
    }
  }
}

// Lines outside a section (before the first recognised key line, or after a key line
// with another root before any) are neither written nor logged: in the log they would
// stand where the uninstaller expects a key line, and it would pass over the next real
// key together with them.
void HandleValueLine(const ListLine& line, const char* equals, Section* section) {
  if (!section->open) return;
  char name[kMaxStringRecord + 1];
  const size_t nameLength = static_cast<size_t>(equals - line.bytes);
  memcpy(name, line.bytes, nameLength);
  name[nameLength] = '\0';
  // An empty name sets the default value too; it is logged as "@", since an empty
  // record would end the key's section in the log.
  const bool isDefault = nameLength == 0 || strcmp(name, kRegistryDefaultValueName) == 0;
  const char* letter = equals + 1;
  const uint32_t available = line.length - static_cast<uint32_t>(letter - line.bytes);
  if (!WriteValue(section->key, isDefault ? "" : name, letter, available)) return;
  WriteLogRecord(isDefault ? kRegistryDefaultValueName : name);
}

void HandleLine(const ListLine& line, Section* section) {
  if (line.bytes[0] == kRegistryKeyLinePrefix) {
    HandleKeyLine(line.bytes, section);
    return;
  }
  const char* equals = strchr(line.bytes, '=');
  if (equals != nullptr) {
    HandleValueLine(line, equals, section);
  } else if (section->open) {
    WriteLogRecord(line.bytes);
  }
}

// The key line, the value names (up to a nullptr) and the empty record of one of the
// installer's own keys. A key line longer than a record would be cut to name another
// key: it is left out with its names.
void LogInstallerKey(const char* keyPrefix, const char* const* names) {
  char line[kMaxStringRecord + 1];
  const int length =
      FormatText(line, sizeof line, "%s%s%s", kLocalMachineLine, keyPrefix, g_setup.productKeyName);
  if (length < 0 || length > static_cast<int>(kMaxStringRecord)) return;
  WriteLogRecord(line);
  for (; *names != nullptr; ++names) WriteLogRecord(*names);
  WriteLogRecord("");
}

const char* const kRememberedFoldersValues[] = {"Path", "SPath", nullptr};
const char* const kUninstallEntryValues[] = {"DisplayName", "UninstallString",
                                             "QuietUninstallString", nullptr};

}  // namespace

bool CreateRegistryEntries(platform::Window dialog) {
  platform::SetControlText(dialog, platform::kProgressStatusText, Text(MSG_STATUS_REGISTRY));
  platform::ShowControl(dialog, platform::kProgressFileBar, false);
  platform::ShowControl(dialog, platform::kProgressCancelButton, false);
  if (!g_setup.cancelled) {
    Section section;
    ListLine line;
    while (ReadListLine(&line)) {
      HandleLine(line, &section);
      if (g_setup.cancelled) break;
    }
    CloseSection(&section);
  }
  if (TextOrEmpty(g_setup.productKeyName)[0] != '\0') {
    LogInstallerKey(kRememberedFoldersKeyPrefix, kRememberedFoldersValues);
    LogInstallerKey(kUninstallEntryKey, kUninstallEntryValues);
  }
  return true;
}
