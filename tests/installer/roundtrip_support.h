// Installing and then removing a product on one simulated machine, following the
// uninstaller's relaunch and the restarts as Windows would.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "tests/installer/install_test_support.h"
#include "twk/simulate/simulate_processes.h"
#include "twk/simulate/simulate_report.h"

namespace install_test {

// A product much like the example one: files in its own folder and a subfolder, a
// shared library, a shortcut, registry values and a run-after command.
extern const char kRoundTripScript[];
constexpr char kSharedLibrary[] = "C:\\WINDOWS\\SYSTEM32\\shared.dll";
constexpr char kSharedCountsKey[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

class RoundTripTest : public InstallTest {
 protected:
  // Another program already on the machine: its own folder and library, its shared count,
  // and a value beside the product's key, so that nothing of it may go.
  void PutOtherProgram();
  void BuildProduct(const std::string& script = kRoundTripScript);
  // Places SETUP.EXE on D:\ and runs it with the command-line tail `tail`.
  ProgramRun InstallPlaced(const std::string& tail = "");
  // Runs the installed UNINST.EXE (or `program`) with `tail` and whatever it starts.
  std::vector<ProcessStep> Uninstall(const std::string& program = kUninstaller,
                                     const std::string& tail = "");
  uint32_t SharedCount(const std::string& path) const;

  std::ostringstream transcript;
};

}  // namespace install_test
