// Drawing the progress line.
#include "twk/build/build_progress.h"

#include <cstdio>

#include "host/host_process.h"
#include "twk/common/json_writer.h"

namespace {

constexpr auto kQuietPeriod = std::chrono::seconds(1);
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

BuildProgress::BuildProgress(const std::string& what, uint64_t totalBytes, bool enabled)
    : what_(what), total_(totalBytes), enabled_(enabled), start_(Clock::now()) {}

BuildProgress::~BuildProgress() {
  Clear();
}

void BuildProgress::Advance(uint64_t bytes) {
  done_ += bytes;
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  if (now - start_ < kQuietPeriod || (shown_ && now - lastDraw_ < kRedrawInterval)) return;
  const unsigned percent = total_ == 0 ? 100 : static_cast<unsigned>(done_ * 100 / total_);
  std::fprintf(stderr, "\rtwk: %s: %3u%% (%.1f of %.1f MB)\x1b[K", EscapeControls(what_).c_str(),
               percent, done_ / 1e6, total_ / 1e6);
  std::fflush(stderr);
  shown_ = true;
  lastDraw_ = now;
}

void BuildProgress::Clear() {
  if (!shown_) return;
  std::fputs("\r\x1b[K", stderr);
  std::fflush(stderr);
  shown_ = false;
}

bool StandardErrorIsTerminal() {
  return host::StandardErrorShowsProgress();
}
