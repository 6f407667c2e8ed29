// Splitting script lines into fields and values.
#include "twk/script/script_lexer.h"

#include <cctype>

#include "twk/common/build_error.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Reads the value that starts at *pos; leaves *pos just after it.
struct Cursor {
  const std::string& line;
  size_t pos;
  const std::string& script;
  int lineNumber;

  void SkipBlanks() {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
  }
  bool AtEnd() const { return pos >= line.size(); }
  char Peek() const { return line[pos]; }

  [[noreturn]] void Fail(const std::string& what) const {
    ThrowScriptError(script, lineNumber, what);
  }

  std::string ReadQuoted() {
    std::string text;
    ++pos;  // the opening quote
    for (;;) {
      if (AtEnd()) Fail("a quoted text is not closed (a '\"' is missing)");
      const char c = line[pos++];
      if (c != '"') {
        text += c;
      } else if (!AtEnd() && Peek() == '"') {
        text += '"';
        ++pos;
      } else {
        break;
      }
    }
    if (!AtEnd() && !IsBlank(Peek()) && Peek() != '=') {
      Fail("a quoted text must be followed by a blank, '=' or the end of the line");
    }
    return text;
  }

  std::string ReadBare() {
    const size_t start = pos;
    while (!AtEnd() && !IsBlank(Peek()) && Peek() != '=' && Peek() != '"') ++pos;
    if (!AtEnd() && Peek() == '"') {
      Fail("a '\"' inside a word: quote the whole value, writing \"\" for a '\"' in it");
    }
    return line.substr(start, pos - start);
  }

  // A value: quoted or bare. `quoted` tells which.
  std::string ReadValue(bool* quoted) {
    *quoted = !AtEnd() && Peek() == '"';
    return *quoted ? ReadQuoted() : ReadBare();
  }
};

}  // namespace

std::vector<ScriptField> SplitScriptFields(const std::string& line, const std::string& script,
                                           int lineNumber) {
  std::vector<ScriptField> fields;
  Cursor cursor{line, 0, script, lineNumber};
  for (;;) {
    cursor.SkipBlanks();
    if (cursor.AtEnd()) break;
    if (cursor.Peek() == '=') cursor.Fail("'=' without a name before it");
    ScriptField field;
    field.value = cursor.ReadValue(&field.quoted);
    cursor.SkipBlanks();
    if (!cursor.AtEnd() && cursor.Peek() == '=') {
      ++cursor.pos;
      cursor.SkipBlanks();
      if (cursor.AtEnd()) cursor.Fail("'" + field.value + "=' has no value after '='");
      if (cursor.Peek() == '=') cursor.Fail("two '=' in a row");
      field.hasName = true;
      field.name = field.value;
      field.nameQuoted = field.quoted;
      field.value = cursor.ReadValue(&field.quoted);
    }
    fields.push_back(field);
  }
  return fields;
}

std::string ParseSetupValue(const std::string& text, const std::string& script, int lineNumber) {
  const std::string value = TrimBlanks(text);
  if (value.empty() || value[0] != '"') return value;
  Cursor cursor{value, 0, script, lineNumber};
  bool quoted = false;
  const std::string unquoted = cursor.ReadValue(&quoted);
  cursor.SkipBlanks();
  if (!cursor.AtEnd()) cursor.Fail("text after the closing '\"'");
  return unquoted;
}

std::string TrimBlanks(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}
