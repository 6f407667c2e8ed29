// The overwrite dialogs 116 and 117 on the simulated Windows, answered by the script or,
// in default mode, with each dialog's default button.
#include <string>

#include "platform/progress_dialog.h"
#include "platform/sim/machine/sim_machine.h"

namespace platform {
namespace {

constexpr int kIdYes = 1008;
constexpr int kIdNo = 1009;
constexpr int kIdAll = 1010;
constexpr int kIdEsc = 2;

// The dialog's default button: "&No" in the newer-file dialog, "Skip A&ll" in the other.
int DefaultButton(int dialog) { return dialog == kDialogNewerFile ? kIdNo : kIdEsc; }

std::string ButtonText(int dialog, int id) {
  const bool newer = dialog == kDialogNewerFile;
  switch (id) {
    case kIdNo: return newer ? "&No" : "&Skip";
    case kIdYes: return newer ? "&Yes" : "&Replace";
    case kIdAll: return newer ? "Yes to &All" : "Replace &All";
    case kIdEsc: return newer ? "Cancel" : "Skip A&ll";
    default: return "button " + std::to_string(id);
  }
}

const char* QuestionText(int dialog) {
  return dialog == kDialogNewerFile
             ? "The file on your system is newer than the one in this installation. Do you "
               "REALLY want to replace it with an older version?"
             : "You seem to have this file already on your system. Do you want to skip it or "
               "replace it?";
}

}  // namespace

int RunOverwriteDialog(Instance instance, Window owner, int dialog, const char* path) {
  (void)instance;
  sim::SimMachine& machine = sim::CurrentMachine();
  const std::string shownPath = path ? path : "";
  if (dialog != kDialogNewerFile && dialog != kDialogSameFile) {
    machine.ReportError("RunOverwriteDialog: no dialog template " + std::to_string(dialog));
    return kIdEsc;
  }
  if (machine.ui.Closing()) machine.ReportError("an overwrite dialog opened after the close message");
  sim::ShownOverwrite shown;
  shown.dialog = dialog;
  shown.path = shownPath;
  shown.owner = owner;
  sim::OverwriteAnswer answer;
  std::string error;
  if (machine.ui.answers.TakeOverwrite(dialog, shownPath, &answer, &error)) {
    shown.answer = answer.answer;
  } else if (error.empty()) {
    shown.answer = DefaultButton(dialog);
  } else {
    machine.ReportError(error);
    shown.answer = kIdEsc;  // the user closes a window the script does not know
    shown.expected = false;
  }
  machine.ui.overwrites.push_back(shown);
  machine.ui.Note("  dialog " + std::to_string(dialog) + " \"Overwrite file?\" over " +
                  machine.ui.Describe(owner) + ": \"" + QuestionText(dialog) + "\"\n    [1007] \"" +
                  shownPath + "\"\n    user presses \"" + ButtonText(dialog, shown.answer) + "\"");
  return shown.answer;
}

}  // namespace platform
