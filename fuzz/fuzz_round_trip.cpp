// libFuzzer driver: CompressBlock then ExpandBlock must give the input back.
#include <stdlib.h>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzRoundTrip(data, size)) abort();
  return 0;
}
