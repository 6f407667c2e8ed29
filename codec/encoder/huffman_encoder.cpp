// Adaptive Huffman coding; the tree is the decoder's own HuffmanModel.
#include "codec/encoder/huffman_encoder.h"

#include "codec/encoder/bit_writer.h"
#include "codec/huffman_model.h"

namespace {

// Writes the branches from the root down to `slot`. They are found leaf first, 32 at a
// time; the part nearer the root, if any, goes out first.
void WritePath(const HuffmanModel& model, int slot, BitWriter* writer) {
  uint32_t branches = 0;
  unsigned depth = 0;
  while (slot != 0 && depth < 32) {
    const int parent = model.parent(slot);
    branches |= static_cast<uint32_t>(slot - model.child(parent)) << depth;
    ++depth;
    slot = parent;
  }
  if (slot != 0) WritePath(model, slot, writer);
  writer->WriteBits(branches, depth);
}

}  // namespace

std::vector<uint8_t> HuffmanEncodeBlock(const uint8_t* input, size_t length) {
  std::vector<uint8_t> out;
  out.reserve(length + 16);
  BitWriter writer(&out);
  HuffmanModel model;
  model.ResetModel();
  for (size_t i = 0; i < length; ++i) {
    const int value = input[i];
    const int leaf = model.LeafOf(value);
    if (leaf >= 0) {
      WritePath(model, leaf, &writer);
    } else {
      WritePath(model, model.LeafOf(kEscapeSymbol), &writer);
      writer.WriteBits(static_cast<uint32_t>(value), 8);
      model.AppendSymbol(value);
    }
    model.CountSymbol(value);
  }
  WritePath(model, model.LeafOf(kEndOfBlockSymbol), &writer);
  writer.Finish();
  return out;
}
