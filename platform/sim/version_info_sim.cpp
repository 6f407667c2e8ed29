// The platform's version-library operations on the current simulated machine: the
// version resource is read from the file on the simulated disk.
#include "platform/version_info.h"

#include <string.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/little_endian.h"
#include "pe/version_query.h"
#include "platform/sim/machine/sim_machine.h"

namespace platform {
namespace {

// The file's version resource, empty when it has none (or is missing, or is a folder:
// Windows cannot open a folder as a file, and the host stream would throw reading one).
std::vector<uint8_t> VersionBlob(const char* path) {
  if (path == nullptr) return {};
  const std::filesystem::path host = sim::CurrentMachine().files.HostPath(path);
  // A folder opens as a stream on the host, but its first read throws; Windows finds no
  // version resource in a folder.
  std::error_code error;
  if (host.empty() || !std::filesystem::is_regular_file(host, error)) return {};
  std::ifstream in(host, std::ios::binary);
  if (!in) return {};
  const std::vector<uint8_t> image((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  const uint8_t* blob = nullptr;
  size_t size = 0;
  if (!FindVersionResource(image.data(), image.size(), &blob, &size)) return {};
  return std::vector<uint8_t>(blob, blob + size);
}

}  // namespace

uint32_t GetVersionInfoSize(const char* path) {
  return static_cast<uint32_t>(VersionBlob(path).size());
}

bool GetVersionInfo(const char* path, uint32_t size, void* data) {
  const std::vector<uint8_t> blob = VersionBlob(path);
  // A buffer smaller than the resource would hold a blob whose own lengths point past
  // its end; QueryVersionValue trusts those lengths, so a short buffer is refused.
  if (blob.empty() || data == nullptr || size < blob.size()) return false;
  memcpy(data, blob.data(), blob.size());
  return true;
}

bool QueryVersionValue(const void* data, const char* subBlock, const void** value,
                       uint32_t* length) {
  if (data == nullptr || value == nullptr || length == nullptr) return false;
  // The blob's first word is its length: GetVersionInfo copied at least that much.
  const uint8_t* blob = static_cast<const uint8_t*>(data);
  const uint8_t* found = nullptr;
  if (!QueryVersionBlob(blob, LoadLe16(blob), subBlock, &found, length)) return false;
  *value = found;
  return true;
}

}  // namespace platform
