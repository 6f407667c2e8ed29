// A folder and a file that no other program of the user can change, over the Win32 API.
#include "platform/private_files.h"

#include <string.h>
#include <windows.h>
#include <sddl.h>

#include "platform/system.h"
#include "platform/win32/process_token_win32.h"
#include "platform/win32/folder_descriptor_win32.h"

namespace platform {
namespace {

// Full control for SYSTEM and the administrators, passed on to what the folder holds;
// nothing inherited from the temporary folder, where every user's program may write.
const char kAdministratorsOnly[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
// The same for the user alone, whose SID follows.
const char kUserOnly[] = "D:P(A;OICI;FA;;;";
constexpr uint32_t kSidTextSize = 192;

// The folder's security descriptor in its text form, into `out` of `size` bytes.
bool DescriptorText(char* out, uint32_t size) {
  // Elevated, the user's own unelevated programs must not be able to change the copy
  // that runs as administrator: they run under the same user.
  if (RunsElevated()) {
    if (size < sizeof kAdministratorsOnly) return false;
    memcpy(out, kAdministratorsOnly, sizeof kAdministratorsOnly);
    return true;
  }
  char sid[kSidTextSize];
  if (!UserSidText(sid, sizeof sid)) return false;
  const size_t prefix = sizeof kUserOnly - 1;
  const size_t sidLength = strlen(sid);
  if (prefix + sidLength + 2 > size) return false;
  memcpy(out, kUserOnly, prefix);
  memcpy(out + prefix, sid, sidLength);
  memcpy(out + prefix + sidLength, ")", 2);
  return true;
}

}  // namespace

bool CreatePrivateFolder(const char* path) {
  // Windows 9x keeps no security: a new folder is all there is to have.
  if (!IsNtFamily()) return CreateDirectoryA(path, nullptr) != FALSE;
  // Windows 2000 on; NT 4 cannot read the text, and then the copy is not made at all.
  const ConvertSddl convert = SddlConversion();
  char text[sizeof kUserOnly + kSidTextSize];
  return convert != nullptr && DescriptorText(text, sizeof text) &&
         CreateFolderWithSddl(convert, path, text);
}

File OpenLockedForReading(const char* path) {
  HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

}  // namespace platform
