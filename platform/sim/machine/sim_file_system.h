// The disks of the simulated Windows: a sandbox folder on the host in which each drive
// letter is a subfolder (C:\x\y is ROOT/C/x/y), the files that the simulated program
// has open and its searches, and the faults a test plants in them.
//
// Where the state of a file lives: its bytes, its last-write time (the host's
// modification time, to the nanosecond) and its read-only attribute (the owner's write
// permission bit) are kept by the host, so they outlive the process; files held in use,
// short names set by a test, the disk geometry and the faults live in this object.
//
// Links are the host's: a symbolic link stands for a Windows symbolic link, junction or
// mount point (a reparse point), a second name of a file for a hard link. Windows
// follows a link in the middle of a path, and so does the host; only an operation that
// says so looks at a link in the last place instead of following it.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/handles.h"

namespace sim {

// What GetDiskFreeSpace reports for one drive, and the disk-full fault.
struct SimDisk {
  uint32_t sectorsPerCluster = 8;
  uint32_t bytesPerSector = 512;
  uint32_t freeClusters = 0x00100000;   // 4 GiB free at 4 KiB per cluster
  uint32_t totalClusters = 0x00200000;
  int64_t bytesUntilFull = -1;          // writes that still fit; -1 = never full
};

class SimFileSystem {
 public:
  static constexpr int kAlways = -1;

