// The disks of the simulated Windows.
#include "platform/sim/sim_file_system.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/sim/windows_path.h"

namespace sim {

SimFileSystem::SimFileSystem(std::filesystem::path root) : root_(std::move(root)) {
  std::filesystem::create_directories(root_);
}

SimFileSystem::~SimFileSystem() {
  for (auto& entry : open_) fclose(entry.second.stream);
}

std::filesystem::path SimFileSystem::HostPath(const std::string& windowsPath) const {
  return ResolveOnHost(root_, windowsPath);
}

void SimFileSystem::PutFile(const std::string& windowsPath, const std::vector<uint8_t>& bytes) {
  std::filesystem::path host = HostPath(windowsPath);
  if (host.empty()) throw std::invalid_argument("not a drive path: " + windowsPath);
  std::filesystem::create_directories(host.parent_path());
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + host.string());
}

bool SimFileSystem::Exists(const std::string& windowsPath) const {
  std::filesystem::path host = HostPath(windowsPath);
  return !host.empty() && std::filesystem::exists(host);
}

std::vector<uint8_t> SimFileSystem::FileBytes(const std::string& windowsPath) const {
  std::ifstream in(HostPath(windowsPath), std::ios::binary);
  if (!in) throw std::runtime_error("no such file: " + windowsPath);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SimFileSystem::FailReadAt(const std::string& windowsPath, uint64_t offset, int times) {
  readFaults_.push_back({PathKey(windowsPath), offset, times});
}

void SimFileSystem::HideUntilAsked(const std::string& windowsPath, int times) {
  hidden_[PathKey(windowsPath)] = times;
}

bool SimFileSystem::WasAskedFor(const std::string& windowsPath) const {
  for (const std::string& asked : openAttempts_) {
    if (SamePath(asked, windowsPath)) return true;
  }
  return false;
}

platform::File SimFileSystem::Open(const std::string& windowsPath) {
  openAttempts_.push_back(windowsPath);
  auto hidden = hidden_.find(PathKey(windowsPath));
  if (hidden != hidden_.end() && hidden->second > 0) {
    --hidden->second;
    return nullptr;
  }
  std::filesystem::path host = HostPath(windowsPath);
  if (host.empty() || !std::filesystem::is_regular_file(host)) return nullptr;
  FILE* stream = fopen(host.c_str(), "rb");
  if (stream == nullptr) return nullptr;
  uintptr_t handle = nextHandle_++;
  open_[handle] = OpenFile{windowsPath, stream, 0};
  return reinterpret_cast<platform::File>(handle);
}

SimFileSystem::OpenFile* SimFileSystem::Find(platform::File file, const char* operation,
                                             std::string* error) {
  auto it = open_.find(reinterpret_cast<uintptr_t>(file));
  if (it != open_.end()) return &it->second;
  *error = std::string(operation) + " on a file handle that is not open";
  return nullptr;
}

bool SimFileSystem::Seek(platform::File file, uint64_t offset, std::string* error) {
  OpenFile* open = Find(file, "SeekFromStart", error);
  if (open == nullptr) return false;
  open->position = offset;
  return true;
}

bool SimFileSystem::ReadFails(const OpenFile& file, uint32_t count) {
  const std::string key = PathKey(file.windowsPath);
  for (ReadFault& fault : readFaults_) {
    bool covered = fault.key == key && fault.offset >= file.position &&
                   fault.offset < file.position + count;
    if (!covered || fault.remaining == 0) continue;
    if (fault.remaining > 0) --fault.remaining;
    return true;
  }
  return false;
}

bool SimFileSystem::Read(platform::File file, void* buffer, uint32_t count, uint32_t* got,
                         std::string* error) {
  *got = 0;
  OpenFile* open = Find(file, "ReadFromFile", error);
  if (open == nullptr || ReadFails(*open, count)) return false;
  if (fseeko(open->stream, static_cast<off_t>(open->position), SEEK_SET) != 0) return false;
  size_t read = fread(buffer, 1, count, open->stream);
  if (read < count && ferror(open->stream)) return false;
  *got = static_cast<uint32_t>(read);
  open->position += read;
  return true;
}

bool SimFileSystem::Close(platform::File file, std::string* error) {
  OpenFile* open = Find(file, "CloseFile", error);
  if (open == nullptr) return false;
  fclose(open->stream);
  open_.erase(reinterpret_cast<uintptr_t>(file));
  return true;
}

}  // namespace sim
