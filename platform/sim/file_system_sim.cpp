// The platform's folder, attribute, search and name operations on the current simulated
// machine.
#include "platform/file_system.h"

#include <string>

#include "platform/sim/machine/sim_machine.h"
#include "platform/sim/machine/windows_path.h"

namespace platform {
namespace {

sim::SimFileSystem& Files() { return sim::CurrentMachine().files; }

constexpr auto kFiles = &sim::SimMachine::files;

// A path answer: false, with an empty buffer, when there is none or it does not fit.
bool Answer(const std::string& text, char* out, uint32_t size) {
  if (text.empty()) {
    sim::CopyToBuffer("", out, size);
    return false;
  }
  return sim::CopyToBuffer(text, out, size);
}

}  // namespace

uint32_t GetAttributes(const char* path) { return path ? Files().Attributes(path) : kNoAttributes; }

bool SetAttributes(const char* path, uint32_t attributes) {
  return path && Files().SetAttributes(path, attributes);
}

bool IsLink(const char* path) { return path && Files().IsLink(path); }

bool CreateFolder(const char* path, FolderAccess access) {
  // Windows 9x has no security: the descriptor it is handed goes nowhere.
  if (!sim::CurrentMachine().system.ntFamily) access = FolderAccess::kInherited;
  return path && Files().MakeFolder(path, access);
}
bool RemoveFolder(const char* path) { return path && Files().RemoveFolder(path); }
bool DeleteFileAt(const char* path) { return path && Files().Delete(path); }
bool RenameFile(const char* from, const char* to) { return from && to && Files().Rename(from, to); }
bool CopyFileTo(const char* from, const char* to) { return from && to && Files().Copy(from, to); }

Search FindFirst(const char* pattern, FoundFile* found) {
  return pattern ? Files().FindFirst(pattern, found) : nullptr;
}

bool FindNext(Search search, FoundFile* found) {
  return sim::Checked(kFiles, [&](sim::SimFileSystem& files, std::string* error) {
    return files.FindNext(search, found, error);
  });
}

void FindEnd(Search search) {
  if (search == nullptr) return;
  sim::Checked(kFiles, [&](sim::SimFileSystem& files, std::string* error) {
    return files.FindEnd(search, error);
  });
}

bool GetFullPath(const char* path, char* out, uint32_t size) {
  if (path == nullptr) return false;
  return Answer(Files().FullPath(path), out, size);
}

bool GetShortPath(const char* path, char* out, uint32_t size) {
  if (path == nullptr) return false;
  return Answer(Files().ShortPath(path), out, size);
}

bool SetCurrentFolder(const char* path) { return path && Files().SetCurrent(path); }

bool GetDiskGeometry(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector,
                     uint32_t* freeClusters, uint32_t* totalClusters) {
  sim::SimDisk disk;
  if (!Files().Geometry(root ? root : Files().CurrentFolder().substr(0, 3), &disk)) return false;
  if (sectorsPerCluster) *sectorsPerCluster = disk.sectorsPerCluster;
  if (bytesPerSector) *bytesPerSector = disk.bytesPerSector;
  if (freeClusters) *freeClusters = disk.freeClusters;
  if (totalClusters) *totalClusters = disk.totalClusters;
  return true;
}

}  // namespace platform
