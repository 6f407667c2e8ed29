// The fast Huffman stage against a slow decoder that keeps the code tree node by node,
// exactly as the block format describes it. The real tree is laid out for speed and
// shared with the encoder, so round trips alone could not tell if it strayed from the
// format: the oracle can.
#include <gtest/gtest.h>

#include "codec/encoder/compress_block.h"
#include "codec/huffman_decoder.h"
#include "tests/codec/codec_test_support.h"

namespace {

struct ReferenceDecoder {
  struct Node {
    uint32_t weight;
    int parent;
    bool leaf;
    int child;
  };
  Node node[kSlotCount] = {
      {2, -1, false, 1}, {1, 0, true, kEndOfBlockSymbol}, {1, 0, true, kEscapeSymbol}};
  int map[kSymbolCount];
  int count = 3;
  int rescales = 0;

  ReferenceDecoder() {
    std::fill(map, map + kSymbolCount, -1);
    map[kEndOfBlockSymbol] = 1;
    map[kEscapeSymbol] = 2;
  }

  // Whatever refers to the contents of slot `from` is made to refer to slot `to`.
  void Relink(int from, int to) {
    if (node[from].leaf) {
      map[node[from].child] = to;
    } else {
      node[node[from].child].parent = node[node[from].child + 1].parent = to;
    }
  }

  void Append(int value) {
    const int last = count - 1;
    node[count] = {node[last].weight, last, true, node[last].child};
    map[node[count].child] = count;
    node[last] = {node[last].weight, node[last].parent, false, count};
    node[count + 1] = {0, last, true, value};
    map[value] = count + 1;
    count += 2;
  }

  void Count(int value) {
    if (node[0].weight == 0x8000) Rescale();
    for (int slot = map[value]; slot != -1; slot = node[slot].parent) {
      const uint32_t weight = ++node[slot].weight;
      int target = slot;
      while (target > 0 && node[target - 1].weight < weight) --target;
      if (target == slot) continue;
      Relink(slot, target);
      Relink(target, slot);
      std::swap(node[slot].weight, node[target].weight);
      std::swap(node[slot].leaf, node[target].leaf);
      std::swap(node[slot].child, node[target].child);
      slot = target;
    }
  }

  void Rescale() {
    ++rescales;
    int j = count - 1;
    for (int i = count - 1; i >= 0; --i) {
      if (node[i].leaf) node[j--] = {(node[i].weight + 1) / 2, 0, true, node[i].child};
    }
    for (int i = count - 2; j >= 0; i -= 2, --j) {
      const uint32_t weight = node[i].weight + node[i + 1].weight;
      int k = j + 1;
      while (weight < node[k].weight) ++k;
      std::copy(node + j + 1, node + k, node + j);
      node[k - 1] = {weight, -1, false, i};  // -1 stays only on the root
    }
    for (int i = count - 1; i >= 0; --i) Relink(i, i);
  }

  Bytes Decode(const Bytes& in) {
    size_t bit = 0;
    auto read = [&] { return (in.at(bit / 8) >> (7 - bit++ % 8)) & 1; };
    for (Bytes out;;) {
      int slot = 0;
      while (!node[slot].leaf) slot = node[slot].child + read();
      int symbol = node[slot].child;
      if (symbol == kEndOfBlockSymbol) return out;
      if (symbol == kEscapeSymbol) {
        symbol = 0;
        for (int k = 0; k < 8; ++k) symbol = symbol * 2 + read();
        if (map[symbol] != -1) return out;  // not in a valid stream; stop, not overflow
        Append(symbol);
      }
      out.push_back(static_cast<uint8_t>(symbol));
      Count(symbol);
    }
  }
};

TEST(HuffmanDecoder, AgreesWithTheSlowDecoderThroughManyRescales) {
  // Skewed like text, with every byte value somewhere, and long enough to rescale often.
  Bytes data = RandomBytes(65000, 11, 256);
  for (size_t i = 0; i < data.size(); ++i) data[i] = i % 7 ? "etaoin shrdlu"[i % 13] : data[i];
  Bytes stored;
  ASSERT_TRUE(CompressBlock(data.data(), data.size(), &stored));
  Bytes fast(kFileCapacity);
  uint32_t length = 0;
  ASSERT_TRUE(HuffmanDecodeBlock(stored.data(), static_cast<uint32_t>(stored.size()), fast.data(),
                                 kFileCapacity, &length));
  fast.resize(length);
  ReferenceDecoder reference;
  EXPECT_EQ(reference.Decode(stored), fast);
  EXPECT_GE(reference.rescales, 2);
  EXPECT_EQ(reference.count, kSlotCount);  // all 256 values in: every slot used
}

}  // namespace
