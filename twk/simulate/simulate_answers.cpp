// The answers file of `twk simulate`, read line by line into the simulated user's scripts.
#include "twk/simulate/simulate_answers.h"

#include <stdlib.h>

#include <functional>
#include <sstream>
#include <vector>

#include "platform/message_box.h"
#include "platform/sim/machine/sim_machine.h"
#include "twk/common/command_error.h"
#include "twk/common/exit_codes.h"
#include "twk/common/input_file.h"

namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

using Apply = std::function<void(sim::SimMachine&)>;

class LineError : public std::runtime_error {
 public:
  explicit LineError(const std::string& what) : std::runtime_error(what) {}
};

// Splits a line into bare words and quoted texts ("" inside a quoted text is one '"').
std::vector<Token> Tokens(const std::string& line) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
      continue;
    }
    Token token;
    if (line[i] == '"') {
      token.quoted = true;
      for (++i;; ++i) {
        if (i >= line.size()) throw LineError("a quoted text has no closing '\"'");
        if (line[i] != '"') {
          token.text += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
          token.text += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
        token.text += line[i++];
      }
    }
    tokens.push_back(token);
  }
  return tokens;
}

class Reader {
 public:
  explicit Reader(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  bool AtEnd() const { return next_ >= tokens_.size(); }
  const Token& Peek() const {
    if (AtEnd()) throw LineError("the line ends too early");
    return tokens_[next_];
  }
  Token Take() {
    const Token token = Peek();
    ++next_;
    return token;
  }
  bool TakeWord(const char* word) {
    if (AtEnd() || tokens_[next_].quoted || tokens_[next_].text != word) return false;
    ++next_;
    return true;
  }
  std::string Text() {
    const Token token = Take();
    if (!token.quoted) throw LineError("expected a quoted text, found '" + token.text + "'");
    return token.text;
  }
  void End() {
    if (!AtEnd()) throw LineError("unexpected '" + tokens_[next_].text + "' at the end");
  }

 private:
  std::vector<Token> tokens_;
  size_t next_ = 0;
};

int Number(const std::string& text) {
  char* end = nullptr;
  const long value = strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 0 || value > 0xFFFF) {
    throw LineError("'" + text + "' is not a number");
  }
  return static_cast<int>(value);
}

int DialogNumber(const Token& token) {
  if (!token.quoted && token.text == "*") return 0;
  return Number(token.text);
}

Apply ReadPage(Reader& in) {
  sim::PageAnswer answer;
  answer.dialog = DialogNumber(in.Take());
  if (in.TakeWord("type")) {
    answer.typeText = true;
    answer.text = in.Text();
  }
  if (in.TakeWord("browse")) {
    if (in.TakeWord("cancel")) {
      answer.browse = sim::PageAnswer::Browse::kCancel;
    } else {
      answer.browse = sim::PageAnswer::Browse::kChoose;
      answer.browseFolder = in.Text();
    }
  }
  const std::string action = in.Take().text;
  if (action == "next") {
    answer.action = sim::WizardAction::kNext;
  } else if (action == "back") {
    answer.action = sim::WizardAction::kBack;
  } else if (action == "finish") {
    answer.action = sim::WizardAction::kFinish;
  } else if (action == "cancel") {
    answer.action = sim::WizardAction::kCancel;
  } else {
    throw LineError("unknown page action '" + action + "' (next, back, finish, cancel)");
  }
  in.End();
  return [answer](sim::SimMachine& machine) { machine.ui.answers.Page(answer); };
}

int MessageAnswer(const std::string& word) {
  static const std::pair<const char*, int> kAnswers[] = {
      {"ok", platform::kIdOk},       {"cancel", platform::kIdCancel}, {"abort", platform::kIdAbort},
      {"retry", platform::kIdRetry}, {"ignore", platform::kIdIgnore}, {"yes", platform::kIdYes},
      {"no", platform::kIdNo}};
  for (const auto& [name, id] : kAnswers) {
    if (word == name) return id;
  }
  throw LineError("unknown message box answer '" + word + "'");
}

