// libFuzzer driver: arbitrary files through the PE version-resource reader.
#include <stdlib.h>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzPeVersion(data, size)) abort();
  return 0;
}
