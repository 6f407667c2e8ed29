// The whole-install tests' machine, builder and readers.
#include "tests/installer/install_test_support.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "codec/little_endian.h"
#include "package/format.h"
#include "twk/build_installer.h"

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

void Pad4(Bytes* b) {
  while (b->size() % 4 != 0) b->push_back(0);
}

// One node of a version resource: its length, value length, type, UTF-16 key, value
// and children.
Bytes VersionNode(const std::string& key, const Bytes& value, uint16_t valueLength, uint16_t type,
                  const std::vector<Bytes>& children) {
  Bytes b(6, 0);
  for (char c : key) b.insert(b.end(), {static_cast<uint8_t>(c), 0});
  b.insert(b.end(), {0, 0});
  Pad4(&b);
  b.insert(b.end(), value.begin(), value.end());
  for (const Bytes& child : children) {
    Pad4(&b);
    b.insert(b.end(), child.begin(), child.end());
  }
  StoreLe16(b.data(), static_cast<uint16_t>(b.size()));
  StoreLe16(b.data() + 2, valueLength);
  StoreLe16(b.data() + 4, type);
  return b;
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
  Bytes fixed(52, 0);
  StoreLe32(fixed.data(), 0xFEEF04BD);
  StoreLe32(fixed.data() + 8, static_cast<uint32_t>(version[0]) << 16 | version[1]);
  StoreLe32(fixed.data() + 12, static_cast<uint32_t>(version[2]) << 16 | version[3]);
  std::vector<Bytes> strings = {VersionNode("FileVersion", {'1', 0, 0, 0}, 2, 1, {})};
  if (selfRegister) strings.push_back(VersionNode("OLESelfRegister", {0, 0}, 1, 1, {}));
  const Bytes resource = VersionNode(
      "VS_VERSION_INFO", fixed, 52, 0,
      {VersionNode("StringFileInfo", {}, 0, 1, {VersionNode("040904b0", {}, 0, 1, strings)}),
       VersionNode("VarFileInfo", {}, 0, 1,
                   {VersionNode("Translation", {0x09, 0x04, 0xB0, 0x04}, 4, 0, {})})});
  // A resource tree of type 16, name 1, language 0x409 in the one section of a PE32 image.
  const uint32_t sectionRva = 0x1000, rawOffset = 0x200;
  Bytes tree(0x58, 0);
  const uint32_t entries[3][3] = {{0x00, 16, 0x80000018}, {0x18, 1, 0x80000030}, {0x30, 0x409, 0x48}};
  for (const auto& entry : entries) {
    StoreLe16(tree.data() + entry[0] + 14, 1);
    StoreLe32(tree.data() + entry[0] + 16, entry[1]);
    StoreLe32(tree.data() + entry[0] + 20, entry[2]);
  }
  StoreLe32(tree.data() + 0x48, sectionRva + 0x58);
  StoreLe32(tree.data() + 0x4C, static_cast<uint32_t>(resource.size()));
  tree.insert(tree.end(), resource.begin(), resource.end());
  Bytes image(rawOffset + tree.size(), 0);
  std::copy(tree.begin(), tree.end(), image.begin() + rawOffset);
  image[0] = 'M';
  image[1] = 'Z';
  StoreLe32(&image[0x3C], 0x40);
  uint8_t* pe = &image[0x40];
  pe[0] = 'P';
  pe[1] = 'E';
  StoreLe16(pe + 4, 0x14C);
  StoreLe16(pe + 6, 1);
  StoreLe16(pe + 20, 224);
  uint8_t* optional = pe + 24;
  StoreLe16(optional, 0x10B);
  StoreLe32(optional + 92, 16);
  StoreLe32(optional + 96 + 16, sectionRva);
  StoreLe32(optional + 96 + 20, static_cast<uint32_t>(tree.size()));
  uint8_t* section = optional + 224;
  std::copy_n(".rsrc", 5, section);
  StoreLe32(section + 8, static_cast<uint32_t>(tree.size()));
  StoreLe32(section + 12, sectionRva);
  StoreLe32(section + 16, static_cast<uint32_t>(tree.size()));
  StoreLe32(section + 20, rawOffset);
  return image;
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

ProgramRun InstallTest::Install() {
  return RunSimulatedProgram(machine, PlaceProgram(installer_, machine.files.Root()), "");
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
