// The words of one script line. A line of a list section is a row of fields separated by
// blanks; each field is a value, or a name, "=" and a value. A value is a bare word (no
// blanks, '"' or '=') or a quoted text in which "" stands for one '"'. Backslashes are
// ordinary characters, so Windows paths need no doubling.
#pragma once

#include <string>
#include <vector>

struct ScriptField {
  bool hasName = false;
  std::string name;     // the text before '=' (when hasName)
  bool nameQuoted = false;
  std::string value;
  bool quoted = false;  // the value was written in quotes
};

// Splits `line` into fields. Throws a script error naming `script` and `lineNumber` for an
// unterminated quote, a quote glued to other text, or an '=' without a name or value.
std::vector<ScriptField> SplitScriptFields(const std::string& line, const std::string& script,
                                           int lineNumber);

// A [Setup] value: the rest of the line after '=', trimmed; when it begins with '"' it is a
// quoted text that must end the line. Throws a script error otherwise.
std::string ParseSetupValue(const std::string& text, const std::string& script, int lineNumber);

// The line without leading and trailing blanks (spaces and tabs).
std::string TrimBlanks(const std::string& text);

// ASCII case-insensitive equality, for section, key and keyword names.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);
