// Starting the simulated Windows again: the work recorded for the next start is done.
#include "platform/sim/machine/sim_machine.h"
#include "platform/sim/machine/sim_profile.h"
#include "platform/sim/machine/windows_path.h"

namespace sim {
namespace {

// Replaces `to` with `from` as the boot-time rename does: an existing `to` goes first.
bool ReplaceAtBoot(SimFileSystem& files, const std::string& from, const std::string& to) {
  if (!files.Exists(from)) return false;
  if (files.Exists(to) && !SamePath(files.LongPath(from), files.LongPath(to)) &&
      !files.Delete(to)) {
    return false;
  }
  return files.Rename(from, to);
}

}  // namespace

std::vector<std::string> SimMachine::Restart() {
  std::vector<std::string> problems;
  files.ReleaseAllInUse();
  for (const BootMove& move : system.bootMoves) {
    if (!move.to) {
      // The NT family removes a folder this way too, when it is empty by then.
      const bool deleted =
          files.IsFolder(move.from) ? files.RemoveFolder(move.from) : files.Delete(move.from);
      if (!deleted) problems.push_back("cannot delete " + move.from);
    } else if (!ReplaceAtBoot(files, move.from, *move.to)) {
      problems.push_back("cannot move " + move.from + " to " + *move.to);
    }
  }
  system.bootMoves.clear();

  const std::string wininit = system.windowsFolder + "\\WININIT.INI";
  // A folder of that name is no list of renames: the start passes over it.
  if (files.Exists(wininit) && !files.IsFolder(wininit)) {
    for (const auto& entry : ReadProfileSection(files.HostPath(wininit), "rename")) {
      if (PathKey(entry.first) == "NUL") {
        if (!files.Delete(entry.second)) problems.push_back("cannot delete " + entry.second);
      } else if (!ReplaceAtBoot(files, entry.second, entry.first)) {
        problems.push_back("cannot move " + entry.second + " to " + entry.first);
      }
    }
    const std::string backup = system.windowsFolder + "\\WININIT.BAK";
    if (files.Exists(backup)) files.Delete(backup);
    files.Rename(wininit, backup);
  }
  if (onRestart) onRestart(*this);
  return problems;
}

}  // namespace sim
