// Running the stub's program entry on a simulated Windows.
#include "twk/simulate/simulate_run.h"

#include <system_error>

#include "base/little_endian.h"
#include "platform/sim/machine/sim_machine.h"
#include "runtime/package_offset.h"
#include "runtime/setup_state.h"
#include "stub/program_entry.h"
#include "twk/common/command_error.h"
#include "twk/common/exit_codes.h"
#include "twk/common/temporary_file.h"
#include "twk/reader/reader_error.h"
#include "twk/reader/volume_stream.h"

namespace fs = std::filesystem;

namespace {

// Any value but nullptr: the simulated user interface does not look inside it.
platform::Instance const kInstance = reinterpret_cast<platform::Instance>(0x400000);

constexpr char kCopyDrive[] = "D";

// "C:\x\y" for ROOT/C/x/y when `program` lies in a one-letter drive folder of `root`;
// "" otherwise.
std::string WindowsPathInRoot(const fs::path& program, const fs::path& root) {
  std::error_code error;
  const fs::path full = fs::weakly_canonical(program, error);
  const fs::path base = fs::weakly_canonical(root, error);
  const fs::path relative = full.lexically_relative(base);
  if (relative.empty() || relative.begin() == relative.end()) return "";
  const std::string drive = relative.begin()->string();
  if (drive.size() != 1 || !isalpha(static_cast<unsigned char>(drive[0]))) return "";
  std::string path = drive + ":";
  for (auto part = std::next(relative.begin()); part != relative.end(); ++part) {
    if (*part == "..") return "";
    path += "\\" + part->string();
  }
  return path;
}

void CopyOne(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_directories(to.parent_path(), error);
  if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, error)) {
    throw CommandError(kExitOutputError,
                        to.string() + ": cannot copy the program there: " + error.message());
  }
}

}  // namespace

void LoadMachine(sim::SimMachine& machine, MachineFamily family) {
  try {
    machine.LoadState();
  } catch (const std::exception& error) {
    throw CommandError(kExitInputError, error.what());
  }
  if (family != MachineFamily::kAsBefore) {
    machine.SetFamily(family == MachineFamily::kNt ? sim::Family::kNt : sim::Family::k9x);
  }
  machine.MakeSystemFolders();
}

void SaveMachine(const sim::SimMachine& machine) {
  try {
    machine.SaveState([](const fs::path& file, const std::string& text) {
      WriteFileReplacing(file.string(), text);
    });
  } catch (const std::exception& error) {
    throw CommandError(kExitOutputError, error.what());
  }
}

std::string PlaceProgram(const fs::path& program, const fs::path& root) {
  if (!fs::is_regular_file(program)) {
    throw CommandError(kExitInputError, program.string() + ": no such file");
  }
  const std::string inPlace = WindowsPathInRoot(program, root);
  if (!inPlace.empty()) return inPlace;
  const std::string name = program.filename().string();
  CopyOne(program, root / kCopyDrive / name);
  for (int number = 1;; ++number) {
    const fs::path volume = VolumePath(program.string(), number);
    if (!fs::is_regular_file(volume)) break;
    CopyOne(volume, root / kCopyDrive / volume.filename());
  }
  return std::string(kCopyDrive) + ":\\" + name;
}

void UsePackageOffsetOf(const std::string& hostPath) {
  uint32_t offset = 0;
  try {
    offset = FindPackageLocation(hostPath).packageOffset;
  } catch (const ReadError& error) {
    throw CommandError(kExitInputError, error.what());
  }
  StoreLe32(reinterpret_cast<uint8_t*>(g_packageOffsetMarker) + kPackageMarkerLength, offset);
}

ProgramRun RunSimulatedProgram(sim::SimMachine& machine, const std::string& modulePath,
                               const std::string& commandTail) {
  UsePackageOffsetOf(machine.files.HostPath(modulePath).string());
  machine.process.modulePath = modulePath;
  ResetSetupState();
  ProgramRun run;
  try {
    run.exitCode = ProgramEntry(kInstance, commandTail.c_str());
  } catch (const sim::SimulatedExit& exit) {
    run.exitCode = static_cast<int>(exit.code);
    run.exitedEarly = true;
  }
  run.logRecordsPassedOver = g_setup.logRecordsPassedOver;
  ResetSetupState();
  return run;
}
