// A JSON document written by hand, for the --json output of the reading commands. Texts
// of packages are 8-bit bytes in the Windows code page of whoever made them, which twk
// does not know: each byte becomes the character of the same number (U+0000 to U+00FF),
// so a reader gets every byte back (in Python: text.encode("latin-1")). The output is
// pure ASCII; anything else is written as \uXXXX.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

class JsonWriter {
 public:
  // Objects and arrays nest; a value inside an object follows its Key. Misuse (a value
  // without a key in an object, an unbalanced End) is the caller's bug and not checked.
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  void Key(const std::string& name);

  void String(const std::string& bytes);
  void Number(uint64_t value);
  void Bool(bool value);
  void Null();

  // Key and value in one.
  void Field(const std::string& name, const std::string& bytes) { Key(name); String(bytes); }
  void Field(const std::string& name, uint64_t value) { Key(name); Number(value); }
  void Field(const std::string& name, bool value) { Key(name); Bool(value); }
  void Field(const std::string& name, const char* bytes) { Key(name); String(bytes); }
  void Field(const std::string& name, const std::vector<std::string>& texts);

  // The document, with a line break at its end; complete once every Begin has its End.
  std::string Text() const { return text_ + "\n"; }

 private:
  void BeforeValue();
  void Open(char bracket);
  void Close(char bracket);

  std::string text_;
  std::vector<bool> empty_;  // per open object or array: nothing in it yet
  bool afterKey_ = false;
};

// `bytes` as a JSON string literal, quotes included.
std::string JsonString(const std::string& bytes);

// `text` with its control characters (below 0x20, and 0x7F) escaped as JsonString writes
// them (\n, \r, \t, \u00XX), every other byte as it is.
std::string EscapeControls(const std::string& text);

// One message for standard error: "twk: ", `text` on one line and the line break. Its
// control characters are escaped as in JSON, so that a file or key name it quotes can
// neither break it into lines that look like messages of their own nor send a terminal
// commands.
std::string MessageLine(const std::string& text);
