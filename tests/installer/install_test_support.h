// Whole installations on the simulated Windows: an installer built by twk's builder from
// a script written in the test, run from D:\ as `twk simulate` runs it, and readers for
// what it left.
#pragma once

#include <gtest/gtest.h>

#include <stdint.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/machine/sim_machine.h"
#include "twk/reader/uninstall_log.h"
#include "twk/simulate/simulate_run.h"

namespace install_test {

using Bytes = std::vector<uint8_t>;

struct Source {
  std::string name;  // beside the script
  Bytes bytes;
};

Bytes Text(const std::string& text);
Bytes ReadBytes(const std::string& hostPath);
// Bytes that do not compress, so that their blocks are as long as the pieces.
Bytes Noise(size_t length, uint32_t seed);
// A program image whose version resource holds `version` (major, minor, build, revision)
// and, when asked, the self-registration marker.
Bytes VersionedProgram(const uint16_t version[4], bool selfRegister);

constexpr char kProgramFolder[] = "C:\\Program Files\\Tool";
constexpr char kUninstaller[] = "C:\\Program Files\\Tool\\UNINST.EXE";

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
  const std::string& Installer() const { return installer_; }
  // Builds the checked-in example product, with stand-ins for the files the build tree
  // generates (its programs, the manual, the samples), and returns SETUP.EXE's path.
  std::string BuildExample();
  // Runs SETUP.EXE on the machine, copied to D:\ as `twk simulate` does, with the
  // command-line tail `tail`.
  ProgramRun Install(const std::string& tail = "");

  std::string Host(const std::string& windowsPath) const;
  std::string BuildPath(const std::string& name) const { return buildDir_ + "/" + name; }
  // The modification times of an installed file and of a source agree.
  bool SameTime(const std::string& windowsPath, const std::string& source) const;
  // The captions of the message boxes shown, in order.
  std::vector<std::string> Captions() const;
  UninstallLog LogOf(const std::string& windowsPath) const;
  // The machine saw no fault of the program and every scripted answer was used.
  void ExpectCleanRun() const;

  sim::SimMachine machine;

 private:
  sim::SimMachineScope scope_;
  std::string buildDir_;
  std::string installer_;
  std::filesystem::file_time_type moment_;
};

}  // namespace install_test
