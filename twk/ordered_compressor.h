// Compressing pieces into block records on several threads, handing the records back in
// the order the pieces came in, so that the package does not depend on timing.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

// The block records of one piece.
struct CompressedPiece {
  std::vector<uint8_t> records;
  size_t blocks = 0;       // records in it: more than one when the piece was cut in halves
  size_t plainLength = 0;  // the piece's length
};

// Runs AppendCompressedPiece on worker threads. One thread submits and takes; it takes
// the results in submission order. With one job there are no workers: Submit compresses
// on the calling thread. More jobs than kMaxJobs are not started.
class OrderedCompressor {
 public:
  static constexpr unsigned kMaxJobs = 64;

  explicit OrderedCompressor(unsigned jobs);
  ~OrderedCompressor();  // abandons what is still queued and waits for the workers

  OrderedCompressor(const OrderedCompressor&) = delete;
  OrderedCompressor& operator=(const OrderedCompressor&) = delete;

  // Starts compressing `piece` (1 to 65000 bytes).
  void Submit(std::vector<uint8_t> piece);

  // The records of the oldest piece not yet taken, once they are ready. Rethrows what
  // compressing it threw. Only while pending() is not 0.
  CompressedPiece TakeOldest();

  size_t pending() const { return results_.size(); }

  // How many pieces may be pending before the caller should take one: enough to keep
  // every worker busy while the oldest piece finishes, few enough to bound the memory.
  size_t window() const { return 2 * workers_.size() + 1; }

 private:
  void Work();

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<std::packaged_task<CompressedPiece()>> queue_;  // guarded by mutex_
  bool stopping_ = false;                                    // guarded by mutex_
  std::deque<std::future<CompressedPiece>> results_;
};

// The number of jobs when none is asked for: one per processor.
unsigned DefaultJobs();
