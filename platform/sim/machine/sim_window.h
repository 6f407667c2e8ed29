// The windows of the simulated user interface: the background window, the wizard's pages
// and the progress dialog. Each is a fake window with the controls of its template, so
// that a control the template lacks, or a window used after it has gone, is caught.
#pragma once

#include <stdint.h>

#include <map>
#include <string>

#include "platform/handles.h"

namespace sim {

enum class WindowKind { kBackground, kWizardPage, kProgressDialog };

struct SimControl {
  std::string text;
  bool enabled = true;
  bool visible = true;
};

// A progress bar as the platform's control keeps it: a range from 0, and a position that
// never leaves it. Steps that would pass the end are counted, since the real bar hides them.
struct SimBar {
  uint32_t range = 100;  // the platform's default range is 0..100
  uint32_t position = 0;
  uint32_t steps = 0;
  uint32_t stepsBeyondRange = 0;
};

class SimWindow {
 public:
  // A window of `kind` made from dialog template `dialog` (0 for the background window),
  // holding that template's controls in their initial state.
  SimWindow(WindowKind kind, int dialog, platform::Window owner);

  platform::Window Handle() { return this; }

  WindowKind kind;
  int dialog;
  platform::Window owner;
  bool alive = true;  // false once the dialog has ended or the wizard has closed

  std::map<int, SimControl> controls;
  std::map<int, SimBar> bars;  // the progress bars among the controls

  // The control, or nullptr when the template has none of that id.
  SimControl* Control(int id);
  SimBar* Bar(int id);
};

// Names the dialog templates by their titles, for what the simulation prints.
const char* DialogTitle(int dialog);

}  // namespace sim
