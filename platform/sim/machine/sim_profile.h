// Profile (.INI) files on the simulated disks, written the way the platform's profile
// writer does it: one value per key in a section (a second write replaces the first),
// sections and keys matched without regard to case, lines ending in CR LF.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace sim {

// WritePrivateProfileString on the host file `file`: sets `key` = `value` in `section`,
// deletes the key when `value` is nullptr and the whole section when `key` is nullptr.
// The file is made when missing (its folder must exist). False when it cannot be
// written.
bool WriteProfileEntry(const std::filesystem::path& file, const std::string& section,
                       const char* key, const char* value);

// Every "key=value" line of `section`, in file order, keys and values trimmed. Empty
// when the file or the section is missing.
std::vector<std::pair<std::string, std::string>> ReadProfileSection(
    const std::filesystem::path& file, const std::string& section);

}  // namespace sim
