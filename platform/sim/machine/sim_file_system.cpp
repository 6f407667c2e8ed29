// The disks of the simulated Windows: resolving paths, test set-up, open files.
#include "platform/sim/machine/sim_file_system.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "host/host_file.h"
#include "platform/sim/machine/short_names.h"
#include "platform/sim/machine/windows_path.h"

namespace sim {
namespace {

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

void ApplyHostTime(const std::filesystem::path& host, platform::FileTime time) {
  host::SetModified(host.string(), (uint64_t{time.high} << 32) | time.low);
}

}  // namespace

platform::FileTime HostLastWriteTime(const std::filesystem::path& host) {
  const host::FileFacts facts = host::FactsOf(host.string(), true);
  return {static_cast<uint32_t>(facts.modified), static_cast<uint32_t>(facts.modified >> 32)};
}

uint32_t HostAttributes(const std::filesystem::path& host) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (host.empty()) return platform::kNoAttributes;
  const fs::file_status status = fs::symlink_status(host, error);
  if (error || !fs::exists(status)) return platform::kNoAttributes;
  if (fs::is_symlink(status)) {
    // What the link leads to decides only whether it is a folder's (a junction) or a
    // file's; a link that leads nowhere is still there.
    const bool folder = fs::is_directory(host, error);
    return platform::kAttributeReparsePoint | (folder ? platform::kAttributeDirectory : 0);
  }
  if (fs::is_directory(status)) return platform::kAttributeDirectory;
  return (status.permissions() & fs::perms::owner_write) != fs::perms::none
             ? platform::kAttributeNormal
             : platform::kAttributeReadOnly;
}

SimFileSystem::SimFileSystem(std::filesystem::path root) : root_(std::move(root)) {
  std::filesystem::create_directories(root_);
}

SimFileSystem::~SimFileSystem() {
  for (auto& entry : open_) fclose(entry.second.stream);
}

// ---- Paths ----

std::string SimFileSystem::KeyOfLong(const std::string& longPath) { return PathKey(longPath); }

std::map<std::string, std::string> SimFileSystem::ShortNamesIn(
    const std::filesystem::path& folder, const std::string& folderLong) const {
  std::vector<std::string> names;
  std::map<std::string, std::string> explicitNames;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    names.push_back(name);
    auto set = shortNames_.find(PathKey(Join(folderLong, name)));
    if (set != shortNames_.end()) explicitNames[name] = set->second;
  }
  return ShortNamesOfFolder(names, explicitNames);
}

// The entry of `folder` named `name` without regard to case, by long name first and by
// short alias second; `name` itself when there is none.
std::string SimFileSystem::MatchEntry(const std::filesystem::path& folder,
                                      const std::string& folderLong,
                                      const std::string& name) const {
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) return name;
  const std::string key = PathKey(name);
  for (const auto& entry : it) {
    std::string candidate = entry.path().filename().string();
    if (PathKey(candidate) == key) return candidate;
  }
  if (!IsShortName(name)) return name;
  for (const auto& alias : ShortNamesIn(folder, folderLong)) {
    if (PathKey(alias.second) == key) return alias.first;
  }
  return name;
}

bool SimFileSystem::ResolveBoth(const std::string& windowsPath, std::filesystem::path* host,
                                std::string* longPath) const {
  std::string drive;
  std::vector<std::string> parts;
  if (!SplitFullPath(FullWindowsPath(windowsPath, currentFolder_), &drive, &parts)) {
    return false;
  }
  drive = PathKey(drive);
  std::filesystem::path folder = root_ / MatchEntry(root_, "", drive.substr(0, 1));
  std::string spelt = drive + "\\";
  for (const std::string& part : parts) {
    const std::string found = MatchEntry(folder, spelt, part);
    folder /= found;
    spelt = Join(spelt, found);
  }
  *host = folder;
  *longPath = spelt;
  return true;
}

std::filesystem::path SimFileSystem::HostPath(const std::string& windowsPath) const {
  std::filesystem::path host;
  std::string longPath;
  return ResolveBoth(windowsPath, &host, &longPath) ? host : std::filesystem::path();
}

std::string SimFileSystem::LongPath(const std::string& windowsPath) const {
  std::filesystem::path host;
  std::string longPath;
  return ResolveBoth(windowsPath, &host, &longPath) ? longPath : std::string();
}

// ---- Test set-up and inspection ----

void SimFileSystem::PutFile(const std::string& windowsPath, const std::vector<uint8_t>& bytes) {
  std::filesystem::path host = HostPath(windowsPath);
  if (host.empty()) throw std::invalid_argument("not a drive path: " + windowsPath);
  std::filesystem::create_directories(host.parent_path());
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + host.string());
}

