// Package targets mapped to safe relative paths for extraction.
#include "twk/reader/reader_target_path.h"

#include <ctype.h>

#include "twk/common/macro_tokens.h"

namespace {

// The names Windows takes for a device in any folder, with any extension ("aux.txt" is
// AUX) and with blanks before the dot; "\xB9", "\xB2" and "\xB3" are the superscript
// digits of the Windows code page, which it counts among the digits here.
bool IsDeviceName(const std::string& component) {
  std::string base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (base == device) return true;
  }
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         std::string("123456789\xB9\xB2\xB3").find(base[3]) != std::string::npos;
}

// Names are refused alike on every system, so that an extraction gives the same files
// and messages wherever twk runs; each refused name would reach something other than a
// plain file of that name on Windows: a device, an alternate data stream ("a.txt:x"), or
// a shorter name (Windows drops trailing dots and blanks: ".. " is "..").
std::string CheckComponent(const std::string& component) {
  if (component.empty()) return "an empty path component";
  if (component == "." || component == "..") return "the path component '" + component + "'";
  if (component.find('/') != std::string::npos) return "a '/' in a path component";
  if (component.find('\0') != std::string::npos) return "a NUL byte in a path component";
  for (const char c : component) {
    if (static_cast<unsigned char>(c) < 0x20) return "a control character in a path component";
  }
  const size_t reserved = component.find_first_of("<>:\"|?*");
  if (reserved != std::string::npos) {
    return std::string("a '") + component[reserved] + "' in the path component '" + component + "'";
  }
  if (component.back() == '.' || component.back() == ' ') {
    return "the path component '" + component + "', which Windows would shorten";
  }
  if (IsDeviceName(component)) {
    return "the path component '" + component + "', which Windows takes for a device";
  }
  return std::string();
}

// Splits `rest` (the text after the top folder's backslash) at backslashes into checked
// components appended to `path`.
void AppendComponents(const std::string& rest, TargetPath* path) {
  size_t start = 0;
  for (;;) {
    const size_t slash = rest.find('\\', start);
    const std::string component = rest.substr(start, slash - start);
    const std::string problem = CheckComponent(component);
    if (!problem.empty()) {
      path->refusal = problem;
      path->components.clear();
      return;
    }
    path->components.push_back(component);
    if (slash == std::string::npos) return;
    start = slash + 1;
  }
}

TargetPath Refuse(const std::string& reason) {
  TargetPath path;
  path.refusal = reason;
  return path;
}

TargetPath MapMacroTarget(const std::string& target) {
  const MacroToken* macro = RecognisedMacroAt(target, 0);
  const size_t close = target.find('}');
  if (macro == nullptr) {
    return Refuse("an unknown path macro " + target.substr(0, close == std::string::npos
                                                                 ? std::string::npos
                                                                 : close + 1));
  }
  if (close == std::string::npos) return Refuse("a path macro without its closing brace");
  const std::string rest = target.substr(close + 1);
  if (rest.empty()) return Refuse("no file name after the path macro");
  if (rest[0] != '\\') return Refuse("text directly after the path macro, before a backslash");
  TargetPath path;
  path.components.push_back(MacroName(*macro));
  AppendComponents(rest.substr(1), &path);
  return path;
}

TargetPath MapDriveTarget(const std::string& target) {
  if (target.size() < 3 || target[2] != '\\') {
    return Refuse("a drive-relative path (no backslash after the drive letter)");
  }
  TargetPath path;
  path.components.push_back(std::string(1, static_cast<char>(toupper(target[0]))));
  AppendComponents(target.substr(3), &path);
  return path;
}

}  // namespace

TargetPath MapTargetPath(const std::string& target) {
  if (!target.empty() && target[0] == '{') return MapMacroTarget(target);
  if (target.size() >= 2 && isalpha(static_cast<unsigned char>(target[0])) && target[1] == ':') {
    return MapDriveTarget(target);
  }
  if (target.compare(0, 2, "\\\\") == 0) return Refuse("a UNC path (\\\\server\\share)");
  if (!target.empty() && target[0] == '\\') return Refuse("an absolute path without a drive letter");
  return Refuse("a relative path (neither a path macro nor a drive letter in front)");
}
