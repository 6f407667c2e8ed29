// Checking a parsed script against the package's limits.
#include "twk/script/script_checks.h"

#include "package/format.h"
#include "twk/common/build_error.h"
#include "twk/common/macro_tokens.h"
#include "twk/script/build_lines.h"
#include "twk/script/script_paths.h"
#include "twk/script/uninstall_entry.h"

namespace {

bool IsAbsolute(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':') || path.compare(0, 2, "\\\\") == 0;
}

// A path that GetFullPathName leaves as it is once its macro is expanded: a path macro or a
// drive first, then plain names. The installer counts a shared file under its full path,
// the uninstaller under the path as logged; only for such a path are the two the same.
bool IsPlainFullPath(const std::string& path) {
  size_t start = 0;
  if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') {
    start = 3;
  } else if (RecognisedMacroAt(path, 0) != nullptr) {
    // "{WinDrive}" is a drive letter alone: "{WinDrive}:\..." is a full path too.
    const size_t close = path.find('}');
    if (close == std::string::npos) return false;
    if (path.compare(close, 2, "}\\") == 0) {
      start = close + 2;
    } else if (path.compare(close, 3, "}:\\") == 0) {
      start = close + 3;
    } else {
      return false;
    }
  } else {
    return false;
  }
  if (path.find('/') != std::string::npos) return false;
  for (size_t begin = start;;) {
    const size_t end = path.find('\\', begin);
    const std::string name = path.substr(begin, end == std::string::npos ? end : end - begin);
    if (name.empty() || name == "." || name == "..") return false;
    if (end == std::string::npos) return true;
    begin = end + 1;
  }
}

bool HasControlCharacter(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
  }
  return false;
}

// The installer's own folders that a text can use: each needs the [Setup] value that
// gives it.
const char* UnsetFolderProblem(const SetupScript& script, const std::string& text) {
  const size_t brace = text.find('{');
  const MacroToken* macro = brace == std::string::npos ? nullptr : RecognisedMacroAt(text, brace);
  if (macro == nullptr) return nullptr;
  const std::string token = macro->token;
  if (token == "{OurProgramDir}" && script.programFolder.value.empty()) {
    return "uses {OurProgramDir}, but the script sets no ProgramFolder: the installer would "
           "put nothing in its place (the root of the current drive)";
  }
  if (token == "{OurShortcutDir}" && script.startMenuFolder.value.empty()) {
    return "uses {OurShortcutDir}, but the script sets no StartMenuFolder: it would be the "
           "start-menu Programs folder itself ({StartPrograms} says so plainly)";
  }
  return nullptr;
}

class Checker {
 public:
  Checker(const SetupScript& script, ScriptDiagnostics* diagnostics)
      : script_(script), diagnostics_(diagnostics) {}

  [[noreturn]] void Fail(int line, const std::string& what) const {
    ThrowScriptError(script_.Place(line), what);
  }

  void Length(int line, const std::string& what, const std::string& text, size_t max) const {
    if (text.size() > max) {
      Fail(line, what + " is " + std::to_string(text.size()) + " bytes long; at most " +
                     std::to_string(max) + " fit");
    }
  }

  // Runs the checks of one item: the first rule it breaks is kept, the others are not
  // looked at (they are often the same mistake seen again).
  template <typename Check>
  void Item(int line, Check check) {
    diagnostics_->Record(line, check);
  }

  void Warn(int line, const std::string& what) {
    diagnostics_->Warning(line, script_.Place(line) + ": " + what);
  }

  // A text that the installer expands must not need a folder the script leaves empty.
  void WatchFolders(int line, const std::string& what, const std::string& text) const {
    const char* problem = UnsetFolderProblem(script_, text);
    if (problem != nullptr) Fail(line, what + " '" + text + "' " + problem);
  }

