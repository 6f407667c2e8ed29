// libFuzzer driver: arbitrary saved states of the simulated machine.
#include <stdlib.h>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzMachineState(data, size)) abort();
  return 0;
}
