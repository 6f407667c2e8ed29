// The completion step, after the wizard's Finish and the remembering of the folders.
#include "installer/completion.h"

#include <string.h>

#include "base/format_text.h"
#include "engine/next_boot.h"
#include "engine/path_macros.h"
#include "engine/registry_keys.h"
#include "installer/extraction_run.h"
#include "platform/background_window.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"

namespace {

const char kCancelledText[] =
    "You have chosen to cancel the installation. The program is only partially installed. "
    "Please re-run this installation program to complete the installation.";
const char kCancelledCaption[] = "Cancelled!";
const char kFailedCaption[] = "Installation Failed!";
const char kCorruptText[] =
    "The installation was not successful. One of the files appears to be corrupted. Please "
    "obtain a fresh copy of the installation file(s) and try again.";
const char kNotWrittenText[] =
    "The installation was not successful. One or more files could not be written. Please "
    "ensure that no version of this program is already running and try the installation "
    "again.";
const char kSuccessCaption[] = "Success!";
const char kCompleteText[] = "Installation complete! You can use the program immediately.";
const char kRestartText[] =
    "Installation complete! Some files could not be updated immediately; you will need to "
    "restart Windows to finalize the installation.";
const char kRestartQuestion[] =
    "Installation complete! Some files could not be updated immediately; you will need to "
    "restart Windows to finalize the installation.\n\nMay I restart Windows now?";
const char kRestartCaption[] = "Restart Windows?";
const char kRememberText[] =
    "Remember to restart Windows before trying to use the newly-installed program.";

const char kFinalizerPath[] = "{OurProgramDir}\\Finalize.exe";
const char kRunOnceKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kRunOnceValue[] = "TWKSetup_Finalize";
const char kRunAfterKey[] = "SOFTWARE\\Tarnwick\\Kitwright\\RunAfter";
const char kRunAfterValue[] = "RunAfter";

bool IsEmpty(const char* text) { return text == nullptr || text[0] == '\0'; }

void Tell(platform::Window owner, const char* text, const char* caption, uint32_t icon) {
  TellUser(owner, text, caption, platform::kMbOk | icon);
}

void SetTextValue(const char* keyPath, const char* name, const char* text) {
  platform::Key key = CreateKeyPath(platform::kRootLocalMachine, keyPath);
  if (key == nullptr) return;
  platform::SetValue(key, name, platform::kRegText, text, static_cast<uint32_t>(strlen(text) + 1));
  platform::CloseKey(key);
}

// A run-after command whose expansion does not fit is neither stored nor opened: the
// text with its macro unexpanded would name nothing. A quiet run starts no program for a
// deployment tool to wait for.
void ArrangeFinalizerAndRunAfter(platform::Window background) {
  char finalizer[kPathBufferSize] = {};
  FormatText(finalizer, sizeof finalizer, "%s", kFinalizerPath);
  const bool finalizerFits = ExpandPathMacros(finalizer);
  char* runAfter = g_setup.runAfterCommand;
  if (!ExpandPathMacros(runAfter) || g_setup.quiet) runAfter[0] = '\0';
  if (FinalizeAtBoot()) {
    if (finalizerFits) ArrangeFinalizerAtBoot(finalizer, runAfter);
    return;
  }
  if (!IsEmpty(g_setup.programFolder) && finalizerFits) platform::DeleteFileAt(finalizer);
  // Not the installer's own current folder, often the downloads folder, nor its rights.
  if (runAfter[0] != '\0') {
    platform::OpenForDesktopUser(background, runAfter, g_setup.programFolder);
  }
}

void ReportSuccess(platform::Window background) {
  if (!RestartNeeded()) {
    Tell(background, kCompleteText, kSuccessCaption, platform::kMbIconInformation);
  } else if (IsWindowsNT()) {
    Tell(background, kRestartText, kSuccessCaption, platform::kMbIconInformation);
  } else if (AskUser(background, kRestartQuestion, kRestartCaption,
                     platform::kMbYesNo | platform::kMbIconInformation,
                     platform::kIdNo) == platform::kIdYes) {
    platform::RequestRestart();
  } else {
    Tell(background, kRememberText, kSuccessCaption, platform::kMbIconInformation);
  }
}

}  // namespace

void ArrangeFinalizerAtBoot(const char* finalizer, const char* runAfter) {
  if (IsEmpty(g_setup.programFolder)) return;
  // Windows runs the value as a command line: unquoted, "C:\Apps\My Product\..." would
  // start a C:\Apps\My.exe that anyone could have put there.
  char command[kPathBufferSize + 2];
  FormatText(command, sizeof command, "\"%s\"", finalizer);
  SetTextValue(kRunOnceKey, kRunOnceValue, command);
  if (!IsEmpty(runAfter)) SetTextValue(kRunAfterKey, kRunAfterValue, runAfter);
}

// The exit code of a quiet run mirrors the one outcome message an interactive run shows,
// but for a run cut short: a quiet run has no Cancel button and answers every question
// itself, so it stops only at a failure (a read given up, a library that did not
// register), which deployment tools must not read as a user's No.
void CompleteInstallation(platform::Instance instance, platform::Window background) {
  uint32_t outcome = kQuietSucceeded;
  if (!ShowProgressDialog(instance, background)) {
    Tell(background, kCancelledText, kCancelledCaption, platform::kMbIconInformation);
    outcome = g_setup.quiet ? kQuietFailed : kQuietCancelled;
  } else if (!g_setup.succeeded) {
    Tell(background, g_setup.corrupt ? kCorruptText : kNotWrittenText, kFailedCaption,
         platform::kMbIconError);
    outcome = kQuietFailed;
  } else {
    ArrangeFinalizerAndRunAfter(background);
    ReportSuccess(background);
    if (RestartNeeded()) outcome = kQuietRestartNeeded;
  }
  platform::PostCloseMessage(background, ExitCodeOf(outcome));
}
