// libFuzzer driver: arbitrary stored bytes through ExpandBlock.
#include <stdlib.h>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzExpandBlock(data, size)) abort();
  return 0;
}
