// The whole-install tests' machine, builder and readers.
#include "tests/installer/install_test_support.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "base/little_endian.h"
#include "package/format.h"
#include "tests/platform/test_pe_image.h"
#include "twk/build/build_installer.h"

namespace fs = std::filesystem;

namespace install_test {
namespace {

std::string UniqueName(const char* kind) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(::testing::TempDir()) + "twk-install-" + kind + "-" +
         std::to_string(getpid()) + "-" + test->test_suite_name() + "-" + test->name();
}

fs::path FreshRoot() {
  const fs::path root = UniqueName("root");
  fs::remove_all(root);
  return root;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A stand-in for the stub: what the engine copies into the maintenance programs.
Bytes FakeStub() {
  Bytes stub(4096, 0xCC);
  stub[0] = 'M';
  stub[1] = 'Z';
  std::copy(kPackageMarker, kPackageMarker + kPackageMarkerLength, stub.begin() + 1000);
  std::fill(stub.begin() + 1000 + kPackageMarkerLength, stub.begin() + 1004 + kPackageMarkerLength, 0);
  return stub;
}

}  // namespace

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes ReadBytes(const std::string& hostPath) {
  std::ifstream file(hostPath, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

Bytes Noise(size_t length, uint32_t seed) {
  Bytes bytes(length);
  for (uint8_t& b : bytes) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<uint8_t>(seed >> 24);
  }
  return bytes;
}

Bytes VersionedProgram(const uint16_t version[4], bool selfRegister) {
  test_pe::VersionFields fields;
  fields.fileVersionMs = static_cast<uint32_t>(version[0]) << 16 | version[1];
  fields.fileVersionLs = static_cast<uint32_t>(version[2]) << 16 | version[3];
  fields.selfRegister = selfRegister;
  return test_pe::VersionedLibrary(fields);
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

InstallTest::InstallTest()
    : machine(FreshRoot()),
      scope_(machine),
      buildDir_(UniqueName("build")),
      // A month ago, in whole seconds: older than anything the test puts on the machine.
      moment_(std::chrono::time_point_cast<std::chrono::seconds>(fs::file_time_type::clock::now()) -
              std::chrono::hours(24 * 30)) {
  fs::remove_all(buildDir_);
}

InstallTest::~InstallTest() {
  fs::remove_all(machine.files.Root());
  fs::remove_all(buildDir_);
}

void InstallTest::WriteSources(const std::vector<Source>& sources) {
  for (size_t k = 0; k < sources.size(); ++k) {
    WriteFile(BuildPath(sources[k].name), sources[k].bytes);
    fs::last_write_time(BuildPath(sources[k].name), moment_ + std::chrono::seconds(k));
  }
  WriteFile(BuildPath("stub.exe"), FakeStub());
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
  WriteFile(BuildPath("setup.twk"), Text(script));
  BuildFrom("setup.twk");
}

ProgramRun InstallTest::Install(const std::string& tail) {
  return RunSimulatedProgram(machine, PlaceProgram(installer_, machine.files.Root()), tail);
}

std::string InstallTest::Host(const std::string& windowsPath) const {
  return machine.files.HostPath(windowsPath).string();
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

void InstallTest::ExpectCleanRun() const {
  for (const std::string& error : machine.errors) ADD_FAILURE() << "machine error: " << error;
  EXPECT_EQ(machine.user.PendingCount(), 0u);
  for (const std::string& unused : machine.ui.answers.Unused()) ADD_FAILURE() << "unused: " << unused;
}

}  // namespace install_test