// message CAPTION TEXT... ANSWER, where the text is one or more quoted pieces and NL
// (a line break) joined together.
Apply ReadMessage(Reader& in) {
  const std::string caption = in.Text();
  std::string text;
  bool any = false;
  while (in.Peek().quoted || in.Peek().text == "NL") {
    const Token piece = in.Take();
    text += piece.quoted ? piece.text : "\n";
    any = true;
  }
  if (!any) throw LineError("the message box has no text");
  const int answer = MessageAnswer(in.Take().text);
  in.End();
  return [caption, text, answer](sim::SimMachine& machine) {
    machine.user.Expect(text, caption, sim::kAnyFlags, answer);
  };
}

int OverwriteAnswer(const std::string& word) {
  static const std::pair<const char*, int> kAnswers[] = {
      {"no", 1009},  {"skip", 1009},        {"yes", 1008},        {"replace", 1008},
      {"yes-to-all", 1010}, {"replace-all", 1010}, {"cancel", 2}, {"skip-all", 2}, {"esc", 2}};
  for (const auto& [name, id] : kAnswers) {
    if (word == name) return id;
  }
  return Number(word);
}

Apply ReadOverwrite(Reader& in) {
  sim::OverwriteAnswer answer;
  answer.dialog = DialogNumber(in.Take());
  if (answer.dialog != 0 && answer.dialog != 116 && answer.dialog != 117) {
    throw LineError("the overwrite dialogs are 116 and 117");
  }
  const Token path = in.Take();
  if (!path.quoted && path.text != "*") throw LineError("expected a quoted path or *");
  answer.path = path.quoted ? path.text : "";
  if (path.quoted && path.text.empty()) throw LineError("an empty path; write * for any");
  answer.answer = OverwriteAnswer(in.Take().text);
  in.End();
  return [answer](sim::SimMachine& machine) { machine.ui.answers.Overwrite(answer); };
}

Apply ReadCancel(Reader& in) {
  sim::CancelPress press;
  if (in.TakeWord("at")) {
    press.when = sim::CancelPress::When::kStatusText;
    press.status = in.Text();
  } else if (in.TakeWord("after")) {
    press.when = sim::CancelPress::When::kOverallSteps;
    press.steps = static_cast<uint32_t>(Number(in.Take().text));
  } else {
    throw LineError("expected 'cancel at \"STATUS\"' or 'cancel after STEPS'");
  }
  in.End();
  return [press](sim::SimMachine& machine) { machine.ui.answers.Cancel(press); };
}

Apply ReadLine(const std::string& line) {
  Reader in(Tokens(line));
  const Token first = in.Take();
  if (first.quoted) throw LineError("a line starts with a word, not a quoted text");
  if (first.text == "page") return ReadPage(in);
  if (first.text == "message") return ReadMessage(in);
  if (first.text == "overwrite") return ReadOverwrite(in);
  if (first.text == "cancel") return ReadCancel(in);
  if (first.text == "defaults") {
    in.End();
    return [](sim::SimMachine& machine) {
      machine.ui.answers.useDefaults = true;
      machine.user.AnswerWithDefaults(true);
    };
  }
  throw LineError("unknown answer '" + first.text +
                  "' (page, message, overwrite, cancel, defaults)");
}

bool Ignored(const std::string& line) {
  const size_t start = line.find_first_not_of(" \t\r");
  return start == std::string::npos || line[start] == '#' || line[start] == ';';
}

}  // namespace

void LoadAnswers(const std::string& name, const std::string& text, sim::SimMachine& machine) {
  std::vector<Apply> answers;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (Ignored(line)) continue;
    try {
      answers.push_back(ReadLine(line));
    } catch (const LineError& error) {
      throw CommandError(kExitScriptError,
                         name + ":" + std::to_string(number) + ": " + error.what());
    }
  }
  for (const Apply& apply : answers) apply(machine);
}

void LoadAnswersFile(const std::string& path, sim::SimMachine& machine) {
  std::string text;
  std::string problem;
  if (ReadInputFile(path, kMaxAnswersFileSize, &text, &problem) != InputStatus::kOk) {
    throw CommandError(kExitInputError, path + ": the answers file " + problem);
  }
  LoadAnswers(path, text, machine);
}
