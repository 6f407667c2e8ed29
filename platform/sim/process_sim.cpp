// The platform's process operations on the current simulated machine.
#include "platform/process.h"

#include <string.h>

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

bool CreateOwnedMutex(const char* name) {
  sim::SimProcess& process = sim::CurrentMachine().process;
  if (process.failCreateMutex) return false;
  process.ownedMutexes.push_back(name);
  return true;
}

void WaitForNamedMutex(const char* name) {
  // One process runs at a time here: whoever owned the mutex has ended, so the wait
  // returns at once.
  sim::CurrentMachine().process.waitedMutexes.push_back(name);
}

namespace {

bool Start(const char* commandLine, const char* workingFolder, bool waited) {
  sim::SimMachine& machine = sim::CurrentMachine();
  sim::SimProcess& process = machine.process;
  if (process.failStartProcess) return false;
  // CreateProcess fails when the command line names no program file.
  const auto isFile = [&machine](const std::string& path) {
    return machine.files.Exists(path) && !machine.files.IsFolder(path);
  };
  if (sim::SplitCommandLine(commandLine, isFile).program.empty()) return false;
  process.started.push_back({commandLine, workingFolder ? workingFolder : "", waited});
  return true;
}

}  // namespace

bool StartProcess(const char* commandLine, const char* workingFolder) {
  return Start(commandLine, workingFolder, false);
}

bool StartProcessAndWait(const char* commandLine, const char* workingFolder,
                         uint32_t* exitCode) {
  *exitCode = 0;
  return Start(commandLine, workingFolder, true);
}

}  // namespace platform
