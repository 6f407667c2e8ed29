// The extraction run's worker: the phases of an installation in their fixed order.
#include "installer/extraction_run.h"

#include <string.h>

#include "base/format_text.h"
#include "engine/path_macros.h"
#include "installer/dll_registration.h"
#include "installer/file_extraction.h"
#include "installer/maintenance_program.h"
#include "installer/registry_entries.h"
#include "installer/shortcuts.h"
#include "installer/uninstall_log_writer.h"
#include "package/format.h"
#include "platform/file_io.h"
#include "platform/progress_dialog.h"
#include "platform/system.h"
#include "runtime/directory_check.h"
#include "runtime/file_read_ahead.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"

namespace {

const char kFinalizeStatus[] = "Initializing Finalize information...";
const char kUninstallStatus[] = "Initializing Uninstall information...";
const char kFinalizerPath[] = "{OurProgramDir}\\FINALIZE.EXE";
const char kUninstallerPath[] = "{OurProgramDir}\\UNINST.EXE";

bool IsEmpty(const char* text) { return text == nullptr || text[0] == '\0'; }

// `path` (kPathBufferSize bytes) gets `macroPath` expanded; false when it does not fit.
bool ExpandInto(const char* macroPath, char* path) {
  FormatText(path, kPathBufferSize, "%s", macroPath);
  return ExpandPathMacros(path);
}

void OnCancelPressed() { g_setup.cancelled = true; }

void SetStatus(platform::Window dialog, const char* text) {
  platform::SetControlText(dialog, platform::kProgressStatusText, text);
}

void WriteMaintenancePrograms(platform::Window dialog) {
  char finalizer[kPathBufferSize];
  const bool finalizerFits = ExpandInto(kFinalizerPath, finalizer);
  if (!IsEmpty(g_setup.programFolder)) {
    SetStatus(dialog, kFinalizeStatus);
    if (finalizerFits) WriteMaintenanceProgram(finalizer, false);
  }
  if (IsEmpty(g_setup.productKeyName)) {
    CloseUninstallLog();
    return;
  }
  SetStatus(dialog, kUninstallStatus);
  char uninstaller[kPathBufferSize];
  if (ExpandInto(kUninstallerPath, uninstaller)) WriteMaintenanceProgram(uninstaller, true);
  if (finalizerFits) WriteLogRecord(finalizer);
}

// The file phase ends normally at the empty name record; a failed file or a cancellation
// (the user's, or a read given up, which also reads as an empty record) ends it early.
// Only after the normal end does the package stream stand at the shortcut list.
bool ExtractFiles(platform::Window dialog) {
  bool listEnded = false;
  StartFileReadAhead();
  while (ExtractNextFile(dialog, &listEnded)) {
  }
  StopFileReadAhead();
  if (!listEnded || g_setup.cancelled) return false;
  // The header's checksummed count of data blocks is the one check on the file list
  // itself: a damaged name length ends the list early with blocks unread, and a list that
  // holds more blocks than counted is no list this header was built with. Either way the
  // stream stands somewhere other than at the shortcut list.
  if (g_setup.blocksRead != g_setup.sizeTable[kSizeTableBlockCountWord]) {
    g_setup.corrupt = true;
    g_setup.succeeded = false;
    return false;
  }
  // Names and fields of the entries, and the lines of the lists, are covered only by the
  // header's directory checksum: the lists are read whole and checked before any
  // shortcut or registry value is made from them.
  if (!ReadAndCheckListSection()) {
    if (g_setup.corrupt) g_setup.succeeded = false;
    return false;
  }
  return true;
}

// The run-after command is read only when every list before it was read through;
// otherwise the stream stands elsewhere and the buffer stays empty.
void ReadRunAfterCommand() {
  const char* command = ReadStringRecord();
  FormatText(g_setup.runAfterCommand, sizeof g_setup.runAfterCommand, "%s", command);
}

void EndFileSection() {
  char uninstaller[kPathBufferSize];
  if (ExpandInto(kUninstallerPath, uninstaller)) WriteLogRecord(uninstaller);
  WriteLogRecord("");
}

}  // namespace

bool ShowProgressDialog(platform::Instance instance, platform::Window parent) {
  // A quiet run shows no dialog: the worker runs here, with no dialog to update.
  if (g_setup.quiet) {
    RunExtraction(nullptr);
  } else {
    platform::RunProgressDialog(instance, parent, RunExtraction, OnCancelPressed);
  }
  CloseUninstallLog();
  return !g_setup.cancelled;
}

void RunExtraction(platform::Window dialog) {
  g_setup.ownerWindow = dialog;
  platform::SetProgressPosition(dialog, platform::kProgressOverallBar, 0);
  platform::SetProgressRange(dialog, platform::kProgressOverallBar,
                             g_setup.sizeTable[kSizeTableBlockCountWord] & 0xFFFFu);
  WriteMaintenancePrograms(dialog);
  platform::InitializeOle();

  const bool listsReadable = ExtractFiles(dialog);
  if (!g_setup.cancelled && !RegisterExtractedDlls(dialog)) g_setup.cancelled = true;
  const bool goOn = listsReadable && !g_setup.cancelled;
  if (goOn) CreateShortcuts(dialog);
  EndFileSection();
  if (goOn && !g_setup.cancelled) CreateRegistryEntries(dialog);
  WriteLogRecord("");
  platform::UninitializeOle();
  if (goOn && !g_setup.cancelled) ReadRunAfterCommand();
  ReleaseListSection();

  g_setup.ownerWindow = nullptr;
  platform::EndProgressDialog(dialog);
}
