// Shortcut and registry lines.
#include "twk/reader/reader_lines.h"

#include <strings.h>

#include <algorithm>

#include "base/little_endian.h"
#include "package/format.h"

namespace {

struct Root {
  const char* prefix;  // with its backslash, compared without regard to letter case
  const char* name;
};

const Root kRoots[] = {
    {kRootClasses, "HKEY_CLASSES_ROOT"},
    {kRootCurrentUser, "HKEY_CURRENT_USER"},
    {kRootLocalMachine, "HKEY_LOCAL_MACHINE"},
};

void DecodeKeyLine(const std::string& line, RegistryLine* decoded) {
  decoded->kind = RegistryLineKind::kUnknownKey;
  for (const Root& root : kRoots) {
    const size_t length = std::string(root.prefix).size();
    if (line.size() >= 1 + length && strncasecmp(line.c_str() + 1, root.prefix, length) == 0) {
      decoded->kind = RegistryLineKind::kKey;
      decoded->root = root.name;
      decoded->subkey = line.substr(1 + length);
      return;
    }
  }
}

void DecodeValueData(const std::string& line, size_t data, RegistryLine* decoded) {
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(line.data());
  const size_t held = line.size() - data;
  switch (decoded->type) {
    case kRegistryTypeNumber:
      if (held < 4) {
        decoded->problem = "a D value needs 4 bytes, the line holds " + std::to_string(held);
      } else {
        decoded->number = LoadLe32(bytes + data);
      }
      return;
    case kRegistryTypeBinary:
      if (held < 2) {
        decoded->problem = "a B value needs a 2-byte length, the line holds " +
                           std::to_string(held) + " bytes";
        return;
      }
      decoded->binaryLength = LoadLe16(bytes + data);
      decoded->binary.assign(bytes + data + 2,
                             bytes + data + 2 + std::min<size_t>(decoded->binaryLength, held - 2));
      if (decoded->binary.size() < decoded->binaryLength) {
        decoded->problem = "a B value of " + std::to_string(decoded->binaryLength) +
                           " bytes, the line holds " + std::to_string(decoded->binary.size());
      }
      return;
    case kRegistryTypeRemoveOnly:
      return;
    default: {
      const std::string rest = line.substr(data);
      decoded->text = rest.substr(0, rest.find('\0'));
      return;
    }
  }
}

}  // namespace

ShortcutLine SplitShortcutLine(const std::string& line) {
  ShortcutLine split;
  const size_t equals = line.find(kShortcutSeparator);
  split.link = line.substr(0, equals);
  if (equals == std::string::npos) return split;
  const std::string rest = line.substr(equals + 1);
  const size_t tab = rest.find(kShortcutFieldSeparator);
  split.target = rest.substr(0, tab);
  if (tab == std::string::npos) return split;
  const size_t secondTab = rest.find(kShortcutFieldSeparator, tab + 1);
  split.arguments = rest.substr(tab + 1, secondTab - (tab + 1));
  if (secondTab != std::string::npos) split.workingFolder = rest.substr(secondTab + 1);
  return split;
}

RegistryLine DecodeRegistryLine(const std::string& line) {
  RegistryLine decoded;
  // The installer takes a key line, and looks for a value line's '=', as text that ends
  // at the first zero byte: a key name is cut there, and only a value's data may hold
  // zero bytes.
  const std::string text = line.substr(0, line.find('\0'));
  if (!text.empty() && text[0] == kRegistryKeyLinePrefix) {
    DecodeKeyLine(text, &decoded);
    return decoded;
  }
  const size_t equals = text.find('=');
  if (equals == std::string::npos) return decoded;  // kOther
  decoded.kind = RegistryLineKind::kValue;
  decoded.name = line.substr(0, equals);
  if (equals + 1 < line.size()) decoded.type = line[equals + 1];
  DecodeValueData(line, std::min(line.size(), equals + 2), &decoded);
  return decoded;
}
