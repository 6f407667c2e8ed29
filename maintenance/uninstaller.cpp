// The uninstaller's run: the confirmation, the file section of the log, the registry
// section, its own file, the report, and last the folders left empty.
#include "maintenance/uninstaller.h"

#include <string.h>

#include "installer/next_boot.h"
#include "maintenance/logged_files.h"
#include "maintenance/logged_registry.h"
#include "maintenance/path_list.h"
#include "package/format.h"
#include "package/package_stream.h"
#include "platform/background_window.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/process.h"

namespace {

constexpr size_t kFileRecordSize = 260;

const char kConfirmText[] = "Are you SURE you wish to uninstall this program?";
const char kConfirmCaption[] = "Confirm";
const char kCancelledText[] =
    "Uninstall cancelled; some files were not removed. Please re-run the uninstall program "
    "when they are no longer in use.";
const char kRemovedText[] = "This program has been removed.";
const char kRemovedCaption[] = "Done.";

// One record of the file section. False when the user cancelled the uninstall.
bool UndoFileRecord(char* record, platform::Window background, PathList* folders) {
  char* marker = strchr(record, kSharedFileMarker);
  bool goOn = true;
  if (marker != nullptr) {
    *marker = '\0';
    // A record that is only the marker names no file: asking about it, or counting the
    // count key's default value down, would touch what the installation never made.
    if (record[0] != '\0') goOn = UndoSharedFile(record, background);
  } else {
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

// The file section, up to its empty record. False when the user cancelled.
bool UndoFiles(platform::Window background, PathList* folders) {
  for (;;) {
    const char* read = ReadStringRecord();
    if (read[0] == '\0') return true;
    // The record buffer is overwritten by the next read, and the record is cut in place.
    char record[kFileRecordSize];
    strncpy(record, read, sizeof(record) - 1);
    record[sizeof(record) - 1] = '\0';
    if (!UndoFileRecord(record, background, folders)) return false;
  }
}

// The running program cannot delete itself; Windows does it at the next start.
void DeleteOwnFile() {
  char path[kFileRecordSize];
  if (!platform::GetModulePath(path, sizeof(path))) return;
  if (!platform::DeleteFileAt(path)) DeleteFileAtNextBoot(path);
}

}  // namespace

void RunUninstall(platform::Instance instance, platform::Window background) {
  (void)instance;
  PathList folders;
  const int answer = platform::ShowMessageBox(background, kConfirmText, kConfirmCaption,
                                              platform::kMbYesNo | platform::kMbIconQuestion);
  if (answer == platform::kIdYes) {
    if (!UndoFiles(background, &folders)) {
      // No caption of its own: the system's default one.
      platform::ShowMessageBox(background, kCancelledText, nullptr,
                               platform::kMbOk | platform::kMbIconError);
      platform::PostCloseMessage(background);
      folders.Clear();
      return;
    }
    UndoRegistryEntries();
    DeleteOwnFile();
    platform::ShowMessageBox(background, kRemovedText, kRemovedCaption,
                             platform::kMbOk | platform::kMbIconInformation);
  }
  folders.RemoveEmptyFolders();
  platform::PostCloseMessage(background);
}
