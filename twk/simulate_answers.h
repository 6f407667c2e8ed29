// The answers file of `twk simulate`: what the simulated user does in each window, one
// line per answer (the format is described in docs/simulate.md).
#pragma once

#include <string>

namespace sim {
struct SimMachine;
}

// Reads the answers in `text` (from the file `name`, for messages) into the scripts of
// `machine`'s user and user interface. Throws SimulateError (kExitScriptError) naming the file
// and line of the first line it cannot read; nothing is scripted then.
void LoadAnswers(const std::string& name, const std::string& text, sim::SimMachine& machine);

// The same for the file at `path`; a file that cannot be read is an input error.
void LoadAnswersFile(const std::string& path, sim::SimMachine& machine);
