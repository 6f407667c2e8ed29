// Whatever CompressBlock accepts, ExpandBlock must give back unchanged.
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "codec/encoder/compress_block.h"
#include "codec/expand_block.h"
#include "fuzz/fuzz_targets.h"

bool FuzzRoundTrip(const uint8_t* data, size_t size) {
  if (size == 0 || size + kExpansionOverhead > kFuzzFileCapacity) return true;
  std::vector<uint8_t> stored;
  if (!CompressBlock(data, size, &stored)) return stored.empty();
  if (stored.size() > kMaxStoredLength) return false;
  const auto capacity = static_cast<uint32_t>(std::max(size + kExpansionOverhead, stored.size()));
  auto* buffer = static_cast<uint8_t*>(malloc(capacity));
  if (buffer == nullptr) return true;
  memcpy(buffer, stored.data(), stored.size());
  uint32_t length = static_cast<uint32_t>(stored.size());
  const bool same =
      ExpandBlock(buffer, &length, capacity) && length == size && memcmp(buffer, data, size) == 0;
  free(buffer);
  return same;
}
