// The progress dialog on the simulated Windows. As on the real one, the worker runs on a
// thread of its own while the dialog's thread waits for it; every update the worker makes
// is recorded, and the scripted user presses Cancel when the moment the script names comes.
#include "platform/progress_dialog.h"

#include <exception>
#include <string>
#include <thread>

#include "platform/sim/machine/sim_machine.h"

namespace platform {
namespace {

using sim::ProgressEvent;
using sim::SimMachine;
using sim::SimWindow;
using sim::WindowKind;

// The running dialog behind `dialog`, reporting a fault of the program when there is
// none (an unknown handle, or a dialog that has already ended). nullptr, a quiet run's
// worker without a dialog, is no fault: there is nothing to update.
SimWindow* FindDialog(SimMachine& machine, Window dialog, const char* operation) {
  if (dialog == nullptr) return nullptr;
  std::string error;
  SimWindow* window = machine.ui.Find(dialog, WindowKind::kProgressDialog, &error);
  if (window == nullptr || machine.ui.activeProgressWindow != window ||
      machine.ui.activeProgress->ended) {
    machine.ReportError(std::string(operation) + ": " +
                        (window ? "the progress dialog has ended" : error));
    return nullptr;
  }
  return window;
}

std::string ControlName(int control) {
  switch (control) {
    case kProgressStatusText: return "the status text";
    case kProgressOverallBar: return "the overall bar";
    case kProgressFileBar: return "the per-file bar";
    case kProgressCancelButton: return "the Cancel button";
    default: return "control " + std::to_string(control);
  }
}

void AddEvent(SimMachine& machine, ProgressEvent::Kind kind, int control, const std::string& text,
              uint32_t value) {
  machine.ui.activeProgress->events.push_back({kind, control, text, value});
}

// The scripted press of Cancel, checked whenever the worker updates the dialog. On the
// real system the press arrives on the dialog's thread while the worker goes on; here it
// happens on the worker's thread, inside the update, which is the moment the script names.
void MaybePressCancel(SimMachine& machine, const SimWindow& window) {
  sim::ProgressRecord& record = *machine.ui.activeProgress;
  const sim::CancelPress* press = machine.ui.answers.NextCancel();
  if (press == nullptr) return;
  const bool due = press->when == sim::CancelPress::When::kStatusText
                       ? !record.statusTexts.empty() && record.statusTexts.back() == press->status
                       : window.bars.at(kProgressOverallBar).steps >= press->steps;
  if (!due) return;
  const std::string described = sim::DescribeCancelPress(*press);
  machine.ui.answers.DropNextCancel();
  if (!window.controls.at(kProgressCancelButton).visible) {
    machine.ReportError("the user cannot press Cancel (" + described + "): the button is hidden");
    return;
  }
  ++record.cancelPresses;
  AddEvent(machine, ProgressEvent::Kind::kCancelPressed, kProgressCancelButton, "", 0);
  machine.ui.Note("  user presses Cancel");
  if (machine.ui.cancelHandler != nullptr) machine.ui.cancelHandler();
}

void CloseRecord(SimMachine& machine, SimWindow* window) {
  sim::ProgressRecord& record = *machine.ui.activeProgress;
  record.overallBar = window->bars.at(kProgressOverallBar);
  record.fileBar = window->bars.at(kProgressFileBar);
  record.cancelButtonVisible = window->controls.at(kProgressCancelButton).visible;
  window->alive = false;
  machine.ui.activeProgress = nullptr;
  machine.ui.activeProgressWindow = nullptr;
  machine.ui.cancelHandler = nullptr;
  const sim::SimBar& bar = record.overallBar;
  machine.ui.Note("  overall bar: " + std::to_string(bar.position) + " of " +
                  std::to_string(bar.range) + " after " + std::to_string(bar.steps) + " steps");
}

}  // namespace

void RunProgressDialog(Instance instance, Window owner, ProgressWorker worker,
                       CancelHandler onCancel) {
  (void)instance;
  SimMachine& machine = sim::CurrentMachine();
  if (machine.ui.activeProgress != nullptr) {
    machine.ReportError("a second progress dialog opened while one runs");
    return;
  }
  if (machine.ui.Closing()) {
    machine.ReportError("the progress dialog opened after the close message");
  }
  SimWindow* window = machine.ui.NewWindow(WindowKind::kProgressDialog, 112, owner);
  machine.ui.progress.emplace_back();
  machine.ui.activeProgress = &machine.ui.progress.back();
  machine.ui.activeProgress->dialog = window->Handle();
  machine.ui.activeProgress->owner = owner;
  machine.ui.activeProgressWindow = window;
  machine.ui.cancelHandler = onCancel;
  machine.ui.Note("progress dialog \"Extracting files...\" over " + machine.ui.Describe(owner));

  // Whatever leaves the worker by an exception (the simulated end of the process above
  // all) would end the host program on its thread; it is carried over to this one.
  std::exception_ptr failure;
  std::thread thread([&failure, worker, window] {
    try {
      worker(window->Handle());
    } catch (...) {
      failure = std::current_exception();
    }
  });
  thread.join();

  const bool ended = machine.ui.activeProgress->ended;
  CloseRecord(machine, window);
  if (failure) std::rethrow_exception(failure);
  if (!ended) {
    machine.ReportError("the progress dialog's worker returned without ending the dialog");
  }
}

void EndProgressDialog(Window dialog) {
  SimMachine& machine = sim::CurrentMachine();
  if (FindDialog(machine, dialog, "EndProgressDialog") == nullptr) return;
  machine.ui.activeProgress->ended = true;
  AddEvent(machine, ProgressEvent::Kind::kEnd, 0, "", 0);
  machine.ui.Note("  the progress dialog closes");
}

void SetControlText(Window dialog, int control, const char* text) {
  SimMachine& machine = sim::CurrentMachine();
  SimWindow* window = FindDialog(machine, dialog, "SetControlText");
  if (window == nullptr) return;
  sim::SimControl* item = window->Control(control);
  if (item == nullptr || window->Bar(control) != nullptr) {
    machine.ReportError("SetControlText: the progress dialog has no text control " +
                        std::to_string(control));
    return;
  }
  item->text = text ? text : "";
  AddEvent(machine, ProgressEvent::Kind::kText, control, item->text, 0);
  if (control != kProgressStatusText) return;
  machine.ui.activeProgress->statusTexts.push_back(item->text);
  machine.ui.Note("  status: " + item->text);
  MaybePressCancel(machine, *window);
}

void ShowControl(Window dialog, int control, bool show) {
  SimMachine& machine = sim::CurrentMachine();
  SimWindow* window = FindDialog(machine, dialog, "ShowControl");
  if (window == nullptr) return;
  sim::SimControl* item = window->Control(control);
  if (item == nullptr) {
    machine.ReportError("ShowControl: the progress dialog has no control " +
                        std::to_string(control));
    return;
  }
  if (item->visible != show) {
    machine.ui.Note(std::string("  ") + (show ? "shows " : "hides ") + ControlName(control));
  }
  item->visible = show;
  AddEvent(machine, show ? ProgressEvent::Kind::kShow : ProgressEvent::Kind::kHide, control, "", 0);
}

void SetProgressRange(Window dialog, int bar, uint32_t maximum) {
  SimMachine& machine = sim::CurrentMachine();
  SimWindow* window = FindDialog(machine, dialog, "SetProgressRange");
  sim::SimBar* item = window ? window->Bar(bar) : nullptr;
  if (item == nullptr) {
    if (window) machine.ReportError("SetProgressRange: no bar " + std::to_string(bar));
    return;
  }
  // The bar's range is a 16-bit one (PBM_SETRANGE); a larger maximum is the program's fault.
  if (maximum > 0xFFFF) {
    machine.ReportError("SetProgressRange: " + std::to_string(maximum) + " exceeds 65535");
    maximum = 0xFFFF;
  }
  item->range = maximum;
  if (item->position > maximum) item->position = maximum;
  AddEvent(machine, ProgressEvent::Kind::kRange, bar, "", maximum);
}

void SetProgressPosition(Window dialog, int bar, uint32_t position) {
  SimMachine& machine = sim::CurrentMachine();
  SimWindow* window = FindDialog(machine, dialog, "SetProgressPosition");
  sim::SimBar* item = window ? window->Bar(bar) : nullptr;
  if (item == nullptr) {
    if (window) machine.ReportError("SetProgressPosition: no bar " + std::to_string(bar));
    return;
  }
  item->position = position > item->range ? item->range : position;
  AddEvent(machine, ProgressEvent::Kind::kPosition, bar, "", position);
}

void StepProgress(Window dialog, int bar) {
  SimMachine& machine = sim::CurrentMachine();
  SimWindow* window = FindDialog(machine, dialog, "StepProgress");
  sim::SimBar* item = window ? window->Bar(bar) : nullptr;
  if (item == nullptr) {
    if (window) machine.ReportError("StepProgress: no bar " + std::to_string(bar));
    return;
  }
  ++item->steps;
  if (item->position < item->range) {
    ++item->position;
  } else {
    ++item->stepsBeyondRange;
  }
  AddEvent(machine, ProgressEvent::Kind::kStep, bar, "", 0);
  if (bar == kProgressOverallBar) MaybePressCancel(machine, *window);
}

}  // namespace platform
