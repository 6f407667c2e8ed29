// libFuzzer driver: arbitrary installation files through twk list, verify and extract.
#include <stdlib.h>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzInstallerFile(data, size)) abort();
  return 0;
}
