// Shell links of the simulated Windows.
#include "platform/sim/machine/sim_shell_link.h"

#include <sstream>

#include "platform/sim/machine/sim_file_system.h"

namespace sim {
namespace {

constexpr char kHeader[] = "[ShellLink]";

}  // namespace

std::string ShellLinkText(const SimShellLink& link) {
  return std::string(kHeader) + "\r\nTarget=" + link.target + "\r\nArguments=" + link.arguments +
         "\r\nWorkingFolder=" + link.workingFolder + "\r\n";
}

bool ReadShellLink(const SimFileSystem& files, const std::string& path, SimShellLink* link) {
  if (!files.Exists(path) || files.IsFolder(path)) return false;
  const std::vector<uint8_t> bytes = files.FileBytes(path);
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  std::string line;
  bool header = false;
  *link = SimShellLink{};
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == kHeader) {
      header = true;
    } else if (line.rfind("Target=", 0) == 0) {
      link->target = line.substr(7);
    } else if (line.rfind("Arguments=", 0) == 0) {
      link->arguments = line.substr(10);
    } else if (line.rfind("WorkingFolder=", 0) == 0) {
      link->workingFolder = line.substr(14);
    }
  }
  return header;
}

}  // namespace sim
