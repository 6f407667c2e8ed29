// Comparing two installers' digests.
#include "twk/installer_diff.h"

#include <string.h>

#include <map>
#include <utility>

#include "twk/reader/reader_lines.h"
#include "twk/script/script_paths.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

void CompareText(const std::string& field, const std::string& oldText, const std::string& newText,
                 std::vector<TextDifference>* texts) {
  if (oldText != newText) texts->push_back({field, true, true, oldText, newText});
}

void CompareTexts(const InstallerDigest& oldOne, const InstallerDigest& newOne,
                  std::vector<TextDifference>* texts) {
  const InstallerHeader& o = oldOne.header;
  const InstallerHeader& n = newOne.header;
  CompareText("title", o.title, n.title, texts);
  CompareText("bottomText", o.bottomText, n.bottomText, texts);
  CompareText("productKey", o.productKey, n.productKey, texts);
  CompareText("programFolder", o.programFolder, n.programFolder, texts);
  CompareText("startMenuFolder", o.startMenuFolder, n.startMenuFolder, texts);
  if (o.hasLicence != n.hasLicence || o.licence != n.licence) {
    texts->push_back({"licence", o.hasLicence, n.hasLicence, o.licence, n.licence});
  }
  CompareText("runAfter", oldOne.runAfter, newOne.runAfter, texts);
}

// What differs between two files that install to the same place (or, for "target", the
// same content to another place).
std::vector<std::string> FileFields(const DigestedFile& o, const DigestedFile& n) {
  std::vector<std::string> fields;
  if (o.entry.name != n.entry.name) fields.push_back("target");
  if (!o.contentKnown || !n.contentKnown || o.sha256 != n.sha256) fields.push_back("content");
  if (o.size != n.size) fields.push_back("size");
  if (memcmp(o.entry.fields.version, n.entry.fields.version, sizeof o.entry.fields.version) != 0) {
    fields.push_back("version");
  }
  if (o.entry.fileTime() != n.entry.fileTime()) fields.push_back("time");
  if ((o.entry.fields.shared != 0) != (n.entry.fields.shared != 0)) fields.push_back("shared");
  if (o.selfRegisters != n.selfRegisters) fields.push_back("selfRegisters");
  return fields;
}

// Each file of the new installer takes the first file of the old one that the installer
// puts in the same place; what is left on both sides and has the same content was moved.
std::vector<FileDifference> CompareFiles(const std::vector<DigestedFile>& oldFiles,
                                         const std::vector<DigestedFile>& newFiles) {
  std::multimap<std::string, size_t> unmatched;  // identity -> old file, in package order
  for (size_t i = 0; i < oldFiles.size(); ++i) {
    unmatched.emplace(TargetIdentity(oldFiles[i].entry.name), i);
  }
  std::vector<const DigestedFile*> partner(newFiles.size(), nullptr);
  std::vector<bool> taken(oldFiles.size(), false);
  for (size_t i = 0; i < newFiles.size(); ++i) {
    const auto found = unmatched.find(TargetIdentity(newFiles[i].entry.name));
    if (found == unmatched.end()) continue;
    partner[i] = &oldFiles[found->second];
    taken[found->second] = true;
    unmatched.erase(found);
  }
  for (size_t i = 0; i < newFiles.size(); ++i) {
    if (partner[i] != nullptr || !newFiles[i].contentKnown) continue;
    for (size_t j = 0; j < oldFiles.size(); ++j) {
      if (taken[j] || !oldFiles[j].contentKnown || oldFiles[j].sha256 != newFiles[i].sha256) {
        continue;
      }
      partner[i] = &oldFiles[j];
      taken[j] = true;
      break;
    }
  }
  std::vector<FileDifference> differences;
  for (size_t i = 0; i < newFiles.size(); ++i) {
    if (partner[i] == nullptr) {
      differences.push_back({Change::kAdded, nullptr, &newFiles[i], {}});
      continue;
    }
    std::vector<std::string> fields = FileFields(*partner[i], newFiles[i]);
    if (!fields.empty()) {
      differences.push_back({Change::kChanged, partner[i], &newFiles[i], std::move(fields)});
    }
  }
  for (size_t j = 0; j < oldFiles.size(); ++j) {
    if (!taken[j]) differences.push_back({Change::kRemoved, &oldFiles[j], nullptr, {}});
  }
  return differences;
}

