// The installer's and the maintenance programs' tests on the simulated Windows: an
// installer built by twk's builder from a script written in the test (or a package made
// by hand for one phase), run from D:\ as `twk simulate` runs it, the uninstaller and the
// finalizer after it, and readers for what they left.
#pragma once

#include <gtest/gtest.h>

#include <stdint.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/message_box.h"
#include "platform/sim/machine/sim_machine.h"
#include "tests/support/test_files.h"
#include "twk/reader/uninstall_log.h"
#include "twk/simulate/simulate_processes.h"
#include "twk/simulate/simulate_report.h"
#include "twk/simulate/simulate_run.h"

namespace install_test {

using test_files::Bytes;
using test_files::Noise;
using test_files::ReadBytes;
using test_files::Text;
using Records = std::vector<std::string>;

struct Source {
  std::string name;  // beside the script
  Bytes bytes;
};

// Each line as a string record, then the empty record that ends a list.
Bytes ListBytes(const Records& lines);
// No file, folder or registry value differs between the two.
void ExpectSameState(const MachineSnapshot& before, const MachineSnapshot& after);
// A program image whose version resource holds `version` (major, minor, build, revision)
// and, when asked, the self-registration marker.
Bytes VersionedProgram(const uint16_t version[4], bool selfRegister);

constexpr char kProgramFolder[] = "C:\\Program Files\\Tool";
constexpr char kUninstaller[] = "C:\\Program Files\\Tool\\UNINST.EXE";
constexpr char kUninstallerCopy[] = "C:\\WINDOWS\\TEMP\\UNINST.EXE";
constexpr char kSharedLibrary[] = "C:\\WINDOWS\\SYSTEM32\\shared.dll";
constexpr char kSharedCountsKey[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kSharedQuestion[] =
    "The Windows Registry indicates that this shared file is no longer needed. However, it "
    "may be mistaken; deleting it could cause other programs to stop working. Shall I "
    "delete the shared file?";
// A product much like the example one: files in its own folder and a subfolder, a shared
// library, a shortcut, registry values and a run-after command.
extern const char kToolScript[];

class InstallTest : public ::testing::Test {
 protected:
  InstallTest();
  ~InstallTest() override;

  // Writes the sources into the build folder, the k-th with a modification time k
  // seconds after a moment a month ago (so that a file the test puts on the machine is
  // newer), and a stand-in for the stub beside them.
  void WriteSources(const std::vector<Source>& sources);
  // Builds SETUP.EXE in the build folder from the script file there.
  void BuildFrom(const std::string& scriptName);
  // Both, for a script written here.
  void Build(const std::string& script, const std::vector<Source>& sources);
  // kToolScript (or `script`) with its tool.exe, big.dat and shared.dll.
  void BuildTool(const std::string& script = kToolScript);
  const std::string& Installer() const { return installer_; }
  // Builds the checked-in example product, with stand-ins for the files the build tree
  // generates (its programs, the manual, the samples), and returns SETUP.EXE's path.
  std::string BuildExample();
  // Runs SETUP.EXE on the machine, copied to D:\ as `twk simulate` does, with the
  // command-line tail `tail`.
  ProgramRun Install(const std::string& tail = "");
  // The same, following every process it starts; the last one's run.
  ProgramRun InstallPlaced(const std::string& tail = "");
  // Builds and installs with the default answers; afterwards every prompt must be scripted.
  void InstallPackage(const std::string& script, const std::vector<Source>& sources);
  // Runs the installed UNINST.EXE (or `program`) with `tail` and whatever it starts.
  std::vector<ProcessStep> Uninstall(const std::string& program = kUninstaller,
                                     const std::string& tail = "");
  // Runs the uninstaller's copy in the temporary folder as its relaunch starts it: the
  // installed UNINST.EXE, or a program of `bytes`.
  ProgramRun UninstallCopy(const Bytes& bytes = {});
  // Runs the finalizer, which needs nothing of its file but its path.
  void Finalize(const std::string& modulePath);
  // Another program already on the machine: its own folder and library, its shared count,
  // and a value beside the product's key, so that nothing of it may go.
  void PutOtherProgram();

  std::string Host(const std::string& windowsPath) const;
  std::string BuildPath(const std::string& name) const { return build_ / name; }
  // The waiting file of `target` beside it (named as MakeWaitingFileName names them),
  // or "" when there is none.
  std::string WaitingFile(const std::string& target) const;
  // The modification times of an installed file and of a source agree.
  bool SameTime(const std::string& windowsPath, const std::string& source) const;
  // The captions of the message boxes shown, in order.
  std::vector<std::string> Captions() const;
  UninstallLog LogOf(const std::string& windowsPath) const;
  uint32_t SharedCount(const std::string& path = kSharedLibrary) const;
  void Expect(const std::string& text, const std::string& caption, uint32_t flags, int answer) {
    machine.user.Expect(text, caption, flags, answer);
  }
  void ExpectConfirmation(int answer);
  void ExpectDone();
  // The machine saw no fault of the program and every scripted answer was used.
  void ExpectCleanRun() const;

  test_files::ScratchFolder root_;
  test_files::ScratchFolder build_;
  sim::SimMachine machine;
  std::ostringstream transcript;

 private:
  sim::SimMachineScope scope_;
  std::string installer_;
  std::filesystem::file_time_type moment_;
};

// One phase of the engine on its own: the installation file at D:\SETUP.EXE, made by hand
// (a stub and raw package bytes) or built from a script, and a fresh setup state. Every
// test ends by checking that the program caused no fault on the machine and that every
// scripted answer was used.
class FlowTest : public InstallTest {
 protected:
  FlowTest();
  ~FlowTest() override;

  // Opens `package` as the package stream and runs `work` as a progress dialog's worker
  // with an uninstall log open; the records it logged.
  Records RunPhase(const Bytes& package, const std::function<void(platform::Window)>& work);
  // Builds D:\SETUP.EXE from `script` and its `sources`, and runs it on a fresh setup
  // state that `before` may change first.
  void BuildAndRun(const std::string& script, const std::vector<Source>& sources = {},
                   const std::function<void()>& before = nullptr);
  // The uninstall log carried by the maintenance program at `path`.
  Records UninstallLog(const std::string& path);
};

}  // namespace install_test
