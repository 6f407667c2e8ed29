// The fast Huffman stage against the slow decoder of huffman_reference.h, on streams the
// encoder wrote and on damaged ones: the fast decoder caches parts of the tree between
// symbols, and only a decoder without caches can tell when one of them went stale.
#include <gtest/gtest.h>

#include <new>

#include "codec/encoder/compress_block.h"
#include "codec/huffman_decoder.h"
#include "codec/huffman_model.h"
#include "tests/codec/codec_test_support.h"
#include "tests/codec/huffman_reference.h"

namespace {

struct Decoded {
  bool ok;
  Bytes bytes;
};

Decoded DecodeFast(const Bytes& stored, uint32_t capacity) {
  Bytes out(capacity);
  uint32_t length = 0;
  const bool ok = HuffmanDecodeBlock(stored.data(), static_cast<uint32_t>(stored.size()),
                                     out.data(), capacity, &length);
  out.resize(length);
  return {ok, out};
}

Decoded DecodeSlowly(const Bytes& stored, uint32_t capacity, ReferenceHuffmanDecoder* reference) {
  Decoded decoded;
  decoded.ok = reference->Decode(stored.data(), stored.size(), capacity, &decoded.bytes);
  return decoded;
}

void ExpectSameDecoding(const Bytes& stored, uint32_t capacity) {
  ReferenceHuffmanDecoder reference;
  const Decoded slow = DecodeSlowly(stored, capacity, &reference);
  const Decoded fast = DecodeFast(stored, capacity);
  EXPECT_EQ(fast.ok, slow.ok);
  EXPECT_EQ(fast.bytes, slow.bytes);
}

// Move-to-front codes as they come out of real files: mostly 0, a long tail of rare
// large values, and stretches of one value that keep exchanging the nodes near the root.
Bytes CodesLikeAfterBlockSort(size_t length, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out;
  while (out.size() < length) {
    const uint32_t kind = rng() % 16;
    if (kind == 0) {
      out.insert(out.end(), 1 + rng() % 300, static_cast<uint8_t>(rng()));
    } else {
      uint32_t code = 0;
      while (rng() % 3 != 0 && code < 255) code += 1 + (code > 8 ? rng() % 40 : 0);
      out.push_back(static_cast<uint8_t>(std::min<uint32_t>(code, 255)));
    }
  }
  out.resize(length);
  return out;
}

Bytes SkewedText(size_t length, uint32_t seed) {
  Bytes data = RandomBytes(length, seed, 256);
  for (size_t i = 0; i < data.size(); ++i) data[i] = i % 7 ? "etaoin shrdlu"[i % 13] : data[i];
  return data;
}

TEST(HuffmanDecoder, AgreesWithTheSlowDecoderOnEveryKindOfBlock) {
  const Bytes blocks[] = {
      SkewedText(65000, 11), CodesLikeAfterBlockSort(98000, 12), RandomBytes(30000, 13, 256),
      RandomBytes(30000, 14, 3), Bytes(40000, 0x00),
  };
  for (const Bytes& block : blocks) {
    const Bytes stored = HuffmanEncodeBlock(block.data(), block.size());
    ReferenceHuffmanDecoder reference;
    const Decoded slow = DecodeSlowly(stored, kFileCapacity, &reference);
    const Decoded fast = DecodeFast(stored, kFileCapacity);
    EXPECT_TRUE(slow.ok);
    EXPECT_TRUE(slow.bytes == block) << "the encoder strayed from the format";
    EXPECT_TRUE(fast.ok);
    EXPECT_TRUE(fast.bytes == block) << "the fast decoder strayed from the format";
    // The long blocks rescale several times; the skewed text uses every slot.
    if (&block == &blocks[0]) {
      EXPECT_GE(reference.rescales, 2);
      EXPECT_EQ(reference.count, ReferenceHuffmanDecoder::kSlots);
    }
  }
}

TEST(HuffmanDecoder, AgreesWithTheSlowDecoderOnDamagedStreams) {
  const Bytes codes = CodesLikeAfterBlockSort(12000, 21);
  const Bytes stored = HuffmanEncodeBlock(codes.data(), codes.size());
  std::mt19937 rng(22);
  for (int trial = 0; trial < 150; ++trial) {
    Bytes damaged = stored;
    // A flipped bit turns the rest into another stream of symbols, escapes of values
    // already in the tree among them; a cut makes it end inside a symbol.
    damaged[rng() % damaged.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
    if (trial % 3 == 0) damaged.resize(rng() % damaged.size());
    ExpectSameDecoding(damaged, kFileCapacity);
  }
  for (const uint32_t capacity : {0u, 1u, 2u, 1000u, 11999u, 12000u}) {
    ExpectSameDecoding(stored, capacity);
  }
}

TEST(HuffmanDecoder, AgreesWithTheSlowDecoderThroughTheWholePipeline) {
  // What CompressBlock stores, from real-looking bytes rather than codes.
  const Bytes data = SkewedText(60000, 31);
  Bytes stored;
  ASSERT_TRUE(CompressBlock(data.data(), data.size(), &stored));
  ExpectSameDecoding(stored, kFileCapacity);
}

// The stub's heap hands out memory as the last user left it. Words that look like the
// weights of the slots past the root's parent are what once made a walk trade places
// with an unused slot, and an install hang or fail, depending on the previous block.
TEST(HuffmanModel, EvolvesAlikeWhateverItsMemoryHeld) {
  const Bytes codes = CodesLikeAfterBlockSort(60000, 7);  // long enough to rescale
  auto evolve = [&](uint32_t fill) {
    std::vector<uint32_t> memory(sizeof(HuffmanModel) / sizeof(uint32_t) + 1, fill);
    HuffmanModel* model = new (memory.data()) HuffmanModel;
    model->ResetModel();
    for (const uint8_t code : codes) {
      model->AppendSymbol(code);
      model->CountSymbol(code);
    }
    std::vector<uint32_t> state;
    for (int slot = 0; slot < model->nodeCount(); ++slot) {
      state.push_back(model->weight(slot));
      state.push_back(static_cast<uint32_t>(model->child(slot)));
      state.push_back(static_cast<uint32_t>(model->parent(slot)));
    }
    return state;
  };
  const std::vector<uint32_t> clean = evolve(0);
  for (const uint32_t fill : {0xFFFFFFFFu, 0x80000000u, 0x80000001u, 0x80000002u, 0x80000003u,
                              0x80000004u, 0x00000001u}) {
    EXPECT_EQ(evolve(fill), clean) << std::hex << "memory filled with 0x" << fill;
  }
}

// The decoder mends its table from these lists alone: a change missed is a stale walk,
// and a change the list cannot hold must not be dropped.
TEST(HuffmanModel, ListsChangesToWatchedSlots) {
  HuffmanModel model;
  model.ResetModel();
  EXPECT_TRUE(model.allChanged());  // nothing cached fits a fresh tree
  for (const int value : {'a', 'b', 'c', 'b', 'd', 'e'}) {
    model.AppendSymbol(value);
    model.CountSymbol(value);
  }
  int inner = 1;
  while (HuffmanModel::IsLeafChild(model.child(inner))) ++inner;
  const int last = model.nodeCount() - 1;
  ASSERT_TRUE(HuffmanModel::IsLeafChild(model.child(last - 1)));
  ASSERT_TRUE(HuffmanModel::IsLeafChild(model.child(last)));

  model.ClearWatches();
  model.WatchSlot(inner);
  model.ExchangeNodes(last - 1, last);
  EXPECT_FALSE(model.anyChanged());
  model.ExchangeNodes(last, inner);
  EXPECT_FALSE(model.allChanged());
  ASSERT_EQ(model.changeCount(), 1);
  EXPECT_EQ(model.changedSlot(0), inner);

  // Leaves trading places leave every walk stopping at the same slots; a leaf trading
  // places with an internal node does not.
  model.ClearWatches();
  model.WatchSlot(last - 1);
  model.ExchangeNodes(last - 1, inner);  // both leaves now
  EXPECT_FALSE(model.anyChanged());
  model.ExchangeNodes(last, last - 1);  // `last` holds the internal node
  ASSERT_EQ(model.changeCount(), 1);
  EXPECT_EQ(model.changedSlot(0), last - 1);

  model.ClearChanges();
  for (int i = 0; i <= HuffmanModel::kMaxChanges; ++i) model.ExchangeNodes(last, last - 1);
  EXPECT_TRUE(model.allChanged());
  model.ClearChanges();
  EXPECT_FALSE(model.anyChanged());
  model.RescaleModel();
  EXPECT_TRUE(model.allChanged());
}

}  // namespace
