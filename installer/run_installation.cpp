// The install handler: remembered folders, the wizard, and on Finish the remembering of
// the chosen folders, the extraction run and the completion step.
#include "installer/run_installation.h"

#include "engine/remembered_folders.h"
#include "installer/completion.h"
#include "installer/wizard_pages.h"
#include "platform/background_window.h"
#include "platform/wizard.h"
#include "runtime/quiet_run.h"
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
    StoreProgramFolderField(g_setup.quietFolder);
  }
}

// Whether the program folder, whatever gave it, is one to install into, in its canonical
// form (the folder page has made sure of that in an interactive run; a quiet run meets
// the remembered or default folder here). A package without one has nothing to check.
bool ProgramFolderIsUsable() {
  const char* folder = TextOrEmpty(g_setup.programFolder);
  return folder[0] == '\0' || StoreProgramFolderField(folder);
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
  // Refused before anything is written or remembered: a folder remembered now would be
  // offered, and in a quiet run taken, by every later run.
  if (!ProgramFolderIsUsable()) {
    platform::PostCloseMessage(background, ExitCodeOf(kQuietFailed));
    return;
  }
  RememberFolders();
  CompleteInstallation(instance, background);
}
