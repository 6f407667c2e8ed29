// The answers file of `twk simulate`: what the simulated user does in each window, one
// line per answer (the format is described in docs/simulate.md).
#pragma once

#include <stdint.h>

#include <string>

namespace sim {
struct SimMachine;
}

// Reads the answers in `text` (from the file `name`, for messages) into the scripts of
// `machine`'s user and user interface. Throws CommandError (kExitScriptError) naming the file
// and line of the first line it cannot read; nothing is scripted then.
void LoadAnswers(const std::string& name, const std::string& text, sim::SimMachine& machine);

// An answers file is a page of text; this bound only keeps a runaway file from filling memory.
constexpr uint64_t kMaxAnswersFileSize = 16u << 20;

// The same for the file at `path`; a file that is missing, unreadable, no regular file or
// larger than kMaxAnswersFileSize is an input error.
void LoadAnswersFile(const std::string& path, sim::SimMachine& machine);
