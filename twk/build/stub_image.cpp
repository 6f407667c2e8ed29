// Finding and setting the stub's package offset word.
#include "twk/build/stub_image.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "base/little_endian.h"
#include "host/host_file.h"
#include "host/host_process.h"
#include "package/format.h"
#include "pe/pe_image.h"
#include "twk/common/build_error.h"
#include "twk/common/input_file.h"

size_t FindPackageOffsetWord(const std::vector<uint8_t>& stub, const std::string& name) {
  const uint8_t* marker = reinterpret_cast<const uint8_t*>(kPackageMarker);
  const auto end = stub.end();
  const auto first = std::search(stub.begin(), end, marker, marker + kPackageMarkerLength);
  if (first == end) ThrowInputError(name, "not a stub: the marker " + std::string(kPackageMarker) + " is missing");
  if (std::search(first + 1, end, marker, marker + kPackageMarkerLength) != end) {
    ThrowInputError(name, "not a stub: the marker " + std::string(kPackageMarker) + " occurs more than once");
  }
  const size_t word = static_cast<size_t>(first - stub.begin()) + kPackageMarkerLength;
  if (stub.size() - word < kPackageOffsetWordSize) {
    ThrowInputError(name, "not a stub: the file ends inside the package offset word");
  }
  return word;
}

std::vector<uint8_t> LoadPatchedStub(const std::string& path) {
  std::string text;
  std::string problem;
  // The package offset word holds the stub's length, so a longer stub cannot be used.
  if (ReadInputFile(path, 0xFFFFFFFFu, &text, &problem) != InputStatus::kOk) {
    ThrowInputError(path, "the stub " + problem);
  }
  std::vector<uint8_t> stub(text.begin(), text.end());
  text.clear();
  const size_t word = FindPackageOffsetWord(stub, path);
  if (LoadLe32(stub.data() + word) != 0) {
    ThrowInputError(path, "already carries a package (its package offset word is not 0): "
                          "pass the bare stub");
  }
  StoreLe32(stub.data() + word, static_cast<uint32_t>(stub.size()));
  return stub;
}

uint16_t StubMachine(const std::string& path) {
  std::string text;
  std::string problem;
  if (ReadInputFile(path, 0xFFFFFFFFu, &text, &problem) != InputStatus::kOk) return 0;
  const PeImage image(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  return image.machine();
}

std::vector<std::string> StubFolders(const std::string& executable) {
  const size_t nameStart = host::NameStart(executable);
  const std::string folder = nameStart == 0 ? "." : executable.substr(0, nameStart - 1);
  // In the Windows package the stubs lie beside twk.exe.
  if (std::string(TWK_STUB_FOLDER_FROM_BIN) == ".") return {folder};
  const std::filesystem::path installed = std::filesystem::path(folder) / TWK_STUB_FOLDER_FROM_BIN;
  return {installed.lexically_normal().string(), folder};
}

std::string DefaultStubPath(const std::string& arch) {
  std::string executable = host::ProgramPath();
  if (executable.empty()) executable = "./twk";
  const std::string name = "stub-" + arch + ".exe";
  std::string searched;
  for (const std::string& folder : StubFolders(executable)) {
    const std::string path = folder + host::Separator() + name;
    if (host::FactsOf(path, true).kind != host::FileKind::kMissing) return path;
    searched += (searched.empty() ? "" : " or ") + folder;
  }
  ThrowInputError(name, "not found in " + searched + " (--stub FILE names one)");
}
