// The installer tests' machine, builder, hand-made packages and readers.
#include "tests/installer/install_test_support.h"

#include <chrono>
#include <filesystem>

#include "base/little_endian.h"
#include "maintenance/finalizer.h"
#include "package/format.h"
#include "platform/background_window.h"
#include "platform/file_io.h"
#include "platform/progress_dialog.h"
#include "runtime/package_offset.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"
#include "stub/program_entry.h"
#include "tests/platform/test_pe_image.h"
#include "tests/support/package_bytes.h"
#include "platform/sim/machine/windows_path.h"
#include "twk/build/build_installer.h"

namespace fs = std::filesystem;

namespace install_test {
namespace {

constexpr uint32_t kStubSize = 4096;  // test_files::FakeStub's
constexpr char kInstallation[] = "D:\\SETUP.EXE";
constexpr char kLog[] = "C:\\LOG.BIN";

// The string records from `at` to the end, less the first `skip`.
Records ParseRecords(const Bytes& bytes, size_t at, size_t skip) {
  Records records;
  for (; at < bytes.size() && at + 1 + bytes[at] <= bytes.size(); at += 1 + bytes[at]) {
    if (skip > 0 && skip--) continue;
    records.emplace_back(bytes.begin() + at + 1, bytes.begin() + at + 1 + bytes[at]);
  }
  return records;
}

std::function<void(platform::Window)> g_work;
void Worker(platform::Window dialog) {
  g_work(dialog);
  platform::EndProgressDialog(dialog);
}
void OnCancel() { g_setup.cancelled = true; }

}  // namespace

const char kToolScript[] = R"([Setup]
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
"{OurShortcutDir}\Tool"  {OurProgramDir}\tool.exe  arguments=/x  startin={OurProgramDir}
[Registry]
"HKEY_LOCAL_MACHINE\Software\Maker\Tool"
@      = string "Tool 1.0"
Folder = string {OurProgramDir}
Count  = dword 3
Blob   = binary 0a 00 0b
)";

Bytes ListBytes(const Records& lines) {
  Bytes bytes;
  for (const std::string& line : lines) {
    bytes.push_back(static_cast<uint8_t>(line.size()));
    bytes.insert(bytes.end(), line.begin(), line.end());
  }
  bytes.push_back(0);
  return bytes;
}

void ExpectSameState(const MachineSnapshot& before, const MachineSnapshot& after) {
  const MachineChanges changes = CompareSnapshots(before, after);
  EXPECT_EQ(changes.filesWritten, Records{});
  EXPECT_EQ(changes.filesRemoved, Records{});
  EXPECT_EQ(changes.foldersMade, Records{});
  EXPECT_EQ(changes.foldersRemoved, Records{});
  EXPECT_EQ(before.registry, after.registry);
}

Bytes VersionedProgram(const uint16_t version[4], bool selfRegister) {
  test_pe::VersionFields fields;
  fields.fileVersionMs = static_cast<uint32_t>(version[0]) << 16 | version[1];
  fields.fileVersionLs = static_cast<uint32_t>(version[2]) << 16 | version[3];
  fields.selfRegister = selfRegister;
  return test_pe::VersionedLibrary(fields);
}

InstallTest::InstallTest()
    : machine(root_.path()),
      scope_(machine),
      // A month ago, in whole seconds: older than anything the test puts on the machine.
      moment_(std::chrono::time_point_cast<std::chrono::seconds>(fs::file_time_type::clock::now()) -
              std::chrono::hours(24 * 30)) {}

InstallTest::~InstallTest() = default;

void InstallTest::WriteSources(const std::vector<Source>& sources) {
  for (size_t k = 0; k < sources.size(); ++k) {
    test_files::WriteBytes(BuildPath(sources[k].name), sources[k].bytes);
    fs::last_write_time(BuildPath(sources[k].name), moment_ + std::chrono::seconds(k));
  }
  test_files::WriteBytes(BuildPath("stub.exe"), test_files::FakeStub());
}

