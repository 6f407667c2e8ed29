// Shell links of the simulated Windows: a link is saved as a small text file at its
// path, which a test reads back.
//
//   [ShellLink]
//   Target=C:\Program Files\App\App.exe
//   Arguments=/x
//   WorkingFolder=C:\Program Files\App
#pragma once

#include <string>

namespace sim {

class SimFileSystem;

struct SimShellLink {
  std::string target;
  std::string arguments;
  std::string workingFolder;
};

// The link file's bytes.
std::string ShellLinkText(const SimShellLink& link);

// Reads the link file at `path`; false when it is missing or not a link file.
bool ReadShellLink(const SimFileSystem& files, const std::string& path, SimShellLink* link);

}  // namespace sim