  // Refuses a path whose brace group the installer would misread, and warns about one it
  // will not expand as its author probably expects.
  void WatchPath(int line, const std::string& what, const std::string& path, bool mustBePlaced) {
    const std::string problem = BraceGroupProblem(path);
    if (!problem.empty()) Fail(line, what + " '" + path + "': " + problem);
    WatchFolders(line, what, path);
    const size_t brace = path.find('{');
    if (brace != std::string::npos && RecognisedMacroAt(path, brace) == nullptr) {
      Warn(line, what + " '" + path + "': its first {...} is not a path macro and stays as written");
    } else if (brace == std::string::npos && mustBePlaced && !IsAbsolute(path)) {
      Warn(line, what + " '" + path + "' has no path macro or drive: it is relative to the "
                                      "installer's current folder");
    }
  }

  void Setup() {
    const SetupScript& s = script_;
    Item(s.title.line, [&] { Length(s.title.line, "Title", s.title.value, kMaxStringRecord); });
    Item(s.bottomText.line, [&] {
      Length(s.bottomText.line, "BottomText", s.bottomText.value, kMaxStringRecord);
    });
    Item(s.programFolder.line, [&] {
      Length(s.programFolder.line, "ProgramFolder", s.programFolder.value, kMaxStringRecord);
    });
    Item(s.startMenuFolder.line, [&] {
      Length(s.startMenuFolder.line, "StartMenuFolder", s.startMenuFolder.value, kMaxStringRecord);
    });
    Item(s.runAfter.line, [&] {
      Length(s.runAfter.line, "RunAfter", s.runAfter.value, kMaxStringRecord);
      if (!s.runAfter.value.empty()) WatchPath(s.runAfter.line, "RunAfter", s.runAfter.value, false);
    });
    Item(s.productKey.line, [&] { ProductKey(); });
  }

  void ProductKey() {
    const ScriptText& key = script_.productKey;
    Length(key.line, "ProductKey", key.value, kMaxProductKeyLength);
    if (key.value.find('\\') != std::string::npos) {
      Fail(key.line, "ProductKey is one registry key name: it may not hold '\\'");
    }
    if (!key.value.empty() && script_.programFolder.value.empty()) {
      Fail(key.line, "ProductKey needs a ProgramFolder: the installer writes UNINST.EXE into "
                     "{OurProgramDir}, which would be the root of the current drive");
    }
    UninstallEntry();
  }

  // The entry's details are values of the product's uninstall key: without a ProductKey
  // there is none to hold them.
  void UninstallEntry() {
    for (const EntryText& text : kEntryTexts) {
      const ScriptText& item = script_.*text.member;
      if (item.line == 0 || !script_.productKey.value.empty()) continue;
      Fail(item.line, std::string(text.name) + " describes the Add/Remove Programs entry, "
                                               "which needs a ProductKey");
    }
    for (const RegistryKeyItem& key : UninstallEntryKeys(script_, 0)) {
      for (const RegistryValueItem& value : key.values) {
        Length(value.line, value.name + " (as the registry line \"" + value.name + "=S...\")",
               EncodeRegistryValueLine(value), kMaxStringRecord);
      }
    }
    if (!script_.displayIcon.value.empty()) {
      WatchPath(script_.displayIcon.line, "DisplayIcon", script_.displayIcon.value, false);
    }
  }

  void File(const FileItem& file) {
    if (file.source.empty()) Fail(file.line, "the source is empty");
    if (IsWildcard(file.source) && (file.target.empty() || file.target.back() != '\\')) {
      Fail(file.line, "a wildcard source needs a folder target ending in '\\'");
    }
    if (file.target.empty()) Fail(file.line, "the target is empty");
    WatchPath(file.line, "target", file.target, true);
  }

