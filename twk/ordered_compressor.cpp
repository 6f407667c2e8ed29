// Worker threads for the block compressor.
#include "twk/ordered_compressor.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "twk/build_blocks.h"

namespace {

CompressedPiece CompressPiece(const std::vector<uint8_t>& piece) {
  CompressedPiece result;
  result.blocks = AppendCompressedPiece(piece.data(), piece.size(), &result.records);
  result.plainLength = piece.size();
  return result;
}

}  // namespace

unsigned DefaultJobs() {
  return std::max(1u, std::thread::hardware_concurrency());
}

OrderedCompressor::OrderedCompressor(unsigned jobs) {
  const unsigned wanted = std::min(jobs, kMaxJobs);
  if (wanted <= 1) return;
  for (unsigned i = 0; i < wanted; ++i) {
    try {
      workers_.emplace_back(&OrderedCompressor::Work, this);
    } catch (const std::system_error&) {
      break;  // fewer threads than asked for still do the work
    }
  }
}

OrderedCompressor::~OrderedCompressor() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  queued_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void OrderedCompressor::Submit(std::vector<uint8_t> piece) {
  std::packaged_task<CompressedPiece()> task(
      [data = std::move(piece)] { return CompressPiece(data); });
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

CompressedPiece OrderedCompressor::TakeOldest() {
  std::future<CompressedPiece> oldest = std::move(results_.front());
  results_.pop_front();
  return oldest.get();
}

void OrderedCompressor::Work() {
  for (;;) {
    std::packaged_task<CompressedPiece()> task;
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
