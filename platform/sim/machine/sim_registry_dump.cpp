// The registry of the simulated Windows in its text form.
#include "platform/sim/machine/sim_registry.h"

#include <stdio.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "base/little_endian.h"

namespace sim {
namespace {

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char hex[8];
      snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// Key names hold no '\\' (it separates them): unprintable bytes and '%' are written as
// %HH, so that nothing in a key line needs quoting.
std::string KeyName(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if (c < 0x20 || c >= 0x7F || c == '%') {
      char hex[8];
      snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string Hex(const std::vector<uint8_t>& data) {
  std::string out;
  char byte[4];
  for (size_t i = 0; i < data.size(); ++i) {
    snprintf(byte, sizeof byte, "%s%02x", i ? "," : "", data[i]);
    out += byte;
  }
  return out;
}

std::string ValueText(const SimRegistryValue& value) {
  const std::vector<uint8_t>& data = value.data;
  const bool oneTerminalZero = !data.empty() && data.back() == 0 &&
                               std::count(data.begin(), data.end(), 0) == 1;
  if (value.type == platform::kRegText && oneTerminalZero) {
    return "sz:" + Quote(std::string(data.begin(), data.end() - 1));
  }
  if (value.type == platform::kRegNumber && data.size() == 4) {
    char number[20];
    snprintf(number, sizeof number, "dword:%08x",
             unsigned(LoadLe32(data.data())));
    return number;
  }
  if (value.type == platform::kRegBinary) return "hex:" + Hex(data);
  return "hex(" + std::to_string(value.type) + "):" + Hex(data);
}

template <typename Map>
std::vector<typename Map::const_iterator> Sorted(const Map& map) {
  std::vector<typename Map::const_iterator> items;
  for (auto it = map.begin(); it != map.end(); ++it) items.push_back(it);
  return items;  // the maps are keyed by the upper-cased name: already in order
}

void DumpKey(const SimRegistryKey& key, const std::string& path, bool listed, std::string* out) {
  if (listed) {
    *out += "[" + path + "]\n";
    for (auto value : Sorted(key.values)) {
      const SimRegistryValue& v = value->second;
      *out += (v.name.empty() ? std::string("@") : Quote(v.name)) + "=" + ValueText(v) + "\n";
    }
    *out += "\n";
  }
  for (auto sub : Sorted(key.subkeys)) {
    DumpKey(*sub->second, path + "\\" + KeyName(sub->second->name), true, out);
  }
}

// ---- Reading ----

[[noreturn]] void Fail(int line, const std::string& what) {
  throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the quoted text whose opening quote is at *at; advances *at past its closing
// quote.
std::string Unquote(const std::string& text, size_t* at, int line) {
  std::string out;
  size_t i = *at + 1;
  for (;; ++i) {
    if (i >= text.size()) Fail(line, "unterminated text");
    char c = text[i];
    if (c == '"') {
      ++i;
      break;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
      out += text[++i];
    } else if (i + 3 < text.size() && text[i + 1] == 'x' && HexDigit(text[i + 2]) >= 0 &&
               HexDigit(text[i + 3]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
      i += 3;
    } else {
      Fail(line, "bad escape");
    }
  }
  *at = i;
  return out;
}

std::vector<uint8_t> ParseHex(const std::string& text, int line) {
  std::vector<uint8_t> data;
  for (size_t i = 0; i < text.size();) {
    if (i + 1 >= text.size() || HexDigit(text[i]) < 0 || HexDigit(text[i + 1]) < 0) {
      Fail(line, "bad hex bytes");
    }
    data.push_back(static_cast<uint8_t>(HexDigit(text[i]) * 16 + HexDigit(text[i + 1])));
    i += 2;
    if (i < text.size() && text[i++] != ',') Fail(line, "bad hex bytes");
  }
  return data;
}

// The decimal type number of "hex(N):", as Dump writes it.
uint32_t ValueType(const std::string& digits, int line) {
  uint64_t type = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9' || (type = type * 10 + static_cast<uint64_t>(c - '0')) > 0xFFFFFFFFu) {
      Fail(line, "bad value type in hex(" + digits + ")");
    }
  }
  if (digits.empty()) Fail(line, "bad value type in hex()");
  return static_cast<uint32_t>(type);
}

// A key line's path with its %HH escapes read.
std::string KeyPath(const std::string& text, int line) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
    } else if (i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      Fail(line, "bad escape in a key name");
    }
  }
  return out;
}

SimRegistryValue ParseValue(const std::string& text, int line) {
  SimRegistryValue value{};
  size_t at = 0;
  if (text[0] == '@') {
    at = 1;
  } else if (text[0] == '"') {
    value.name = Unquote(text, &at, line);
  } else {
    Fail(line, "expected a value");
  }
  if (at >= text.size() || text[at] != '=') Fail(line, "expected '='");
  const std::string data = text.substr(at + 1);
  if (data.rfind("sz:", 0) == 0) {
    size_t quote = 3;
    const std::string content = Unquote(data, &quote, line);
    if (quote != data.size()) Fail(line, "text after the value");
    value.type = platform::kRegText;
    value.data.assign(content.begin(), content.end());
    value.data.push_back(0);
  } else if (data.rfind("dword:", 0) == 0 && data.size() == 14) {
    const std::vector<uint8_t> big = ParseHex(data.substr(6, 2) + "," + data.substr(8, 2) + "," +
                                              data.substr(10, 2) + "," + data.substr(12, 2), line);
    value.type = platform::kRegNumber;
    value.data.assign(big.rbegin(), big.rend());
  } else if (data.rfind("hex:", 0) == 0) {
    value.type = platform::kRegBinary;
    value.data = ParseHex(data.substr(4), line);
  } else if (data.rfind("hex(", 0) == 0 && data.find("):") != std::string::npos) {
    const size_t close = data.find("):");
    value.type = ValueType(data.substr(4, close - 4), line);
    value.data = ParseHex(data.substr(close + 2), line);
  } else {
    Fail(line, "unknown value form");
  }
  return value;
}

}  // namespace

std::string SimRegistry::Dump() const {
  std::string out;
  for (const auto& root : roots_) {
    DumpKey(*root.second, root.second->name, !root.second->values.empty(), &out);
  }
  return out;
}

void SimRegistry::Load(const std::string& text) {
  SimRegistry loaded;
  std::istringstream lines(text);
  std::string line;
  SimRegistryKey* current = nullptr;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      if (line.back() != ']') Fail(number, "unterminated key");
      const std::string path = KeyPath(line.substr(1, line.size() - 2), number);
      try {
        current = loaded.Make(Split(path));
      } catch (const std::invalid_argument& error) {
        Fail(number, error.what());
      }
      continue;
    }
    if (current == nullptr) Fail(number, "a value before any key");
    SimRegistryValue value = ParseValue(line, number);
    std::string upper = value.name;
    for (char& c : upper) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    current->values[upper] = std::move(value);
  }
  roots_ = std::move(loaded.roots_);
  denied_.clear();
}

}  // namespace sim
