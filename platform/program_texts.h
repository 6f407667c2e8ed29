// The texts a program carries in its own file in place of the English ones: where they
// are, and the ones that replace the dialog templates' texts.
#pragma once

#include <stdint.h>

namespace platform {

// The section of texts (base/message_section.h) of this program's own file, as loaded:
// its bytes, which stay valid for the life of the process. False when the file has none.
bool FindOwnTextSection(const uint8_t** data, uint32_t* size);

// A text shown in place of a dialog template's: `control` 0 is the dialog's caption (a
// wizard page's title); `dialog` 0 is the wizard's frame and its buttons.
struct DialogText {
  int dialog;
  int control;
  const char* text;
};

// From now on every dialog and wizard page shows these texts in place of its template's
// own. The array is kept, not copied, and must live as long as the process.
void SetDialogTexts(const DialogText* texts, int count);

}  // namespace platform
