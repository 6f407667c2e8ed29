// Arbitrary expanded header blocks must never make ParseHeaderBlock read past their end.
#include <stdlib.h>
#include <string.h>

#include "fuzz/fuzz_targets.h"
#include "package/header_block.h"

namespace {

bool WithinBlock(const TextSpan& span, const uint8_t* begin, size_t size) {
  const auto* text = reinterpret_cast<const uint8_t*>(span.text);
  return text >= begin && span.length <= size && text - begin <= static_cast<ptrdiff_t>(size - span.length);
}

}  // namespace

bool FuzzHeaderBlock(const uint8_t* data, size_t size) {
  // Exactly `size` bytes on the heap, so that the sanitizers see any read past the end.
  auto* block = static_cast<uint8_t*>(malloc(size == 0 ? 1 : size));
  if (block == nullptr) return true;
  if (size != 0) memcpy(block, data, size);
  HeaderFields fields;
  bool sound = true;
  if (ParseHeaderBlock(block, size, &fields)) {
    for (const TextSpan& text : fields.texts) sound = sound && WithinBlock(text, block, size);
    if (fields.hasLicence) sound = sound && WithinBlock(fields.licence, block, size);
  }
  free(block);
  return sound;
}
