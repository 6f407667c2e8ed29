// Writing UNINST.EXE and FINALIZE.EXE: the stub copied from the running program, then
// the maintenance trailer; and the Add/Remove Programs entry that names UNINST.EXE.
#include "installer/maintenance_program.h"

#include <stdlib.h>
#include <string.h>

#include "base/format_text.h"
#include "engine/folder_creation.h"
#include "engine/path_macros.h"
#include "package/format.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "runtime/package_stream.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"

namespace {

constexpr uint8_t kUninstallMode = 1;
constexpr uint8_t kFinalizeMode = 2;
constexpr uint32_t kCopyChunk = 0x7FFF;
constexpr uint32_t kModulePathSize = 260;

// A maintenance program on its way: the file, the image checksum of what it holds so far
// and where its checksum field is (0: the stub copy has none).
struct ProgramFile {
  platform::File file;
  ImageChecksum checksum;
  uint32_t checksumAt;
};

// Copies the first `count` bytes of `from` to `to`. False when a read fails or ends
// early (a read that delivers nothing would otherwise never finish the copy) or when
// the disk is full.
bool CopyBytes(platform::File from, ProgramFile* to, uint32_t count) {
  uint8_t* buffer = static_cast<uint8_t*>(malloc(kCopyChunk));
  if (buffer == nullptr) return false;
  bool copied = true;
  bool first = true;
  while (count > 0 && copied) {
    const uint32_t wanted = count < kCopyChunk ? count : kCopyChunk;
    uint32_t got = 0;
    copied = platform::ReadFromFile(from, buffer, wanted, &got) && got > 0;
    // A signed installer's header names its certificate table, which lies past the
    // package and so past the end of any copy, and a checksum of the whole installer:
    // signature checkers take both for a damaged signature. The copy gets neither.
    if (copied && first) to->checksumAt = ClearSignatureFields(buffer, got);
    first = false;
    copied = copied && WriteBytesTo(to->file, buffer, got, &to->checksum) ==
                           static_cast<int32_t>(got);
    count -= got;
  }
  free(buffer);
  return copied;
}

// The stub: the running program's bytes up to the package offset, which carry the
// marker and the offset word, so that the copy finds its trailer where the package was.
bool CopyStub(ProgramFile* to) {
  const uint32_t stubLength = PackageOffset();
  char modulePath[kModulePathSize];
  if (stubLength == 0 || !platform::GetModulePath(modulePath, sizeof(modulePath))) {
    return false;
  }
  platform::File from = platform::OpenForReading(modulePath);
  if (from == nullptr) return false;
  const bool copied = CopyBytes(from, to, stubLength);
  platform::CloseFile(from);
  return copied;
}

// The zero volume length word, the mode byte and the three texts of the setup state.
bool WriteTrailer(ProgramFile* to, uint8_t mode) {
  uint8_t fixed[kVolumeLengthWordSize + 1] = {0, 0, 0, 0, mode};
  return WriteBytesTo(to->file, fixed, sizeof(fixed), &to->checksum) ==
             static_cast<int32_t>(sizeof(fixed)) &&
         WriteStringRecordTo(to->file, TextOrEmpty(g_setup.title), &to->checksum) > 0 &&
         WriteStringRecordTo(to->file, TextOrEmpty(g_setup.bottomText), &to->checksum) > 0 &&
         WriteStringRecordTo(to->file, TextOrEmpty(g_setup.productKeyName), &to->checksum) > 0;
}

bool SetText(platform::Key key, const char* name, const char* text) {
  return platform::SetValue(key, name, platform::kRegText, text,
                            static_cast<uint32_t>(strlen(text) + 1));
}

// A maintenance program that could not be written is reported like a folder that could
// not be made: once per run, and the installation then ends as failed.
void ReportFailure(const char* path) {
  if (!g_setup.succeeded) return;
  char text[kPathBufferSize + 64];
  FormatText(text, sizeof(text), "Could not write the file %s.", path);
  TellUser(nullptr, text, "Error!", platform::kMbOk | platform::kMbIconError);
  g_setup.succeeded = false;
}

}  // namespace

bool WriteUninstallEntry(const char* uninstallerPath) {
  const char* product = TextOrEmpty(g_setup.productKeyName);
  char keyPath[sizeof(kUninstallEntryKey) + kMaxStringRecord];
  const int length = FormatText(keyPath, sizeof(keyPath), "%s%s", kUninstallEntryKey, product);
  if (product[0] == '\0' || length < 0 || static_cast<size_t>(length) >= sizeof(keyPath)) {
    return false;
  }
  // Both are command lines, run as they stand by Add/Remove Programs and by deployment
  // tools: unquoted, a path with a blank ("C:\Apps\My Product\UNINST.EXE") would start
  // a C:\Apps\My.exe that anyone could have put there, as administrator.
  char command[kPathBufferSize + 2];
  FormatText(command, sizeof(command), "\"%s\"", uninstallerPath);
  char quiet[kPathBufferSize + 8];
  FormatText(quiet, sizeof(quiet), "%s /S", command);
  platform::Key key = platform::CreateKey(platform::kRootLocalMachine, keyPath);
  if (key == nullptr) return false;
  const bool written = SetText(key, "DisplayName", product) &&
                       SetText(key, "UninstallString", command) &&
                       SetText(key, "QuietUninstallString", quiet);
  platform::CloseKey(key);
  return written;
}

bool WriteMaintenanceProgram(const char* path, bool isUninstaller) {
  if (isUninstaller) g_setup.uninstallLog = nullptr;
  if (!EnsureFolders(nullptr, path)) return false;
  ProgramFile program = {platform::CreateForWriting(path), ImageChecksum(), 0};
  if (program.file == nullptr) {
    ReportFailure(path);
    return false;
  }
  if (!CopyStub(&program) ||
      !WriteTrailer(&program, isUninstaller ? kUninstallMode : kFinalizeMode)) {
    // An unfinished copy of the stub would start as something other than a maintenance
    // program, or not at all: it must not stay.
    platform::CloseFile(program.file);
    platform::DeleteFileAt(path);
    ReportFailure(path);
    return false;
  }
  if (!isUninstaller) {
    CloseMaintenanceFile(program.file, program.checksum, program.checksumAt);
    return true;
  }
  g_setup.uninstallLog = program.file;
  g_setup.uninstallLogChecksum = program.checksum;
  g_setup.uninstallLogChecksumAt = program.checksumAt;
  // Written only once UNINST.EXE is whole, so the entry never names a missing program.
  WriteUninstallEntry(path);
  return true;
}
