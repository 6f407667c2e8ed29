// Expanding the path macro at the first '{' of a path.
#include "engine/path_macros.h"

#include <string.h>

#include "base/format_text.h"
#include "base/ignore_case.h"
#include "platform/system.h"
#include "runtime/setup_state.h"

namespace {

enum class Macro {
  kProgramDir,
  kWinDir,
  kWinSysDir,
  kWinDrive,
  kShortcutDir,
  kStartUp,
  kStartMenu,
  kStartPrograms,
  kDesktop,
};

struct MacroToken {
  const char* token;
  size_t compared;  // characters from the '{' that must match
  Macro macro;
};

// In the order they are tried. The two installation folders are recognised by their
// first characters up to the D of "Dir", every machine folder only whole, '}' included.
constexpr MacroToken kMacros[] = {
    {"{OurProgramDir}", 12, Macro::kProgramDir},
    {"{WinDir}", 8, Macro::kWinDir},
    {"{WinSysDir}", 11, Macro::kWinSysDir},
    {"{WinDrive}", 10, Macro::kWinDrive},
    {"{OurShortcutDir}", 13, Macro::kShortcutDir},
    {"{StartUp}", 9, Macro::kStartUp},
    {"{StartMenu}", 11, Macro::kStartMenu},
    {"{StartPrograms}", 15, Macro::kStartPrograms},
    {"{Desktop}", 9, Macro::kDesktop},
};

const MacroToken* FindMacro(const char* brace) {
  for (const MacroToken& entry : kMacros) {
    if (StartsWithIgnoringCase(brace, entry.token, entry.compared)) return &entry;
  }
  return nullptr;
}

// A folder that cannot be determined counts as empty, so a path built on it stays
// relative rather than naming some other folder.
void ShellFolderOrEmpty(int csidl, char* out) {
  if (!platform::GetShellFolder(csidl, out, kPathBufferSize)) out[0] = '\0';
}

// The macro's value into `out` (kPathBufferSize bytes). False when it does not fit.
bool FetchValue(Macro macro, char* out) {
  out[0] = '\0';
  switch (macro) {
    case Macro::kProgramDir:
      return FormatText(out, kPathBufferSize, "%s", TextOrEmpty(g_setup.programFolder)) <
             static_cast<int>(kPathBufferSize);
    case Macro::kWinDir:
      if (!platform::GetWindowsFolder(out, kPathBufferSize)) out[0] = '\0';
      return true;
    case Macro::kWinSysDir:
      if (!platform::GetSystemFolder(out, kPathBufferSize)) out[0] = '\0';
      return true;
    case Macro::kWinDrive:
      if (!platform::GetWindowsFolder(out, kPathBufferSize)) out[0] = '\0';
      if (out[0] != '\0') out[1] = '\0';  // the drive letter alone, without its ':'
      return true;
    case Macro::kShortcutDir: {
      char programs[kPathBufferSize];
      ShellFolderOrEmpty(platform::kShellPrograms, programs);
      return FormatText(out, kPathBufferSize, "%s\\%s", programs,
                       TextOrEmpty(g_setup.startMenuFolder)) < static_cast<int>(kPathBufferSize);
    }
    case Macro::kStartUp:
      ShellFolderOrEmpty(platform::kShellStartup, out);
      return true;
    case Macro::kStartMenu:
      ShellFolderOrEmpty(platform::kShellStartMenu, out);
      return true;
    case Macro::kStartPrograms:
      ShellFolderOrEmpty(platform::kShellPrograms, out);
      return true;
    case Macro::kDesktop:
      ShellFolderOrEmpty(platform::kShellDesktop, out);
      return true;
  }
  return true;
}

}  // namespace

bool ExpandPathMacros(char* path) {
  const size_t length = strnlen(path, kPathBufferSize);
  if (length == kPathBufferSize) return false;  // no terminator: not a path we can use
  char* brace = strchr(path, '{');
  if (brace == nullptr) return true;
  const MacroToken* macro = FindMacro(brace);
  if (macro == nullptr) return true;

  char value[kPathBufferSize];
  if (!FetchValue(macro->macro, value)) return false;

  // Without a '}' the token runs to the end of the path, and so does what it replaces.
  const char* close = strchr(brace, '}');
  const char* suffix = close != nullptr ? close + 1 : path + length;
  const size_t prefixLength = static_cast<size_t>(brace - path);
  const size_t valueLength = strlen(value);
  const size_t suffixLength = strlen(suffix);
  if (prefixLength + valueLength + suffixLength >= kPathBufferSize) return false;

  char expanded[kPathBufferSize];
  memcpy(expanded, path, prefixLength);
  memcpy(expanded + prefixLength, value, valueLength);
  memcpy(expanded + prefixLength + valueLength, suffix, suffixLength + 1);
  memcpy(path, expanded, prefixLength + valueLength + suffixLength + 1);
  return true;
}
