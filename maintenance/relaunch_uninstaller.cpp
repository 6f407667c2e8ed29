// The uninstaller's relaunch, carried out.
#include "maintenance/relaunch_uninstaller.h"

#include <stdlib.h>
#include <string.h>

#include "engine/next_boot.h"
#include "maintenance/relaunch.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/private_files.h"
#include "platform/process.h"
#include "platform/random.h"
#include "platform/system.h"
#include "runtime/setup_state.h"

namespace {

// A name that is taken (another program may have made one to stall the uninstaller) is
// passed over for another; this many say that something keeps taking them.
constexpr int kFolderAttempts = 4;
constexpr uint32_t kCompareChunk = 4096;

bool MakeRelaunchFolder(const char* tempFolder, char* folder, uint32_t size) {
  for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
    if (!ComposeRelaunchFolder(tempFolder, platform::RandomNumber(), folder, size)) return false;
    if (platform::CreatePrivateFolder(folder)) return true;
  }
  return false;
}

bool SameBytes(const uint8_t* a, const uint8_t* b, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// Whether `copy` holds exactly the bytes of the file at `modulePath`: the running
// program, which nobody can change while it runs.
bool HoldsTheProgram(platform::File copy, const char* modulePath) {
  platform::File program = platform::OpenForReading(modulePath);
  uint8_t* buffers = static_cast<uint8_t*>(malloc(2 * kCompareChunk));
  bool same = program != nullptr && buffers != nullptr;
  while (same) {
    uint32_t fromProgram = 0;
    uint32_t fromCopy = 0;
    same = platform::ReadFromFile(program, buffers, kCompareChunk, &fromProgram) &&
           platform::ReadFromFile(copy, buffers + kCompareChunk, kCompareChunk, &fromCopy) &&
           fromProgram == fromCopy && SameBytes(buffers, buffers + kCompareChunk, fromCopy);
    if (fromProgram == 0) break;
  }
  free(buffers);
  platform::CloseFile(program);
  return same;
}

// Starts the copy at `copyPath`; the parent side of the hand-over.
bool StartCopy(const char* copyPath, uint32_t* exitCode) {
  char windowsFolder[kRelaunchPathSize];
  char commandLine[kRelaunchCommandSize];
  if (!platform::GetWindowsFolder(windowsFolder, sizeof windowsFolder)) return false;
  if (g_setup.quiet) {
    return ComposeRelaunchCommand(copyPath, true, 0, commandLine, sizeof commandLine) &&
           platform::StartProcessAndWait(commandLine, windowsFolder, exitCode);
  }
  // Without a handle the copy could not tell when this process has let go of the
  // program file; uninstalling in place is then the safe course.
  const uint32_t self = platform::InheritableProcessHandle();
  return self != 0 &&
         ComposeRelaunchCommand(copyPath, false, self, commandLine, sizeof commandLine) &&
         platform::StartProcess(commandLine, windowsFolder, true);
}

// Copies the program into `folder` and starts the copy, which is held open (no other
// program may write it) from before it is checked until it has started.
bool CopyAndStart(const char* modulePath, const char* folder, uint32_t* exitCode) {
  char copyPath[kRelaunchPathSize];
  if (!ComposeCopyPath(modulePath, folder, copyPath, sizeof copyPath) ||
      !platform::CopyFileTo(modulePath, copyPath)) {
    return false;
  }
  platform::File held = platform::OpenLockedForReading(copyPath);
  const bool started =
      held != nullptr && HoldsTheProgram(held, modulePath) && StartCopy(copyPath, exitCode);
  platform::CloseFile(held);
  if (!started) platform::DeleteFileAt(copyPath);
  return started;
}

}  // namespace

bool RelaunchFromTempFolder(uint32_t* exitCode) {
  *exitCode = 0;
  char modulePath[kRelaunchPathSize];
  char tempFolder[kRelaunchPathSize];
  char folder[kRelaunchPathSize];
  if (!platform::GetModulePath(modulePath, sizeof modulePath) ||
      !platform::GetTempFolder(tempFolder, sizeof tempFolder) ||
      !MakeRelaunchFolder(tempFolder, folder, sizeof folder)) {
    return false;
  }
  if (CopyAndStart(modulePath, folder, exitCode)) return true;
  platform::RemoveFolder(folder);
  return false;
}

void WaitForRelaunchingProcess(uint32_t parentHandle) {
  if (parentHandle != 0) platform::WaitForProcessHandle(parentHandle);
}

void LeaveRelaunchFolderToNextStart() {
  char folder[kRelaunchPathSize];
  char tempFolder[kRelaunchPathSize];
  if (!IsWindowsNT() || !platform::GetModulePath(folder, sizeof folder) ||
      !platform::GetTempFolder(tempFolder, sizeof tempFolder)) {
    return;
  }
  char* last = strrchr(folder, '\\');
  if (last == nullptr) return;
  *last = '\0';
  // After the copy itself, which its caller has scheduled: Windows carries the moves out
  // in order, and removes only an empty folder.
  if (IsRelaunchFolder(folder, tempFolder)) DeleteFileAtNextBoot(folder);
}
