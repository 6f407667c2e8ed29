// The switches of a quiet run and the prompts that it answers without showing them.
#include "runtime/quiet_run.h"

#include <string.h>

#include "base/ignore_case.h"
#include "platform/message_box.h"
#include "runtime/setup_state.h"

namespace {

const char kQuietSwitch[] = "/S";
const char kFolderSwitch[] = "/D=";
constexpr size_t kFolderSwitchLength = sizeof(kFolderSwitch) - 1;

const char* SkipBlanks(const char* text) {
  while (*text == ' ' || *text == '\t') ++text;
  return text;
}

size_t WordLength(const char* text) {
  size_t length = 0;
  while (text[length] != '\0' && text[length] != ' ' && text[length] != '\t') ++length;
  return length;
}

// "X:\..." (or "X:/...") or "\\server\...". A relative folder would be taken from wherever the
// deployment tool started the run, and the uninstall log would name the files by it, for
// an uninstaller that runs from another folder. `folder` is not empty.
bool IsFullPath(const char* folder) {
  return (folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/')) ||
         (folder[0] == '\\' && folder[1] == '\\');
}

// The rest of the tail after "/D=", without trailing blanks (no folder name ends in one).
bool StoreQuietFolder(const char* folder) {
  size_t length = strlen(folder);
  while (length > 0 && (folder[length - 1] == ' ' || folder[length - 1] == '\t')) --length;
  if (length >= sizeof g_setup.quietFolder || (length > 0 && !IsFullPath(folder))) {
    return false;
  }
  memcpy(g_setup.quietFolder, folder, length);
  g_setup.quietFolder[length] = '\0';
  return true;
}

}  // namespace

bool ReadQuietSwitches(const char* tail) {
  const char* folder = nullptr;
  bool quiet = false;
  for (const char* word = SkipBlanks(tail != nullptr ? tail : ""); *word != '\0';) {
    if (StartsWithIgnoringCase(word, kFolderSwitch, kFolderSwitchLength)) {
      folder = word + kFolderSwitchLength;
      break;
    }
    const size_t length = WordLength(word);
    if (length == sizeof(kQuietSwitch) - 1 && StartsWithIgnoringCase(word, kQuietSwitch, length)) {
      quiet = true;
    }
    word = SkipBlanks(word + length);
  }
  g_setup.quiet = quiet;
  return !quiet || folder == nullptr || StoreQuietFolder(folder);
}

int AskUser(platform::Window owner, const char* text, const char* caption, uint32_t flags,
            int quietAnswer) {
  if (g_setup.quiet) return quietAnswer;
  return platform::ShowMessageBox(owner, text, caption, flags);
}

void TellUser(platform::Window owner, const char* text, const char* caption, uint32_t flags) {
  if (!g_setup.quiet) platform::ShowMessageBox(owner, text, caption, flags);
}

uint32_t ExitCodeOf(uint32_t quietCode) { return g_setup.quiet ? quietCode : 0; }

uint32_t FailureExitCode() { return g_setup.quiet ? kQuietFailed : 1; }
