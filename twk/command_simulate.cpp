// twk simulate: runs an installer (or a maintenance program) on a simulated Windows kept
// in a folder, prints everything it shows and what it changed.
#include <iostream>
#include <system_error>

#include "platform/sim/machine/sim_machine.h"
#include "platform/sim/machine/sim_ui.h"
#include "twk/command_usage.h"
#include "twk/commands.h"
#include "twk/common/command_error.h"
#include "twk/common/exit_codes.h"
#include "twk/common/json_writer.h"
#include "twk/simulate/simulate_answers.h"
#include "twk/simulate/simulate_processes.h"
#include "twk/simulate/simulate_report.h"
#include "twk/simulate/simulate_restart.h"
#include "twk/simulate/simulate_run.h"

namespace fs = std::filesystem;

namespace {

std::string Usage() { return CommandSynopsis("simulate"); }

struct SimulateOptions {
  std::string program;
  std::string root;
  std::string answers;
  std::string tail;  // the program's command-line tail
  MachineFamily family = MachineFamily::kAsBefore;
  bool restart = false;  // start Windows again instead of running a program
};

SimulateOptions ParseOptions(const Arguments& args) {
  SimulateOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--root" && hasValue) {
      options.root = args[++i];
    } else if (arg == "--args" && hasValue) {
      options.tail = args[++i];
    } else if (arg == "--answers" && hasValue) {
      options.answers = args[++i];
    } else if (arg == "--restart") {
      options.restart = true;
    } else if (arg == "--nt" || arg == "--9x") {
      const MachineFamily family = arg == "--nt" ? MachineFamily::kNt : MachineFamily::k9x;
      if (options.family != MachineFamily::kAsBefore && options.family != family) {
        throw CommandError(kExitUsage, "--nt and --9x exclude each other");
      }
      options.family = family;
    } else if (!arg.empty() && arg[0] == '-') {
      throw CommandError(kExitUsage, "unknown or incomplete option '" + arg + "'\n" + Usage());
    } else if (options.program.empty()) {
      options.program = arg;
    } else {
      throw CommandError(kExitUsage, "more than one program named\n" + Usage());
    }
  }
  if (options.root.empty() || options.program.empty() == !options.restart) {
    throw CommandError(kExitUsage, Usage());
  }
  return options;
}

// Everything shown is printed as it happens, so that a run that goes wrong shows how far
// it came.
void PrintAsShown(sim::SimMachine& machine, std::ostream& out) {
  machine.ui.onShow = [&out](const std::string& line) { out << line << "\n"; };
  machine.user.onShown = [&out, &machine](const sim::ShownPrompt& prompt) {
    out << DescribePrompt(prompt, machine) << "\n";
  };
}

// Script lines that the run never came to mean it went otherwise than the script says.
void ReportUnusedAnswers(sim::SimMachine& machine) {
  for (const std::string& unused : machine.ui.answers.Unused()) {
    machine.ReportError("answer never used: " + unused);
  }
  if (machine.user.PendingCount() > 0) {
    machine.ReportError(std::to_string(machine.user.PendingCount()) +
                        " message box answer(s) never used");
  }
}

int Simulate(const SimulateOptions& options, std::ostream& out) {
  std::error_code error;
  fs::create_directories(options.root, error);
  if (!fs::is_directory(options.root)) {
    throw CommandError(kExitOutputError, options.root + ": cannot make the machine's folder");
  }
  sim::SimMachine machine(options.root);
  sim::SimMachineScope scope(machine);
  LoadMachine(machine, options.family);
  if (options.answers.empty()) {
    sim::UseDefaultAnswers();
  } else {
    LoadAnswersFile(options.answers, machine);
  }
  // The program is placed before the snapshot: copying it to D:\ is not the run's doing.
  const std::string modulePath =
      options.restart ? std::string() : PlaceProgram(options.program, options.root);
  const MachineSnapshot before = TakeSnapshot(machine);
  int exitCode = 0;
  RunMarks marks = MarkMachine(machine);
  PrintAsShown(machine, out);
  if (options.restart) {
    out << "== restart of a simulated Windows " << (machine.system.ntFamily ? "NT" : "9x")
        << " in " << options.root << "\n";
    RestartWindows(machine, out);
    // What the start itself carried out is done; the summary shows what the run-once
    // programs leave for the following start.
    marks = MarkMachine(machine);
    const std::vector<ProcessStep> steps = RunRunOnceEntries(machine, out);
    if (!steps.empty()) exitCode = steps.back().run.exitCode;
  } else {
    out << "== " << modulePath << " on a simulated Windows "
        << (machine.system.ntFamily ? "NT" : "9x") << " in " << options.root << "\n";
    const std::vector<ProcessStep> steps = RunProcesses(machine, modulePath, options.tail, out);
    if (!steps.empty()) exitCode = steps.back().run.exitCode;
  }
  machine.ui.onShow = nullptr;
  machine.user.onShown = nullptr;
  ReportUnusedAnswers(machine);
  const MachineChanges changes = CompareSnapshots(before, TakeSnapshot(machine));
  PrintRunSummary(out, exitCode, changes, machine, marks);
  SaveMachine(machine);
  return machine.errors.empty() ? kExitOk : kExitSimulationFault;
}

}  // namespace

int RunSimulateCommand(const Arguments& args) {
  try {
    return Simulate(ParseOptions(args), std::cout);
  } catch (const CommandError& failure) {
    std::cerr << MessageLine(failure.what());
    return failure.exitCode();
  } catch (const std::exception& failure) {
    std::cerr << MessageLine(failure.what());
    return kExitSimulationFault;
  }
}