void SimFileSystem::PutFolder(const std::string& windowsPath) {
  std::filesystem::path host = HostPath(windowsPath);
  if (host.empty()) throw std::invalid_argument("not a drive path: " + windowsPath);
  std::filesystem::create_directories(host);
}

void SimFileSystem::MakeLink(const std::string& windowsPath, const std::string& windowsTarget) {
  std::filesystem::path host = HostPath(windowsPath);
  std::filesystem::path target = HostPath(windowsTarget);
  if (host.empty() || target.empty()) throw std::invalid_argument("not a drive path");
  std::filesystem::create_directories(host.parent_path());
  std::error_code error;
  std::filesystem::remove(host, error);
  std::filesystem::create_symlink(target, host);
}

void SimFileSystem::MakeHardLink(const std::string& windowsPath,
                                 const std::string& windowsExisting) {
  std::filesystem::path host = HostPath(windowsPath);
  if (host.empty()) throw std::invalid_argument("not a drive path: " + windowsPath);
  std::filesystem::create_directories(host.parent_path());
  std::error_code error;
  std::filesystem::remove(host, error);
  std::filesystem::create_hard_link(HostPath(windowsExisting), host);
}

bool SimFileSystem::Exists(const std::string& windowsPath) const {
  std::filesystem::path host = HostPath(windowsPath);
  std::error_code error;
  return !host.empty() && std::filesystem::exists(host, error);
}

bool SimFileSystem::IsFolder(const std::string& windowsPath) const {
  std::filesystem::path host = HostPath(windowsPath);
  std::error_code error;
  return !host.empty() && std::filesystem::is_directory(host, error);
}

