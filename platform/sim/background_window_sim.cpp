// The background window on the simulated Windows: a fake window whose start message
// calls the handler at once, and whose close message ends the run.
#include <string>

#include "platform/background_window.h"
#include "platform/sim/machine/sim_machine.h"

namespace platform {
namespace {

sim::BackgroundRecord* RecordOf(sim::SimMachine& machine, Window window) {
  for (sim::BackgroundRecord& record : machine.ui.backgrounds) {
    if (record.window == window) return &record;
  }
  return nullptr;
}

}  // namespace

// The fake window paints nothing, and its transcript stays as it was, so the texts are
// not kept.
void SetBackgroundTexts(const char* title, const char* bottomText, const char* name) {
  (void)title;
  (void)bottomText;
  sim::CurrentMachine().ui.backgroundName = name != nullptr ? name : "";
}

int RunBackgroundWindow(Instance instance, int startMessage, StartHandler handler, bool shown) {
  sim::SimMachine& machine = sim::CurrentMachine();
  sim::SimWindow* window = machine.ui.NewWindow(sim::WindowKind::kBackground, 0, nullptr);
  sim::BackgroundRecord record;
  record.window = window->Handle();
  record.startMessage = startMessage;
  record.shown = shown;
  machine.ui.backgrounds.push_back(record);
  const size_t index = machine.ui.backgrounds.size() - 1;
  machine.ui.Note(std::string("background window ") + (shown ? "shown" : "hidden") +
                  "; start message " + std::to_string(startMessage));

  handler(instance, window->Handle());

  window->alive = false;
  if (machine.ui.backgrounds[index].closeMessages == 0) {
    // The real message loop would wait for ever: every handler must end the run.
    machine.ReportError("the start handler returned without posting the close message");
    return 1;
  }
  const uint32_t exitCode = machine.ui.backgrounds[index].exitCode;
  machine.ui.Note("close message: the process ends with exit code " + std::to_string(exitCode));
  return static_cast<int>(exitCode);
}

void PostCloseMessage(Window background, uint32_t exitCode) {
  sim::SimMachine& machine = sim::CurrentMachine();
  std::string error;
  sim::BackgroundRecord* record = RecordOf(machine, background);
  if (machine.ui.Find(background, sim::WindowKind::kBackground, &error) == nullptr ||
      record == nullptr) {
    machine.ReportError("PostCloseMessage: " + error);
    return;
  }
  // The first close message ends the process; later ones are never handled.
  if (record->closeMessages++ == 0) record->exitCode = exitCode;
}

void UpdateWindowNow(Window window) {
  sim::SimMachine& machine = sim::CurrentMachine();
  sim::BackgroundRecord* record = RecordOf(machine, window);
  std::string error;
  if (record == nullptr || machine.ui.Find(window, sim::WindowKind::kBackground, &error) == nullptr) {
    machine.ReportError("UpdateWindowNow: " + (error.empty() ? "not the background window" : error));
    return;
  }
  ++record->updates;
}

}  // namespace platform
