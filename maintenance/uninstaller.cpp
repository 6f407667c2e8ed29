// The uninstaller's run: the confirmation, the file section of the log, the registry
// section, its own file, the report, and last the folders left empty.
#include "maintenance/uninstaller.h"

#include <stdlib.h>
#include <string.h>

#include <new>

#include "base/folder_path.h"
#include "base/format_text.h"
#include "engine/links.h"
#include "engine/next_boot.h"
#include "maintenance/logged_files.h"
#include "maintenance/logged_registry.h"
#include "maintenance/path_list.h"
#include "maintenance/relaunch_uninstaller.h"
#include "maintenance/removal_bounds.h"
#include "maintenance/uninstall_log_reader.h"
#include "package/format.h"
#include "platform/background_window.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "runtime/messages.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"

namespace {

constexpr size_t kFileRecordSize = 260;

// One record of the file section. False when the user cancelled the uninstall. `keep`
// names a file to leave where it is (nullptr: none).
bool UndoFileRecord(char* record, platform::Window background, PathList* folders,
                    const char* keep) {
  char* marker = strchr(record, kSharedFileMarker);
  if (marker != nullptr) *marker = '\0';
  // A record that is only the marker names no file: asking about it, or counting the
  // count key's default value down, would touch what the installation never made.
  if (marker != nullptr && record[0] == '\0') return true;
  // A record that climbs out of its folder may name any file of the machine, and a
  // relative one (older installers logged folders as typed) whatever file lies there
  // from where this copy runs; a link, or a folder on the way that is one, leads to a
  // file that is not the installation's. None is followed, neither to delete nor to
  // count down, and its folder is not listed.
  if (HasParentStep(record) || !IsFullPath(record) || PathHasLink(record)) {
    ++g_setup.logRecordsPassedOver;
    return true;
  }
  bool goOn = true;
  if (marker != nullptr) {
    goOn = UndoSharedFile(record, background);
  } else if (keep == nullptr || strcmp(record, keep) != 0) {
    goOn = DeleteLoggedFile(record, background);
  }
  if (!goOn) return false;
  char* last = strrchr(record, '\\');
  if (last != nullptr) {
    *last = '\0';
    folders->AddFolder(record);
  }
  return true;
}

// The file section, up to its empty record, leaving `keep` (nullptr: none). False when
// the user cancelled.
bool UndoFiles(platform::Window background, PathList* folders, LoadedLog* log,
               const char* keep) {
  for (;;) {
    const char* read = NextLogRecord(log);
    if (read[0] == '\0') return true;
    // The record buffer is overwritten by the next read, and the record is cut in place.
    char record[kFileRecordSize];
    strncpy(record, read, sizeof(record) - 1);
    record[sizeof(record) - 1] = '\0';
    if (!UndoFileRecord(record, background, folders, keep)) return false;
  }
}

// The bounds of folder removal, found before the registry section takes the remembered
// start-menu folder away. The program folder comes from the file section's last record,
// which the installation always writes for UNINST.EXE and which is kept in `last`
// (kFileRecordSize bytes); the log is then read again from its start.
void FindBounds(LoadedLog* log, RemovalBounds* bounds, char* last) {
  last[0] = '\0';
  for (const char* record = NextLogRecord(log); record[0] != '\0'; record = NextLogRecord(log)) {
    FormatText(last, kFileRecordSize, "%s", record);
  }
  log->next = 0;
  FindRemovalBounds(last, bounds);
}

// Reads the whole log, with the stream's prompts over the background window like every
// other box of the uninstaller (without an owner they could open behind it).
bool LoadLog(platform::Window background, LoadedLog* log) {
  g_setup.ownerWindow = background;
  const bool loaded = LoadUninstallLog(log);
  g_setup.ownerWindow = nullptr;
  return loaded;
}

// The running program cannot delete itself; Windows does it at the next start, and
// removes the relaunched copy's own folder after it.
void DeleteOwnFile() {
  char path[kFileRecordSize];
  if (!platform::GetModulePath(path, sizeof(path))) return;
  if (!platform::DeleteFileAt(path)) DeleteFileAtNextBoot(path);
  LeaveRelaunchFolderToNextStart();
}

// In a quiet run the process that the deployment tool started still runs from UNINST.EXE
// in the program folder, waiting for this one to tell the outcome. That file goes at the
// next start of Windows, and with it (on NT) the program folder it keeps: the product is
// gone, and no restart is asked for on its account. The folder keeps to the bounds of
// every other removal: Windows removes it then if it is empty, whoever it belongs to.
void LeaveToNextStart(const char* uninstaller, const RemovalBounds& bounds) {
  DeleteFileAtNextBoot(uninstaller);
  if (IsWindowsNT() && bounds.programFolder[0] != '\0' &&
      MayRemoveFolder(bounds, bounds.programFolder) && !PathHasLink(bounds.programFolder)) {
    DeleteFileAtNextBoot(bounds.programFolder);
  }
}

// Everything after the confirmation: the files, the registry entries, the program's own
// file, the report and last the folders left empty. `bounds` is the caller's room.
// Returns the outcome as a quiet run's exit code.
uint32_t UninstallFromLog(platform::Window background, LoadedLog* log, RemovalBounds* bounds) {
  char uninstaller[kFileRecordSize];
  FindBounds(log, bounds, uninstaller);
  // Only a last record that gave the program folder names the UNINST.EXE that the first
  // process runs from; any other is followed, or passed over, like the records before it.
  const char* keep = g_setup.quiet && bounds->programFolder[0] != '\0' ? uninstaller : nullptr;
  PathList folders;
  uint32_t outcome = kQuietCancelled;
  if (UndoFiles(background, &folders, log, keep)) {
    UndoRegistryEntries(log);
    // Files in use wait for the next start; the program's own file always does.
    outcome = RestartNeeded() ? kQuietRestartNeeded : kQuietSucceeded;
    DeleteOwnFile();
    if (keep != nullptr) LeaveToNextStart(keep, *bounds);
    TellUser(background, Text(MSG_UNINSTALL_DONE), Text(MSG_UNINSTALL_DONE_CAPTION),
             platform::kMbOk | platform::kMbIconInformation);
    folders.RemoveEmptyFolders(*bounds);
  } else {
    // No caption of its own: the system's default one.
    TellUser(background, Text(MSG_UNINSTALL_CANCELLED), nullptr, platform::kMbOk | platform::kMbIconError);
  }
  return outcome;
}

// A log that cannot be read to its end removes nothing: files removed without their
// registry entries would leave an entry in Add/Remove Programs for a program that is
// half gone. The package stream has told the user why. The bounds (8 KB) are on the
// heap, since the stub's frames stay below a page; without that memory nothing is
// removed either. Returns the outcome as a quiet run's exit code.
uint32_t LoadLogAndUninstall(platform::Window background) {
  LoadedLog log;
  if (!LoadLog(background, &log)) return kQuietFailed;
  uint32_t outcome = kQuietFailed;
  void* bounds = malloc(sizeof(RemovalBounds));
  if (bounds != nullptr) {
    outcome = UninstallFromLog(background, &log, new (bounds) RemovalBounds);
    free(bounds);
  }
  ReleaseUninstallLog(&log);
  return outcome;
}

}  // namespace

void RunUninstall(platform::Instance instance, platform::Window background) {
  (void)instance;
  // "/S" is the deployment tool's Yes.
  const int answer = AskUser(background, Text(MSG_UNINSTALL_QUESTION), Text(MSG_UNINSTALL_CAPTION),
                             platform::kMbYesNo | platform::kMbIconQuestion, platform::kIdYes);
  const uint32_t outcome =
      answer == platform::kIdYes ? LoadLogAndUninstall(background) : kQuietCancelled;
  platform::PostCloseMessage(background, ExitCodeOf(outcome));
}
