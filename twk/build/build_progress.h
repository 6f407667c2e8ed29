// The progress line of a long build: one line on standard error, rewritten in place, shown
// only on a terminal and only once a build has taken about a second.
#pragma once

#include <stdint.h>

#include <chrono>
#include <string>

class BuildProgress {
 public:
  // `enabled` is false when standard error is no terminal: then nothing is ever printed.
  BuildProgress(const std::string& what, uint64_t totalBytes, bool enabled);
  ~BuildProgress();  // erases the line if it was shown

  BuildProgress(const BuildProgress&) = delete;
  BuildProgress& operator=(const BuildProgress&) = delete;

  void Advance(uint64_t bytes);

  // Erases the line, so that the next message starts on a clean line.
  void Clear();

 private:
  using Clock = std::chrono::steady_clock;

  std::string what_;
  uint64_t total_;
  uint64_t done_ = 0;
  bool enabled_;
  bool shown_ = false;
  Clock::time_point start_;
  Clock::time_point lastDraw_;
};

// True when standard error is a terminal.
bool StandardErrorIsTerminal();
