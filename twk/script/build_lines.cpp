// Encoding shortcut and registry entries as the lines of the package's lists.
#include "twk/script/build_lines.h"

#include "base/little_endian.h"
#include "package/format.h"

std::string EncodeShortcutLine(const ShortcutItem& shortcut) {
  std::string line = shortcut.link + kShortcutSeparator + shortcut.target;
  if (!shortcut.arguments.empty() || !shortcut.startIn.empty()) {
    line += kShortcutFieldSeparator + shortcut.arguments;
  }
  if (!shortcut.startIn.empty()) line += kShortcutFieldSeparator + shortcut.startIn;
  return line;
}

std::string EncodeRegistryKeyLine(const RegistryKeyItem& key) {
  return std::string(1, kRegistryKeyLinePrefix) + key.root + "\\" + key.subkey;
}

std::string EncodeRegistryValueLine(const RegistryValueItem& value) {
  std::string line = value.name + "=";
  switch (value.kind) {
    case RegistryKind::kString:
      line += kRegistryTypeText + value.text;
      break;
    case RegistryKind::kDword: {
      uint8_t bytes[4];
      StoreLe32(bytes, value.number);
      line += kRegistryTypeNumber;
      line.append(reinterpret_cast<const char*>(bytes), sizeof(bytes));
      break;
    }
    case RegistryKind::kBinary: {
      uint8_t length[2];
      StoreLe16(length, static_cast<uint16_t>(value.bytes.size()));
      line += kRegistryTypeBinary;
      line.append(reinterpret_cast<const char*>(length), sizeof(length));
      line.append(value.bytes.begin(), value.bytes.end());
      break;
    }
    case RegistryKind::kRemove:
      line += kRegistryTypeRemoveOnly;
      break;
  }
  return line;
}

std::vector<std::string> EncodeRegistryList(const std::vector<RegistryKeyItem>& keys) {
  std::vector<std::string> lines;
  for (const RegistryKeyItem& key : keys) {
    lines.push_back(EncodeRegistryKeyLine(key));
    for (const RegistryValueItem& value : key.values) {
      lines.push_back(EncodeRegistryValueLine(value));
    }
  }
  return lines;
}
