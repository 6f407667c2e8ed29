// The registry phase: key lines open keys, value lines set values, and the uninstall log
// gets, per key, the key line, the names of its values and an empty record.
#include "installer/registry_entries.h"

#include <stdio.h>
#include <string.h>

#include "installer/path_macros.h"
#include "installer/remembered_folders.h"
#include "maintenance/maintenance_program.h"
#include "maintenance/uninstall_log_writer.h"
#include "package/format.h"
#include "package/package_stream.h"
#include "package/setup_state.h"
#include "platform/progress_dialog.h"

namespace {

const char kStatusText[] = "Creating registry entries...";
const char kLocalMachineLine[] = ":HKEY_LOCAL_MACHINE\\";

struct RootName {
  const char* name;  // with its backslash
  uint32_t root;
};
const RootName kRoots[] = {
    {kRootClasses, platform::kRootClasses},
    {kRootCurrentUser, platform::kRootCurrentUser},
    {kRootLocalMachine, platform::kRootLocalMachine},
};

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

// ASCII letter case only: the root names are plain ASCII, and the comparison must not
// depend on the code page of the machine.
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithIgnoringCase(const char* text, const char* prefix, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (text[i] == '\0' || LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
  }
  return true;
}

uint32_t ReadLe32(const char* bytes) {
  const uint8_t* b = reinterpret_cast<const uint8_t*>(bytes);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

// Writes the value whose type letter stands at `letter` (the data follow it, `available`
// bytes up to the end of the record) to `key` (nullptr: nothing is written). False when
// the line is refused: "D" data shorter than 4 bytes, a "B" length past the end of the
// record, a text whose expansion does not fit in 255 characters. A refused line writes
// nothing and is not logged, so the uninstaller never deletes a value that this
// installation did not touch.
bool WriteValue(platform::Key key, const char* name, const char* letter, uint32_t available) {
  const char* data = letter + 1;
  switch (available > 0 ? letter[0] : kRegistryTypeText) {
    case kRegistryTypeNumber: {
      if (available - 1 < 4) return false;
      const uint32_t number = ReadLe32(data);
      if (key != nullptr) platform::SetValue(key, name, platform::kRegNumber, &number, 4);
      return true;
    }
    case kRegistryTypeBinary: {
      if (available - 1 < 2) return false;
      const uint32_t length = static_cast<uint8_t>(data[0]) | (static_cast<uint8_t>(data[1]) << 8);
      if (length > available - 3) return false;
      if (key != nullptr) platform::SetValue(key, name, platform::kRegBinary, data + 2, length);
      return true;
    }
    case kRegistryTypeRemoveOnly:
      return true;
    default: {
      char text[kPathBufferSize] = {};
      if (available > 1) snprintf(text, sizeof text, "%s", data);
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

// The key line, the two value names and the empty record of one of the installer's own
// keys. A key line longer than a record would be cut to name another key: it is left
// out with its names.
void LogInstallerKey(const char* keyPrefix, const char* first, const char* second) {
  char line[kMaxStringRecord + 1];
  const int length =
      snprintf(line, sizeof line, "%s%s%s", kLocalMachineLine, keyPrefix, g_setup.productKeyName);
  if (length < 0 || length > static_cast<int>(kMaxStringRecord)) return;
  WriteLogRecord(line);
  WriteLogRecord(first);
  WriteLogRecord(second);
  WriteLogRecord("");
}

}  // namespace

platform::Key CreateKeyPath(uint32_t root, const char* subkey) {
  char path[kPathBufferSize];
  const size_t length = strlen(subkey);
  if (length >= sizeof path) return nullptr;
  memcpy(path, subkey, length + 1);
  for (char* cut = strchr(path, '\\'); cut != nullptr; cut = strchr(cut + 1, '\\')) {
    *cut = '\0';
    platform::Key level = platform::CreateKey(root, path);
    if (level != nullptr) platform::CloseKey(level);
    *cut = '\\';
  }
  return platform::CreateKey(root, path);
}

bool ParseRegistryRoot(const char* text, uint32_t* root, const char** subkey) {
  for (const RootName& candidate : kRoots) {
    const size_t length = strlen(candidate.name);
    if (StartsWithIgnoringCase(text, candidate.name, length)) {
      *root = candidate.root;
      *subkey = text + length;
      return true;
    }
  }
  return false;
}

bool CreateRegistryEntries(platform::Window dialog) {
  platform::SetControlText(dialog, platform::kProgressStatusText, kStatusText);
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
    LogInstallerKey(kRememberedFoldersKeyPrefix, "Path", "SPath");
    LogInstallerKey(kUninstallEntryKey, "DisplayName", "UninstallString");
  }
  return true;
}
