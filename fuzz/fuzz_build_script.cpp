// libFuzzer driver: arbitrary build scripts through the parser and checks of twk build.
#include <stdlib.h>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzBuildScript(data, size)) abort();
  return 0;
}
