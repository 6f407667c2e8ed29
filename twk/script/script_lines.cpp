// Parsing the lines of [Files], [Shortcuts] and [Registry].
#include "twk/script/script_lines.h"

#include <cctype>

#include "twk/common/build_error.h"

namespace {

[[noreturn]] void Fail(const ScriptLine& at, const std::string& what) {
  ThrowScriptError(at.script, at.number, what);
}

bool IsDecimal(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "1.2.3.4"; fewer parts leave the rest 0.
void ParseVersion(const std::string& text, const ScriptLine& at, uint16_t version[4]) {
  size_t part = 0;
  size_t start = 0;
  for (;;) {
    const size_t dot = text.find('.', start);
    const std::string digits = text.substr(start, dot == std::string::npos ? dot : dot - start);
    if (part == 4 || !IsDecimal(digits) || digits.size() > 5 || std::stoul(digits) > 0xFFFF) {
      Fail(at, "version '" + text + "' is not A.B.C.D with numbers from 0 to 65535");
    }
    version[part++] = static_cast<uint16_t>(std::stoul(digits));
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
}

RegisterOption ParseRegisterOption(const std::string& text, const ScriptLine& at) {
  if (EqualsIgnoringCase(text, "yes")) return RegisterOption::kRequired;
  if (EqualsIgnoringCase(text, "no")) return RegisterOption::kOff;
  Fail(at, "register='" + text + "' is not yes or no");
}

// The two positional values every file and shortcut line begins with.
void RequireTwoValues(const std::vector<ScriptField>& fields, const ScriptLine& at,
                      const char* what) {
  if (fields.size() < 2 || fields[0].hasName || fields[1].hasName) {
    Fail(at, std::string("expected ") + what + " (quote values that hold blanks or '=')");
  }
}

uint32_t ParseDword(const std::string& text, const ScriptLine& at) {
  unsigned long long value = 0;
  bool ok = false;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    ok = text.size() <= 10;
    for (size_t i = 2; ok && i < text.size(); ++i) {
      ok = HexDigit(text[i]) >= 0;
      value = value * 16 + (ok ? HexDigit(text[i]) : 0);
    }
  } else {
    ok = IsDecimal(text) && text.size() <= 10 && std::stoull(text) <= 0xFFFFFFFFull;
    if (ok) value = std::stoull(text);
  }
  if (!ok) Fail(at, "dword '" + text + "' is not a number from 0 to 4294967295 (or 0x0 to 0xFFFFFFFF)");
  return static_cast<uint32_t>(value);
}

// Hex bytes as written: "0a 00 ff", "0a,00,ff" or "0a00ff".
void AppendHexBytes(const std::string& text, const ScriptLine& at, std::vector<uint8_t>* bytes) {
  std::string digits;
  for (char c : text) {
    if (c != ',') digits += c;
  }
  if (digits.size() % 2 != 0) Fail(at, "binary data '" + text + "' has an odd number of hex digits");
  for (size_t i = 0; i < digits.size(); i += 2) {
    const int high = HexDigit(digits[i]);
    const int low = HexDigit(digits[i + 1]);
    if (high < 0 || low < 0) Fail(at, "binary data '" + text + "' is not hexadecimal");
    bytes->push_back(static_cast<uint8_t>(high * 16 + low));
  }
}

struct RootName {
  const char* name;
  const char* shortName;
};
const RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", "HKCR"},
    {"HKEY_CURRENT_USER", "HKCU"},
    {"HKEY_LOCAL_MACHINE", "HKLM"},
};

RegistryKeyItem ParseKeyLine(const ScriptField& field, const ScriptLine& at) {
  RegistryKeyItem key;
  key.line = at.rank;
  const std::string& path = field.value;
  const size_t slash = path.find('\\');
  const std::string root = path.substr(0, slash);
  for (const RootName& known : kRoots) {
    if (EqualsIgnoringCase(root, known.name) || EqualsIgnoringCase(root, known.shortName)) {
      key.root = known.name;
    }
  }
  if (key.root.empty()) {
    Fail(at, "registry root '" + root +
                 "' is not HKEY_CLASSES_ROOT, HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE");
  }
  if (slash != std::string::npos) key.subkey = path.substr(slash + 1);
  return key;
}

RegistryValueItem ParseValueLine(const std::vector<ScriptField>& fields, const ScriptLine& at) {
  RegistryValueItem value;
  value.line = at.rank;
  value.name = fields[0].name;
  const std::string& kind = fields[0].value;
  const size_t dataCount = fields.size() - 1;
  for (size_t i = 1; i < fields.size(); ++i) {
    if (fields[i].hasName) Fail(at, "unexpected '=' in the data of value '" + value.name + "'");
  }
  if (EqualsIgnoringCase(kind, "string")) {
    if (dataCount != 1) Fail(at, "a string value takes one text (quote it if it holds blanks)");
    value.kind = RegistryKind::kString;
    value.text = fields[1].value;
  } else if (EqualsIgnoringCase(kind, "dword")) {
    if (dataCount != 1) Fail(at, "a dword value takes one number");
    value.kind = RegistryKind::kDword;
    value.number = ParseDword(fields[1].value, at);
  } else if (EqualsIgnoringCase(kind, "binary")) {
    value.kind = RegistryKind::kBinary;
    for (size_t i = 1; i < fields.size(); ++i) AppendHexBytes(fields[i].value, at, &value.bytes);
  } else if (EqualsIgnoringCase(kind, "remove")) {
    if (dataCount != 0) Fail(at, "a remove value takes no data");
    value.kind = RegistryKind::kRemove;
  } else {
    Fail(at, "value type '" + kind + "' is not string, dword, binary or remove");
  }
  return value;
}

}  // namespace

