// The package's text forms of shortcuts and registry entries, exactly as the installer reads
// them back: a shortcut line "link=target<TAB>arguments<TAB>start-in", a key line
// ":ROOT\subkey" and a value line "name=" + type letter + data.
#pragma once

#include <string>
#include <vector>

#include "twk/script/script_model.h"

// Trailing empty fields are left out: "link=target" when there are no arguments and no
// start-in folder, "link=target<TAB>arguments" when there is no start-in folder.
std::string EncodeShortcutLine(const ShortcutItem& shortcut);

std::string EncodeRegistryKeyLine(const RegistryKeyItem& key);

// The data follow the type letter directly: 'S' and the text; 'D' and four little-endian
// bytes; 'B', a 16-bit little-endian length and the bytes; 'N' alone. The result may hold
// zero bytes (dword and binary data). A binary value of more than 65535 bytes is cut to
// its length field here; CheckScript refuses it long before, as no record holds it.
std::string EncodeRegistryValueLine(const RegistryValueItem& value);

// Every line of the registry list in package order: each key line, then its values.
std::vector<std::string> EncodeRegistryList(const std::vector<RegistryKeyItem>& keys);
