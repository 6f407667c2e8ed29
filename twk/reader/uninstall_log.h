// A maintenance program (UNINST.EXE or FINALIZE.EXE) read back: its trailer and, for
// the uninstaller, the uninstall log, record by record as the uninstaller takes them.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

struct LoggedFile {
  std::string path;  // cut at the first TAB
  bool shared = false;
};

// One item of the registry section, in log order.
struct LoggedRegistryItem {
  bool isKey = false;          // false: a record where a key line was expected that is
                               // none; the uninstaller passes it over
  bool rootRecognised = false;  // a key line with one of the three root names
  std::string line;            // the key line (':' and root included) or the stray record
  std::vector<std::string> valueNames;
};

struct UninstallLog {
  uint32_t packageOffset = 0;
  uint32_t volumeWord = 0;  // 0 in every maintenance program
  uint8_t mode = 0;
  std::string title;
  std::string bottomText;
  std::string productKey;
  std::vector<LoggedFile> files;
  std::vector<LoggedRegistryItem> registry;
  bool complete = false;       // the log's final empty record (or the finalizer's
                               // trailer) was read
  std::string problem;         // why it is not complete: where the file ends
  uint64_t trailingBytes = 0;  // bytes after what the program reads
};

// Reads the maintenance program at `path`. Throws ReadError (kUnreadable; kNotInstaller
// when there is no package or it is an installation file; kDamaged when the mode byte
// disagrees with the volume length word).
// A log that is cut short is returned with `complete` false and `problem` set.
UninstallLog ReadUninstallLog(const std::string& path);
