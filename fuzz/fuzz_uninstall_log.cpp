// libFuzzer driver: arbitrary uninstall logs through the uninstaller on the simulated Windows.
#include <stdlib.h>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzUninstallLog(data, size)) abort();
  return 0;
}
