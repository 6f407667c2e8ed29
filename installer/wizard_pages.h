// The setup wizard's logic: which pages a package gets, and one procedure per page that
// answers the sheet's events. The pages show and edit the setup state's program folder
// and start-menu folder.
#pragma once

#include <stdint.h>

#include "platform/handles.h"
#include "platform/wizard.h"

// Page codes, kept in the setup state's last wizard page code for the last page added.
// The welcome page's code is 0: it is the last page only when it is the only one.
constexpr uint32_t kWelcomePageCode = 0;
constexpr uint32_t kLicencePageCode = 2;
constexpr uint32_t kFolderPageCode = 3;
constexpr uint32_t kStartMenuPageCode = 4;
constexpr int kMaxWizardPages = 4;

// Fills `pages` with the pages the package calls for, in order: welcome; licence when the
// header carries a licence text; folder when the program folder is not empty; start menu
// when the start-menu folder is not empty. Records the last page's code in the setup
// state and returns the number of pages.
int AddWizardPages(platform::WizardPage pages[kMaxWizardPages]);

// The buttons of the page with `pageCode` when it becomes current: Next or Finish, with
// Back on every page but the welcome page; Finish on the last page added.
uint32_t WizardButtonsFor(uint32_t pageCode);

// Asks "Cancel the installation of this program?" over `page`. True when the user
// answered Yes and the wizard may close.
bool ConfirmCancel(platform::Window page);

// The folder page's field as the user leaves the page: the program folder becomes its
// canonical form (CanonicalFolder: "D:\Apps\" gives "D:\Apps", "D:\" gives "D:"). An
// empty field keeps the program folder as it was. False, with the program folder
// unchanged, for a folder that cannot be installed into (relative, on a network path,
// too long, with a forbidden name). `field` is NUL-terminated, of any length.
bool StoreProgramFolderField(const char* field);

// The text of the start-menu field as the user leaves the page: one trailing '\' removed
// ("D:\Apps\" gives "D:\Apps", "D:\" gives "D:"). An empty field, or one that was only
// "\", keeps *folder as it was; otherwise *folder is replaced. `field` holds at most 255
// characters.
void StoreFolderField(const char* field, char** folder);

bool WelcomePageProc(platform::Window page, platform::WizardEvent event);
bool LicensePageProc(platform::Window page, platform::WizardEvent event);
bool FolderPageProc(platform::Window page, platform::WizardEvent event);
bool StartMenuPageProc(platform::Window page, platform::WizardEvent event);
