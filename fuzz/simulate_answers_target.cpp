// Arbitrary answers files of `twk simulate` into the simulated user's scripts.
#include <string>

#include "fuzz/fuzz_scratch.h"
#include "fuzz/fuzz_targets.h"
#include "platform/sim/machine/sim_machine.h"
#include "twk/common/command_error.h"
#include "twk/common/exit_codes.h"
#include "twk/simulate/simulate_answers.h"

namespace {

constexpr char kAnswersName[] = "fuzz.answers";

// One machine for the whole run: its constructor makes folders, and the answers touch
// only the user and the user interface, which each input starts afresh.
sim::SimMachine& Machine() {
  static sim::SimMachine machine(FreshScratchFolder("simulate_answers"));
  machine.user = sim::SimUser();
  machine.ui.answers = sim::SimAnswers();
  return machine;
}

bool NothingScripted(const sim::SimMachine& machine) {
  return machine.user.PendingCount() == 0 && machine.ui.answers.PendingCount() == 0 &&
         !machine.ui.answers.useDefaults;
}

}  // namespace

bool FuzzSimulateAnswers(const uint8_t* data, size_t size) {
  sim::SimMachine& machine = Machine();
  try {
    LoadAnswers(kAnswersName, std::string(reinterpret_cast<const char*>(data), size), machine);
  } catch (const CommandError& error) {
    // Refused whole: a script error naming the file and line, and nothing scripted.
    const std::string message = error.what();
    return error.exitCode() == kExitScriptError &&
           message.rfind(std::string(kAnswersName) + ":", 0) == 0 && NothingScripted(machine);
  }
  // Every answer left unused is described for the report.
  for (const std::string& line : machine.ui.answers.Unused()) {
    if (line.empty()) return false;
  }
  return true;
}
