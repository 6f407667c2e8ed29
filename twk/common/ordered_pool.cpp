// The default number of worker threads.
#include "twk/common/ordered_pool.h"

unsigned DefaultJobs() {
  return std::max(1u, std::thread::hardware_concurrency());
}
