// The flow tests' machine, hand-made packages, built installers and the log reader.
#include "tests/installer/flow_test_support.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "base/little_endian.h"
#include "package/format.h"
#include "platform/file_io.h"
#include "platform/progress_dialog.h"
#include "runtime/package_offset.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"
#include "stub/program_entry.h"
#include "twk/build/build_installer.h"

namespace flow_test {
namespace {

constexpr uint32_t kStubSize = 4096;
constexpr char kInstallation[] = "D:\\SETUP.EXE";
constexpr char kLog[] = "C:\\LOG.BIN";

std::string ScratchPath() {
  std::string pattern = ::testing::TempDir() + "twk-flow-XXXXXX";
  return mkdtemp(pattern.data());
}

// A bare stub: the marker with its offset word still zero.
Bytes Stub() {
  Bytes stub(kStubSize, 0xCC);
  std::copy(kPackageMarker, kPackageMarker + kPackageMarkerLength, stub.begin() + 1000);
  std::fill_n(stub.begin() + 1000 + kPackageMarkerLength, 4, 0);
  return stub;
}

void WriteHostFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

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

Bytes ListBytes(const Records& lines) {
  Bytes bytes;
  for (const std::string& line : lines) {
    bytes.push_back(static_cast<uint8_t>(line.size()));
    bytes.insert(bytes.end(), line.begin(), line.end());
  }
  bytes.push_back(0);
  return bytes;
}

FlowTest::FlowTest() : machine(ScratchPath()), scope_(machine), hostDir_(ScratchPath()) {
  machine.process.modulePath = kInstallation;
  ResetSetupState();
  StoreLe32(reinterpret_cast<uint8_t*>(g_packageOffsetMarker) + kPackageMarkerLength, kStubSize);
}

FlowTest::~FlowTest() {
  EXPECT_TRUE(machine.errors.empty()) << machine.errors.front();
  EXPECT_EQ(machine.user.PendingCount() + machine.ui.answers.PendingCount(), 0u);
  ResetSetupState();
  std::filesystem::remove_all(machine.files.Root());
  std::filesystem::remove_all(hostDir_);
}

Records FlowTest::RunPhase(const Bytes& package,
                           const std::function<void(platform::Window)>& work) {
  Bytes file = Stub();
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

void FlowTest::BuildAndRun(const std::string& script, const Files& files,
                           const std::function<void()>& before) {
  for (const auto& [name, bytes] : files) WriteHostFile(hostDir_ + "/" + name, bytes);
  WriteHostFile(hostDir_ + "/stub.exe", Stub());
  WriteHostFile(hostDir_ + "/setup.twk", Bytes(script.begin(), script.end()));
  BuildRequest request;
  request.script = hostDir_ + "/setup.twk";
  request.stub = hostDir_ + "/stub.exe";
  std::ifstream built(BuildInstaller(request).files.at(0), std::ios::binary);
  machine.files.PutFile(kInstallation, Bytes(std::istreambuf_iterator<char>(built), {}));
  ResetSetupState();
  if (before) before();
  EXPECT_EQ(ProgramEntry(nullptr, ""), 0);
}

Records FlowTest::UninstallLog(const std::string& path) {
  // After the stub: the volume length word, the mode byte, title, bottom text, product key.
  return ParseRecords(machine.files.FileBytes(path), kStubSize + 5, 3);
}

}  // namespace flow_test
