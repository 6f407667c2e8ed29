// The user of the simulated Windows: a script of the prompts a test expects, in order,
// each with the button to press, and a record of everything that was shown.
#pragma once

#include <stdint.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace sim {

constexpr uint32_t kAnyFlags = 0xFFFFFFFFu;

struct ExpectedPrompt {
  std::string text;     // matched exactly
  std::string caption;  // matched exactly
  uint32_t flags;       // matched exactly unless kAnyFlags
  int answer;           // the button the user presses
  // What the user does while the prompt is up (swaps the disk...), before answering.
  std::function<void()> action;
};

struct ShownPrompt {
  std::string text;
  std::string caption;
  uint32_t flags;
  platform::Window owner;
  int answer;
  bool expected;  // false: the script did not foresee it
};

class SimUser {
 public:
  void Expect(const std::string& text, const std::string& caption, uint32_t flags, int answer,
              std::function<void()> action = nullptr);
  // The same prompt, answered the same way, `times` times in a row.
  void ExpectRepeated(const std::string& text, const std::string& caption, uint32_t flags,
                      int answer, int times);

  // Default mode: a prompt the script does not foresee gets its default button (the
  // first, or the second with kMbDefaultButton2) and is not unexpected. A prompt that
  // comes back more than kMaxDefaultRepeats times in a row is taken for a loop (a missing
  // disk asked for again and again) and given up on like an unexpected one.
  static constexpr int kMaxDefaultRepeats = 20;
  void AnswerWithDefaults(bool on) { defaults_ = on; }

  // Told every prompt as it is answered.
  std::function<void(const ShownPrompt&)> onShown;

  const std::vector<ShownPrompt>& Shown() const { return shown_; }
  size_t PendingCount() const { return script_.size(); }

  // Answers a prompt. When it is not the next one of the script, the mismatch is
  // described in *error and the user presses the button that ends the run: Cancel, No
  // (or Abort, or OK when there is nothing else); the script stays where it was.
  int Answer(platform::Window owner, const std::string& text, const std::string& caption,
             uint32_t flags, std::string* error);

 private:
  std::deque<ExpectedPrompt> script_;
  std::vector<ShownPrompt> shown_;
  bool defaults_ = false;
  int defaultRepeats_ = 0;
};

}  // namespace sim
