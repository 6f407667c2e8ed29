// The platform's process operations on the current simulated machine.
#include "platform/process.h"

#include <string.h>

#include <algorithm>

#include <string>

#include "platform/sim/machine/sim_command_line.h"
#include "platform/sim/machine/sim_machine.h"

namespace platform {

bool GetModulePath(char* buffer, uint32_t size) {
  if (size == 0) return false;
  const std::string& path = sim::CurrentMachine().process.modulePath;
  if (path.empty() || path.size() >= size) {
    buffer[0] = '\0';
    return false;
  }
  memcpy(buffer, path.c_str(), path.size() + 1);
  return true;
}

void ExitProcessNow(uint32_t code) { throw sim::SimulatedExit{code}; }

uint32_t InheritableProcessHandle() {
  sim::SimProcess& process = sim::CurrentMachine().process;
  if (process.failInheritableHandle) return 0;
  // Numbers as Windows gives them: multiples of 4, never 0.
  const uint32_t handle = 0x1F4 + 4 * process.handedHandles.size();
  process.handedHandles.push_back(handle);
  return handle;
}

void WaitForProcessHandle(uint32_t handle) {
  // One process runs at a time here: whoever the handle stood for has ended, so the wait
  // returns at once. A number that was not inherited names nothing of this process.
  sim::SimMachine& machine = sim::CurrentMachine();
  const std::vector<uint32_t>& inherited = machine.process.inheritedHandles;
  if (std::find(inherited.begin(), inherited.end(), handle) == inherited.end()) {
    machine.ReportError("WaitForProcessHandle on " + std::to_string(handle) +
                        ", which the process did not inherit");
  }
  machine.process.waitedHandles.push_back(handle);
}

namespace {

bool Start(const char* commandLine, const char* workingFolder, bool waited, bool inherits) {
  sim::SimMachine& machine = sim::CurrentMachine();
  sim::SimProcess& process = machine.process;
  if (process.failStartProcess) return false;
  // CreateProcess fails when the command line names no program file.
  const auto isFile = [&machine](const std::string& path) {
    return machine.files.Exists(path) && !machine.files.IsFolder(path);
  };
  if (sim::SplitCommandLine(commandLine, isFile).program.empty()) return false;
  process.started.push_back({commandLine, workingFolder ? workingFolder : "", waited, inherits});
  return true;
}

}  // namespace

bool StartProcess(const char* commandLine, const char* workingFolder, bool inheritHandles) {
  return Start(commandLine, workingFolder, false, inheritHandles);
}

bool StartProcessAndWait(const char* commandLine, const char* workingFolder,
                         uint32_t* exitCode) {
  *exitCode = 0;
  return Start(commandLine, workingFolder, true, false);
}

}  // namespace platform
