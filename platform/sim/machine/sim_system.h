// What the simulated Windows tells about itself (its folders, shell folders and family)
// and what the program asked of it that only shows later: next-boot moves, commands
// opened with the shell, restarts, and OLE on each thread.
#pragma once

#include <stdint.h>

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/handles.h"

namespace sim {

// One MoveFileEx(from, to, replace | delay until reboot); no `to` deletes `from`.
struct BootMove {
  std::string from;
  std::optional<std::string> to;
};

struct ShellOpen {
  std::string command;
  platform::Window owner;
  std::string folder;  // the started program's current folder; "" for the opener's
  bool forDesktopUser;  // handed to the desktop's shell where the opener runs elevated
};

struct SimSystem {
  bool ntFamily = true;
  // NT refuses every move at the next start (as it does for a file it cannot open).
  bool refuseBootMoves = false;
  std::string windowsFolder = "C:\\WINDOWS";
  // Empty: the family's own, Windows folder + "\SYSTEM32" (NT) or "\SYSTEM" (9x).
  std::string systemFolder;
  // GetTempPath's answer, which ends with '\'.
  std::string tempFolder = "C:\\WINDOWS\\TEMP\\";
  // The processors the program may run on: more than one has the installer decode
  // blocks on threads of their own.
  uint32_t processors = 4;
  // Shell folders by their CSIDL number; a missing or empty one cannot be determined.
  std::map<int, std::string> shellFolders = {
      {0, "C:\\WINDOWS\\Desktop"},
      {2, "C:\\WINDOWS\\Start Menu\\Programs"},
      {7, "C:\\WINDOWS\\Start Menu\\Programs\\StartUp"},
      {11, "C:\\WINDOWS\\Start Menu"},
  };

  // The state of the random-number generator (xorshift): the same numbers in every run.
  uint32_t randomState = 0x2545F491u;
  uint32_t NextRandom() {
    randomState ^= randomState << 13;
    randomState ^= randomState >> 17;
    randomState ^= randomState << 5;
    return randomState;
  }

  // Records.
  std::vector<BootMove> bootMoves;  // NT: carried out in order by a restart
  std::vector<ShellOpen> shellOpens;
  int restartRequests = 0;
  int threadsStarted = 0;  // by the program, beside the progress dialog's worker

  std::string SystemFolder() const {
    if (!systemFolder.empty()) return systemFolder;
    return windowsFolder + (ntFamily ? "\\SYSTEM32" : "\\SYSTEM");
  }

  // OLE initialisations per thread. The worker and UI threads both call in.
  bool OleEnter();
  // False when the thread has no initialisation left to undo.
  bool OleLeave();
  bool OleActive() const;   // on the calling thread
  int OleActiveThreads() const;  // threads that have not undone every initialisation

 private:
  mutable std::mutex oleMutex_;
  std::map<std::thread::id, int> ole_;
};

}  // namespace sim
