// The package stream and its volumes.
#include "runtime/package_stream.h"

#include <string.h>

#include "base/little_endian.h"
#include "package/format.h"
#include "platform/file_io.h"
#include "platform/process.h"
#include "runtime/directory_check.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"
#include "runtime/stream_prompts.h"
#include "runtime/volume_name.h"

namespace {

constexpr uint32_t kModulePathSize = 256;
// A volume path may be longer than the module path: ".%03d" can be appended to a path
// without a '.', and volume numbers above 999 take more digits.
constexpr uint32_t kVolumePathSize = kModulePathSize + 12;

const char kEmptyString[] = "";

// One read from the open volume, repeated for as long as the user chooses Retry in the
// "Critical Error!" prompt. Returns the bytes got (fewer than `count` only at the end of
// the volume) or -1 after Cancel, which sets the cancel flag.
int32_t ReadWithinVolume(uint8_t* buffer, uint32_t count) {
  if (g_setup.packageFile == nullptr) {
    g_setup.cancelled = true;
    return -1;
  }
  for (;;) {
    uint32_t got = 0;
    if (platform::ReadFromFile(g_setup.packageFile, buffer, count, &got)) {
      return static_cast<int32_t>(got < count ? got : count);
    }
    if (!AskRetryFailedRead()) {
      g_setup.cancelled = true;
      return -1;
    }
  }
}

platform::File OpenUntilInserted(const char* path) {
  for (;;) {
    platform::File file = platform::OpenForReading(path);
    if (file != nullptr) return file;
    if (!AskForNextDisk(FileNamePart(path))) return nullptr;
  }
}

// Opens `path`, moves to `startOffset` and consumes the volume length word into *word,
// asking the user as long as the volume is missing or damaged.
bool OpenAndCheckVolume(const char* path, uint32_t startOffset, uint32_t* word) {
  for (;;) {
    g_setup.packageFile = OpenUntilInserted(path);
    if (g_setup.packageFile == nullptr) return false;
    uint8_t lengthWord[kVolumeLengthWordSize];
    bool positioned = startOffset == 0 || platform::SeekFromStart(g_setup.packageFile, startOffset);
    if (positioned && ReadWithinVolume(lengthWord, sizeof lengthWord) == sizeof lengthWord) {
      *word = LoadLe32(lengthWord);
      return true;
    }
    bool retry = AskRetryDamagedVolume(FileNamePart(path));
    CloseVolume();
    if (!retry) return false;
  }
}

// A maintenance program is a single file with no volumes after it: reaching its end
// before a read is done means the file was cut short. That is reported once, and the read
// fails as one the user gave up on (cancel flag set), so that every reader stops; the
// corrupt flag tells why.
int32_t EndOfMaintenanceProgram() {
  ReportDamagedProgram();
  return -1;
}

}  // namespace

void ReportDamagedProgram() {
  if (!g_setup.corrupt) {
    char modulePath[kModulePathSize];
    const bool named = platform::GetModulePath(modulePath, sizeof modulePath);
    ReportDamagedFile(named ? FileNamePart(modulePath) : "");
  }
  g_setup.corrupt = true;
  g_setup.cancelled = true;
}

bool OpenVolume() {
  char modulePath[kModulePathSize];
  if (!platform::GetModulePath(modulePath, sizeof modulePath)) return false;
  char path[kVolumePathSize];
  uint32_t startOffset = 0;
  if (g_setup.volumeCounter == 0) {
    startOffset = PackageOffset();
    if (startOffset == 0) return false;
    memcpy(path, modulePath, sizeof modulePath);
  } else {
    CloseVolume();
    if (!BuildVolumePath(modulePath, g_setup.volumeCounter, path, sizeof path)) return false;
  }
  g_setup.volumeStartOffset = startOffset;
  uint32_t lengthWord = 0;
  if (!OpenAndCheckVolume(path, startOffset, &lengthWord)) return false;
  if (g_setup.volumeCounter == 0) g_setup.firstVolumeLengthWord = lengthWord;
  ++g_setup.volumeCounter;
  return true;
}

void CloseVolume() {
  platform::CloseFile(g_setup.packageFile);
  g_setup.packageFile = nullptr;
}

int32_t ReadPackage(void* buffer, uint32_t count) {
  if (g_setup.listSection != nullptr) return ReadFromListSection(buffer, count);
  uint8_t* bytes = static_cast<uint8_t*>(buffer);
  uint32_t done = 0;
  for (;;) {
    int32_t got = ReadWithinVolume(bytes + done, count - done);
    if (got < 0) return -1;
    done += static_cast<uint32_t>(got);
    if (done >= count) return static_cast<int32_t>(count);
    // The volume has ended before the request: the rest comes from the next one.
    if (g_setup.mode != kModeInstall) return EndOfMaintenanceProgram();
    if (!OpenVolume()) platform::ExitProcessNow(FailureExitCode());
  }
}

const char* ReadStringRecord() {
  uint8_t length = 0;
  g_setup.stringRecordLength = 0;
  if (ReadPackage(&length, 1) < 0) return kEmptyString;
  if (length != 0 && ReadPackage(g_setup.stringRecord, length) < 0) return kEmptyString;
  g_setup.stringRecord[length] = '\0';
  g_setup.stringRecordLength = length;
  return g_setup.stringRecord;
}
