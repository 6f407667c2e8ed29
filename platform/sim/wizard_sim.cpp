// The wizard on the simulated Windows: drives the page procedures as the property sheet
// does and lets the scripted user act on each page shown.
#include "platform/wizard.h"

#include <string.h>

#include <string>
#include <vector>

#include "platform/sim/machine/sim_machine.h"

namespace platform {
namespace {

using sim::PageAnswer;
using sim::SimMachine;
using sim::SimWindow;
using sim::WizardAction;
using sim::WindowKind;

// A script that keeps the wizard going round in circles must not hang a test.
constexpr int kMaxWizardSteps = 1000;

std::string ButtonNames(uint32_t buttons) {
  std::string names;
  if (buttons & kWizardBack) names += " Back";
  if (buttons & kWizardNext) names += " Next";
  if (buttons & kWizardFinish) names += " Finish";
  return names.empty() ? " (none)" : names;
}

std::string ControlLines(const SimWindow& page) {
  std::string lines;
  for (const auto& [id, control] : page.controls) {
    if (id == 1012) continue;  // the browse button's fixed "..."
    std::string text;
    for (char c : control.text) text += c == '\n' ? std::string("\n      ") : std::string(1, c);
    lines += "\n    [" + std::to_string(id) + "] \"" + text + "\"";
    if (!control.enabled) lines += " (disabled)";
  }
  return lines;
}

void RecordPage(SimMachine& machine, const SimWindow& page) {
  sim::ShownPage shown;
  shown.dialog = page.dialog;
  shown.controls = page.controls;
  shown.buttons = machine.ui.wizardButtons;
  machine.ui.pages.push_back(shown);
  machine.ui.Note("wizard page " + std::to_string(page.dialog) + " \"" +
                  sim::DialogTitle(page.dialog) + "\", buttons:" +
                  ButtonNames(shown.buttons) + ControlLines(page));
}

// Shows a page as the sheet does: created on its first display, activated every time.
void ShowPage(const WizardPage& page, SimWindow* window, bool first) {
  if (first) page.proc(window->Handle(), WizardEvent::kCreate);
  page.proc(window->Handle(), WizardEvent::kActivate);
  page.proc(window->Handle(), WizardEvent::kShown);
}

// What the user does when the script has nothing for the page: Next, or Finish on the
// page that offers it.
PageAnswer DefaultAnswer(uint32_t buttons) {
  PageAnswer answer;
  answer.action = (buttons & kWizardNext) ? WizardAction::kNext : WizardAction::kFinish;
  return answer;
}

void TypeText(SimMachine& machine, SimWindow* window, const std::string& text) {
  sim::SimControl* field = window->Control(1000);
  if (field == nullptr || !field->enabled) {
    machine.ReportError("the user cannot type into control 1000 of page " +
                        std::to_string(window->dialog) + ": it is disabled or missing");
    return;
  }
  field->text = text;
  machine.ui.Note("  user types \"" + text + "\"");
}

void Browse(SimMachine& machine, const WizardPage& page, SimWindow* window,
            const PageAnswer& answer) {
  machine.ui.browsePending = true;
  machine.ui.pendingBrowse = answer;
  machine.ui.Note("  user clicks \"...\"");
  page.proc(window->Handle(), WizardEvent::kBrowse);
  if (machine.ui.browsePending) {
    machine.ui.browsePending = false;
    machine.ReportError("page " + std::to_string(window->dialog) +
                        " did not open the folder browser for its browse button");
  }
}

bool Offers(uint32_t buttons, WizardAction action) {
  switch (action) {
    case WizardAction::kNext: return (buttons & kWizardNext) != 0;
    case WizardAction::kBack: return (buttons & kWizardBack) != 0;
    case WizardAction::kFinish: return (buttons & kWizardFinish) != 0;
    case WizardAction::kCancel: return true;
  }
  return false;
}

enum class Outcome { kStay, kNext, kBack, kFinished, kCancelled, kGaveUp };

Outcome KeptOnPage(SimMachine& machine) {
  machine.ui.Note("  the page keeps the user");
  return Outcome::kStay;
}

// One doing of the user on the current page.
Outcome Act(SimMachine& machine, const WizardPage& page, SimWindow* window, int index,
            int count) {
  PageAnswer answer;
  std::string error;
  if (!machine.ui.answers.TakePage(window->dialog, &answer, &error)) {
    if (!error.empty()) {
      machine.ReportError(error);
      return Outcome::kGaveUp;
    }
    answer = DefaultAnswer(machine.ui.wizardButtons);
  }
  if (answer.typeText) TypeText(machine, window, answer.text);
  if (answer.browse != PageAnswer::Browse::kNone) Browse(machine, page, window, answer);

  const WizardAction action = answer.action;
  const bool possible = Offers(machine.ui.wizardButtons, action) &&
                        !(action == WizardAction::kNext && index + 1 >= count) &&
                        !(action == WizardAction::kBack && index == 0);
  machine.ui.Note(std::string("  user presses ") + sim::WizardActionName(action));
  if (!possible) {
    machine.ReportError(std::string("the user cannot press ") + sim::WizardActionName(action) +
                        " on page " + std::to_string(window->dialog) + ": buttons" +
                        ButtonNames(machine.ui.wizardButtons));
    return Outcome::kGaveUp;
  }
  switch (action) {
    case WizardAction::kNext:
      if (!page.proc(window->Handle(), WizardEvent::kNext)) return KeptOnPage(machine);
      return Outcome::kNext;
    case WizardAction::kBack:
      if (!page.proc(window->Handle(), WizardEvent::kBack)) return KeptOnPage(machine);
      return Outcome::kBack;
    case WizardAction::kFinish:
      if (!page.proc(window->Handle(), WizardEvent::kFinish)) return KeptOnPage(machine);
      return Outcome::kFinished;
    case WizardAction::kCancel:
      if (page.proc(window->Handle(), WizardEvent::kQueryCancel)) return Outcome::kCancelled;
      machine.ui.Note("  the page keeps the wizard open");
      return Outcome::kStay;
  }
  return Outcome::kGaveUp;
}

bool EndWizard(SimMachine& machine, std::vector<SimWindow*>& windows, bool finished,
               const char* how) {
  for (SimWindow* window : windows) {
    if (window != nullptr) window->alive = false;
  }
  machine.ui.wizardFinished = finished;
  machine.ui.Note(std::string("wizard ") + how);
  return finished;
}

}  // namespace

bool RunWizard(Instance instance, Window owner, const WizardPage* pages, int count) {
  (void)instance;
  SimMachine& machine = sim::CurrentMachine();
  machine.ui.wizardRan = true;
  if (machine.ui.Closing()) machine.ReportError("the wizard opened after the close message");
  machine.ui.wizardButtons = 0;
  std::vector<SimWindow*> windows(count > 0 ? count : 0, nullptr);
  if (count <= 0) {
    machine.ReportError("the wizard was given no pages");
    return EndWizard(machine, windows, false, "had no pages");
  }
  int index = 0;
  for (int step = 0; step < kMaxWizardSteps; ++step) {
    const bool first = windows[index] == nullptr;
    if (first) {
      windows[index] = machine.ui.NewWindow(WindowKind::kWizardPage, pages[index].dialog, owner);
    }
    SimWindow* window = windows[index];
    ShowPage(pages[index], window, first);
    RecordPage(machine, *window);
    Outcome outcome = Outcome::kStay;
    while (outcome == Outcome::kStay && ++step < kMaxWizardSteps) {
      outcome = Act(machine, pages[index], window, index, count);
    }
    switch (outcome) {
      case Outcome::kNext: ++index; break;
      case Outcome::kBack: --index; break;
      case Outcome::kFinished: return EndWizard(machine, windows, true, "finished");
      case Outcome::kCancelled: return EndWizard(machine, windows, false, "cancelled");
      case Outcome::kGaveUp:
        return EndWizard(machine, windows, false, "closed by the simulation");
      case Outcome::kStay: break;
    }
  }
  machine.ReportError("the wizard went on for more than " + std::to_string(kMaxWizardSteps) +
                      " steps");
  return EndWizard(machine, windows, false, "closed by the simulation");
}

void SetWizardButtons(Window page, uint32_t buttons) {
  SimMachine& machine = sim::CurrentMachine();
  std::string error;
  if (machine.ui.Find(page, WindowKind::kWizardPage, &error) == nullptr) {
    machine.ReportError("SetWizardButtons: " + error);
    return;
  }
  machine.ui.wizardButtons = buttons;
}

void SetPageText(Window page, int control, const char* text) {
  SimMachine& machine = sim::CurrentMachine();
  std::string error;
  SimWindow* window = machine.ui.Find(page, WindowKind::kWizardPage, &error);
  sim::SimControl* item = window ? window->Control(control) : nullptr;
  if (item == nullptr) {
    machine.ReportError("SetPageText " + std::to_string(control) + ": " +
                        (window ? "the page has no such control" : error));
    return;
  }
  item->text = text ? text : "";
}

void GetPageText(Window page, int control, char* out, uint32_t size) {
  if (size == 0) return;
  out[0] = '\0';
  SimMachine& machine = sim::CurrentMachine();
  std::string error;
  SimWindow* window = machine.ui.Find(page, WindowKind::kWizardPage, &error);
  sim::SimControl* item = window ? window->Control(control) : nullptr;
  if (item == nullptr) {
    machine.ReportError("GetPageText " + std::to_string(control) + ": " +
                        (window ? "the page has no such control" : error));
    return;
  }
  const size_t length = item->text.size() < size - 1 ? item->text.size() : size - 1;
  memcpy(out, item->text.data(), length);
  out[length] = '\0';
}

void EnablePageControl(Window page, int control, bool enable) {
  SimMachine& machine = sim::CurrentMachine();
  std::string error;
  SimWindow* window = machine.ui.Find(page, WindowKind::kWizardPage, &error);
  sim::SimControl* item = window ? window->Control(control) : nullptr;
  if (item == nullptr) {
    machine.ReportError("EnablePageControl " + std::to_string(control) + ": " +
                        (window ? "the page has no such control" : error));
    return;
  }
  item->enabled = enable;
}

bool BrowseForFolder(Window owner, const char* title, char* out, uint32_t size) {
  SimMachine& machine = sim::CurrentMachine();
  sim::ShownBrowse shown;
  shown.title = title ? title : "";
  shown.owner = owner;
  if (machine.ui.browsePending) {
    machine.ui.browsePending = false;
    const PageAnswer& answer = machine.ui.pendingBrowse;
    shown.chosen = answer.browse == PageAnswer::Browse::kChoose;
    shown.folder = answer.browseFolder;
  } else if (!machine.ui.answers.useDefaults) {
    machine.ReportError("the folder browser \"" + shown.title + "\" opened without a click");
  }
  // The shell hands back at most MAX_PATH characters; a folder that does not fit the
  // caller's buffer is no answer rather than a cut one.
  if (shown.chosen && (shown.folder.size() >= size || shown.folder.size() >= 260)) {
    shown.chosen = false;
  }
  machine.ui.browses.push_back(shown);
  machine.ui.Note("  folder browser \"" + shown.title + "\": " +
                  (shown.chosen ? "user picks \"" + shown.folder + "\"" : "cancelled"));
  if (!shown.chosen) return false;
  memcpy(out, shown.folder.c_str(), shown.folder.size() + 1);
  return true;
}

void CenterWizard(Window page) {
  SimMachine& machine = sim::CurrentMachine();
  std::string error;
  if (machine.ui.Find(page, WindowKind::kWizardPage, &error) == nullptr) {
    machine.ReportError("CenterWizard: " + error);
  }
}

}  // namespace platform
