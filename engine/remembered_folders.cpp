// Remembered folders and the program-files prefix, read before the wizard and written
// after it.
#include "engine/remembered_folders.h"

#include <string.h>

#include "base/folder_path.h"
#include "base/format_text.h"
#include "engine/path_macros.h"
#include "engine/registry_keys.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "runtime/setup_state.h"

namespace {

const char kPathValue[] = "Path";
const char kStartMenuPathValue[] = "SPath";
const char kWindowsVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kProgramFilesValue[] = "ProgramFilesDir";

bool IsEmpty(const char* text) { return text == nullptr || text[0] == '\0'; }

// Reads a text value of at most 256 bytes into `out` (kPathBufferSize + 1 bytes) as a
// NUL-terminated text of at most 255 characters, whatever the value's type and whether
// or not it carries its own terminator. False when it is missing or empty.
bool ReadFolderValue(platform::Key key, const char* name, char* out) {
  uint32_t type = 0;
  uint32_t size = kPathBufferSize;
  if (!platform::QueryValue(key, name, &type, out, &size)) return false;
  out[size < kPathBufferSize ? size : kPathBufferSize] = '\0';
  out[kPathBufferSize - 1] = '\0';
  return out[0] != '\0';
}

// An empty remembered value is passed over: it would take away the folder page (and
// with an empty program folder the finalizer) that the package asked for.
void RestoreFolder(platform::Key key, const char* name, char** folder) {
  char value[kPathBufferSize + 1];
  if (ReadFolderValue(key, name, value)) ReplaceSetupText(folder, value);
}

void SetTextValue(platform::Key key, const char* name, const char* text) {
  platform::SetValue(key, name, platform::kRegText, text, static_cast<uint32_t>(strlen(text) + 1));
}

// "Software\TWKSetup\" + the product key name. False without a product key name, or
// when the path does not fit in 255 characters: a cut path would name another product.
bool RememberedFoldersKey(char* out, unsigned size) {
  const char* product = g_setup.productKeyName;
  if (IsEmpty(product)) return false;
  const int length = FormatText(out, size, "%s%s", kRememberedFoldersKeyPrefix, product);
  return length > 0 && static_cast<unsigned>(length) < size &&
         length < static_cast<int>(kPathBufferSize);
}

}  // namespace

void ReadProgramFilesFolder(char* out) {
  platform::Key key = platform::OpenKey(platform::kRootLocalMachine, kWindowsVersionKey, false);
  const bool found = key != nullptr && ReadFolderValue(key, kProgramFilesValue, out);
  if (key != nullptr) platform::CloseKey(key);
  if (found) return;
  char windows[kPathBufferSize] = {};
  const bool drive = platform::GetWindowsFolder(windows, sizeof windows) && windows[0] != '\0' &&
                     windows[1] == ':';
  FormatText(out, kPathBufferSize, "%c:\\Program Files", drive ? windows[0] : 'C');
}

namespace {

// Relative, as the program folder has always been told: its second character is no ':'.
// A network path is not: it takes no prefix (and is no folder to install into).
bool IsRelativeFolder(const char* folder) {
  return !(folder[0] != '\0' && folder[1] == ':') && !IsFullPath(folder);
}

// `folder` made absolute (a relative one after the program-files prefix and '\') in
// `out` (kPathBufferSize bytes), cut to 255 characters.
void AbsoluteProgramFolder(const char* folder, char* out) {
  if (!IsRelativeFolder(folder)) {
    FormatText(out, kPathBufferSize, "%s", folder);
    return;
  }
  char prefix[kPathBufferSize + 1];
  ReadProgramFilesFolder(prefix);
  const size_t prefixLength = strlen(prefix);
  const bool hasSeparator = prefixLength > 0 && prefix[prefixLength - 1] == '\\';
  FormatText(out, kPathBufferSize, "%s%s%s", prefix, hasSeparator ? "" : "\\", folder);
}

// The remembered program folder, made absolute and canonical. One that cannot be
// installed into (older installers remembered what was typed: a network path, a name
// Windows refuses) is passed over like an empty one: the package's default stays,
// rather than every later quiet run failing on it.
void RestoreProgramFolder(platform::Key key) {
  char value[kPathBufferSize + 1];
  char absolute[kPathBufferSize];
  char canonical[kPathBufferSize];
  if (!ReadFolderValue(key, kPathValue, value)) return;
  AbsoluteProgramFolder(value, absolute);
  if (CanonicalFolder(absolute, canonical, sizeof canonical)) {
    ReplaceSetupText(&g_setup.programFolder, canonical);
  }
}

}  // namespace

void RestoreRememberedFolders() {
  char keyPath[kPathBufferSize];
  if (!RememberedFoldersKey(keyPath, sizeof keyPath)) return;
  platform::Key key = platform::OpenKey(platform::kRootLocalMachine, keyPath, false);
  if (key == nullptr) return;
  if (!IsEmpty(g_setup.programFolder) && !g_setup.fixedFolder) RestoreProgramFolder(key);
  if (!IsEmpty(g_setup.startMenuFolder)) {
    RestoreFolder(key, kStartMenuPathValue, &g_setup.startMenuFolder);
  }
  platform::CloseKey(key);
}

bool ReadRememberedStartMenuFolder(char* out) {
  out[0] = '\0';
  char keyPath[kPathBufferSize];
  if (!RememberedFoldersKey(keyPath, sizeof keyPath)) return false;
  platform::Key key = platform::OpenKey(platform::kRootLocalMachine, keyPath, false);
  if (key == nullptr) return false;
  const bool found = ReadFolderValue(key, kStartMenuPathValue, out);
  platform::CloseKey(key);
  return found;
}

void ApplyProgramFilesPrefix() {
  const char* folder = g_setup.programFolder;
  if (IsEmpty(folder) || !IsRelativeFolder(folder)) return;
  // Cut to 255 characters when too long, and left as it is when it is no folder to
  // install into: the folder page shows the result for editing, and refuses it.
  char absolute[kPathBufferSize];
  char canonical[kPathBufferSize];
  AbsoluteProgramFolder(folder, absolute);
  const bool usable = CanonicalFolder(absolute, canonical, sizeof canonical);
  ReplaceSetupText(&g_setup.programFolder, usable ? canonical : absolute);
}

void RememberFolders() {
  const bool program = !IsEmpty(g_setup.programFolder);
  const bool startMenu = !IsEmpty(g_setup.startMenuFolder);
  char keyPath[kPathBufferSize];
  if (!(program || startMenu) || !RememberedFoldersKey(keyPath, sizeof keyPath)) return;
  platform::Key key = CreateKeyPath(platform::kRootLocalMachine, keyPath);
  if (key == nullptr) return;
  if (program) SetTextValue(key, kPathValue, g_setup.programFolder);
  if (startMenu) SetTextValue(key, kStartMenuPathValue, g_setup.startMenuFolder);
  platform::CloseKey(key);
}