  explicit SimFileSystem(std::filesystem::path root);
  ~SimFileSystem();
  SimFileSystem(const SimFileSystem&) = delete;
  SimFileSystem& operator=(const SimFileSystem&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  // The host path of a Windows path (full, or relative to the current folder). Each
  // component is matched against the listing without regard to case, by its long name
  // or its short alias, and keeps the spelling found on the host; components that do
  // not exist keep the spelling given. Empty for a path that is not on a drive.
  std::filesystem::path HostPath(const std::string& windowsPath) const;
  // The same path as Windows spells it with the names found on disk ("C:\Program
  // Files\App"), the drive letter upper-cased: the identity of a file whatever alias,
  // case or relative form named it. Empty when HostPath is.
  std::string LongPath(const std::string& windowsPath) const;

  // Test set-up and inspection, on the host side of the sandbox.
  void PutFile(const std::string& windowsPath, const std::vector<uint8_t>& bytes);
  void PutFolder(const std::string& windowsPath);
  // A reparse point at `windowsPath` that leads to `windowsTarget` (a junction when that
  // is a folder, a symbolic link otherwise; it need not exist), as another program could
  // leave one in a folder it may write, in place of a file or empty folder there.
  void MakeLink(const std::string& windowsPath, const std::string& windowsTarget);
  // A second name, `windowsPath`, for the existing file `windowsExisting`, in place of a
  // file there.
  void MakeHardLink(const std::string& windowsPath, const std::string& windowsExisting);
  // The security descriptor a folder was made with by the program: "" for the default.
  std::string FolderSecurity(const std::string& windowsPath) const;
  bool Exists(const std::string& windowsPath) const;
  bool IsFolder(const std::string& windowsPath) const;
  std::vector<uint8_t> FileBytes(const std::string& windowsPath) const;
  platform::FileTime LastWriteTime(const std::string& windowsPath) const;
  void SetLastWriteTimeOf(const std::string& windowsPath, platform::FileTime time);

  // A file held open by another program: reading it works; creating it for writing,
  // deleting it, renaming onto it or copying onto it fail. A restart releases it.
  void MarkInUse(const std::string& windowsPath, bool inUse = true);
  bool IsInUse(const std::string& windowsPath) const;
  // Open for writing in the program under test: a handle it has not closed yet.
  bool IsOpenForWritingHere(const std::string& windowsPath) const;
  void ReleaseAllInUse() { inUse_.clear(); }
  const std::set<std::string>& InUse() const { return inUse_; }  // by PathKey(LongPath)
  // Gives the entry at `windowsPath` the short alias `shortName` (an 8.3 name).
  void SetShortName(const std::string& windowsPath, const std::string& shortName);
  const std::map<std::string, std::string>& ExplicitShortNames() const { return shortNames_; }

  // Drives: `letter` is upper- or lower-case.
  SimDisk& Disk(char letter);
  // The disk of `letter` is full after `bytes` more bytes are written.
  void FillDiskAfter(char letter, int64_t bytes) { Disk(letter).bytesUntilFull = bytes; }

  // Faults. The read that covers byte `offset` of the file fails, `times` times (or
  // always); a failed read leaves the file position where it was.
  void FailReadAt(const std::string& windowsPath, uint64_t offset, int times = kAlways);
  // The file cannot be opened the first `times` times it is asked for (a disk that is
  // inserted only after that many prompts), though it exists in the sandbox.
  void HideUntilAsked(const std::string& windowsPath, int times);

  // Every path the program tried to open for reading, in order and spelt as asked.
  const std::vector<std::string>& OpenAttempts() const { return openAttempts_; }
  bool WasAskedFor(const std::string& windowsPath) const;
  size_t OpenFileCount() const { return open_.size(); }
  size_t OpenSearchCount() const { return searches_.size(); }

  const std::string& CurrentFolder() const { return currentFolder_; }

  // The platform operations. A handle that is not open is a fault of the program: it is
  // reported through `error` and the operation fails. Failures that Windows would
  // report (a missing file, a sharing violation...) only fail.
  platform::File Open(const std::string& windowsPath);
  // How Create treats what stands under the name.
  enum class CreateMode {
    kReplace,  // truncated or made; a link in the last place refused (kLink)
    kNew,      // made; anything there, a link included, refused
    kFollow,   // truncated or made through a link, as the shell saves a link file
  };
  platform::File Create(const std::string& windowsPath, CreateMode mode = CreateMode::kReplace,
                        platform::CreateRefusal* refusal = nullptr);
  bool Seek(platform::File file, uint64_t offset, std::string* error);
  bool Read(platform::File file, void* buffer, uint32_t count, uint32_t* got,
            std::string* error);
  bool Write(platform::File file, const void* buffer, uint32_t count, uint32_t* written,
             std::string* error);
  bool SetTime(platform::File file, platform::FileTime time, std::string* error);
  bool Close(platform::File file, std::string* error);

  uint32_t Attributes(const std::string& windowsPath) const;
  // A reparse point, or a file with more than one name (platform::IsLink).
  bool IsLink(const std::string& windowsPath) const;
  bool SetAttributes(const std::string& windowsPath, uint32_t attributes);
  bool MakeFolder(const std::string& windowsPath,
                  platform::FolderAccess access = platform::FolderAccess::kInherited);
  bool RemoveFolder(const std::string& windowsPath);
  bool Delete(const std::string& windowsPath);
  bool Rename(const std::string& from, const std::string& to);
  bool Copy(const std::string& from, const std::string& to);

  platform::Search FindFirst(const std::string& pattern, platform::FoundFile* found);
  bool FindNext(platform::Search search, platform::FoundFile* found, std::string* error);
  bool FindEnd(platform::Search search, std::string* error);

  // GetFullPathName: "" on failure.
  std::string FullPath(const std::string& windowsPath) const;
  // GetShortPathName of an existing path: "" when it does not exist.
  std::string ShortPath(const std::string& windowsPath) const;
  bool SetCurrent(const std::string& windowsPath);
  bool Geometry(const std::string& root, SimDisk* disk);

 private:
  struct OpenFile {
    std::string windowsPath;
    std::string key;  // PathKey(LongPath)
    std::filesystem::path host;
    FILE* stream;
    uint64_t position;
    bool writing;
    bool timeSet;
    platform::FileTime time;
  };
  struct ReadFault {
    std::string key;
    uint64_t offset;
    int remaining;
  };
  struct SearchState {
    std::vector<platform::FoundFile> matches;
    size_t next;
  };

  std::string Key(const std::string& windowsPath) const { return KeyOfLong(LongPath(windowsPath)); }
  static std::string KeyOfLong(const std::string& longPath);
  std::string MatchEntry(const std::filesystem::path& folder, const std::string& folderLong,
                         const std::string& name) const;
  std::map<std::string, std::string> ShortNamesIn(const std::filesystem::path& folder,
                                                  const std::string& folderLong) const;
  bool ResolveBoth(const std::string& windowsPath, std::filesystem::path* host,
                   std::string* longPath) const;
  OpenFile* Find(platform::File file, const char* operation, std::string* error);
  bool ReadFails(const OpenFile& file, uint32_t count);
  bool HeldOpen(const std::string& key) const;
  bool Blocked(const std::string& key) const { return inUse_.count(key) || HeldOpen(key); }
  bool ParentIsFolder(const std::filesystem::path& host) const;
  void MoveKeyedState(const std::string& fromKey, const std::string& toKey);
  uintptr_t NewHandle() { return nextHandle_++; }

  std::filesystem::path root_;
  std::string currentFolder_ = "C:\\";
  std::map<uintptr_t, OpenFile> open_;
  std::map<uintptr_t, SearchState> searches_;
  uintptr_t nextHandle_ = 0x100;
  std::vector<ReadFault> readFaults_;
  std::map<std::string, int> hidden_;  // by PathKey: opens that still fail
  std::vector<std::string> openAttempts_;
  std::set<std::string> inUse_;                    // by PathKey(LongPath)
  std::map<std::string, std::string> shortNames_;  // by PathKey(LongPath): alias
  std::map<std::string, std::string> folderSecurity_;  // by PathKey(LongPath): SDDL
  std::map<char, SimDisk> disks_;                  // by upper-case letter
};

// The modification time of a file of the host as a FILETIME; {0, 0} when there is none.
platform::FileTime HostLastWriteTime(const std::filesystem::path& host);

// The attributes the simulated Windows gives the entry of the host at `host` itself (a
// link is not followed): a link is a reparse point (a folder's when it leads to one), a
// file is read-only when its owner may not write it; platform::kNoAttributes when
// nothing stands there.
uint32_t HostAttributes(const std::filesystem::path& host);

}  // namespace sim
