// The transcript lines for message boxes and the summary of a simulated run.
#include "twk/simulate/simulate_report.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <sstream>
#include <system_error>

#include "platform/message_box.h"
#include "platform/sim/machine/sim_machine.h"
#include "twk/common/input_file.h"

namespace fs = std::filesystem;

namespace {

const char* IconName(uint32_t flags) {
  switch (flags & platform::kMbIconMask) {
    case platform::kMbIconError: return "error icon";
    case platform::kMbIconQuestion: return "question icon";
    case platform::kMbIconWarning: return "warning icon";
    case platform::kMbIconInformation: return "information icon";
    default: return "no icon";
  }
}

const char* ButtonsName(uint32_t flags) {
  switch (flags & platform::kMbButtonsMask) {
    case platform::kMbOk: return "OK";
    case platform::kMbOkCancel: return "OK Cancel";
    case platform::kMbAbortRetryIgnore: return "Abort Retry Ignore";
    case platform::kMbYesNoCancel: return "Yes No Cancel";
    case platform::kMbYesNo: return "Yes No";
    case platform::kMbRetryCancel: return "Retry Cancel";
    default: return "unknown buttons";
  }
}

const char* AnswerName(int answer) {
  switch (answer) {
    case platform::kIdOk: return "OK";
    case platform::kIdCancel: return "Cancel";
    case platform::kIdAbort: return "Abort";
    case platform::kIdRetry: return "Retry";
    case platform::kIdIgnore: return "Ignore";
    case platform::kIdYes: return "Yes";
    case platform::kIdNo: return "No";
    default: return "?";
  }
}

std::string Indented(const std::string& text, const std::string& indent) {
  std::string out = indent;
  for (char c : text) {
    out += c;
    if (c == '\n') out += indent;
  }
  return out;
}

// A FIFO or device planted in the simulated drives is not read: it could block or never end.
uint64_t HashOf(const fs::path& path) {
  InputFile file;
  uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a
  if (file.Open(path.string()) != InputStatus::kOk) return hash;
  uint8_t buffer[65536];
  size_t got = 0;
  uint64_t left = file.size();
  while (left > 0 && file.Read(buffer, sizeof buffer, &got) == InputStatus::kOk && got > 0) {
    for (size_t i = 0; i < got && i < left; ++i) hash = (hash ^ buffer[i]) * 0x100000001b3ull;
    left -= got < left ? got : left;
  }
  return hash;
}

// Drive folders are the one-letter folders of the root; everything else there (the
// registry's text form, the machine's settings) is not on a drive.
void WalkDrives(const fs::path& root, MachineSnapshot* snapshot) {
  std::error_code error;
  for (const fs::directory_entry& drive : fs::directory_iterator(root, error)) {
    const std::string letter = drive.path().filename().string();
    if (!drive.is_directory() || letter.size() != 1 || !isalpha(static_cast<unsigned char>(letter[0]))) {
      continue;
    }
    for (auto it = fs::recursive_directory_iterator(drive.path(), error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
      std::string windows = letter + ":";
      for (const fs::path& part : it->path().lexically_relative(drive.path())) {
        windows += "\\" + part.string();
      }
      if (it->is_directory()) {
        snapshot->folders.push_back(windows);
        continue;
      }
      FileState state;
      state.size = it->file_size(error);
      state.modified = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           it->last_write_time(error).time_since_epoch())
                           .count();
      state.hash = HashOf(it->path());
      snapshot->files[windows] = state;
    }
  }
  std::sort(snapshot->folders.begin(), snapshot->folders.end());
}

// The registry's text form as keys and the lines of their values.
std::map<std::string, std::set<std::string>> KeysOf(const std::string& dump) {
  std::map<std::string, std::set<std::string>> keys;
  std::istringstream lines(dump);
  std::string line;
  std::set<std::string>* current = nullptr;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      current = &keys[line.substr(1, line.size() - 2)];
    } else if (current != nullptr) {
      current->insert(line);
    }
  }
  return keys;
}

template <typename Map>
std::vector<std::string> Missing(const Map& from, const Map& in) {
  std::vector<std::string> missing;
  for (const auto& item : from) {
    if (in.count(item.first) == 0) missing.push_back(item.first);
  }
  return missing;
}

