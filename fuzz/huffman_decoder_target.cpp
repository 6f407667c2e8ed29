// The fast Huffman decoder must decode exactly as the slow one that keeps the tree node
// by node: on arbitrary stored bytes, and on the encoder's stream for arbitrary codes.
#include <vector>

#include "codec/encoder/huffman_encoder.h"
#include "codec/huffman_decoder.h"
#include "fuzz/fuzz_targets.h"
#include "tests/codec/huffman_reference.h"

namespace {

bool DecodesLikeTheSlowDecoder(const uint8_t* stored, size_t length, uint32_t capacity,
                               std::vector<uint8_t>* decoded) {
  ReferenceHuffmanDecoder reference;
  std::vector<uint8_t> expected;
  const bool expectedOk = reference.Decode(stored, length, capacity, &expected);
  decoded->assign(capacity, 0);
  uint32_t count = 0;
  const bool ok =
      HuffmanDecodeBlock(stored, static_cast<uint32_t>(length), decoded->data(), capacity, &count);
  decoded->resize(count);
  return ok == expectedOk && *decoded == expected;
}

}  // namespace

bool FuzzHuffmanDecoder(const uint8_t* data, size_t size) {
  if (size > kFuzzFileCapacity) return true;
  std::vector<uint8_t> decoded;
  if (!DecodesLikeTheSlowDecoder(data, size, kFuzzFileCapacity, &decoded)) return false;
  const std::vector<uint8_t> stored = HuffmanEncodeBlock(data, size);
  return DecodesLikeTheSlowDecoder(stored.data(), stored.size(), kFuzzFileCapacity, &decoded) &&
         decoded == std::vector<uint8_t>(data, data + size);
}