FileItem ParseFileLine(const std::vector<ScriptField>& fields, const ScriptLine& at) {
  RequireTwoValues(fields, at, "SOURCE TARGET [shared] [version=A.B.C.D] [register=yes|no]");
  FileItem file;
  file.line = at.rank;
  file.source = fields[0].value;
  file.target = fields[1].value;
  for (size_t i = 2; i < fields.size(); ++i) {
    const ScriptField& field = fields[i];
    if (!field.hasName && !field.quoted && EqualsIgnoringCase(field.value, "shared")) {
      file.shared = true;
    } else if (field.hasName && EqualsIgnoringCase(field.name, "version")) {
      file.hasVersion = true;
      ParseVersion(field.value, at, file.version);
    } else if (field.hasName && EqualsIgnoringCase(field.name, "register")) {
      file.registerOption = ParseRegisterOption(field.value, at);
    } else {
      Fail(at, "unknown file option '" + (field.hasName ? field.name + "=" : field.value) +
                   "' (expected shared, version=A.B.C.D or register=yes|no)");
    }
  }
  return file;
}

ShortcutItem ParseShortcutLine(const std::vector<ScriptField>& fields, const ScriptLine& at) {
  RequireTwoValues(fields, at, "LINK TARGET [arguments=TEXT] [startin=FOLDER]");
  ShortcutItem shortcut;
  shortcut.line = at.rank;
  shortcut.link = fields[0].value;
  shortcut.target = fields[1].value;
  for (size_t i = 2; i < fields.size(); ++i) {
    const ScriptField& field = fields[i];
    if (field.hasName && EqualsIgnoringCase(field.name, "arguments")) {
      shortcut.arguments = field.value;
    } else if (field.hasName && EqualsIgnoringCase(field.name, "startin")) {
      shortcut.startIn = field.value;
    } else {
      Fail(at, "unknown shortcut option '" + (field.hasName ? field.name + "=" : field.value) +
                   "' (expected arguments=TEXT or startin=FOLDER)");
    }
  }
  return shortcut;
}

bool IsRegistryKeyLine(const std::vector<ScriptField>& fields) {
  return fields.size() == 1 && !fields[0].hasName;
}

RegistryKeyItem ParseRegistryKeyLine(const std::vector<ScriptField>& fields,
                                     const ScriptLine& at) {
  return ParseKeyLine(fields[0], at);
}

RegistryValueItem ParseRegistryValueLine(const std::vector<ScriptField>& fields,
                                         const ScriptLine& at) {
  if (!fields[0].hasName) {
    Fail(at, "expected a key (ROOT\\SUBKEY alone on its line) or a value (NAME = TYPE DATA)");
  }
  return ParseValueLine(fields, at);
}
