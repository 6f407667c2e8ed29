// The disks of the simulated Windows: a sandbox folder on the host in which each drive
// letter is a subfolder (C:\x\y is ROOT/C/x/y), the files that the simulated program
// has open, and the faults a test plants in them.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace sim {

class SimFileSystem {
 public:
  static constexpr int kAlways = -1;

  explicit SimFileSystem(std::filesystem::path root);
  ~SimFileSystem();
  SimFileSystem(const SimFileSystem&) = delete;
  SimFileSystem& operator=(const SimFileSystem&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  std::filesystem::path HostPath(const std::string& windowsPath) const;

  // Test set-up and inspection, on the host side of the sandbox.
  void PutFile(const std::string& windowsPath, const std::vector<uint8_t>& bytes);
  bool Exists(const std::string& windowsPath) const;
  std::vector<uint8_t> FileBytes(const std::string& windowsPath) const;

  // Faults. The read that covers byte `offset` of the file fails, `times` times (or
  // always); a failed read leaves the file position where it was.
  void FailReadAt(const std::string& windowsPath, uint64_t offset, int times = kAlways);
  // The file cannot be opened the first `times` times it is asked for (a disk that is
  // inserted only after that many prompts), though it exists in the sandbox.
  void HideUntilAsked(const std::string& windowsPath, int times);

  // Every path the program tried to open, in order and spelt as asked.
  const std::vector<std::string>& OpenAttempts() const { return openAttempts_; }
  bool WasAskedFor(const std::string& windowsPath) const;
  size_t OpenFileCount() const { return open_.size(); }

  // The platform operations. A handle that is not open is a fault of the program: it is
  // reported through `error` and the operation fails.
  platform::File Open(const std::string& windowsPath);
  bool Seek(platform::File file, uint64_t offset, std::string* error);
  bool Read(platform::File file, void* buffer, uint32_t count, uint32_t* got,
            std::string* error);
  bool Close(platform::File file, std::string* error);

 private:
  struct OpenFile {
    std::string windowsPath;
    FILE* stream;
    uint64_t position;
  };
  struct ReadFault {
    std::string key;
    uint64_t offset;
    int remaining;
  };

  OpenFile* Find(platform::File file, const char* operation, std::string* error);
  bool ReadFails(const OpenFile& file, uint32_t count);

  std::filesystem::path root_;
  std::map<uintptr_t, OpenFile> open_;
  uintptr_t nextHandle_ = 0x100;
  std::vector<ReadFault> readFaults_;
  std::map<std::string, int> hidden_;  // by PathKey: opens that still fail
  std::vector<std::string> openAttempts_;
};

}  // namespace sim
