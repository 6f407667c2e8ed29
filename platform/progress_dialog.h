// The progress dialog (dialog 112) and the worker thread behind it. The dialog is a view:
// the worker, which carries out the extraction run, updates it through these calls, and
// the dialog's Cancel button only raises a flag.
#pragma once

#include <stdint.h>

#include "platform/handles.h"

namespace platform {

// Controls of the progress dialog.
constexpr int kProgressStatusText = 1000;
constexpr int kProgressOverallBar = 1005;
constexpr int kProgressFileBar = 1006;
constexpr int kProgressCancelButton = 2;

// The worker's procedure: gets the dialog, does the whole run, and ends the dialog with
// EndProgressDialog as its last act.
using ProgressWorker = void (*)(Window dialog);
// Called on the dialog's thread when the user presses Cancel (or Esc).
using CancelHandler = void (*)();

// Shows the progress dialog modally over `owner`; once it is up, starts one worker
// thread running `worker`. Returns when the worker has ended the dialog.
void RunProgressDialog(Instance instance, Window owner, ProgressWorker worker,
                       CancelHandler onCancel);
void EndProgressDialog(Window dialog);

// Called from the worker; carried out by the dialog's thread. A quiet run's worker has no
// dialog: these calls, and EndProgressDialog, do nothing for a nullptr dialog.
void SetControlText(Window dialog, int control, const char* text);
void ShowControl(Window dialog, int control, bool show);
void SetProgressRange(Window dialog, int bar, uint32_t maximum);  // from 0
void SetProgressPosition(Window dialog, int bar, uint32_t position);
void StepProgress(Window dialog, int bar);                        // by one

// The overwrite dialogs 116 and 117, modal, owned by `owner`, showing `path`; returns the
// id of the button pressed (2 for Esc and the close box).
constexpr int kDialogNewerFile = 116;
constexpr int kDialogSameFile = 117;
int RunOverwriteDialog(Instance instance, Window owner, int dialog, const char* path);

}  // namespace platform
