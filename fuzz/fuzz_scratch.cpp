// The scratch folder of the file-based targets.
#include "fuzz/fuzz_scratch.h"

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path g_scratch;

// Every input makes and removes a small tree of files. On a disk that is a few
// milliseconds per input, in /dev/shm (memory) a few microseconds; TMPDIR, when set, wins.
fs::path ScratchParent() {
  std::error_code error;
  if (getenv("TMPDIR") == nullptr && fs::is_directory("/dev/shm", error) &&
      access("/dev/shm", W_OK) == 0) {
    return "/dev/shm";
  }
  return fs::temp_directory_path();
}

void RemoveScratch() {
  std::error_code error;
  fs::remove_all(g_scratch, error);
}

}  // namespace

const fs::path& ScratchFolder() {
  if (g_scratch.empty()) {
    std::string pattern = (ScratchParent() / "twk-fuzz.XXXXXX").string();
    if (mkdtemp(&pattern[0]) == nullptr) abort();  // nothing could be tested
    g_scratch = pattern;
    atexit(RemoveScratch);
  }
  return g_scratch;
}

fs::path FreshScratchFolder(const char* name) {
  const fs::path folder = ScratchFolder() / name;
  std::error_code error;
  fs::remove_all(folder, error);
  fs::create_directories(folder, error);
  return folder;
}

bool WriteScratchFile(const fs::path& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return static_cast<bool>(out.flush());
}

int OpenDescriptorCount() {
  std::error_code error;
  int count = 0;
  for (fs::directory_iterator it("/proc/self/fd", error), end; !error && it != end;
       it.increment(error)) {
    ++count;
  }
  return error ? -1 : count;
}
