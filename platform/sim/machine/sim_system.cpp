// OLE on each thread of the simulated Windows.
#include "platform/sim/machine/sim_system.h"

namespace sim {

bool SimSystem::OleEnter() {
  std::lock_guard<std::mutex> lock(oleMutex_);
  ++ole_[std::this_thread::get_id()];
  return true;
}

bool SimSystem::OleLeave() {
  std::lock_guard<std::mutex> lock(oleMutex_);
  auto it = ole_.find(std::this_thread::get_id());
  if (it == ole_.end() || it->second == 0) return false;
  if (--it->second == 0) ole_.erase(it);
  return true;
}

bool SimSystem::OleActive() const {
  std::lock_guard<std::mutex> lock(oleMutex_);
  return ole_.count(std::this_thread::get_id()) != 0;
}

int SimSystem::OleActiveThreads() const {
  std::lock_guard<std::mutex> lock(oleMutex_);
  return static_cast<int>(ole_.size());
}

}  // namespace sim
