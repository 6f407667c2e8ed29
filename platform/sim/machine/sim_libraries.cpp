// Self-registering libraries of the simulated Windows.
#include "platform/sim/machine/sim_libraries.h"

#include <fstream>
#include <iterator>

#include "pe/pe_image.h"
#include "platform/sim/machine/sim_file_system.h"
#include "platform/sim/machine/windows_path.h"

namespace sim {
namespace {

bool IsPeFile(const std::filesystem::path& host) {
  std::ifstream in(host, std::ios::binary);
  if (!in) return false;
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  return PeImage(bytes.data(), bytes.size()).valid();
}

}  // namespace

void SimLibraries::SetResult(const std::string& path, const std::string& entryPoint,
                             int32_t result) {
  outcomes_[PathKey(path)][entryPoint] = Outcome{true, result};
}

void SimLibraries::SetMissing(const std::string& path, const std::string& entryPoint) {
  outcomes_[PathKey(path)][entryPoint] = Outcome{false, 0};
}

void SimLibraries::FailLoad(const std::string& path) { failing_.insert(PathKey(path)); }

platform::Library SimLibraries::Load(SimFileSystem& files, const std::string& path,
                                     uint32_t importFolders) {
  loads_.push_back({path, importFolders});
  const std::filesystem::path host = files.HostPath(path);
  const std::string key = PathKey(files.LongPath(path));
  std::error_code error;
  if (host.empty() || !std::filesystem::is_regular_file(host, error) || failing_.count(key) ||
      !IsPeFile(host)) {
    return nullptr;
  }
  const uintptr_t handle = nextHandle_++;
  loaded_[handle] = Loaded{path, key};
  return reinterpret_cast<platform::Library>(handle);
}

bool SimLibraries::Call(platform::Library library, const std::string& entryPoint,
                        int32_t* result, std::string* error) {
  auto it = loaded_.find(reinterpret_cast<uintptr_t>(library));
  if (it == loaded_.end()) {
    *error = "CallEntryPoint " + entryPoint + " on a library that is not loaded";
    return false;
  }
  Outcome outcome{true, 0};
  auto file = outcomes_.find(it->second.key);
  if (file != outcomes_.end()) {
    auto set = file->second.find(entryPoint);
    if (set != file->second.end()) outcome = set->second;
  }
  if (!outcome.present) return false;
  calls_.push_back({it->second.path, entryPoint});
  *result = outcome.result;
  return true;
}

bool SimLibraries::Free(platform::Library library, std::string* error) {
  if (loaded_.erase(reinterpret_cast<uintptr_t>(library)) == 0) {
    *error = "FreeLibraryHandle on a library that is not loaded";
    return false;
  }
  return true;
}

}  // namespace sim
