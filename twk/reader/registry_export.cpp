// Writing a package's registry list as a REGEDIT4 file.
#include "twk/reader/registry_export.h"

#include <cstdio>

#include "package/format.h"
#include "twk/reader/reader_lines.h"

namespace {

constexpr char kEnd[] = "\r\n";
// regedit continues a long hex line with '\' and two blanks, after a comma that stands
// before this column.
constexpr size_t kHexLineWidth = 76;

// `prefix` ("name"=hex:) and the bytes as regedit writes them: "0a,00,ff".
std::string HexData(const std::string& prefix, const std::string& bytes) {
  std::string out = prefix;
  size_t column = out.size();
  for (size_t i = 0; i < bytes.size(); ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(bytes[i]));
    out += hex;
    column += 2;
    if (i + 1 == bytes.size()) break;
    out += ',';
    if (++column >= kHexLineWidth) {
      out += std::string("\\") + kEnd + "  ";
      column = 2;
    }
  }
  return out;
}

bool HasControlCharacter(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
  }
  return false;
}

// A line break or another control character (TAB aside) in a key or value name: a .reg
// file has no way to write it, and written as it is it would end the line, so that the
// rest would be read as keys and values of its own.
bool BreaksLine(const std::string& name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return true;
  }
  return false;
}

// `text` for a comment line: control characters as '?'.
std::string Printable(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  return text;
}

std::string NameOf(const RegistryLine& line) {
  // The installer writes an empty name to the default value as well.
  return line.name.empty() || line.name == kRegistryDefaultValueName ? "@" : RegQuoted(line.name);
}

// The value's line, or "" with *why set when the installer would not write it.
std::string ValueLine(const RegistryLine& line, const MacroValues& folders, std::string* why) {
  if (!line.problem.empty()) {
    *why = line.problem;
    return std::string();
  }
  if (BreaksLine(line.name)) {
    *why = "not exported: its name holds a control character, which a .reg file cannot hold";
    return std::string();
  }
  switch (line.type) {
    case kRegistryTypeNumber: {
      char data[24];
      std::snprintf(data, sizeof data, "dword:%08x", line.number);
      return NameOf(line) + "=" + data;
    }
    case kRegistryTypeBinary:
      return HexData(NameOf(line) + "=hex:", std::string(line.binary.begin(), line.binary.end()));
    case kRegistryTypeRemoveOnly:
      *why = "not written; the uninstaller removes a value of that name";
      return std::string();
    default: {
      const std::string text = ExpandFirstMacro(line.text, folders);
      if (text.size() > kMaxStringRecord) {
        *why = "not written: longer than 255 characters once expanded";
        return std::string();
      }
      // A line break cannot stand in a quoted text: such a text goes as its bytes.
      if (HasControlCharacter(text)) return HexData(NameOf(line) + "=hex(1):", text + '\0');
      return NameOf(line) + "=" + RegQuoted(text);
    }
  }
}

// Writes the lines in order, keeping track of the key the installer has open.
class RegWriter {
 public:
  explicit RegWriter(const MacroValues& folders) : folders_(folders) {}

  void Line(const std::string& text);
  std::string Text() const { return out_; }
  void Comment(const std::string& text) { out_ += "; " + Printable(text) + kEnd; }

 private:
  void OpenKey(const std::string& key) {
    if (!out_.empty()) out_ += kEnd;
    out_ += "[" + key + "]" + kEnd;
    shown_ = true;
  }

  const MacroValues& folders_;
  std::string out_;
  std::string key_;     // the key the installer writes to ("" before the first)
  bool shown_ = false;  // its section heads what is written now
  bool skipKey_ = false;  // the key cannot be written in a .reg file
};

void RegWriter::Line(const std::string& text) {
  const RegistryLine line = DecodeRegistryLine(text);
  switch (line.kind) {
    case RegistryLineKind::kKey:
      key_ = line.root + "\\" + line.subkey;
      if (BreaksLine(key_)) {
        Comment("not exported, with its values: the key name holds a control character: " + key_);
        skipKey_ = true;
        return;
      }
      skipKey_ = false;
      OpenKey(key_);
      return;
    case RegistryLineKind::kUnknownKey:
      Comment("passed over by the installer, whose key stays open: key line " + text);
      shown_ = false;
      return;
    case RegistryLineKind::kOther:
      Comment("logged by the installer, no value: " + text.substr(0, text.find('\0')));
      return;
    case RegistryLineKind::kValue:
      break;
  }
  std::string why;
  const std::string value = ValueLine(line, folders_, &why);
  if (key_.empty()) {
    Comment(NameOf(line) + " is not written: no key line before it");
  } else if (skipKey_) {
    Comment(NameOf(line) + ": not exported with its key");
  } else if (value.empty()) {
    Comment(NameOf(line) + ": " + why);
  } else {
    if (!shown_) OpenKey(key_);
    out_ += value + kEnd;
  }
}

}  // namespace

std::string RegQuoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string RegistryExport(const std::vector<std::string>& lines, const MacroValues& folders,
                           const std::string& source) {
  RegWriter writer(folders);
  for (const std::string& line : lines) writer.Line(line);
  std::string head = std::string("REGEDIT4") + kEnd + kEnd;
  head += "; The registry entries that " + Printable(source) +
          " writes, its path macros standing for:" + kEnd;
  for (size_t i = 0; i < sizeof kMacroTokens / sizeof kMacroTokens[0]; ++i) {
    head += ";   " + std::string(kMacroTokens[i].token) + " = " + Printable(folders[i]) + kEnd;
  }
  return head + kEnd + writer.Text() + kEnd;
}
