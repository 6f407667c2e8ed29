// The shipped translations and the lines of a [Messages] section.
#include "twk/script/script_messages.h"

#include <stdexcept>

#include "base/messages.h"
#include "twk/common/build_error.h"
#include "twk/common/message_table.h"
#include "twk/script/script_lexer.h"
#include "twk/script/shipped_languages.h"

namespace {

// The characters of code page 1252 at 0x80 to 0x9F (0 where it has none); the rest of
// 0xA0 to 0xFF is Latin-1, the same code points.
const uint16_t kHighCodePage[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The one byte of code page 1252 for `point`; -1 when it has none.
int CodePageByte(uint32_t point) {
  if (point < 0x80 || (point >= 0xA0 && point <= 0xFF)) return static_cast<int>(point);
  for (int i = 0; i < 32; ++i) {
    if (kHighCodePage[i] != 0 && kHighCodePage[i] == point) return 0x80 + i;
  }
  return -1;
}

// `text` (UTF-8) in code page 1252. Throws for bytes that are no UTF-8 and for
// characters the code page does not have.
std::string ToCodePage(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char first = static_cast<unsigned char>(text[i]);
    const int length = first < 0x80 ? 1 : (first >> 5) == 6 ? 2 : (first >> 4) == 14 ? 3 : (first >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) throw std::runtime_error("not UTF-8");
    uint32_t point = length == 1 ? first : first & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next >> 6) != 2) throw std::runtime_error("not UTF-8");
      point = (point << 6) | (next & 0x3F);
    }
    const int byte = CodePageByte(point);
    if (byte < 0) {
      throw std::runtime_error("U+" + std::to_string(point) + " is not in code page 1252: " + text);
    }
    out += static_cast<char>(byte);
    i += length;
  }
  return out;
}

std::string WithLineBreaks(const std::string& text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      result += '\n';
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

const ShippedLanguageFile* FindFile(const std::string& tag) {
  for (size_t i = 0; i < kShippedLanguageFileCount; ++i) {
    if (tag == kShippedLanguageFiles[i].tag) return &kShippedLanguageFiles[i];
  }
  return nullptr;
}

}  // namespace

std::vector<std::string> ShippedLanguages() {
  std::vector<std::string> tags;
  for (size_t i = 0; i < kShippedLanguageFileCount; ++i) tags.push_back(kShippedLanguageFiles[i].tag);
  return tags;
}

std::string ShippedLanguageList() {
  const std::vector<std::string> tags = ShippedLanguages();
  std::string list;
  for (size_t i = 0; i < tags.size(); ++i) {
    list += (i == 0 ? "" : i + 1 == tags.size() ? " or " : ", ") + tags[i];
  }
  return list;
}

std::vector<std::string> ShippedTexts(const std::string& tag) {
  const ShippedLanguageFile* file = FindFile(tag);
  if (file == nullptr) return {};
  const std::string name = tag + ".txt";
  std::vector<std::string> texts(kMessageCount);
  std::vector<bool> given(kMessageCount, false);
  const std::string all(file->text, file->size);
  size_t start = 0;
  for (int number = 1; start < all.size(); ++number) {
    size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    std::string line = TrimBlanks(all.substr(start, end - start));
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    std::string messageName;
    std::string text;
    try {
      ParseMessageLine(line, name, number, &messageName, &text);
      text = ToCodePage(text);
    } catch (const std::exception& error) {
      throw std::runtime_error(name + ":" + std::to_string(number) + ": " + error.what());
    }
    const int id = FindMessage(messageName);
    const std::string place = name + ":" + std::to_string(number) + ": " + messageName;
    if (id < 0) throw std::runtime_error(place + ": no such text");
    if (given[id]) throw std::runtime_error(place + ": given twice");
    const std::string problem = MessageTextProblem(static_cast<size_t>(id), text);
    if (!problem.empty()) throw std::runtime_error(place + ": " + problem);
    texts[id] = text;
    given[id] = true;
  }
  return texts;
}

void ParseMessageLine(const std::string& line, const std::string& script, int lineNumber,
                      std::string* name, std::string* text) {
  const size_t equals = line.find('=');
  if (equals == std::string::npos) ThrowScriptError(script, lineNumber, "expected NAME = \"text\"");
  *name = TrimBlanks(line.substr(0, equals));
  const std::string value = TrimBlanks(line.substr(equals + 1));
  if (value.empty() || value[0] != '"') {
    ThrowScriptError(script, lineNumber, "expected NAME = \"text\": the text goes in quotes");
  }
  *text = WithLineBreaks(ParseSetupValue(value, script, lineNumber));
}

std::string MessageLine(const std::string& name, const std::string& text) {
  std::string quoted;
  for (char c : text) {
    if (c == '"') {
      quoted += "\"\"";
    } else if (c == '\n') {
      quoted += "\\n";
    } else {
      quoted += c;
    }
  }
  return name + " = \"" + quoted + "\"";
}
