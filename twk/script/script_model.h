// What a build script says, as parsed: the setup texts, the files, the shortcuts and the
// registry keys. Every item keeps the line it came from so that later checks can name it.
// Texts are 8-bit bytes exactly as written in the script (after unquoting and replacing
// ${NAME}).
//
// A line is counted by its rank among all the lines read, the included scripts' lines
// where their !include stands: so sorting by rank puts messages in the order the script
// reads, and for a script without includes the rank is the line number.
// SetupScript::Place turns a rank back into "file:line".
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// A [Setup] value and the rank of its line (0 when the script does not set it).
struct ScriptText {
  std::string value;
  int line = 0;
};

// What the installer does about a file's self-registration marker (the "OLESelfRegister"
// entry of its version resource), which alone decides whether it registers the file.
enum class RegisterOption {
  kAsTheFileSays,  // no option: registered exactly when the file carries the marker
  kRequired,       // register=yes: the build fails unless the file carries the marker
  kOff,            // register=no: the packed copy carries the marker under another name
};

struct FileItem {
  int line = 0;
  std::string source;  // relative to the script's folder; '*' and '?' in its last component
  std::string target;  // a target ending in '\' is a folder: the source file name is added
  bool shared = false;
  bool hasVersion = false;  // the script overrides the version read from the file
  uint16_t version[4] = {0, 0, 0, 0};
  RegisterOption registerOption = RegisterOption::kAsTheFileSays;
};

struct ShortcutItem {
  int line = 0;
  std::string link;
  std::string target;
  std::string arguments;
  std::string startIn;  // the working folder
};

enum class RegistryKind { kString, kDword, kBinary, kRemove };

struct RegistryValueItem {
  int line = 0;
  std::string name;  // "@" is the key's default value
  RegistryKind kind = RegistryKind::kString;
  std::string text;            // kString
  uint32_t number = 0;         // kDword
  std::vector<uint8_t> bytes;  // kBinary
};

struct RegistryKeyItem {
  int line = 0;
  std::string root;    // canonical: "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE"
  std::string subkey;  // without the root, levels separated by '\'
  std::vector<RegistryValueItem> values;
};

// Where the lines from `firstRank` on came from, up to the next span: `file` from its
// line `firstLine` on.
struct ScriptSpan {
  int firstRank = 1;
  std::string file;
  int firstLine = 1;
};

struct SetupScript {
  std::string name;    // the script's path as the user gave it, for messages
  std::string folder;  // the folder that source paths and the licence file are relative to
  std::vector<ScriptSpan> spans;  // in rank order; empty: every line is one of `name`

  // "file:line" of the line of `rank` ("demo.twk:12"); the script's name alone for 0.
  std::string Place(int rank) const;
  // How a message about `rank` refers to the line of `other`: "line 7" when both stand in
  // the same file, "common.twk:7" when they do not.
  std::string LineReference(int rank, int other) const;

  ScriptText title;
  ScriptText bottomText;  // "\n" in the script is already a line break here
  ScriptText productKey;
  ScriptText programFolder;
  ScriptText startMenuFolder;
  ScriptText licenceFile;  // a path like a source path; empty = no licence page
  ScriptText runAfter;
  // The Add/Remove Programs entry's details (uninstall_entry.h).
  ScriptText publisher;
  ScriptText displayVersion;
  ScriptText displayIcon;  // a path, with a path macro: "{OurProgramDir}\App.exe,0"
  ScriptText urlInfoAbout;
  ScriptText helpLink;

  std::vector<FileItem> files;
  std::vector<ShortcutItem> shortcuts;
  std::vector<RegistryKeyItem> registry;
};
