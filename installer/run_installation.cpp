// The install handler: remembered folders, the wizard, and on Finish the remembering of
// the chosen folders, the extraction run and the completion step.
#include "installer/run_installation.h"

#include "engine/remembered_folders.h"
#include "installer/completion.h"
#include "installer/wizard_pages.h"
#include "platform/background_window.h"
#include "platform/wizard.h"

void RunInstallation(platform::Instance instance, platform::Window background) {
  RestoreRememberedFolders();
  ApplyProgramFilesPrefix();
  platform::WizardPage pages[kMaxWizardPages];
  const int count = AddWizardPages(pages);
  const bool finished = platform::RunWizard(instance, background, pages, count);
  platform::UpdateWindowNow(background);
  if (!finished) {
    platform::PostCloseMessage(background);
    return;
  }
  RememberFolders();
  CompleteInstallation(instance, background);
}
