// The wizard's pages: welcome, licence, installation folder and start-menu folder.
#include "installer/wizard_pages.h"

#include <string.h>

#include "base/folder_path.h"
#include "base/format_text.h"
#include "engine/path_macros.h"
#include "installer/disk_space_estimate.h"
#include "platform/message_box.h"
#include "runtime/messages.h"
#include "runtime/setup_state.h"

namespace {

constexpr int kWelcomeDialog = 111;
constexpr int kLicenceDialog = 101;
constexpr int kFolderDialog = 102;
constexpr int kStartMenuDialog = 114;
constexpr int kFieldControl = 1000;  // the text of each page: welcome, licence, folders
constexpr size_t kWelcomeTextSize = 2048;
constexpr size_t kBrowseBufferSize = 260;

bool IsEmpty(const char* text) { return text == nullptr || text[0] == '\0'; }

// The events every page answers alike. True when `event` was one of them; *result is
// then the page's answer.
bool HandleCommonEvent(platform::Window page, platform::WizardEvent event, uint32_t pageCode,
                       bool* result) {
  *result = true;
  switch (event) {
    case platform::WizardEvent::kActivate:
      platform::SetWizardButtons(page, WizardButtonsFor(pageCode));
      return true;
    case platform::WizardEvent::kQueryCancel:
      *result = ConfirmCancel(page);
      return true;
    default:
      return false;
  }
}

bool IsLeaving(platform::WizardEvent event) {
  return event == platform::WizardEvent::kBack || event == platform::WizardEvent::kNext ||
         event == platform::WizardEvent::kFinish;
}

void StoreFieldOf(platform::Window page, char** folder) {
  char field[kPathBufferSize];
  platform::GetPageText(page, kFieldControl, field, sizeof field);
  StoreFolderField(field, folder);
}

// The folder page's field as the page is left. Next and Finish stay on the page, with
// a word to the user, for a folder that cannot be installed into; Back leaves it without
// taking such a folder, which Next then meets again.
bool LeaveFolderPage(platform::Window page, platform::WizardEvent event) {
  // Room for more than a path holds, so that a folder that is too long is told from one
  // that fits rather than cut to fit.
  char field[2 * kPathBufferSize];
  platform::GetPageText(page, kFieldControl, field, sizeof field);
  if (StoreProgramFolderField(field) || event == platform::WizardEvent::kBack) return true;
  platform::ShowMessageBox(page, Text(MSG_FOLDER_REFUSED), Text(MSG_ERROR_CAPTION),
                           platform::kMbOk | platform::kMbIconError);
  return false;
}

}  // namespace

int AddWizardPages(platform::WizardPage pages[kMaxWizardPages]) {
  int count = 0;
  uint32_t last = kWelcomePageCode;
  pages[count++] = {kWelcomeDialog, WelcomePageProc};
  if (!IsEmpty(g_setup.licenceText)) {
    pages[count++] = {kLicenceDialog, LicensePageProc};
    last = kLicencePageCode;
  }
  if (!IsEmpty(g_setup.programFolder)) {
    pages[count++] = {kFolderDialog, FolderPageProc};
    last = kFolderPageCode;
  }
  if (!IsEmpty(g_setup.startMenuFolder)) {
    pages[count++] = {kStartMenuDialog, StartMenuPageProc};
    last = kStartMenuPageCode;
  }
  g_setup.lastWizardPageCode = last;
  return count;
}

uint32_t WizardButtonsFor(uint32_t pageCode) {
  const uint32_t forward =
      pageCode == g_setup.lastWizardPageCode ? platform::kWizardFinish : platform::kWizardNext;
  return pageCode == kWelcomePageCode ? forward : (platform::kWizardBack | forward);
}

bool ConfirmCancel(platform::Window page) {
  return platform::ShowMessageBox(page, Text(MSG_CANCEL_SETUP_QUESTION), Text(MSG_CONFIRM_CAPTION),
                                  platform::kMbYesNo | platform::kMbIconQuestion) ==
         platform::kIdYes;
}

bool StoreProgramFolderField(const char* field) {
  if (field[0] == '\0') return true;
  char folder[kPathBufferSize];
  // A field that filled the page's buffer may have been cut there, and ".." could have
  // made even that fit: whatever it was, it was too long.
  if (strlen(field) >= 2 * kPathBufferSize - 1 ||
      !CanonicalFolder(field, folder, sizeof folder)) {
    return false;
  }
  ReplaceSetupText(&g_setup.programFolder, folder);
  return true;
}

// "\" alone would leave an empty folder, which stands for "no folder" everywhere (no
// finalizer, no folder page): it is treated like an empty field.
void StoreFolderField(const char* field, char** folder) {
  char text[kPathBufferSize];
  FormatText(text, sizeof text, "%s", field);
  const size_t length = strlen(text);
  if (length > 0 && text[length - 1] == '\\') text[length - 1] = '\0';
  if (text[0] != '\0') ReplaceSetupText(folder, text);
}

bool WelcomePageProc(platform::Window page, platform::WizardEvent event) {
  bool result = false;
  if (HandleCommonEvent(page, event, kWelcomePageCode, &result)) return result;
  if (event == platform::WizardEvent::kCreate) {
    char text[kWelcomeTextSize];
    FormatText(text, sizeof text, Text(MSG_WELCOME_TEXT), TextOrEmpty(g_setup.title));
    platform::SetPageText(page, kFieldControl, text);
  } else if (event == platform::WizardEvent::kShown) {
    platform::CenterWizard(page);
  }
  return true;
}

bool LicensePageProc(platform::Window page, platform::WizardEvent event) {
  bool result = false;
  if (HandleCommonEvent(page, event, kLicencePageCode, &result)) return result;
  if (event == platform::WizardEvent::kCreate) {
    platform::SetPageText(page, kFieldControl, TextOrEmpty(g_setup.licenceText));
  }
  return true;
}

bool FolderPageProc(platform::Window page, platform::WizardEvent event) {
  bool result = false;
  if (HandleCommonEvent(page, event, kFolderPageCode, &result)) return result;
  if (event == platform::WizardEvent::kCreate) {
    platform::SetPageText(page, kFieldControl, TextOrEmpty(g_setup.programFolder));
    if (g_setup.fixedFolder) platform::EnablePageControl(page, kFieldControl, false);
    ShowDiskSpaceEstimate(page);
  } else if (event == platform::WizardEvent::kBrowse) {
    char chosen[kBrowseBufferSize];
    if (platform::BrowseForFolder(page, Text(MSG_BROWSE_TITLE), chosen, sizeof chosen)) {
      platform::SetPageText(page, kFieldControl, chosen);
    }
  } else if (IsLeaving(event)) {
    return LeaveFolderPage(page, event);
  }
  return true;
}

bool StartMenuPageProc(platform::Window page, platform::WizardEvent event) {
  bool result = false;
  if (HandleCommonEvent(page, event, kStartMenuPageCode, &result)) return result;
  if (event == platform::WizardEvent::kCreate) {
    platform::SetPageText(page, kFieldControl, TextOrEmpty(g_setup.startMenuFolder));
  } else if (IsLeaving(event)) {
    StoreFieldOf(page, &g_setup.startMenuFolder);
  }
  return true;
}
