// libFuzzer driver: arbitrary expanded header blocks through ParseHeaderBlock.
#include <stdlib.h>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzHeaderBlock(data, size)) abort();
  return 0;
}