void InstallTest::BuildFrom(const std::string& scriptName) {
  BuildRequest request;
  request.script = BuildPath(scriptName);
  request.output = BuildPath("SETUP.EXE");
  request.stub = BuildPath("stub.exe");
  BuildInstaller(request);
  installer_ = request.output;
}

void InstallTest::Build(const std::string& script, const std::vector<Source>& sources) {
  WriteSources(sources);
  test_files::WriteText(BuildPath("setup.twk"), script);
  BuildFrom("setup.twk");
}

void InstallTest::BuildTool(const std::string& script) {
  Build(script, {{"tool.exe", Text("tool")}, {"big.dat", Noise(70000, 7)},
                 {"shared.dll", Text("shared library")}});
}

std::string InstallTest::BuildExample() {
  const fs::path source =
      fs::path(__FILE__).parent_path().parent_path().parent_path() / "examples" / "product";
  fs::create_directories(BuildPath("product"));
  fs::copy(source, BuildPath("product"), fs::copy_options::recursive);
  const uint16_t version[4] = {2, 0, 1, 7};
  WriteSources({{"product/DemoApp.exe", VersionedProgram(version, false)},
                {"product/DemoLib.dll", VersionedProgram(version, false)},
                {"product/manual.txt", Noise(150000, 1)},
                {"product/samples.dat", Noise(1000, 2)},
                {"product/empty.log", {}}});
  BuildFrom("product/demo.twk");
  return Installer();
}

ProgramRun InstallTest::Install(const std::string& tail) {
  return RunSimulatedProgram(machine, PlaceProgram(installer_, machine.files.Root()), tail);
}

ProgramRun InstallTest::InstallPlaced(const std::string& tail) {
  const std::string setup = PlaceProgram(Installer(), machine.files.Root());
  const std::vector<ProcessStep> steps = RunProcesses(machine, setup, tail, transcript);
  return steps.empty() ? ProgramRun{-1, false} : steps.back().run;
}

void InstallTest::InstallPackage(const std::string& script, const std::vector<Source>& sources) {
  Build(script, sources);
  sim::UseDefaultAnswers();
  ASSERT_EQ(Install().exitCode, 0);
  machine.user = sim::SimUser();
  machine.ui.answers.useDefaults = false;
}

std::vector<ProcessStep> InstallTest::Uninstall(const std::string& program,
                                                const std::string& tail) {
  return RunProcesses(machine, program, tail, transcript);
}

ProgramRun InstallTest::UninstallCopy(const Bytes& bytes) {
  test_files::WriteBytes(Host(kUninstallerCopy), bytes.empty() ? ReadBytes(Host(kUninstaller)) : bytes);
  return RunSimulatedProgram(machine, kUninstallerCopy, "/step2");
}

void InstallTest::Finalize(const std::string& modulePath) {
  machine.process.modulePath = modulePath;
  ResetSetupState();
  platform::RunBackgroundWindow(reinterpret_cast<platform::Instance>(0x400000), 1027, RunFinalize,
                                true);
  ResetSetupState();
}

void InstallTest::PutOtherProgram() {
  machine.files.PutFile("C:\\Program Files\\Other\\other.exe", Text("other"));
  machine.files.PutFile("C:\\WINDOWS\\SYSTEM32\\other.dll", Text("other library"));
  machine.registry.PutNumber(kSharedCountsKey, "C:\\WINDOWS\\SYSTEM32\\other.dll", 2);
  machine.registry.PutText("HKLM\\Software\\Maker", "Owner", "someone");
  machine.registry.PutText("HKLM\\Software\\Maker\\Other", "", "Other 2.0");
}

std::string InstallTest::Host(const std::string& windowsPath) const {
  return machine.files.HostPath(windowsPath).string();
}

