// libFuzzer driver: the fast Huffman decoder against the slow reference decoder.
#include <stdlib.h>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzHuffmanDecoder(data, size)) abort();
  return 0;
}
