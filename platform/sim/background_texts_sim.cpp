// The background window's texts on the simulated Windows: the fake window paints
// nothing, and its transcript stays as it was, so the texts are not kept.
#include "platform/background_window.h"

namespace platform {

void SetBackgroundTexts(const char* title, const char* bottomText) {
  (void)title;
  (void)bottomText;
}

}  // namespace platform