// A line and what it is known by: which shortcut, or which key and value.
struct KeyedLine {
  std::string identity;  // compared without regard to letter case, as Windows names
  std::string key;
  std::string line;
};

// Lines known twice by the same identity (a value set twice) are told apart by their rank.
void NumberRepeats(std::vector<KeyedLine>* lines) {
  std::map<std::string, int> seen;
  for (KeyedLine& line : *lines) {
    const int rank = seen[line.identity]++;
    if (rank > 0) line.identity += "\n#" + std::to_string(rank);
  }
}

std::vector<KeyedLine> ShortcutLines(const std::vector<std::string>& lines) {
  std::vector<KeyedLine> keyed;
  for (const std::string& line : lines) {
    const std::string link = SplitShortcutLine(line).link;
    keyed.push_back({Lower(link), link, line});
  }
  NumberRepeats(&keyed);
  return keyed;
}

// Each line in the key that the installer has open when it reads it: a key line opens
// its key, a line with an unknown root is passed over and leaves the key open.
std::vector<KeyedLine> RegistryLines(const std::vector<std::string>& lines) {
  std::vector<KeyedLine> keyed;
  std::string key;
  for (const std::string& line : lines) {
    const RegistryLine decoded = DecodeRegistryLine(line);
    std::string identity;
    switch (decoded.kind) {
      case RegistryLineKind::kKey:
        key = decoded.root + "\\" + decoded.subkey;
        identity = "key\n" + Lower(key);
        break;
      case RegistryLineKind::kValue:
        identity = "value\n" + Lower(key) + "\n" + Lower(decoded.name);
        break;
      case RegistryLineKind::kUnknownKey:
      case RegistryLineKind::kOther:
        identity = "line\n" + Lower(key) + "\n" + line;
        break;
    }
    keyed.push_back({identity, key, line});
  }
  NumberRepeats(&keyed);
  return keyed;
}

std::vector<LineDifference> CompareLines(const std::vector<KeyedLine>& oldLines,
                                         const std::vector<KeyedLine>& newLines) {
  std::map<std::string, const KeyedLine*> unmatched;
  for (const KeyedLine& line : oldLines) unmatched.emplace(line.identity, &line);
  std::vector<LineDifference> differences;
  for (const KeyedLine& line : newLines) {
    const auto found = unmatched.find(line.identity);
    if (found == unmatched.end()) {
      differences.push_back({Change::kAdded, line.key, std::string(), line.line});
      continue;
    }
    if (found->second->line != line.line) {
      differences.push_back({Change::kChanged, line.key, found->second->line, line.line});
    }
    unmatched.erase(found);
  }
  for (const KeyedLine& line : oldLines) {
    if (unmatched.count(line.identity) != 0) {
      differences.push_back({Change::kRemoved, line.key, line.line, std::string()});
    }
  }
  return differences;
}

}  // namespace

InstallerDiff CompareInstallers(const InstallerDigest& oldOne, const InstallerDigest& newOne) {
  InstallerDiff diff;
  CompareTexts(oldOne, newOne, &diff.texts);
  diff.files = CompareFiles(oldOne.files, newOne.files);
  diff.shortcuts = CompareLines(ShortcutLines(oldOne.shortcuts), ShortcutLines(newOne.shortcuts));
  diff.registry = CompareLines(RegistryLines(oldOne.registry), RegistryLines(newOne.registry));
  return diff;
}
