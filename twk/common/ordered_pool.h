// Worker threads whose results come back in the order the jobs went in, so that what
// twk writes does not depend on timing or on the number of threads.
#pragma once

#include <stddef.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

// The number of threads when none is asked for: one per processor.
unsigned DefaultJobs();

// One thread submits and takes; it takes the results in submission order. With one job
// there are no workers: Submit runs the job on the calling thread. More jobs than
// kMaxJobs are not started, nor more than the system gives: a compressing thread needs
// about 1 MB, and 32 of them keep twk build below 64 MB.
template <typename Result>
class OrderedPool {
 public:
  static constexpr unsigned kMaxJobs = 32;

  explicit OrderedPool(unsigned jobs) {
    const unsigned wanted = std::min(jobs, kMaxJobs);
    for (unsigned i = 0; wanted > 1 && i < wanted; ++i) {
      try {
        workers_.emplace_back(&OrderedPool::Work, this);
      } catch (const std::system_error&) {
        break;  // fewer threads than asked for still do the work
      }
    }
  }

  // Abandons the jobs not yet started and waits for the workers.
  ~OrderedPool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
      queue_.clear();
    }
    queued_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }

  OrderedPool(const OrderedPool&) = delete;
  OrderedPool& operator=(const OrderedPool&) = delete;

  void Submit(std::function<Result()> job) {
    std::packaged_task<Result()> task(std::move(job));
    results_.push_back(task.get_future());
    if (workers_.empty()) {
      task();
      return;
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(std::move(task));
    }
    queued_.notify_one();
  }

  // The result of the oldest job not yet taken, once it is ready; rethrows what the job
  // threw. Only while pending() is not 0.
  Result TakeOldest() {
    std::future<Result> oldest = std::move(results_.front());
    results_.pop_front();
    return oldest.get();
  }

  size_t pending() const { return results_.size(); }

  // How many jobs may be pending before the caller should take one: enough to keep
  // every worker busy while the oldest job finishes, few enough to bound the memory
  // that waiting jobs and results hold.
  size_t window() const { return 2 * workers_.size() + 1; }

 private:
  void Work() {
    for (;;) {
      std::packaged_task<Result()> task;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        queued_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        task = std::move(queue_.front());
        queue_.pop_front();
      }
      task();  // an exception goes into the task's future
    }
  }

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<std::packaged_task<Result()>> queue_;  // guarded by mutex_
  bool stopping_ = false;                           // guarded by mutex_
  std::deque<std::future<Result>> results_;
};
