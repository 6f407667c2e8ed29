// The scripted answers of the simulated user for the wizard and the dialogs.
#include "platform/sim/machine/sim_answers.h"

namespace sim {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string DialogOrAny(int dialog) { return dialog == 0 ? "*" : std::to_string(dialog); }

}  // namespace

void SimAnswers::PagePress(int dialog, WizardAction action) {
  PageAnswer answer;
  answer.dialog = dialog;
  answer.action = action;
  Page(answer);
}

void SimAnswers::PageType(int dialog, const std::string& text, WizardAction action) {
  PageAnswer answer;
  answer.dialog = dialog;
  answer.typeText = true;
  answer.text = text;
  answer.action = action;
  Page(answer);
}

void SimAnswers::PageBrowse(int dialog, const std::string& folder, WizardAction action) {
  PageAnswer answer;
  answer.dialog = dialog;
  answer.browse = folder.empty() ? PageAnswer::Browse::kCancel : PageAnswer::Browse::kChoose;
  answer.browseFolder = folder;
  answer.action = action;
  Page(answer);
}

void SimAnswers::OverwritePress(int dialog, const std::string& path, int answer) {
  Overwrite({dialog, path, answer});
}

void SimAnswers::CancelWhenStatus(const std::string& status) {
  CancelPress press;
  press.when = CancelPress::When::kStatusText;
  press.status = status;
  Cancel(press);
}

void SimAnswers::CancelAfterSteps(uint32_t steps) {
  CancelPress press;
  press.when = CancelPress::When::kOverallSteps;
  press.steps = steps;
  Cancel(press);
}

bool SimAnswers::TakePage(int dialog, PageAnswer* answer, std::string* error) {
  if (!pages_.empty() && (pages_.front().dialog == 0 || pages_.front().dialog == dialog)) {
    *answer = pages_.front();
    pages_.pop_front();
    return true;
  }
  if (useDefaults) return false;
  *error = "unexpected wizard page " + std::to_string(dialog);
  if (!pages_.empty()) *error += "; expected " + DescribePageAnswer(pages_.front());
  return false;
}

bool SimAnswers::TakeOverwrite(int dialog, const std::string& path, OverwriteAnswer* answer,
                               std::string* error) {
  if (!overwrites_.empty()) {
    const OverwriteAnswer& next = overwrites_.front();
    if ((next.dialog == 0 || next.dialog == dialog) && (next.path.empty() || next.path == path)) {
      *answer = next;
      overwrites_.pop_front();
      return true;
    }
  }
  if (useDefaults) return false;
  *error = "unexpected overwrite dialog " + std::to_string(dialog) + " for " + Quoted(path);
  if (!overwrites_.empty()) *error += "; expected " + DescribeOverwriteAnswer(overwrites_.front());
  return false;
}

const CancelPress* SimAnswers::NextCancel() const {
  return cancels_.empty() ? nullptr : &cancels_.front();
}

void SimAnswers::DropNextCancel() {
  if (!cancels_.empty()) cancels_.pop_front();
}

std::vector<std::string> SimAnswers::Unused() const {
  std::vector<std::string> unused;
  for (const PageAnswer& page : pages_) unused.push_back(DescribePageAnswer(page));
  for (const OverwriteAnswer& overwrite : overwrites_) {
    unused.push_back(DescribeOverwriteAnswer(overwrite));
  }
  for (const CancelPress& press : cancels_) unused.push_back(DescribeCancelPress(press));
  return unused;
}

const char* WizardActionName(WizardAction action) {
  switch (action) {
    case WizardAction::kNext: return "next";
    case WizardAction::kBack: return "back";
    case WizardAction::kFinish: return "finish";
    case WizardAction::kCancel: return "cancel";
  }
  return "?";
}

std::string DescribePageAnswer(const PageAnswer& answer) {
  std::string text = "page " + DialogOrAny(answer.dialog);
  if (answer.typeText) text += " type " + Quoted(answer.text);
  if (answer.browse == PageAnswer::Browse::kChoose) text += " browse " + Quoted(answer.browseFolder);
  if (answer.browse == PageAnswer::Browse::kCancel) text += " browse cancel";
  return text + " " + WizardActionName(answer.action);
}

std::string DescribeOverwriteAnswer(const OverwriteAnswer& answer) {
  return "overwrite " + DialogOrAny(answer.dialog) + " " +
         (answer.path.empty() ? std::string("*") : Quoted(answer.path)) + " " +
         std::to_string(answer.answer);
}

std::string DescribeCancelPress(const CancelPress& press) {
  if (press.when == CancelPress::When::kStatusText) return "cancel at " + Quoted(press.status);
  return "cancel after " + std::to_string(press.steps) + " steps";
}

}  // namespace sim
