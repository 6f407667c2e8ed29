// Profile (.INI) files on the simulated disks.
#include "platform/sim/machine/sim_profile.h"

#include <fstream>

#include "platform/sim/machine/windows_path.h"

namespace sim {
namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// A folder of the profile's name holds no lines (the host stream would throw on it).
std::vector<std::string> ReadLines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return lines;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool IsSection(const std::string& line, const std::string& section) {
  const std::string trimmed = Trim(line);
  return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']' &&
         PathKey(Trim(trimmed.substr(1, trimmed.size() - 2))) == PathKey(section);
}

bool IsAnySection(const std::string& line) {
  const std::string trimmed = Trim(line);
  return !trimmed.empty() && trimmed.front() == '[';
}

bool IsKey(const std::string& line, const std::string& key) {
  const size_t equals = line.find('=');
  return equals != std::string::npos && PathKey(Trim(line.substr(0, equals))) == PathKey(key);
}

// [begin, end) of the section's lines after its header; begin = 0 when it is missing.
void FindSection(const std::vector<std::string>& lines, const std::string& section,
                 size_t* begin, size_t* end) {
  *begin = *end = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!IsSection(lines[i], section)) continue;
    *begin = i + 1;
    *end = *begin;
    while (*end < lines.size() && !IsAnySection(lines[*end])) ++*end;
    return;
  }
}

bool WriteLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << line << "\r\n";
  return static_cast<bool>(out);
}

}  // namespace

bool WriteProfileEntry(const std::filesystem::path& file, const std::string& section,
                       const char* key, const char* value) {
  std::error_code error;
  if (!std::filesystem::is_directory(file.parent_path(), error) ||
      std::filesystem::is_directory(file, error)) {
    return false;
  }
  std::vector<std::string> lines = ReadLines(file);
  size_t begin = 0, end = 0;
  FindSection(lines, section, &begin, &end);
  if (begin == 0) {
    if (key == nullptr || value == nullptr) return true;  // nothing to delete
    lines.push_back("[" + section + "]");
    lines.push_back(std::string(key) + "=" + value);
    return WriteLines(file, lines);
  }
  if (key == nullptr) {
    lines.erase(lines.begin() + static_cast<long>(begin - 1),
                lines.begin() + static_cast<long>(end));
    return WriteLines(file, lines);
  }
  for (size_t i = begin; i < end; ++i) {
    if (!IsKey(lines[i], key)) continue;
    if (value == nullptr) {
      lines.erase(lines.begin() + static_cast<long>(i));
    } else {
      lines[i] = std::string(key) + "=" + value;
    }
    return WriteLines(file, lines);
  }
  if (value == nullptr) return true;
  size_t at = end;
  while (at > begin && Trim(lines[at - 1]).empty()) --at;
  lines.insert(lines.begin() + static_cast<long>(at), std::string(key) + "=" + value);
  return WriteLines(file, lines);
}

std::vector<std::pair<std::string, std::string>> ReadProfileSection(
    const std::filesystem::path& file, const std::string& section) {
  const std::vector<std::string> lines = ReadLines(file);
  size_t begin = 0, end = 0;
  FindSection(lines, section, &begin, &end);
  std::vector<std::pair<std::string, std::string>> entries;
  for (size_t i = begin; i < end; ++i) {
    const size_t equals = lines[i].find('=');
    if (equals == std::string::npos) continue;
    entries.push_back({Trim(lines[i].substr(0, equals)), Trim(lines[i].substr(equals + 1))});
  }
  return entries;
}

}  // namespace sim
