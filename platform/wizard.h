// The setup wizard as a modal property sheet: the logic supplies one procedure per page
// and answers the sheet's events; the platform shows the pages and reports the events.
#pragma once

#include <stdint.h>

#include "platform/handles.h"

namespace platform {

enum class WizardEvent {
  kCreate,       // the page is created (first shown): fill its controls
  kActivate,     // the page becomes the current one: set the sheet's buttons
  kBack,         // leaving with Back
  kNext,         // leaving with Next
  kFinish,       // leaving with Finish
  kQueryCancel,  // the user wants to cancel: return true to let the wizard close
  kBrowse,       // the page's browse button (1012) was clicked
  kShown,        // the page was shown or hidden: the sheet may be moved
};

// Handles one event for one page. The result matters for kQueryCancel (true lets the
// wizard close) and for kBack, kNext and kFinish (false keeps the page, which the page
// has told the user why); it is ignored for the others.
using WizardPageProc = bool (*)(Window page, WizardEvent event);

struct WizardPage {
  int dialog;            // template: 111, 101, 102, 114
  WizardPageProc proc;
};

// Runs the pages as a wizard, modal over `owner`. True when the user pressed Finish,
// false when the wizard was cancelled.
bool RunWizard(Instance instance, Window owner, const WizardPage* pages, int count);

// Buttons of the sheet, set from kActivate.
constexpr uint32_t kWizardBack = 1;
constexpr uint32_t kWizardNext = 2;
constexpr uint32_t kWizardFinish = 4;
void SetWizardButtons(Window page, uint32_t buttons);

// Controls of a page.
void SetPageText(Window page, int control, const char* text);
// Reads at most size - 1 characters, NUL-terminated.
void GetPageText(Window page, int control, char* out, uint32_t size);
void EnablePageControl(Window page, int control, bool enable);

// The folder browser over `owner` with `title`; true with the chosen file-system path in
// `out` (`size` bytes), false when cancelled or when the item has no such path.
bool BrowseForFolder(Window owner, const char* title, char* out, uint32_t size);

// Moves the sheet of `page` to the centre of the client area of its owner.
void CenterWizard(Window page);

}  // namespace platform
