// The finalizer's run: the waiting files of its folder put in place and registered, the
// run-after command handed over in the registry opened, the report, its own deletion.
#include "maintenance/finalizer.h"

#include <string.h>

#include "base/format_text.h"
#include "engine/links.h"
#include "engine/next_boot.h"
#include "engine/self_registration.h"
#include "package/format.h"
#include "platform/background_window.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "runtime/messages.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"

namespace {

constexpr size_t kPathSize = 260;

const char kRunAfterKey[] = "SOFTWARE\\Tarnwick\\Kitwright\\RunAfter";
const char kRunAfterValue[] = "RunAfter";

// Puts the waiting file `name` of `folder` in place of its target: the name without
// ".NewTemp" and the tag before it (CutWaitingFileName). False when the rename fails (the
// target is in use or read-only), and, without touching either, when the waiting file
// or the target is a link: what it leads to is not the installation's to replace.
bool ReplaceWithWaitingFile(const char* folder, const char* name) {
  char waiting[kPathSize];
  char target[kPathSize];
  const int length = FormatText(waiting, sizeof(waiting), "%s\\%s", folder, name);
  if (length < 0 || static_cast<size_t>(length) >= sizeof(waiting)) return false;
  memcpy(target, waiting, static_cast<size_t>(length) + 1);
  if (!CutWaitingFileName(target) || platform::IsLink(waiting) || platform::IsLink(target)) {
    return false;
  }
  platform::DeleteFileAt(target);
  if (!platform::RenameFile(waiting, target)) return false;
  SelfRegisterFile(target, true);
  return true;
}

// Every waiting file of `folder`, in the order of the search, until a rename fails.
// The search names its files by full path, so that no waiting file of another folder
// is touched whatever the current folder is. False after a failed rename.
bool ReplaceWaitingFiles(const char* folder) {
  char pattern[kPathSize];
  const int length = FormatText(pattern, sizeof(pattern), "%s\\*%s", folder, kWaitingFileSuffix);
  if (length < 0 || static_cast<size_t>(length) >= sizeof(pattern)) return false;
  platform::FoundFile found;
  platform::Search search = platform::FindFirst(pattern, &found);
  if (search == nullptr) return true;
  bool replaced = true;
  do {
    if (found.attributes & platform::kAttributeDirectory) continue;
    replaced = ReplaceWithWaitingFile(folder, found.name);
  } while (replaced && platform::FindNext(search, &found));
  platform::FindEnd(search);
  return replaced;
}

// Takes the run-after command out of the registry: read, then deleted, so that a second
// run opens nothing. The key stays. The command is left empty when the value is missing,
// too long for its buffer or not text.
void TakeRunAfterCommand() {
  char* command = g_setup.runAfterCommand;
  command[0] = '\0';
  platform::Key key = platform::CreateKey(platform::kRootLocalMachine, kRunAfterKey);
  if (key == nullptr) return;
  uint32_t type = 0;
  uint32_t size = kRunAfterCommandSize;
  if (!platform::QueryValue(key, kRunAfterValue, &type, command, &size) ||
      type != platform::kRegText || size == 0 || command[size - 1] != '\0') {
    command[0] = '\0';
  }
  platform::DeleteValue(key, kRunAfterValue);
  platform::CloseKey(key);
}

}  // namespace

void RunFinalize(platform::Instance instance, platform::Window background) {
  (void)instance;
  char self[kPathSize];
  char folder[kPathSize] = "";
  bool succeeded = platform::GetModulePath(self, sizeof(self));
  if (succeeded) {
    memcpy(folder, self, strlen(self) + 1);
    char* last = strrchr(folder, '\\');
    if (last != nullptr) *last = '\0';
    platform::SetCurrentFolder(folder);
    // A folder reached through a link is not the one the installation made.
    succeeded = !PathHasLink(folder) && ReplaceWaitingFiles(folder);
  }

  TakeRunAfterCommand();
  if (g_setup.runAfterCommand[0] != '\0') {
    // Windows runs this at its start, before the desktop, which waits for it: the desktop
    // cannot take the command over now.
    platform::OpenWithShell(background, g_setup.runAfterCommand, folder);
  }

  if (succeeded) {
    TellUser(background, Text(MSG_COMPLETE_TEXT), Text(MSG_SUCCESS_CAPTION),
             platform::kMbOk | platform::kMbIconInformation);
    DeleteFileAtNextBoot(self);
  } else {
    TellUser(background, Text(MSG_FINALIZE_ERROR_TEXT), Text(MSG_ERROR_CAPTION), platform::kMbOk | platform::kMbIconError);
  }
  platform::PostCloseMessage(background, ExitCodeOf(succeeded ? kQuietSucceeded : kQuietFailed));
}
