// The Add/Remove Programs entry's registry lines.
#include "twk/script/uninstall_entry.h"

const EntryText kEntryTexts[5] = {
    {"Publisher", &SetupScript::publisher},
    {"DisplayVersion", &SetupScript::displayVersion},
    {"DisplayIcon", &SetupScript::displayIcon},
    {"URLInfoAbout", &SetupScript::urlInfoAbout},
    {"HelpLink", &SetupScript::helpLink},
};

namespace {

RegistryValueItem Number(const std::string& name, uint32_t number, int line) {
  RegistryValueItem value;
  value.line = line;
  value.name = name;
  value.kind = RegistryKind::kDword;
  value.number = number;
  return value;
}

}  // namespace

std::vector<RegistryKeyItem> UninstallEntryKeys(const SetupScript& script, uint64_t fileBytes) {
  if (script.productKey.value.empty()) return {};
  RegistryKeyItem key;
  key.line = script.productKey.line;
  key.root = "HKEY_LOCAL_MACHINE";
  key.subkey = kUninstallEntrySubkey + script.productKey.value;
  for (const EntryText& text : kEntryTexts) {
    const ScriptText& item = script.*text.member;
    if (item.line == 0 || item.value.empty()) continue;
    RegistryValueItem value;
    value.line = item.line;
    value.name = text.name;
    value.text = item.value;
    key.values.push_back(value);
  }
  const uint64_t kilobytes = (fileBytes + 1023) / 1024;
  const uint32_t size = kilobytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(kilobytes);
  key.values.push_back(Number("EstimatedSize", size, key.line));
  key.values.push_back(Number("NoModify", 1, key.line));
  key.values.push_back(Number("NoRepair", 1, key.line));
  return {key};
}
