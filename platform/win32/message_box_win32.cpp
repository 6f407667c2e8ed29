// Message boxes over the ANSI Win32 API.
#include "platform/message_box.h"

#include <windows.h>

namespace platform {

int ShowMessageBox(Window owner, const char* text, const char* caption, uint32_t flags) {
  return MessageBoxA(static_cast<HWND>(owner), text, caption, flags);
}

}  // namespace platform
