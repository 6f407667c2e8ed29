// Writing JSON: indentation, commas and the escaping of 8-bit texts.
#include "twk/common/json_writer.h"

#include <cstdio>

namespace {

// A byte as JSON escapes it: \n, \r, \t, or \u00XX.
void AppendEscape(unsigned char byte, std::string* out) {
  if (byte == '\n') {
    *out += "\\n";
  } else if (byte == '\r') {
    *out += "\\r";
  } else if (byte == '\t') {
    *out += "\\t";
  } else {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", byte);
    *out += escape;
  }
}

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

}  // namespace

std::string JsonString(const std::string& bytes) {
  std::string out = "\"";
  for (const char c : bytes) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += c;
    } else if (IsControl(byte) || byte >= 0x80) {
      AppendEscape(byte, &out);
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string EscapeControls(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (IsControl(byte)) {
      AppendEscape(byte, &out);
    } else {
      out += c;
    }
  }
  return out;
}

std::string MessageLine(const std::string& text) { return "twk: " + EscapeControls(text) + "\n"; }

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (empty_.empty()) return;
  if (!empty_.back()) text_ += ',';
  empty_.back() = false;
  text_ += '\n' + std::string(2 * empty_.size(), ' ');
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  text_ += bracket;
  empty_.push_back(true);
}

void JsonWriter::Close(char bracket) {
  const bool wasEmpty = empty_.back();
  empty_.pop_back();
  if (!wasEmpty) text_ += '\n' + std::string(2 * empty_.size(), ' ');
  text_ += bracket;
}

void JsonWriter::BeginObject() { Open('{'); }
void JsonWriter::EndObject() { Close('}'); }
void JsonWriter::BeginArray() { Open('['); }
void JsonWriter::EndArray() { Close(']'); }

void JsonWriter::Key(const std::string& name) {
  BeforeValue();
  text_ += JsonString(name) + ": ";
  afterKey_ = true;
}

void JsonWriter::String(const std::string& bytes) {
  BeforeValue();
  text_ += JsonString(bytes);
}

void JsonWriter::Number(uint64_t value) {
  BeforeValue();
  text_ += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  text_ += value ? "true" : "false";
}

void JsonWriter::Null() {
  BeforeValue();
  text_ += "null";
}

void JsonWriter::Field(const std::string& name, const std::vector<std::string>& texts) {
  Key(name);
  BeginArray();
  for (const std::string& text : texts) String(text);
  EndArray();
}
