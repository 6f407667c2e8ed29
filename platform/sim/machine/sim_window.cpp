// The fake windows of the simulated user interface, made from the dialog templates.
#include "platform/sim/machine/sim_window.h"

namespace sim {
namespace {

// Controls with an id in the templates of the stub's resources; the static texts
// without one cannot be reached by the program and are left out.
void AddTemplateControls(SimWindow& window) {
  switch (window.dialog) {
    case 111:  // Welcome
    case 101:  // License Agreement
    case 114:  // Select Start-Menu Folder
      window.controls[1000];
      break;
    case 102:  // Select Directory: the folder field, the browse button, the estimate
      window.controls[1000];
      window.controls[1012].text = "...";
      window.controls[1006];
      break;
    case 112:  // Extracting files...: status text, overall and per-file bar, Cancel
      window.controls[1000];
      window.controls[1005];
      window.controls[1006].visible = false;
      window.controls[2].text = "Cancel";
      window.bars[1005];
      window.bars[1006];
      break;
    default:
      break;
  }
}

}  // namespace

SimWindow::SimWindow(WindowKind windowKind, int dialogId, platform::Window ownerWindow)
    : kind(windowKind), dialog(dialogId), owner(ownerWindow) {
  AddTemplateControls(*this);
}

SimControl* SimWindow::Control(int id) {
  auto found = controls.find(id);
  return found == controls.end() ? nullptr : &found->second;
}

SimBar* SimWindow::Bar(int id) {
  auto found = bars.find(id);
  return found == bars.end() ? nullptr : &found->second;
}

const char* DialogTitle(int dialog) {
  switch (dialog) {
    case 101: return "License Agreement";
    case 102: return "Select Directory";
    case 111: return "Welcome";
    case 112: return "Extracting files...";
    case 114: return "Select Start-Menu Folder";
    case 116:
    case 117: return "Overwrite file?";
    default: return "";
  }
}

}  // namespace sim
