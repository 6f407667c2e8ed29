// The platform's system operations on the current simulated machine: folders, family,
// next-boot work, the shell, restarting, OLE and shell links.
#include "platform/system.h"

#include <string>

#include "platform/file_io.h"
#include "platform/sim/machine/sim_machine.h"
#include "platform/sim/machine/sim_profile.h"
#include "platform/sim/machine/sim_shell_link.h"
#include "platform/sim/machine/windows_path.h"

namespace platform {
namespace {

sim::SimMachine& Machine() { return sim::CurrentMachine(); }

}  // namespace

bool GetWindowsFolder(char* out, uint32_t size) {
  return sim::CopyToBuffer(Machine().system.windowsFolder, out, size);
}

bool GetSystemFolder(char* out, uint32_t size) {
  return sim::CopyToBuffer(Machine().system.SystemFolder(), out, size);
}

bool GetTempFolder(char* out, uint32_t size) {
  return sim::CopyToBuffer(Machine().system.tempFolder, out, size);
}

bool GetShellFolder(int csidl, char* out, uint32_t size) {
  const auto& folders = Machine().system.shellFolders;
  auto folder = folders.find(csidl);
  if (folder == folders.end() || folder->second.empty()) {
    sim::CopyToBuffer("", out, size);
    return false;
  }
  return sim::CopyToBuffer(folder->second, out, size);
}

bool IsNtFamily() { return Machine().system.ntFamily; }

bool MoveFileAtBoot(const char* from, const char* to) {
  sim::SimMachine& machine = Machine();
  // Windows 9x has no MoveFileEx: the call fails there, and its installers use
  // WININIT.INI instead.
  if (!machine.system.ntFamily || from == nullptr) return false;
  // Refused while the program itself still writes the file: the source is opened for
  // deletion before the move is recorded, and a handle open for writing shares nothing.
  if (machine.system.refuseBootMoves || machine.files.IsOpenForWritingHere(from)) return false;
  sim::BootMove move{from, std::nullopt};
  if (to != nullptr) move.to = to;
  machine.system.bootMoves.push_back(move);
  return true;
}

bool WriteProfileText(const char* file, const char* section, const char* key, const char* value) {
  sim::SimMachine& machine = Machine();
  if (file == nullptr || section == nullptr) return false;
  std::string path = file;
  // A bare file name is looked for in the Windows folder, as the profile writer does.
  if (path.find('\\') == std::string::npos && path.find('/') == std::string::npos) {
    path = machine.system.windowsFolder + "\\" + path;
  }
  if (machine.files.LongPath(path).empty() || machine.files.IsInUse(path)) return false;
  return sim::WriteProfileEntry(machine.files.HostPath(path), section, key, value);
}

void OpenWithShell(Window owner, const char* command, const char* folder) {
  Machine().system.shellOpens.push_back(
      {command ? command : "", owner, folder ? folder : "", false});
}

void OpenForDesktopUser(Window owner, const char* command, const char* folder) {
  Machine().system.shellOpens.push_back(
      {command ? command : "", owner, folder ? folder : "", true});
}

void RequestRestart() { ++Machine().system.restartRequests; }

bool InitializeOle() { return Machine().system.OleEnter(); }

void UninitializeOle() {
  if (!Machine().system.OleLeave()) {
    Machine().ReportError("UninitializeOle on a thread without InitializeOle");
  }
}

bool SaveShellLink(const char* linkPath, const char* target, const char* arguments,
                   const char* workingFolder) {
  sim::SimMachine& machine = Machine();
  // The shell's link object is a COM object: without OLE on the thread it cannot be made.
  if (!machine.system.OleActive()) {
    machine.ReportError("SaveShellLink on a thread without InitializeOle");
    return false;
  }
  if (linkPath == nullptr) return false;
  const std::string text = sim::ShellLinkText(
      {target ? target : "", arguments ? arguments : "", workingFolder ? workingFolder : ""});
  // The shell saves by name and follows whatever link stands there.
  File file = machine.files.Create(linkPath, sim::SimFileSystem::CreateMode::kFollow);
  if (file == nullptr) return false;
  uint32_t written = 0;
  const bool ok = WriteToFile(file, text.data(), static_cast<uint32_t>(text.size()), &written) &&
                  written == text.size();
  CloseFile(file);
  return ok;
}

}  // namespace platform
