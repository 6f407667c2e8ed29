// The dialogs' side of SetDialogTexts: the texts to put into a dialog as it is created.
#pragma once

#include <windows.h>

namespace platform {

// The text given for `control` of `dialog` (0: the caption), nullptr for the template's.
const char* DialogTextFor(int dialog, int control);
// Sets every given text of `dialog` on `window`, its caption too.
void ApplyDialogTexts(HWND window, int dialog);

}  // namespace platform
