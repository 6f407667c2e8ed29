// Arbitrary uninstall logs through the uninstaller, run on the simulated Windows as its
// relaunched copy runs, and through twk's reader of maintenance programs.
#include <string.h>

#include <exception>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "engine/shared_files.h"
#include "fuzz/fuzz_scratch.h"
#include "fuzz/fuzz_targets.h"
#include "package/format.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/sim/machine/sim_machine.h"
#include "platform/sim/machine/sim_ui.h"
#include "twk/reader/reader_error.h"
#include "twk/reader/uninstall_log.h"
#include "twk/simulate/simulate_run.h"

namespace fs = std::filesystem;

namespace {

constexpr char kUninstaller[] = "C:\\WINDOWS\\TEMP\\UNINST.EXE";
constexpr char kRelaunchedTail[] = "/step2";
// A log cut short sends the uninstaller on to a volume that a maintenance program never
// has; the user cancels, where the default answer would ask for it again and again.
constexpr char kNextDiskText[] =
    "Please insert the disk containing 'UNINST.001' into the drive and select OK.";
constexpr char kNextDiskCaption[] = "Next disk, please...";
// Enough to reach every kind of item; more would only make each input slower.
constexpr size_t kMaxPreparedItems = 16;

// UNINST.EXE: a stand-in for the stub copy (the marker and the package offset word), the
// maintenance program's zero volume length word and mode byte, then `data`: the trailer's
// texts and the log.
std::vector<uint8_t> MaintenanceProgram(const uint8_t* data, size_t size) {
  constexpr size_t kMarkerAt = 2;
  constexpr size_t kPackageAt = kMarkerAt + kPackageMarkerLength + kPackageOffsetWordSize;
  uint8_t head[kPackageAt + kVolumeLengthWordSize + 1] = {'M', 'Z'};
  memcpy(head + kMarkerAt, kPackageMarker, kPackageMarkerLength);
  StoreLe32(head + kMarkerAt + kPackageMarkerLength, kPackageAt);
  head[sizeof head - 1] = kModeUninstall;
  std::vector<uint8_t> file(sizeof head + size);
  memcpy(file.data(), head, sizeof head);
  if (size != 0) memcpy(file.data() + sizeof head, data, size);
  return file;
}

void PrepareFile(sim::SimMachine& machine, const LoggedFile& file, size_t index) {
  machine.files.PutFile(file.path, {'x'});
  if (index % 3 == 1) machine.files.SetAttributes(file.path, platform::kAttributeReadOnly);
  if (index % 5 == 4) machine.files.MarkInUse(file.path);
  if (file.shared) {
    machine.registry.PutNumber(std::string(kRootLocalMachine) + kSharedDllsKey, file.path,
                               static_cast<uint32_t>(index % 3));
  }
}

// Puts what the log names on the machine, so that the uninstaller meets files to delete
// (some read-only, some in use, shared ones with counts of 0 to 2) and keys with values
// instead of passing over names that do not exist. Names that are no path or key the
// machine can hold are left for the uninstaller to meet as they are.
void PrepareMachine(sim::SimMachine& machine, const UninstallLog& log) {
  for (size_t i = 0; i < log.files.size() && i < kMaxPreparedItems; ++i) {
    try {
      PrepareFile(machine, log.files[i], i);
    } catch (const std::exception&) {
    }
  }
  for (size_t i = 0; i < log.registry.size() && i < kMaxPreparedItems; ++i) {
    const LoggedRegistryItem& item = log.registry[i];
    if (!item.rootRecognised) continue;
    try {
      for (const std::string& name : item.valueNames) {
        machine.registry.PutText(item.line.substr(1),
                                 name == kRegistryDefaultValueName ? "" : name, "x");
      }
    } catch (const std::exception&) {
    }
  }
}

// The faults of the program that the machine saw. With default answers the only prompt
// the machine calls unexpected is one repeated until it gives up: the uninstaller asking
// to try a deletion again (a folder where the log names a file) as long as the answer is
// Retry. That is the user's loop, not a fault.
bool NoFaults(const sim::SimMachine& machine) {
  for (const std::string& error : machine.errors) {
    if (error.rfind("unexpected prompt", 0) != 0) return false;
  }
  return true;
}

}  // namespace

bool FuzzUninstallLog(const uint8_t* data, size_t size) {
  const fs::path folder = FreshScratchFolder("uninstall_log");
  const std::vector<uint8_t> program = MaintenanceProgram(data, size);
  const fs::path copy = folder / "UNINST.EXE";
  if (!WriteScratchFile(copy, program.data(), program.size())) return true;
  UninstallLog log;
  try {
    log = ReadUninstallLog(copy.string());
  } catch (const ReadError&) {
    return false;  // it has a package and a maintenance mode: a cut log is no error
  }
  sim::SimMachine machine(folder / "root");
  sim::SimMachineScope scope(machine);
  sim::UseDefaultAnswers();
  // Whoever held a file open closes it while the uninstaller asks to try again; otherwise
  // the default answer, Retry, would be asked twenty times before the machine gives up.
  machine.user.onShown = [&machine](const sim::ShownPrompt&) { machine.files.ReleaseAllInUse(); };
  machine.user.Expect(kNextDiskText, kNextDiskCaption, sim::kAnyFlags, platform::kIdCancel);
  PrepareMachine(machine, log);
  try {
    machine.files.PutFile(kUninstaller, program);
  } catch (const std::exception&) {
    return true;  // the log made a folder of the uninstaller's own path
  }
  const ProgramRun run = RunSimulatedProgram(machine, kUninstaller, kRelaunchedTail);
  return NoFaults(machine) && (run.exitCode == 0 || run.exitCode == 1);
}