std::string InstallTest::WaitingFile(const std::string& target) const {
  const std::string longTarget = machine.files.LongPath(target);
  const size_t cut = longTarget.rfind('\\');
  const std::string name = sim::PathKey(longTarget.substr(cut + 1));
  std::string found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(fs::path(Host(target)).parent_path(), error)) {
    const std::string candidate = sim::PathKey(entry.path().filename().string());
    // name + ".~" + eight hexadecimal digits + ".NEWTEMP"
    if (candidate.size() != name.size() + 18 || candidate.compare(0, name.size(), name) != 0 ||
        candidate.compare(name.size(), 2, ".~") != 0 ||
        candidate.substr(name.size() + 10) != ".NEWTEMP") {
      continue;
    }
    EXPECT_EQ(found, "") << "two waiting files for " << target;
    found = longTarget.substr(0, cut + 1) + entry.path().filename().string();
  }
  return found;
}

bool InstallTest::SameTime(const std::string& windowsPath, const std::string& source) const {
  std::error_code error;
  return fs::last_write_time(Host(windowsPath), error) == fs::last_write_time(BuildPath(source));
}

std::vector<std::string> InstallTest::Captions() const {
  std::vector<std::string> captions;
  for (const sim::ShownPrompt& prompt : machine.user.Shown()) captions.push_back(prompt.caption);
  return captions;
}

UninstallLog InstallTest::LogOf(const std::string& windowsPath) const {
  return ReadUninstallLog(Host(windowsPath));
}

uint32_t InstallTest::SharedCount(const std::string& path) const {
  const sim::SimRegistryValue* value = machine.registry.Value(kSharedCountsKey, path);
  return value && value->data.size() == 4 ? value->data[0] : 0;
}

void InstallTest::ExpectConfirmation(int answer) {
  Expect("Are you SURE you wish to uninstall this program?", "Confirm",
         platform::kMbYesNo | platform::kMbIconQuestion, answer);
}

void InstallTest::ExpectDone() {
  Expect("This program has been removed.", "Done.", platform::kMbOk | platform::kMbIconInformation,
         platform::kIdOk);
}

void InstallTest::ExpectCleanRun() const {
  for (const std::string& error : machine.errors) ADD_FAILURE() << "machine error: " << error;
  EXPECT_EQ(machine.user.PendingCount(), 0u);
  for (const std::string& unused : machine.ui.answers.Unused()) ADD_FAILURE() << "unused: " << unused;
}

FlowTest::FlowTest() {
  machine.process.modulePath = kInstallation;
  ResetSetupState();
  StoreLe32(reinterpret_cast<uint8_t*>(g_packageOffsetMarker) + kPackageMarkerLength, kStubSize);
}

FlowTest::~FlowTest() {
  EXPECT_TRUE(machine.errors.empty()) << machine.errors.front();
  EXPECT_EQ(machine.user.PendingCount() + machine.ui.answers.PendingCount(), 0u);
  ResetSetupState();
}

Records FlowTest::RunPhase(const Bytes& package,
                           const std::function<void(platform::Window)>& work) {
  Bytes file = test_files::FakeStub();
  file.resize(kStubSize + 4);
  StoreLe32(file.data() + kStubSize, static_cast<uint32_t>(file.size() + package.size()));
  file.insert(file.end(), package.begin(), package.end());
  machine.files.PutFile(kInstallation, file);
  EXPECT_TRUE(OpenVolume());
  g_setup.uninstallLog = platform::CreateForWriting(kLog);
  g_work = work;
  platform::RunProgressDialog(nullptr, nullptr, Worker, OnCancel);
  platform::CloseFile(g_setup.uninstallLog);
  g_setup.uninstallLog = nullptr;
  return ParseRecords(machine.files.FileBytes(kLog), 0, 0);
}

void FlowTest::BuildAndRun(const std::string& script, const std::vector<Source>& sources,
                           const std::function<void()>& before) {
  Build(script, sources);
  machine.files.PutFile(kInstallation, ReadBytes(Installer()));
  ResetSetupState();
  if (before) before();
  EXPECT_EQ(ProgramEntry(nullptr, ""), 0);
}

Records FlowTest::UninstallLog(const std::string& path) {
  // After the stub: the volume length word, the mode byte, title, bottom text, product key.
  return ParseRecords(machine.files.FileBytes(path), kStubSize + 5, 3);
}

}  // namespace install_test
