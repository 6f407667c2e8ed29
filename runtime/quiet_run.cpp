// The switches of a quiet run and the prompts that it answers without showing them.
#include "runtime/quiet_run.h"

#include <string.h>

#include "base/folder_path.h"
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

// The rest of the tail after "/D=": a quoted folder ("/D=\"C:\My Apps\"", or the whole
// switch quoted, '"' before "/D=") up to its closing quote, with nothing but blanks after
// it; otherwise the rest of the tail, blanks included and trailing blanks left out (no
// folder name ends in one), since deployment tools write it last and unquoted. It is
// kept in its canonical form (base/folder_path.h), so that every later path and record
// names the folder one way. False for a folder that cannot be installed into, a quote
// that is never closed, and anything after a closing quote.
bool StoreQuietFolder(const char* folder, bool quoted) {
  char text[kStringRecordBufferSize];
  size_t length = 0;
  if (folder[0] == '"' && !quoted) {
    quoted = true;
    ++folder;
  }
  if (quoted) {
    const char* close = strchr(folder, '"');
    if (close == nullptr || *SkipBlanks(close + 1) != '\0') return false;
    length = static_cast<size_t>(close - folder);
  } else {
    length = strlen(folder);
    while (length > 0 && (folder[length - 1] == ' ' || folder[length - 1] == '\t')) --length;
  }
  // "/D=" with nothing after it names no folder: the remembered or default one stays.
  if (length == 0) return true;
  if (length >= sizeof text) return false;
  memcpy(text, folder, length);
  text[length] = '\0';
  return CanonicalFolder(text, g_setup.quietFolder, sizeof g_setup.quietFolder);
}

}  // namespace

bool ReadQuietSwitches(const char* tail) {
  const char* folder = nullptr;
  bool quoted = false;
  bool quiet = false;
  for (const char* word = SkipBlanks(tail != nullptr ? tail : ""); *word != '\0';) {
    // A tool that passes its arguments as a list quotes the whole switch when the folder
    // holds a blank: that is read too, rather than the folder it names passed over.
    quoted = word[0] == '"';
    if (StartsWithIgnoringCase(word + (quoted ? 1 : 0), kFolderSwitch, kFolderSwitchLength)) {
      folder = word + (quoted ? 1 : 0) + kFolderSwitchLength;
      break;
    }
    const size_t length = WordLength(word);
    if (length == sizeof(kQuietSwitch) - 1 && StartsWithIgnoringCase(word, kQuietSwitch, length)) {
      quiet = true;
    }
    word = SkipBlanks(word + length);
  }
  g_setup.quiet = quiet;
  return !quiet || folder == nullptr || StoreQuietFolder(folder, quoted);
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