void PrintList(std::ostream& out, const char* title, const std::vector<std::string>& items) {
  out << title << " (" << items.size() << ")" << (items.empty() ? "\n" : ":\n");
  for (const std::string& item : items) out << "  " << item << "\n";
}

}  // namespace

std::string DescribePrompt(const sim::ShownPrompt& prompt, const sim::SimMachine& machine) {
  std::ostringstream out;
  const std::string indent = machine.ui.activeProgress != nullptr ? "  " : "";
  out << indent << "message box \"" << prompt.caption << "\" over "
      << machine.ui.Describe(prompt.owner) << " (" << IconName(prompt.flags) << ", "
      << ButtonsName(prompt.flags) << "):\n"
      << Indented(prompt.text, indent + "    ") << "\n"
      << indent << "  user presses " << AnswerName(prompt.answer)
      << (prompt.expected ? "" : " (unexpected: the script did not foresee it)");
  return out.str();
}

MachineSnapshot TakeSnapshot(const sim::SimMachine& machine) {
  MachineSnapshot snapshot;
  WalkDrives(machine.files.Root(), &snapshot);
  snapshot.registry = machine.registry.Dump();
  return snapshot;
}

MachineChanges CompareSnapshots(const MachineSnapshot& before, const MachineSnapshot& after) {
  MachineChanges changes;
  for (const auto& [path, state] : after.files) {
    auto old = before.files.find(path);
    if (old == before.files.end() || old->second.size != state.size ||
        old->second.hash != state.hash || old->second.modified != state.modified) {
      changes.filesWritten.push_back(path);
    }
  }
  changes.filesRemoved = Missing(before.files, after.files);
  std::set_difference(after.folders.begin(), after.folders.end(), before.folders.begin(),
                      before.folders.end(), std::back_inserter(changes.foldersMade));
  std::set_difference(before.folders.begin(), before.folders.end(), after.folders.begin(),
                      after.folders.end(), std::back_inserter(changes.foldersRemoved));
  const auto keysBefore = KeysOf(before.registry);
  const auto keysAfter = KeysOf(after.registry);
  changes.keysAdded = Missing(keysAfter, keysBefore);
  changes.keysRemoved = Missing(keysBefore, keysAfter);
  for (const auto& [key, values] : keysAfter) {
    auto old = keysBefore.find(key);
    if (old != keysBefore.end() && old->second != values) changes.keysChanged.push_back(key);
  }
  return changes;
}

RunMarks MarkMachine(const sim::SimMachine& machine) {
  RunMarks marks;
  marks.bootMoves = machine.system.bootMoves.size();
  marks.shellOpens = machine.system.shellOpens.size();
  marks.restartRequests = machine.system.restartRequests;
  return marks;
}

void PrintRunSummary(std::ostream& out, int exitCode, const MachineChanges& changes,
                     const sim::SimMachine& machine, const RunMarks& marks) {
  out << "\n== outcome\nexit code " << exitCode << "\n";
  PrintList(out, "files written", changes.filesWritten);
  if (!changes.filesRemoved.empty()) PrintList(out, "files removed", changes.filesRemoved);
  if (!changes.foldersMade.empty()) PrintList(out, "folders made", changes.foldersMade);
  if (!changes.foldersRemoved.empty()) PrintList(out, "folders removed", changes.foldersRemoved);
  PrintList(out, "registry keys added", changes.keysAdded);
  if (!changes.keysChanged.empty()) PrintList(out, "registry keys changed", changes.keysChanged);
  if (!changes.keysRemoved.empty()) PrintList(out, "registry keys removed", changes.keysRemoved);
  const auto& moves = machine.system.bootMoves;
  for (size_t i = marks.bootMoves; i < moves.size(); ++i) {
    const sim::BootMove& move = moves[i];
    out << "at the next start: " << (move.to ? "move " : "delete ") << move.from
        << (move.to ? " over " + *move.to : std::string()) << "\n";
  }
  const auto& opens = machine.system.shellOpens;
  for (size_t i = marks.shellOpens; i < opens.size(); ++i) {
    out << (opens[i].forDesktopUser ? "opened with the desktop user's shell: "
                                    : "opened with the shell: ")
        << opens[i].command;
    if (!opens[i].folder.empty()) out << " (current folder " << opens[i].folder << ")";
    out << "\n";
  }
  if (machine.system.restartRequests > marks.restartRequests) out << "restart of Windows requested\n";
  PrintList(out, "machine errors", machine.errors);
}
