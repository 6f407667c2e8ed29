// The file section of the uninstall: deleting logged files and counting shared ones down.
#include "maintenance/logged_files.h"

#include <stdint.h>

#include "base/format_text.h"
#include "engine/next_boot.h"
#include "engine/self_registration.h"
#include "engine/shared_files.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "runtime/messages.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"

namespace {

constexpr size_t kMessageSize = 512;


// Asks the Yes/No/Cancel question `format` about `path`; a quiet run answers Yes, the
// default button.
int AskAboutFile(platform::Window owner, const char* format, const char* path,
                 const char* caption, uint32_t icon) {
  char text[kMessageSize];
  FormatText(text, sizeof(text), format, path);
  return AskUser(owner, text, caption, platform::kMbYesNoCancel | icon, platform::kIdYes);
}

// Whether anything stands at exactly `path`; its attributes (a link's own, not what it
// leads to) in *attributes. No search: a wildcard in a damaged or hostile log must not
// match files the log never named.
bool FindExact(const char* path, uint32_t* attributes) {
  *attributes = platform::GetAttributes(path);
  return *attributes != platform::kNoAttributes;
}

// The count a shared file has under `key`. A value that is missing, not a 4-byte number,
// or already 0 (which would wrap round to a count no uninstall ever brings down) counts
// as 1, the count of the last program that uses the file.
uint32_t SharedCount(platform::Key key, const char* path) {
  uint32_t count = 0;
  uint32_t type = 0;
  uint32_t size = sizeof(count);
  if (!platform::QueryValue(key, path, &type, &count, &size) || size != sizeof(count) ||
      type != platform::kRegNumber || count == 0) {
    return 1;
  }
  return count;
}

}  // namespace

bool DeleteLoggedFile(const char* path, platform::Window owner) {
  uint32_t attributes = 0;
  if (!FindExact(path, &attributes)) return true;
  if (attributes & platform::kAttributeReadOnly) {
    const int answer = AskAboutFile(owner, Text(MSG_READ_ONLY_QUESTION), path, Text(MSG_CONFIRM_CAPTION),
                                    platform::kMbIconInformation);
    if (answer == platform::kIdCancel) return false;
    if (answer != platform::kIdYes) return true;
    platform::SetAttributes(path, platform::kAttributeNormal);
  }
  SelfRegisterFile(path, false);
  while (!platform::DeleteFileAt(path)) {
    // A quiet run cannot wait for the program that uses the file: the file goes at the
    // next start of Windows, and the exit code asks for that restart.
    if (g_setup.quiet) {
      DeleteFileAtNextBoot(path);
      return true;
    }
    const int answer =
        AskAboutFile(owner, Text(MSG_IN_USE_QUESTION), path, Text(MSG_RETRY_CAPTION), platform::kMbIconError);
    if (answer == platform::kIdCancel) return false;
    if (answer != platform::kIdYes) return true;
  }
  return true;
}

bool UndoSharedFile(const char* path, platform::Window owner) {
  platform::Key key = platform::CreateKey(platform::kRootLocalMachine, kSharedDllsKey);
  if (key == nullptr) return true;
  const uint32_t count = SharedCount(key, path) - 1;
  bool goOn = true;
  if (count == 0) {
    platform::DeleteValue(key, path);
    // The default answer, and a quiet run's, keeps the file: other programs may use it.
    const int answer =
        AskUser(owner, Text(MSG_SHARED_FILE_QUESTION), path,
                platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefaultButton2,
                platform::kIdNo);
    if (answer == platform::kIdYes) goOn = DeleteLoggedFile(path, owner);
  } else {
    platform::SetValue(key, path, platform::kRegNumber, &count, sizeof(count));
  }
  platform::CloseKey(key);
  return goOn;
}
