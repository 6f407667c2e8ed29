// Round trips on the simulated Windows.
#include "tests/installer/roundtrip_support.h"

namespace install_test {

const char kRoundTripScript[] = R"([Setup]
Title = Tool 1.0
BottomText = Maker
ProductKey = Tool
ProgramFolder = Tool
StartMenuFolder = Tool
RunAfter = {OurProgramDir}\tool.exe
[Files]
tool.exe    {OurProgramDir}\
big.dat     {OurProgramDir}\data\big.dat
shared.dll  {WinSysDir}\shared.dll  shared
[Shortcuts]
"{OurShortcutDir}\Tool"  {OurProgramDir}\tool.exe  startin={OurProgramDir}
[Registry]
"HKEY_LOCAL_MACHINE\Software\Maker\Tool"
@      = string "Tool 1.0"
Count  = dword 3
)";

void RoundTripTest::PutOtherProgram() {
  machine.files.PutFile("C:\\Program Files\\Other\\other.exe", Text("other"));
  machine.files.PutFile("C:\\WINDOWS\\SYSTEM32\\other.dll", Text("other library"));
  machine.registry.PutNumber(kSharedCountsKey, "C:\\WINDOWS\\SYSTEM32\\other.dll", 2);
  machine.registry.PutText("HKLM\\Software\\Maker", "Owner", "someone");
  machine.registry.PutText("HKLM\\Software\\Maker\\Other", "", "Other 2.0");
}

void RoundTripTest::BuildProduct(const std::string& script) {
  Build(script, {{"tool.exe", Text("tool")}, {"big.dat", Noise(70000, 7)},
                 {"shared.dll", Text("shared library")}});
}

ProgramRun RoundTripTest::InstallPlaced(const std::string& tail) {
  const std::string setup = PlaceProgram(Installer(), machine.files.Root());
  const std::vector<ProcessStep> steps = RunProcesses(machine, setup, tail, transcript);
  return steps.empty() ? ProgramRun{-1, false} : steps.back().run;
}

std::vector<ProcessStep> RoundTripTest::Uninstall(const std::string& program,
                                                  const std::string& tail) {
  return RunProcesses(machine, program, tail, transcript);
}

uint32_t RoundTripTest::SharedCount(const std::string& path) const {
  const sim::SimRegistryValue* value = machine.registry.Value(kSharedCountsKey, path);
  return value && value->data.size() == 4 ? value->data[0] : 0;
}

}  // namespace install_test
