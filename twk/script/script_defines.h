// Names a build defines and their use in the script's values: `twk build -D NAME=VALUE`
// and `!define NAME VALUE` set them, and ${NAME} in a value stands for the value, so
// that a version or a folder is written once (or given by a release pipeline).
#pragma once

#include <stdint.h>

#include <map>
#include <string>

#include "twk/script/script_lines.h"

class ScriptDefines {
 public:
  // A name is a letter or '_', then letters, digits and '_'; letter case counts.
  static bool IsName(const std::string& name);

  // A name from the command line: a !define of the same name in the script is passed
  // over, so that a pipeline can override a default the script gives.
  void SetFromCommandLine(const std::string& name, const std::string& value);

  // Whether `name` came from the command line: the script's !define of it is then passed
  // over whole, its value neither read nor expanded.
  bool FromCommandLine(const std::string& name) const;

  // A !define of the script on `at`. Throws a script error for a name that is not one
  // or that the script already defined (a command-line name is kept without a word).
  void Define(const std::string& name, const std::string& value, const ScriptLine& at);

  // `text` with every ${NAME} replaced by its value; "$${" stands for a literal "${".
  // Values are not looked into again. Throws a script error naming `at` for a name that
  // is not defined, for a "${" that no name and '}' follow, and for a value that would
  // take what the replacements of the whole script put in past kMaxExpandedBytes.
  std::string Expand(const std::string& text, const ScriptLine& at);

  // A name may take the value of names before it twice over, so that forty short lines
  // could ask for a terabyte: what replacements put in is bounded like the script itself.
  static constexpr uint64_t kMaxExpandedBytes = 64u << 20;

 private:
  struct Definition {
    std::string value;
    int line = 0;  // the line in its file that defined it; 0: the command line
    std::string file;
  };
  std::map<std::string, Definition> names_;
  uint64_t expandedBytes_ = 0;  // put in by every Expand so far
};
