// The details of the product's Add/Remove Programs entry, as ordinary registry lines of
// the package under the entry's key: the installer writes and logs them like any other
// value, and the uninstaller removes them.
#pragma once

#include <stdint.h>

#include <vector>

#include "twk/script/script_model.h"

// The key under HKEY_LOCAL_MACHINE that the installer's own entry uses, + ProductKey.
constexpr char kUninstallEntrySubkey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The [Setup] values that the entry shows, in the order they are written, with the
// script's name of each, which is also the value's name.
struct EntryText {
  const char* name;
  ScriptText SetupScript::*member;
};
extern const EntryText kEntryTexts[5];

// The entry's key for a script with a ProductKey: the texts that are set (Publisher,
// DisplayVersion, DisplayIcon, URLInfoAbout, HelpLink), EstimatedSize (kilobytes of the
// files, `fileBytes`, rounded up), NoModify and NoRepair (1: there is nothing to modify
// or repair). Each value carries the line of its [Setup] value (the ProductKey's line
// for the three numbers). Nothing without a ProductKey: there is no entry.
std::vector<RegistryKeyItem> UninstallEntryKeys(const SetupScript& script, uint64_t fileBytes);
