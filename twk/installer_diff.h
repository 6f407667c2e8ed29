// What differs between two installers, as their users would see it: header texts and
// folders, the licence, the files (by target, content, size, version, time and options),
// the shortcuts, the registry lines and the run-after command. How the packages are laid
// out (blocks, volumes, the size table) is no difference.
#pragma once

#include <string>
#include <vector>

#include "twk/installer_digest.h"

enum class Change { kAdded, kRemoved, kChanged };

// A header text, the licence or the run-after command.
struct TextDifference {
  std::string field;  // "title", "bottomText", "productKey", "programFolder",
                      // "startMenuFolder", "licence", "runAfter"
  bool hadOld = true;  // false: the licence is new
  bool hasNew = true;  // false: the licence is gone
  std::string oldText;
  std::string newText;
};

struct FileDifference {
  Change change;
  const DigestedFile* oldFile = nullptr;  // null when added
  const DigestedFile* newFile = nullptr;  // null when removed
  // kChanged: what differs, of "target" (a file of the same content moved, or its
  // target's letter case changed), "content", "size", "version", "time", "shared" and
  // "selfRegisters", in that order.
  std::vector<std::string> fields;
};

// A shortcut, or a line of the registry list in the key it stands in.
struct LineDifference {
  Change change;
  std::string key;      // shortcuts: the link; registry: the key (root\subkey)
  std::string oldLine;  // empty when added
  std::string newLine;  // empty when removed
};

struct InstallerDiff {
  std::vector<TextDifference> texts;  // header texts and licence, then the run-after command
  std::vector<FileDifference> files;  // in the new installer's order, then the removed ones
  std::vector<LineDifference> shortcuts;
  std::vector<LineDifference> registry;

  bool same() const {
    return texts.empty() && files.empty() && shortcuts.empty() && registry.empty();
  }
};

// Compares two digests read whole and without problems. The result points into them.
InstallerDiff CompareInstallers(const InstallerDigest& oldOne, const InstallerDigest& newOne);
