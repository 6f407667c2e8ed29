// The windows and the transcript of the simulated user interface.
#include "platform/sim/machine/sim_ui.h"

#include "platform/sim/machine/sim_machine.h"

namespace sim {

SimWindow* SimUi::NewWindow(WindowKind kind, int dialog, platform::Window owner) {
  windows_.push_back(std::make_unique<SimWindow>(kind, dialog, owner));
  return windows_.back().get();
}

SimWindow* SimUi::Find(platform::Window handle, WindowKind kind, std::string* error) {
  for (const std::unique_ptr<SimWindow>& window : windows_) {
    if (window->Handle() != handle) continue;
    if (!window->alive) {
      *error = Describe(handle) + " is used after it has gone";
      return nullptr;
    }
    if (window->kind != kind) {
      *error = Describe(handle) + " is not the kind of window the operation needs";
      return nullptr;
    }
    return window.get();
  }
  *error = handle == nullptr ? "no window given" : "a window handle that names no window";
  return nullptr;
}

std::string SimUi::Describe(platform::Window handle) const {
  if (handle == nullptr) return "no owner";
  for (const std::unique_ptr<SimWindow>& window : windows_) {
    if (window.get() != handle) continue;
    switch (window->kind) {
      case WindowKind::kBackground: return "the background window";
      case WindowKind::kWizardPage: return "page " + std::to_string(window->dialog);
      case WindowKind::kProgressDialog: return "the progress dialog";
    }
  }
  return "an unknown window";
}

void SimUi::Note(const std::string& line) {
  transcript.push_back(line);
  if (onShow) onShow(line);
}

bool SimUi::Closing() const {
  for (const BackgroundRecord& record : backgrounds) {
    if (record.closeMessages == 0) continue;
    for (const std::unique_ptr<SimWindow>& window : windows_) {
      if (window.get() == record.window && window->alive) return true;
    }
  }
  return false;
}

void UseDefaultAnswers() {
  SimMachine& machine = CurrentMachine();
  machine.ui.answers.useDefaults = true;
  machine.user.AnswerWithDefaults(true);
}

}  // namespace sim
