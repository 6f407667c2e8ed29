// The inner syntax of shortcut lines and registry lines, split as the stub splits them.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

struct ShortcutLine {
  std::string link;           // up to the first '='
  std::string target;         // up to the first TAB after it
  std::string arguments;      // up to the next TAB
  std::string workingFolder;  // the rest, further TABs included
};

// Splits at the first '=' and then at the first two TABs after it. The caller has made
// sure that the line holds an '='.
ShortcutLine SplitShortcutLine(const std::string& line);

enum class RegistryLineKind {
  kKey,         // ':' and a recognised root: opens a key
  kUnknownKey,  // ':' and any other root: ignored, the key before it stays open
  kValue,       // a name, '=', a type letter and data
  kOther,       // no ':' in front and no '=': sets nothing, is logged whole
};

struct RegistryLine {
  RegistryLineKind kind = RegistryLineKind::kOther;
  std::string root;    // kKey: "HKEY_LOCAL_MACHINE" and the like, as the root table names it
  std::string subkey;  // kKey: the rest after the root's backslash
  std::string name;    // kValue: the text before the first '=' ("@" = the default value)
  char type = 0;       // kValue: 'S', 'D', 'B', 'N', another letter (written as S), or 0
  std::string text;    // S and other letters: the text up to its first zero byte
  uint32_t number = 0;             // D
  std::vector<uint8_t> binary;     // B: the bytes that the line holds (at most its length)
  uint16_t binaryLength = 0;       // B: the length the line declares
  std::string problem;             // a D or B line whose data the line does not hold
};

// A key line and a value line's name end at the line's first zero byte, as the installer
// reads them; a line whose '=' stands after it is kOther.
RegistryLine DecodeRegistryLine(const std::string& line);
