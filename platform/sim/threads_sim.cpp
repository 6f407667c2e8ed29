// Threads on the simulated Windows: host threads. The machine says how many processors
// the program may run on, and counts the threads it starts.
#include "platform/threads.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "platform/sim/machine/sim_machine.h"

namespace platform {
namespace {

struct SimSignal {
  std::mutex mutex;
  std::condition_variable raised;
  bool up = false;
};

}  // namespace

uint32_t ProcessorCount() {
  const uint32_t processors = sim::CurrentMachine().system.processors;
  return processors > 0 ? processors : 1;
}

Thread StartThread(ThreadProcedure procedure, void* context) {
  // The thread touches no part of the machine: it only runs the procedure.
  auto* thread = new (std::nothrow) std::thread([procedure, context] { procedure(context); });
  if (thread != nullptr) ++sim::CurrentMachine().system.threadsStarted;
  return thread;
}

void JoinThread(Thread thread) {
  if (thread == nullptr) return;
  auto* running = static_cast<std::thread*>(thread);
  running->join();
  delete running;
}

Lock NewLock() { return new (std::nothrow) std::mutex; }
void DeleteLock(Lock lock) { delete static_cast<std::mutex*>(lock); }
void EnterLock(Lock lock) { static_cast<std::mutex*>(lock)->lock(); }
void LeaveLock(Lock lock) { static_cast<std::mutex*>(lock)->unlock(); }

Signal NewSignal() { return new (std::nothrow) SimSignal; }
void DeleteSignal(Signal signal) { delete static_cast<SimSignal*>(signal); }

void RaiseSignal(Signal signal) {
  auto* event = static_cast<SimSignal*>(signal);
  {
    std::lock_guard<std::mutex> hold(event->mutex);
    event->up = true;
  }
  event->raised.notify_one();
}

void WaitForSignal(Signal signal) {
  auto* event = static_cast<SimSignal*>(signal);
  std::unique_lock<std::mutex> hold(event->mutex);
  event->raised.wait(hold, [event] { return event->up; });
  event->up = false;
}

}  // namespace platform
