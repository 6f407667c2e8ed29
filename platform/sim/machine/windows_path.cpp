// Windows path spelling in the simulated Windows.
#include "platform/sim/machine/windows_path.h"

#include <string.h>

#include <cctype>

namespace sim {
namespace {

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

}  // namespace

std::string PathKey(const std::string& windowsPath) {
  std::string key = windowsPath;
  for (char& c : key) c = (c == '/') ? '\\' : UpperAscii(c);
  return key;
}

bool SamePath(const std::string& a, const std::string& b) { return PathKey(a) == PathKey(b); }

std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : path) {
    if (IsSeparator(c)) {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

std::string FullWindowsPath(const std::string& path, const std::string& currentFolder) {
  if (path.empty() || (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))) {
    return "";
  }
  std::string drive = currentFolder.substr(0, 2);
  std::string rest;
  if (HasDrive(path)) {
    drive = path.substr(0, 2);
    rest = path.substr(2);
    if (rest.empty() || !IsSeparator(rest[0])) {
      const bool onCurrentDrive = PathKey(drive) == PathKey(currentFolder.substr(0, 2));
      rest = (onCurrentDrive ? currentFolder.substr(2) : std::string()) + "\\" + rest;
    }
  } else if (IsSeparator(path[0])) {
    rest = path;
  } else {
    rest = currentFolder.substr(2) + "\\" + path;
  }
  std::vector<std::string> resolved;
  for (const std::string& part : SplitComponents(rest)) {
    if (part == ".") continue;
    if (part == "..") {
      if (!resolved.empty()) resolved.pop_back();
      continue;
    }
    resolved.push_back(part);
  }
  std::string full = drive + "\\";
  for (size_t i = 0; i < resolved.size(); ++i) full += (i ? "\\" : "") + resolved[i];
  if (!resolved.empty() && IsSeparator(path.back())) full += "\\";
  return full;
}

bool SplitFullPath(const std::string& fullPath, std::string* drive,
                   std::vector<std::string>* components) {
  if (!HasDrive(fullPath) || fullPath.size() < 3 || !IsSeparator(fullPath[2])) return false;
  *drive = fullPath.substr(0, 2);
  *components = SplitComponents(fullPath.substr(3));
  return true;
}

bool CopyToBuffer(const std::string& text, char* out, uint32_t size) {
  if (out == nullptr || size == 0) return false;
  if (text.size() >= size) {
    out[0] = '\0';
    return false;
  }
  memcpy(out, text.c_str(), text.size() + 1);
  return true;
}

}  // namespace sim