  void Shortcut(const ShortcutItem& shortcut) {
    const int line = shortcut.line;
    if (shortcut.link.empty()) Fail(line, "the link path is empty");
    if (shortcut.target.empty()) Fail(line, "the shortcut target is empty");
    if (shortcut.link.find(kShortcutSeparator) != std::string::npos) {
      Fail(line, "a link path may not hold '=': the installer ends the link path at the first '='");
    }
    if (HasControlCharacter(shortcut.link) || HasControlCharacter(shortcut.target) ||
        HasControlCharacter(shortcut.arguments) || HasControlCharacter(shortcut.startIn)) {
      Fail(line, "a shortcut may not hold TAB or other control characters: TAB separates "
                 "its fields in the package");
    }
    const size_t slash = shortcut.link.rfind('\\');
    const std::string last = shortcut.link.substr(slash == std::string::npos ? 0 : slash + 1);
    if (last.find('.') == std::string::npos) {
      Length(line, "the link path (\".lnk\" is added to it)", shortcut.link,
             kMaxLinkWithoutExtension);
    }
    Length(line, "the shortcut line", EncodeShortcutLine(shortcut), kMaxStringRecord);
    WatchPath(line, "link", shortcut.link, true);
    WatchPath(line, "shortcut target", shortcut.target, false);
    WatchFolders(line, "the arguments", shortcut.arguments);
    WatchPath(line, "start-in folder", shortcut.startIn, false);
  }

  void Key(const RegistryKeyItem& key) {
    if (key.subkey.empty()) Fail(key.line, "the registry key has no subkey after its root");
    if (key.subkey.find("\\\\") != std::string::npos || key.subkey.back() == '\\') {
      Fail(key.line, "the registry key has an empty level ('\\\\' or a trailing '\\')");
    }
    Length(key.line, "the registry key line", EncodeRegistryKeyLine(key), kMaxStringRecord);
  }

  void Value(const RegistryValueItem& value) {
    if (value.name.empty()) {
      Fail(value.line, "a registry value needs a name (\"@\" for the default value): an empty "
                       "name would end its key's section of the uninstall log");
    }
    if (value.name.find('=') != std::string::npos) {
      Fail(value.line, "a registry value name may not hold '=': the installer ends the name "
                       "at the first '='");
    }
    if (value.name[0] == kRegistryKeyLinePrefix) {
      Fail(value.line, "a registry value name may not begin with ':': the installer would "
                       "read the line as a key");
    }
    Length(value.line, "the registry value line", EncodeRegistryValueLine(value),
           kMaxStringRecord);
    // Registry texts may hold braces of their own (class ids): only a recognised macro counts.
    if (value.kind == RegistryKind::kString) WatchFolders(value.line, "the text", value.text);
  }

 private:
  const SetupScript& script_;
  ScriptDiagnostics* diagnostics_;
};

}  // namespace

void CheckScript(const SetupScript& script, ScriptDiagnostics* diagnostics) {
  Checker checker(script, diagnostics);
  checker.Setup();
  for (const FileItem& file : script.files) {
    checker.Item(file.line, [&] { checker.File(file); });
  }
  for (const ShortcutItem& shortcut : script.shortcuts) {
    checker.Item(shortcut.line, [&] { checker.Shortcut(shortcut); });
  }
  for (const RegistryKeyItem& key : script.registry) {
    checker.Item(key.line, [&] { checker.Key(key); });
    for (const RegistryValueItem& value : key.values) {
      checker.Item(value.line, [&] { checker.Value(value); });
    }
  }
}

void CheckFileTarget(const SetupScript& script, int line, const std::string& target, bool shared) {
  ScriptDiagnostics unused;
  Checker checker(script, &unused);
  if (target.empty()) checker.Fail(line, "the target is empty");
  if (HasControlCharacter(target)) {
    checker.Fail(line, "the target '" + target + "' holds TAB or another control character");
  }
  checker.Length(line, "the target '" + target + "'", target, kMaxStringRecord);
  if (shared) {
    checker.Length(line, "the shared file's target '" + target + "' (its uninstall record ends in a TAB)",
                   target, kMaxSharedTargetLength);
    if (!IsPlainFullPath(target)) {
      checker.Fail(line, "the shared file's target '" + target +
                             "' must be a plain full path (a path macro or drive first, no "
                             "'.', '..', empty name or '/'): the uninstaller finds its "
                             "shared count by the path exactly as the installer logged it");
    }
  }
}

bool IsWildcard(const std::string& source) {
  return source.find_first_of("*?") != std::string::npos;
}
