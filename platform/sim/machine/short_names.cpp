// The 8.3 names of the simulated disks.
#include "platform/sim/machine/short_names.h"

#include <string.h>

#include <algorithm>
#include <set>

#include "platform/sim/machine/windows_path.h"

namespace sim {
namespace {

constexpr char kNeverInName[] = "\"*/:<>?\\|";
constexpr char kReplacedInShortName[] = "+,;=[]";

bool ValidInShortName(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u > 0x20 && !strchr(kNeverInName, c) && !strchr(kReplacedInShortName, c) && c != '.';
}

// Upper-cased characters of `text` fit for a short name: spaces and dots dropped, the
// characters a short name cannot hold replaced by '_', at most `limit` of them.
std::string ShortPart(const std::string& text, size_t limit) {
  std::string out;
  for (char c : text) {
    if (out.size() == limit) break;
    if (c == ' ' || c == '.') continue;
    if (strchr(kReplacedInShortName, c)) c = '_';
    out += PathKey(std::string(1, c));
  }
  return out;
}

std::string Candidate(const std::string& base, const std::string& extension, int number) {
  const std::string tail = "~" + std::to_string(number);
  std::string name = base.substr(0, 8 - tail.size()) + tail;
  if (!extension.empty()) name += "." + extension;
  return name;
}

}  // namespace

bool IsShortName(const std::string& name) {
  if (name == "." || name == "..") return true;
  const size_t dot = name.find('.');
  const std::string base = name.substr(0, dot);
  const std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || extension.size() > 3) return false;
  if (dot != std::string::npos && extension.empty()) return false;
  auto valid = [](const std::string& part) {
    return std::all_of(part.begin(), part.end(), ValidInShortName);
  };
  return valid(base) && valid(extension);
}

std::map<std::string, std::string> ShortNamesOfFolder(
    std::vector<std::string> names, const std::map<std::string, std::string>& explicitNames) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string ka = PathKey(a), kb = PathKey(b);
    return ka != kb ? ka < kb : a < b;
  });
  std::map<std::string, std::string> shortNames;
  std::set<std::string> taken;
  for (const std::string& name : names) {
    auto set = explicitNames.find(name);
    if (set != explicitNames.end()) {
      shortNames[name] = set->second;
      taken.insert(PathKey(set->second));
    } else if (IsShortName(name)) {
      shortNames[name] = name;
      taken.insert(PathKey(name));
    }
  }
  for (const std::string& name : names) {
    if (shortNames.count(name)) continue;
    const size_t lastDot = name.rfind('.');
    const bool hasExtension = lastDot != std::string::npos && lastDot > 0;
    std::string base = ShortPart(hasExtension ? name.substr(0, lastDot) : name, 6);
    const std::string extension = hasExtension ? ShortPart(name.substr(lastDot + 1), 3) : "";
    if (base.empty()) base = "_";
    for (int number = 1;; ++number) {
      const std::string candidate = Candidate(base, extension, number);
      if (taken.insert(PathKey(candidate)).second) {
        shortNames[name] = candidate;
        break;
      }
    }
  }
  return shortNames;
}

}  // namespace sim
