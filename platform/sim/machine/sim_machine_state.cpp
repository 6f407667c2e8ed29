// The simulated machine's state in files beside its drives, so that one run of
// `twk simulate` continues where the last one stopped.
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/sim/machine/sim_machine.h"

namespace sim {
namespace {

constexpr char kRegistryFile[] = "registry.txt";
constexpr char kMachineFile[] = "machine.txt";

std::string ReadWhole(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteWhole(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// Splits "a|b" (paths never hold '|'); `second` is empty without a bar.
void SplitBar(const std::string& text, std::string* first, std::string* second) {
  const size_t bar = text.find('|');
  *first = text.substr(0, bar);
  *second = bar == std::string::npos ? "" : text.substr(bar + 1);
}

// A number of a few decimal digits; anything else goes to `fail`.
template <typename Fail>
int SmallNumber(const std::string& digits, const Fail& fail) {
  if (digits.empty() || digits.size() > 6 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    fail("'" + digits + "' is no number");
  }
  return std::stoi(digits);
}

}  // namespace

void SimMachine::SaveState(const FileWriter& write) const {
  const FileWriter& writeFile = write ? write : WriteWhole;
  const std::filesystem::path& root = files.Root();
  writeFile(root / kRegistryFile, "; the simulated registry\n" + registry.Dump());
  std::ostringstream out;
  out << "; the simulated machine\n";
  out << "family=" << (system.ntFamily ? "nt" : "9x") << "\n";
  out << "windows=" << system.windowsFolder << "\n";
  out << "system=" << system.systemFolder << "\n";
  out << "temp=" << system.tempFolder << "\n";
  for (const auto& folder : system.shellFolders) {
    out << "shell." << folder.first << "=" << folder.second << "\n";
  }
  for (const BootMove& move : system.bootMoves) {
    out << (move.to ? "bootmove=" + move.from + "|" + *move.to : "bootdelete=" + move.from)
        << "\n";
  }
  for (const ShellOpen& open : system.shellOpens) out << "shellopen=" << open.command << "\n";
  out << "restarts=" << system.restartRequests << "\n";
  for (const std::string& key : files.InUse()) out << "inuse=" << key << "\n";
  for (const auto& alias : files.ExplicitShortNames()) {
    out << "shortname=" << alias.first << "|" << alias.second << "\n";
  }
  writeFile(root / kMachineFile, out.str());
}

void SimMachine::LoadState() {
  const std::filesystem::path& root = files.Root();
  if (std::filesystem::exists(root / kRegistryFile)) {
    try {
      registry.Load(ReadWhole(root / kRegistryFile));
    } catch (const std::runtime_error& error) {
      throw std::runtime_error((root / kRegistryFile).string() + " " + error.what());
    }
  }
  if (!std::filesystem::exists(root / kMachineFile)) return;
  std::istringstream lines(ReadWhole(root / kMachineFile));
  std::string line;
  bool shellSeen = false;
  for (int number = 1; std::getline(lines, line); ++number) {
    const auto fail = [&](const std::string& what) {
      throw std::runtime_error((root / kMachineFile).string() + " line " +
                               std::to_string(number) + ": " + what);
    };
    if (line.empty() || line[0] == ';') continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) fail("no '='");
    const std::string name = line.substr(0, equals), value = line.substr(equals + 1);
    std::string first, second;
    SplitBar(value, &first, &second);
    if (name == "family") {
      system.ntFamily = value != "9x";
    } else if (name == "windows") {
      system.windowsFolder = value;
    } else if (name == "system") {
      system.systemFolder = value;
    } else if (name == "temp") {
      system.tempFolder = value;
    } else if (name.rfind("shell.", 0) == 0) {
      if (!shellSeen) system.shellFolders.clear();
      shellSeen = true;
      system.shellFolders[SmallNumber(name.substr(6), fail)] = value;
    } else if (name == "bootmove") {
      system.bootMoves.push_back({first, second});
    } else if (name == "bootdelete") {
      system.bootMoves.push_back({value, std::nullopt});
    } else if (name == "shellopen") {
      system.shellOpens.push_back({value, nullptr, "", false});
    } else if (name == "restarts") {
      system.restartRequests = SmallNumber(value, fail);
    } else if (name == "inuse") {
      files.MarkInUse(value);
    } else if (name == "shortname") {
      files.SetShortName(first, second);
    } else {
      fail("unknown '" + name + "'");
    }
  }
}

}  // namespace sim
