// Running a simulated program and the processes it starts.
#include "twk/simulate/simulate_processes.h"

#include <deque>

#include "platform/sim/machine/sim_command_line.h"
#include "platform/sim/machine/sim_machine.h"
#include "twk/common/command_error.h"

namespace {

constexpr size_t kMostProcesses = 16;

struct PendingProcess {
  std::string commandLine;  // empty for the first program, which is given by its path
  std::string modulePath;
  std::string tail;
  std::string workingFolder;
  std::vector<uint32_t> inherited;  // handles of the process that started it
};

bool IsProgramFile(const sim::SimMachine& machine, const std::string& path) {
  return machine.files.Exists(path) && !machine.files.IsFolder(path);
}

// A started command line as the process it becomes; false when it names no file.
bool Resolve(const sim::SimMachine& machine, const std::string& commandLine,
             const std::string& workingFolder, PendingProcess* pending) {
  const sim::CommandLineParts parts = sim::SplitCommandLine(
      commandLine, [&machine](const std::string& path) { return IsProgramFile(machine, path); });
  if (parts.program.empty()) return false;
  *pending = {commandLine, parts.program, parts.tail, workingFolder, {}};
  return true;
}

void Announce(std::ostream& out, const PendingProcess& pending) {
  out << "\n== started: " << pending.commandLine;
  if (!pending.workingFolder.empty()) out << " (current folder " << pending.workingFolder << ")";
  out << "\n";
}

std::vector<ProcessStep> RunQueue(sim::SimMachine& machine, std::deque<PendingProcess> queue,
                                  std::ostream& out) {
  std::vector<ProcessStep> steps;
  while (!queue.empty()) {
    if (steps.size() == kMostProcesses) {
      machine.ReportError("more than " + std::to_string(kMostProcesses) +
                          " processes started one after the other");
      break;
    }
    const PendingProcess pending = queue.front();
    queue.pop_front();
    if (!pending.commandLine.empty()) Announce(out, pending);
    if (!pending.workingFolder.empty()) machine.files.SetCurrent(pending.workingFolder);
    machine.process.started.clear();
    machine.process.inheritedHandles = pending.inherited;
    ProcessStep step{pending.modulePath, pending.tail, {}};
    try {
      step.run = RunSimulatedProgram(machine, pending.modulePath, pending.tail);
    } catch (const CommandError& error) {
      out << "not simulated: " << error.what() << "\n";
      machine.process.End();
      continue;
    }
    // The process has ended: what it owned is released before anything it started runs,
    // but what it handed down lives on in the processes that inherit it.
    const std::vector<uint32_t> handed = machine.process.handedHandles;
    machine.process.End();
    out << "== " << pending.modulePath << " ended with exit code " << step.run.exitCode << "\n";
    if (step.run.logRecordsPassedOver > 0) {
      out << "uninstall log records passed over (they lead out of their folder or through a "
             "link): "
          << step.run.logRecordsPassedOver << "\n";
    }
    steps.push_back(step);
    for (const sim::StartedProcess& started : machine.process.started) {
      // Here one process runs at a time; Windows would keep the first one waiting.
      if (started.waited) {
        out << "== (on Windows it waits for " << started.commandLine
            << " and ends with that one's exit code)\n";
      }
      PendingProcess next;
      if (Resolve(machine, started.commandLine, started.workingFolder, &next)) {
        if (started.inheritsHandles) next.inherited = handed;
        queue.push_back(next);
      } else {
        out << "\n== started: " << started.commandLine << ": no such program, not run\n";
      }
    }
    machine.process.started.clear();
  }
  return steps;
}

}  // namespace

std::vector<ProcessStep> RunProcesses(sim::SimMachine& machine, const std::string& modulePath,
                                      const std::string& commandTail, std::ostream& out) {
  return RunQueue(machine, {{"", modulePath, commandTail, "", {}}}, out);
}

std::vector<ProcessStep> RunCommandLine(sim::SimMachine& machine, const std::string& commandLine,
                                        const std::string& workingFolder, std::ostream& out) {
  PendingProcess first;
  if (!Resolve(machine, commandLine, workingFolder, &first)) {
    out << "\n== started: " << commandLine << ": no such program, not run\n";
    return {};
  }
  return RunQueue(machine, {first}, out);
}
