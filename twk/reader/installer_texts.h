// The texts an installer (or a maintenance program) carries in place of the stub's
// English ones: the section that `twk build` adds for a script's Language and [Messages].
#pragma once

#include <string>
#include <vector>

struct InstallerTexts {
  bool present = false;         // the file has the section
  std::string language;         // the shipped translation's tag; "" for none
  std::vector<std::string> texts;  // by MessageId: the text shown, "" where it is English
  std::vector<bool> overridden;    // by MessageId: given by the script's [Messages]
};

// Reads the section of the program file at `path`. A file without one, or one that
// cannot be read or whose section is not sound, gives an absent section: the stub then
// shows its English texts too.
InstallerTexts ReadInstallerTexts(const std::string& path);
