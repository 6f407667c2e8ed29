// The package stream and its volumes.
#include "runtime/package_stream.h"

#include <stdlib.h>
#include <string.h>

#include "base/little_endian.h"
#include "base/pe_image.h"
#include "package/format.h"
#include "package/signed_volume.h"
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

// How much of `count` the open volume still holds before its package bytes end (a signed
// installation file's end before its signature).
uint32_t WithinVolumeEnd(uint32_t count) {
  if (g_setup.volumeEnd == 0) return count;
  const uint32_t left = g_setup.volumeEnd > g_setup.volumePosition
                            ? g_setup.volumeEnd - g_setup.volumePosition
                            : 0;
  return count < left ? count : left;
}

// One read from the open volume, repeated for as long as the user chooses Retry in the
// "Critical Error!" prompt. Returns the bytes got (fewer than `count` only at the end of
// the volume) or -1 after Cancel, which sets the cancel flag.
int32_t ReadExactly(uint8_t* buffer, uint32_t count) {
  count = WithinVolumeEnd(count);
  for (;;) {
    uint32_t got = 0;
    if (platform::ReadFromFile(g_setup.packageFile, buffer, count, &got)) {
      if (got > count) got = count;
      g_setup.volumePosition += got;
      return static_cast<int32_t>(got);
    }
    if (!AskRetryFailedRead()) {
      g_setup.cancelled = true;
      return -1;
    }
  }
}

uint32_t Buffered() { return g_setup.packageBufferEnd - g_setup.packageBufferAt; }

// Moves up to `count` buffered bytes to `buffer`; returns how many.
uint32_t TakeBuffered(uint8_t* buffer, uint32_t count) {
  const uint32_t taken = count < Buffered() ? count : Buffered();
  memcpy(buffer, g_setup.packageBuffer + g_setup.packageBufferAt, taken);
  g_setup.packageBufferAt += taken;
  return taken;
}

// One silent read of the rest of the buffer's room from the open volume, after the bytes
// still buffered. False when it failed: the volume is read exactly from then on.
bool FillBuffer() {
  if (g_setup.packageReadsExact || g_setup.packageVolumeEnded) return false;
  uint8_t* buffer = g_setup.packageBuffer;
  const uint32_t kept = Buffered();
  memmove(buffer, buffer + g_setup.packageBufferAt, kept);
  g_setup.packageBufferAt = 0;
  g_setup.packageBufferEnd = kept;
  const uint32_t room = WithinVolumeEnd(kPackageBufferSize - kept);
  uint32_t got = 0;
  if (room != 0 && !platform::ReadFromFile(g_setup.packageFile, buffer + kept, room, &got)) {
    g_setup.packageReadsExact = true;
    return false;
  }
  if (got > room) got = room;
  g_setup.volumePosition += got;
  if (got == 0) g_setup.packageVolumeEnded = true;
  g_setup.packageBufferEnd = kept + got;
  return got != 0;
}

// Reads from the open volume: the buffered bytes first, then pieces; exact reads where
// buffering is off or a piece could not be read. Returns the bytes got (fewer than
// `count` only at the end of the volume) or -1 after Cancel in the "Critical Error!"
// prompt, which sets the cancel flag.
int32_t ReadWithinVolume(uint8_t* buffer, uint32_t count) {
  if (g_setup.packageFile == nullptr) {
    g_setup.cancelled = true;
    return -1;
  }
  if (g_setup.packageBuffer == nullptr) return ReadExactly(buffer, count);
  uint32_t done = TakeBuffered(buffer, count);
  while (done < count) {
    if (FillBuffer()) {
      done += TakeBuffered(buffer + done, count - done);
      continue;
    }
    if (g_setup.packageVolumeEnded) break;
    const int32_t got = ReadExactly(buffer + done, count - done);
    if (got < 0) return -1;
    done += static_cast<uint32_t>(got);
    break;
  }
  return static_cast<int32_t>(done);
}

// A volume is read from its start, with nothing buffered.
void ForgetBuffered() {
  g_setup.packageBufferAt = 0;
  g_setup.packageBufferEnd = 0;
  g_setup.packageReadsExact = false;
  g_setup.packageVolumeEnded = false;
}

platform::File OpenUntilInserted(const char* path) {
  for (;;) {
    platform::File file = platform::OpenForReading(path);
    if (file != nullptr) return file;
    if (!AskForNextDisk(FileNamePart(path))) return nullptr;
  }
}

// Where the certificate table of the open file starts, read from its PE headers at its
// start; 0 when it has none.
uint32_t CertificateTableOfFile() {
  uint8_t head[kSignatureHeadSize];
  uint32_t got = 0;
  if (!platform::ReadFromFile(g_setup.packageFile, head, sizeof head, &got)) return 0;
  return CertificateTableOffset(head, got);
}

// Opens `path`, moves to `startOffset` and consumes the volume length word into *word,
// asking the user as long as the volume is missing or damaged. In the installation file
// (a start offset), the package bytes end where a signature begins.
bool OpenAndCheckVolume(const char* path, uint32_t startOffset, uint32_t* word) {
  for (;;) {
    ForgetBuffered();
    g_setup.packageFile = OpenUntilInserted(path);
    if (g_setup.packageFile == nullptr) return false;
    const uint32_t certificate = startOffset != 0 ? CertificateTableOfFile() : 0;
    g_setup.volumeEnd = 0;
    g_setup.volumePosition = startOffset;
    uint8_t lengthWord[kVolumeLengthWordSize];
    bool positioned = startOffset == 0 || platform::SeekFromStart(g_setup.packageFile, startOffset);
    // Read past the buffer: where the package bytes end is known only after this word.
    if (positioned && ReadExactly(lengthWord, sizeof lengthWord) == sizeof lengthWord) {
      *word = LoadLe32(lengthWord);
      g_setup.volumeEnd = SignedVolumeEnd(startOffset, *word, certificate);
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
  ForgetBuffered();
}

bool StartBufferedReading() {
  if (g_setup.packageBuffer != nullptr) return true;
  g_setup.packageBuffer = static_cast<uint8_t*>(malloc(kPackageBufferSize));
  ForgetBuffered();
  return g_setup.packageBuffer != nullptr;
}

bool PeekPackage(uint32_t count, const uint8_t** bytes) {
  if (g_setup.packageBuffer == nullptr || g_setup.packageFile == nullptr ||
      g_setup.listSection != nullptr || count > kPackageBufferSize) {
    return false;
  }
  while (Buffered() < count) {
    if (!FillBuffer()) return false;
  }
  *bytes = g_setup.packageBuffer + g_setup.packageBufferAt;
  return true;
}

void TakePeekedPackage(uint32_t count) { g_setup.packageBufferAt += count; }

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
