// The scripted user of the simulated Windows.
#include "platform/sim/machine/sim_user.h"

#include <stdio.h>
#include <utility>

#include "platform/message_box.h"

namespace sim {
namespace {

int GiveUpAnswer(uint32_t flags) {
  switch (flags & platform::kMbButtonsMask) {
    case platform::kMbOkCancel:
    case platform::kMbYesNoCancel:
    case platform::kMbRetryCancel:
      return platform::kIdCancel;
    case platform::kMbYesNo:
      return platform::kIdNo;
    case platform::kMbAbortRetryIgnore:
      return platform::kIdAbort;
    default:
      return platform::kIdOk;
  }
}

bool Matches(const ExpectedPrompt& expected, const std::string& text,
             const std::string& caption, uint32_t flags) {
  return expected.text == text && expected.caption == caption &&
         (expected.flags == kAnyFlags || expected.flags == flags);
}

int DefaultAnswer(uint32_t flags) {
  const bool second = (flags & platform::kMbDefaultButton2) != 0;
  switch (flags & platform::kMbButtonsMask) {
    case platform::kMbOkCancel:
      return second ? platform::kIdCancel : platform::kIdOk;
    case platform::kMbAbortRetryIgnore:
      return second ? platform::kIdRetry : platform::kIdAbort;
    case platform::kMbYesNoCancel:
    case platform::kMbYesNo:
      return second ? platform::kIdNo : platform::kIdYes;
    case platform::kMbRetryCancel:
      return second ? platform::kIdCancel : platform::kIdRetry;
    default:
      return platform::kIdOk;
  }
}

std::string Describe(const std::string& text, const std::string& caption, uint32_t flags) {
  char hex[16];
  snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(flags));
  return "[" + caption + "] \"" + text + "\" flags " + hex;
}

}  // namespace

void SimUser::Expect(const std::string& text, const std::string& caption, uint32_t flags,
                     int answer, std::function<void()> action) {
  script_.push_back({text, caption, flags, answer, std::move(action)});
}

void SimUser::ExpectRepeated(const std::string& text, const std::string& caption,
                             uint32_t flags, int answer, int times) {
  for (int i = 0; i < times; ++i) Expect(text, caption, flags, answer);
}

int SimUser::Answer(platform::Window owner, const std::string& text, const std::string& caption,
                    uint32_t flags, std::string* error) {
  if (!script_.empty() && Matches(script_.front(), text, caption, flags)) {
    ExpectedPrompt expected = std::move(script_.front());
    script_.pop_front();
    if (expected.action) expected.action();
    int answer = expected.answer;
    shown_.push_back({text, caption, flags, owner, answer, true});
    defaultRepeats_ = 0;
    if (onShown) onShown(shown_.back());
    return answer;
  }
  if (defaults_) {
    const bool repeated = !shown_.empty() && shown_.back().text == text &&
                          shown_.back().caption == caption;
    defaultRepeats_ = repeated ? defaultRepeats_ + 1 : 0;
    if (defaultRepeats_ < kMaxDefaultRepeats) {
      shown_.push_back({text, caption, flags, owner, DefaultAnswer(flags), true});
      if (onShown) onShown(shown_.back());
      return shown_.back().answer;
    }
  }
  *error = "unexpected prompt " + Describe(text, caption, flags);
  if (!script_.empty()) {
    const ExpectedPrompt& next = script_.front();
    *error += "; expected " + Describe(next.text, next.caption, next.flags);
  }
  int answer = GiveUpAnswer(flags);
  shown_.push_back({text, caption, flags, owner, answer, false});
  if (onShown) onShown(shown_.back());
  return answer;
}

}  // namespace sim
