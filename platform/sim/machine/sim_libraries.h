// Self-registering libraries of the simulated Windows: any PE file loads; what calling
// one of its entry points returns is set by the test, per file and entry point, and every
// load and call is recorded in order.
#pragma once

#include <stdint.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/library.h"

namespace sim {

class SimFileSystem;

struct LibraryLoad {
  std::string path;        // as it was asked for
  uint32_t importFolders;  // platform::kImportsFrom... bits
};

struct EntryPointCall {
  std::string path;        // the library's path as it was loaded
  std::string entryPoint;  // "DllRegisterServer", ...
};

class SimLibraries {
 public:
  // Outcomes are keyed by the full path, compared without regard to case. By default
  // every entry point is exported and returns 0.
  // Calling `entryPoint` of the library at `path` returns `result`.
  void SetResult(const std::string& path, const std::string& entryPoint, int32_t result);
  // The library at `path` does not export `entryPoint`.
  void SetMissing(const std::string& path, const std::string& entryPoint);
  // Loading the library at `path` fails though it is a PE file (a missing dependency).
  void FailLoad(const std::string& path);

  const std::vector<LibraryLoad>& Loads() const { return loads_; }
  const std::vector<EntryPointCall>& Calls() const { return calls_; }
  size_t LoadedCount() const { return loaded_.size(); }

  // The platform operations; a handle that is not loaded is reported through `error`.
  platform::Library Load(SimFileSystem& files, const std::string& path, uint32_t importFolders);
  bool Call(platform::Library library, const std::string& entryPoint, int32_t* result,
            std::string* error);
  bool Free(platform::Library library, std::string* error);

 private:
  struct Outcome {
    bool present;
    int32_t result;
  };
  struct Loaded {
    std::string path;
    std::string key;  // PathKey of the long path
  };

  std::map<std::string, std::map<std::string, Outcome>> outcomes_;  // key, entry point
  std::set<std::string> failing_;                                   // keys
  std::map<uintptr_t, Loaded> loaded_;
  uintptr_t nextHandle_ = 0x10000;
  std::vector<LibraryLoad> loads_;
  std::vector<EntryPointCall> calls_;
};

}  // namespace sim
