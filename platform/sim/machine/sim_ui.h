// The user interface of the simulated Windows: its windows, the scripted answers for
// them, and a record of everything it showed. The platform operations of
// background_window.h, wizard.h and progress_dialog.h act on it (message boxes stay with
// SimUser). Everything shown is also told, as one line of text, to `onShow`.
#pragma once

#include <stdint.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/progress_dialog.h"
#include "platform/sim/machine/sim_answers.h"
#include "platform/sim/machine/sim_window.h"

namespace sim {

// A wizard page as the user saw it: after its activation, before the user acted.
struct ShownPage {
  int dialog = 0;
  std::map<int, SimControl> controls;
  uint32_t buttons = 0;  // kWizardBack | kWizardNext | kWizardFinish
};

struct ShownOverwrite {
  int dialog = 0;
  std::string path;
  platform::Window owner = nullptr;
  int answer = 0;
  bool expected = true;  // false: the script did not foresee it
};

struct ShownBrowse {
  std::string title;
  platform::Window owner = nullptr;
  bool chosen = false;  // false: the browser was cancelled
  std::string folder;
};

// One update of the progress dialog by its worker, in order.
struct ProgressEvent {
  enum class Kind { kText, kShow, kHide, kRange, kPosition, kStep, kCancelPressed, kEnd };
  Kind kind;
  int control = 0;
  std::string text;    // kText
  uint32_t value = 0;  // kRange, kPosition
};

struct ProgressRecord {
  platform::Window dialog = nullptr;
  platform::Window owner = nullptr;
  std::vector<ProgressEvent> events;
  std::vector<std::string> statusTexts;  // every text set on control 1000, in order
  int cancelPresses = 0;
  bool ended = false;  // the worker ended the dialog
  // The bars and controls as the dialog closed.
  SimBar overallBar;
  SimBar fileBar;
  bool cancelButtonVisible = true;
};

struct BackgroundRecord {
  platform::Window window = nullptr;
  int startMessage = 0;
  bool shown = true;      // false: created hidden (a quiet run)
  int closeMessages = 0;  // close messages posted
  uint32_t exitCode = 0;  // carried by the first close message
  int updates = 0;        // UpdateWindowNow calls
};

class SimUi {
 public:
  SimAnswers answers;

  // Told every line of the transcript as it happens.
  std::function<void(const std::string&)> onShow;

  // --- What was shown. ---
  std::vector<std::string> transcript;
  std::vector<ShownPage> pages;
  std::vector<ShownOverwrite> overwrites;
  std::vector<ShownBrowse> browses;
  std::vector<ProgressRecord> progress;
  std::vector<BackgroundRecord> backgrounds;
  // The texts the program gave the dialog templates' controls, by (dialog, control); a
  // control 0 is the caption, a dialog 0 the wizard's frame.
  std::map<std::pair<int, int>, std::string> dialogTexts;
  std::string backgroundName;  // the background window's name on the task bar
  bool wizardRan = false;
  bool wizardFinished = false;  // the last wizard ended with Finish

  // --- Used by the platform operations. ---
  // A new window, owned by the UI for the life of the machine, so that a handle used
  // after its window has gone is still recognised (and reported).
  SimWindow* NewWindow(WindowKind kind, int dialog, platform::Window owner);
  // The live window behind `handle` of the given kind; otherwise *error says why.
  SimWindow* Find(platform::Window handle, WindowKind kind, std::string* error);
  // How to name a window in the transcript: "the background window", "page 102", ...
  std::string Describe(platform::Window handle) const;
  void Note(const std::string& line);
  // True once a background window that is still up has had its close message posted:
  // a modal window shown then would take the close message into its own loop, and the
  // process would end under it.
  bool Closing() const;

  // The wizard that runs: its buttons, and the browse the user is about to make.
  uint32_t wizardButtons = 0;
  bool browsePending = false;
  PageAnswer pendingBrowse;

  // The progress dialog that runs, and its Cancel button's handler.
  ProgressRecord* activeProgress = nullptr;
  SimWindow* activeProgressWindow = nullptr;
  platform::CancelHandler cancelHandler = nullptr;

 private:
  std::vector<std::unique_ptr<SimWindow>> windows_;
};

// Puts the user and the UI of the current machine into default mode: every window and
// message box gets its default answer and nothing is unexpected.
void UseDefaultAnswers();

}  // namespace sim
