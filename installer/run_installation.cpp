// The install handler: remembered folders, the wizard, and on Finish the remembering of
// the chosen folders, the extraction run and the completion step.
#include "installer/run_installation.h"

#include "engine/remembered_folders.h"
#include "installer/completion.h"
#include "installer/wizard_pages.h"
#include "platform/background_window.h"
#include "platform/wizard.h"
#include "runtime/setup_state.h"

namespace {

// The wizard, modal over the background window. False when it was cancelled.
bool RunWizardPages(platform::Instance instance, platform::Window background) {
  platform::WizardPage pages[kMaxWizardPages];
  const int count = AddWizardPages(pages);
  const bool finished = platform::RunWizard(instance, background, pages, count);
  platform::UpdateWindowNow(background);
  return finished;
}

// A quiet run has no wizard: the folders stay as remembered or by default, the program
// folder as "/D=" names it, taken as the folder page would take it typed in. A package
// without a program folder has no folder to replace.
void UseQuietFolder() {
  if (g_setup.quietFolder[0] != '\0' && TextOrEmpty(g_setup.programFolder)[0] != '\0') {
    StoreFolderField(g_setup.quietFolder, &g_setup.programFolder);
  }
}

}  // namespace

void RunInstallation(platform::Instance instance, platform::Window background) {
  RestoreRememberedFolders();
  ApplyProgramFilesPrefix();
  if (g_setup.quiet) {
    UseQuietFolder();
  } else if (!RunWizardPages(instance, background)) {
    platform::PostCloseMessage(background);
    return;
  }
  RememberFolders();
  CompleteInstallation(instance, background);
}
