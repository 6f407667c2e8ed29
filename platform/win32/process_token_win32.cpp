// The process's access token, read through advapi32 functions looked up at run time.
#include "platform/win32/process_token_win32.h"

#include <string.h>
#include <windows.h>
#include <sddl.h>

#include "platform/win32/system_export_win32.h"

namespace platform {
namespace {

const char kAdvapi[] = "advapi32.dll";

// GetTokenInformation of this process's token into `out` of `size` bytes.
bool QueryToken(TOKEN_INFORMATION_CLASS kind, void* out, DWORD size) {
  const auto open = SystemExport<decltype(&OpenProcessToken)>(kAdvapi, "OpenProcessToken");
  const auto query =
      SystemExport<decltype(&GetTokenInformation)>(kAdvapi, "GetTokenInformation");
  HANDLE token = nullptr;
  if (open == nullptr || query == nullptr || !open(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return false;
  }
  DWORD got = 0;
  const bool answered = query(token, kind, out, size, &got) != FALSE;
  CloseHandle(token);
  return answered;
}

}  // namespace

bool RunsElevated() {
  TOKEN_ELEVATION elevation;
  elevation.TokenIsElevated = 0;
  return QueryToken(TokenElevation, &elevation, sizeof elevation) &&
         elevation.TokenIsElevated != 0;
}

bool RunsBesideUnelevatedDesktop() {
  TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
  return QueryToken(TokenElevationType, &type, sizeof type) && type == TokenElevationTypeFull;
}

bool UserSidText(char* out, uint32_t size) {
  // TOKEN_USER and the SID it points to, which follows it in the same buffer: a SID
  // has at most 15 sub-authorities, 68 bytes.
  union {
    TOKEN_USER user;
    unsigned char bytes[sizeof(TOKEN_USER) + 68];
  } token;
  const auto convert =
      SystemExport<decltype(&ConvertSidToStringSidA)>(kAdvapi, "ConvertSidToStringSidA");
  char* text = nullptr;
  if (convert == nullptr || !QueryToken(TokenUser, &token, sizeof token) ||
      !convert(token.user.User.Sid, &text)) {
    return false;
  }
  const size_t length = strlen(text);
  const bool fits = length < size;
  if (fits) memcpy(out, text, length + 1);
  LocalFree(text);
  return fits;
}

}  // namespace platform
