// The maintenance trailer and the uninstall log: the file section up to its empty
// record, then key sections (key line, value names, empty record) until an empty record
// stands where a key line is expected.
#include "twk/reader/uninstall_log.h"

#include <strings.h>

#include "package/format.h"
#include "twk/reader/installer_reader.h"
#include "twk/reader/reader_error.h"
#include "twk/reader/volume_stream.h"

namespace {

bool HasRecognisedRoot(const std::string& keyLine) {
  for (const char* root : {kRootClasses, kRootCurrentUser, kRootLocalMachine}) {
    const size_t length = std::string(root).size();
    if (keyLine.size() >= 1 + length && strncasecmp(keyLine.c_str() + 1, root, length) == 0) {
      return true;
    }
  }
  return false;
}

void ReadFileSection(VolumeStream& stream, UninstallLog* log) {
  for (;;) {
    const std::string record =
        stream.ReadStringRecord("file record " + std::to_string(log->files.size() + 1));
    if (record.empty()) return;
    LoggedFile file;
    const size_t tab = record.find(kSharedFileMarker);
    file.path = record.substr(0, tab);
    file.shared = tab != std::string::npos;
    log->files.push_back(file);
  }
}

// A key whose value names are cut short stays in the list, so it can be shown.
void ReadRegistrySection(VolumeStream& stream, UninstallLog* log) {
  for (;;) {
    std::string line = stream.ReadStringRecord("the registry section");
    if (line.empty()) return;
    log->registry.emplace_back();
    LoggedRegistryItem& item = log->registry.back();
    item.line = std::move(line);
    item.isKey = item.line[0] == kRegistryKeyLinePrefix;
    if (!item.isKey) continue;
    item.rootRecognised = HasRecognisedRoot(item.line);
    for (;;) {
      std::string name = stream.ReadStringRecord("the value names of " + item.line);
      if (name.empty()) break;
      item.valueNames.push_back(std::move(name));
    }
  }
}

}  // namespace

UninstallLog ReadUninstallLog(const std::string& path) {
  VolumeStream stream(path, /*followVolumes=*/false);
  UninstallLog log;
  log.packageOffset = stream.location().packageOffset;
  log.volumeWord = stream.volumeLengthWord(0);
  log.mode = stream.ReadByte("the mode byte");
  CheckModeAgainstLengthWord(path, log.mode, log.volumeWord,
                             uint64_t{log.packageOffset} + kVolumeLengthWordSize);
  if (log.mode == kModeInstall) {
    throw ReadError(ReadFailure::kNotInstaller,
                    path + ": an installation file (mode 0), not a maintenance program; "
                           "'twk list' shows it");
  }
  try {
    log.title = stream.ReadStringRecord("the title");
    log.bottomText = stream.ReadStringRecord("the bottom text");
    log.productKey = stream.ReadStringRecord("the product key name");
    if (log.mode == kModeUninstall) {
      ReadFileSection(stream, &log);
      ReadRegistrySection(stream, &log);
    }
    log.complete = true;
    log.trailingBytes = stream.RemainingInVolume();
  } catch (const ReadError& error) {
    if (error.failure() != ReadFailure::kTruncated) throw;
    log.problem = error.what();
  }
  return log;
}
