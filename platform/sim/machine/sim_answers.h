// What the simulated user does in the wizard, the overwrite dialogs and the progress
// dialog: a script per kind of window, each taken in order. Without a script (default
// mode) the user takes the default of every window and nothing counts as unexpected.
#pragma once

#include <stdint.h>

#include <deque>
#include <string>
#include <vector>

namespace sim {

enum class WizardAction { kNext, kBack, kFinish, kCancel };

// The user's doings on one wizard page, in this order: type a new text into the page's
// field (control 1000), click the browse button and pick a folder or cancel the browser,
// then press a button.
struct PageAnswer {
  enum class Browse { kNone, kChoose, kCancel };

  int dialog = 0;  // the page expected (111, 101, 102, 114); 0: whichever is shown
  bool typeText = false;
  std::string text;
  Browse browse = Browse::kNone;
  std::string browseFolder;  // for kChoose
  WizardAction action = WizardAction::kNext;
};

struct OverwriteAnswer {
  int dialog = 0;     // 116 or 117; 0: either
  std::string path;   // the path the dialog must show exactly; "" any
  int answer = 2;     // the id of the button pressed (2 is also Esc and the close box)
};

// When the user presses the progress dialog's Cancel button: as soon as the status text
// becomes `status`, or right after the overall bar has stepped `steps` times.
struct CancelPress {
  enum class When { kStatusText, kOverallSteps };
  When when = When::kStatusText;
  std::string status;
  uint32_t steps = 0;
};

class SimAnswers {
 public:
  void Page(const PageAnswer& answer) { pages_.push_back(answer); }
  void Overwrite(const OverwriteAnswer& answer) { overwrites_.push_back(answer); }
  void Cancel(const CancelPress& press) { cancels_.push_back(press); }

  // Shorthands for the common cases.
  void PagePress(int dialog, WizardAction action);
  void PageType(int dialog, const std::string& text, WizardAction action);
  void PageBrowse(int dialog, const std::string& folder, WizardAction action);  // "" cancels
  void OverwritePress(int dialog, const std::string& path, int answer);
  void CancelWhenStatus(const std::string& status);
  void CancelAfterSteps(uint32_t steps);

  // Default mode: every window without a scripted answer gets its default.
  bool useDefaults = false;

  // The next page answer when it fits `dialog`; false when the script has none for it
  // (the mismatch is described in *error, left empty in default mode with an empty
  // script).
  bool TakePage(int dialog, PageAnswer* answer, std::string* error);
  bool TakeOverwrite(int dialog, const std::string& path, OverwriteAnswer* answer,
                     std::string* error);

  // The cancel press that waits for its moment, or nullptr.
  const CancelPress* NextCancel() const;
  void DropNextCancel();

  // Script entries that were never used, described one per line.
  std::vector<std::string> Unused() const;
  size_t PendingCount() const { return pages_.size() + overwrites_.size() + cancels_.size(); }

 private:
  std::deque<PageAnswer> pages_;
  std::deque<OverwriteAnswer> overwrites_;
  std::deque<CancelPress> cancels_;
};

std::string DescribePageAnswer(const PageAnswer& answer);
std::string DescribeOverwriteAnswer(const OverwriteAnswer& answer);
std::string DescribeCancelPress(const CancelPress& press);
const char* WizardActionName(WizardAction action);

}  // namespace sim