std::vector<uint8_t> SimFileSystem::FileBytes(const std::string& windowsPath) const {
  std::ifstream in(HostPath(windowsPath), std::ios::binary);
  if (!in) throw std::runtime_error("no such file: " + windowsPath);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

platform::FileTime SimFileSystem::LastWriteTime(const std::string& windowsPath) const {
  const std::filesystem::path host = HostPath(windowsPath);
  if (host::FactsOf(host.string(), true).kind == host::FileKind::kMissing) {
    throw std::runtime_error("no such file: " + windowsPath);
  }
  return HostLastWriteTime(host);
}

void SimFileSystem::SetLastWriteTimeOf(const std::string& windowsPath, platform::FileTime time) {
  if (!Exists(windowsPath)) throw std::runtime_error("no such file: " + windowsPath);
  ApplyHostTime(HostPath(windowsPath), time);
}

void SimFileSystem::MarkInUse(const std::string& windowsPath, bool inUse) {
  if (inUse) {
    inUse_.insert(Key(windowsPath));
  } else {
    inUse_.erase(Key(windowsPath));
  }
}

bool SimFileSystem::IsInUse(const std::string& windowsPath) const {
  return inUse_.count(Key(windowsPath)) != 0;
}

void SimFileSystem::SetShortName(const std::string& windowsPath, const std::string& shortName) {
  shortNames_[Key(windowsPath)] = shortName;
}

SimDisk& SimFileSystem::Disk(char letter) {
  return disks_[PathKey(std::string(1, letter))[0]];
}

void SimFileSystem::FailReadAt(const std::string& windowsPath, uint64_t offset, int times) {
  readFaults_.push_back({Key(windowsPath), offset, times});
}

void SimFileSystem::HideUntilAsked(const std::string& windowsPath, int times) {
  hidden_[Key(windowsPath)] = times;
}

bool SimFileSystem::WasAskedFor(const std::string& windowsPath) const {
  for (const std::string& asked : openAttempts_) {
    if (SamePath(asked, windowsPath)) return true;
  }
  return false;
}

// ---- Open files ----

bool SimFileSystem::HeldOpen(const std::string& key) const {
  for (const auto& entry : open_) {
    if (entry.second.key == key) return true;
  }
  return false;
}

bool SimFileSystem::IsOpenForWritingHere(const std::string& windowsPath) const {
  const std::string key = Key(windowsPath);
  for (const auto& entry : open_) {
    if (entry.second.key == key && entry.second.writing) return true;
  }
  return false;
}

// The std::filesystem queries here take an error code: a path that the host cannot
// even look at (a name too long for it, a component that is a file) is one that Windows
// refuses too, never a reason to end the run.
bool SimFileSystem::ParentIsFolder(const std::filesystem::path& host) const {
  std::error_code error;
  return host.has_parent_path() && std::filesystem::is_directory(host.parent_path(), error);
}

platform::File SimFileSystem::Open(const std::string& windowsPath) {
  openAttempts_.push_back(windowsPath);
  const std::string key = Key(windowsPath);
  auto hidden = hidden_.find(key);
  if (hidden != hidden_.end() && hidden->second > 0) {
    --hidden->second;
    return nullptr;
  }
  std::filesystem::path host = HostPath(windowsPath);
  std::error_code error;
  if (host.empty() || !std::filesystem::is_regular_file(host, error)) return nullptr;
  // Readers share reading and writing, but a writer of this program shares nothing.
  for (const auto& entry : open_) {
    if (entry.second.key == key && entry.second.writing) return nullptr;
  }
  FILE* stream = host::OpenStream(host, "rb");
  if (stream == nullptr) return nullptr;
  uintptr_t handle = NewHandle();
  open_[handle] = OpenFile{windowsPath, key, host, stream, 0, false, false, {0, 0}};
  return reinterpret_cast<platform::File>(handle);
}

platform::File SimFileSystem::Create(const std::string& windowsPath, CreateMode mode,
                                     platform::CreateRefusal* refusal) {
  platform::CreateRefusal ignored;
  if (refusal == nullptr) refusal = &ignored;
  *refusal = platform::CreateRefusal::kCannotOpen;
  std::filesystem::path host = HostPath(windowsPath);
  const std::string key = Key(windowsPath);
  std::error_code error;
  if (host.empty() || !ParentIsFolder(host)) return nullptr;
  if (mode == CreateMode::kNew && HostAttributes(host) != platform::kNoAttributes) {
    return nullptr;
  }
  if (mode == CreateMode::kReplace && IsLink(windowsPath)) {
    *refusal = platform::CreateRefusal::kLink;
    return nullptr;
  }
  // CreateFile on a folder fails (access denied), as for a file it may not replace.
  if (std::filesystem::is_directory(host, error) || Blocked(key)) return nullptr;
  if (std::filesystem::exists(host, error) &&
      (Attributes(windowsPath) & platform::kAttributeReadOnly)) {
    return nullptr;
  }
  FILE* stream = host::OpenStream(host, "wb");
  if (stream == nullptr) return nullptr;
  *refusal = platform::CreateRefusal::kNone;
  uintptr_t handle = NewHandle();
  open_[handle] = OpenFile{windowsPath, key, host, stream, 0, true, false, {0, 0}};
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
  for (ReadFault& fault : readFaults_) {
    bool covered = fault.key == file.key && fault.offset >= file.position &&
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
  if (open == nullptr) return false;
  if (open->writing) {
    *error = "ReadFromFile on a file opened for writing only: " + open->windowsPath;
    return false;
  }
  if (ReadFails(*open, count)) return false;
  if (fseeko(open->stream, static_cast<off_t>(open->position), SEEK_SET) != 0) return false;
  size_t read = fread(buffer, 1, count, open->stream);
  if (read < count && ferror(open->stream)) return false;
  *got = static_cast<uint32_t>(read);
  open->position += read;
  return true;
}

bool SimFileSystem::Write(platform::File file, const void* buffer, uint32_t count,
                          uint32_t* written, std::string* error) {
  *written = 0;
  OpenFile* open = Find(file, "WriteToFile", error);
  if (open == nullptr) return false;
  if (!open->writing) {
    *error = "WriteToFile on a file opened for reading only: " + open->windowsPath;
    return false;
  }
  SimDisk& disk = Disk(LongPath(open->windowsPath)[0]);
  uint32_t fits = count;
  if (disk.bytesUntilFull >= 0 && disk.bytesUntilFull < static_cast<int64_t>(count)) {
    fits = static_cast<uint32_t>(disk.bytesUntilFull);
  }
  if (fseeko(open->stream, static_cast<off_t>(open->position), SEEK_SET) != 0) return false;
  size_t put = fits == 0 ? 0 : fwrite(buffer, 1, fits, open->stream);
  if (put < fits) return false;
  if (disk.bytesUntilFull >= 0) disk.bytesUntilFull -= static_cast<int64_t>(put);
  *written = static_cast<uint32_t>(put);
  open->position += put;
  return true;
}

bool SimFileSystem::SetTime(platform::File file, platform::FileTime time, std::string* error) {
  OpenFile* open = Find(file, "SetLastWriteTime", error);
  if (open == nullptr) return false;
  if (!open->writing) {
    *error = "SetLastWriteTime on a file opened without write access: " + open->windowsPath;
    return false;
  }
  // Windows keeps a time set through a handle even when more is written through it;
  // the host would move it at every write, so it is applied again when the file closes.
  fflush(open->stream);
  ApplyHostTime(open->host, time);
  open->timeSet = true;
  open->time = time;
  return true;
}

bool SimFileSystem::Close(platform::File file, std::string* error) {
  OpenFile* open = Find(file, "CloseFile", error);
  if (open == nullptr) return false;
  fclose(open->stream);
  if (open->timeSet) ApplyHostTime(open->host, open->time);
  open_.erase(reinterpret_cast<uintptr_t>(file));
  return true;
}

}  // namespace sim
