// libFuzzer driver: arbitrary answers files of twk simulate.
#include <stdlib.h>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzSimulateAnswers(data, size)) abort();
  return 0;
}
