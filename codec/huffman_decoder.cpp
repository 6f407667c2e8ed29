// Adaptive Huffman decoding of one block.
#include "codec/huffman_decoder.h"

#include <stdlib.h>

#include <new>

#include "codec/bit_reader.h"
#include "codec/huffman_model.h"

namespace {

// The first kTableBits bits of a code are looked up at once. Most codes are shorter, and
// the top of the tree holds the heaviest nodes, which seldom change places; a deeper
// table would have to be rebuilt too often.
constexpr unsigned kTableBits = 6;
constexpr unsigned kTableSize = 1u << kTableBits;
constexpr unsigned kDepthBits = 4;  // an entry: slot << kDepthBits | bits used

constexpr int kDamagedSymbol = -1;

// For every value of the next kTableBits bits: the slot that the walk from the root
// reaches after them, or earlier at a leaf, and the number of bits it took. The internal
// slots passed on the way are watched: while none of them changes, every entry stays
// right, since a leaf that an entry stops at may later hold anything (the walk goes on
// from there bit by bit).
void FillTable(HuffmanModel* model, uint16_t* table, int slot, unsigned depth, unsigned prefix) {
  const int child = model->child(slot);
  if (HuffmanModel::IsLeafChild(child) || depth == kTableBits) {
    const unsigned span = 1u << (kTableBits - depth);
    const auto entry = static_cast<uint16_t>(static_cast<unsigned>(slot) << kDepthBits | depth);
    for (unsigned i = 0; i < span; ++i) table[prefix * span + i] = entry;
    return;
  }
  model->WatchSlot(slot);
  FillTable(model, table, child, depth + 1, prefix * 2);
  FillTable(model, table, child + 1, depth + 1, prefix * 2 + 1);
}

// Decodes one symbol: a byte value (an escape is resolved and its value added to the
// tree), the end-of-block symbol, or kDamagedSymbol. Does not count the symbol.
int NextSymbol(HuffmanModel* model, const uint16_t* table, BitReader* reader) {
  const unsigned entry = table[reader->PeekBits(kTableBits)];
  reader->SkipBits(entry & ((1u << kDepthBits) - 1));
  int slot = static_cast<int>(entry >> kDepthBits);
  int child;
  while (!HuffmanModel::IsLeafChild(child = model->child(slot))) {
    slot = child + static_cast<int>(reader->ReadBit());
  }
  int symbol = HuffmanModel::SymbolOfLeafChild(child);
  if (symbol == kEscapeSymbol) {
    symbol = static_cast<int>(reader->ReadBits(8));
    if (!model->AppendSymbol(symbol)) return kDamagedSymbol;
  }
  // Bits past the end read as 0; a symbol made of them is not in the stream.
  return reader->overrun() ? kDamagedSymbol : symbol;
}

}  // namespace

bool HuffmanDecodeBlock(const uint8_t* input, uint32_t inputLength, uint8_t* output,
                        uint32_t capacity, uint32_t* outputLength) {
  *outputLength = 0;
  // On the heap rather than the stack: the stub's frames stay below a page.
  void* memory = malloc(sizeof(HuffmanModel));
  if (memory == nullptr) return false;
  HuffmanModel* model = new (memory) HuffmanModel;
  model->ResetModel();
  BitReader reader(input, inputLength);
  uint16_t table[kTableSize];
  uint32_t written = 0;
  bool intact = true;
  while (written < capacity) {
    if (model->watchedChanged()) {
      model->ClearWatches();
      FillTable(model, table, 0, 0, 0);
    }
    const int symbol = NextSymbol(model, table, &reader);
    if (symbol == kDamagedSymbol) {
      intact = false;
      break;
    }
    if (symbol == kEndOfBlockSymbol) break;
    output[written++] = static_cast<uint8_t>(symbol);
    model->CountSymbol(symbol);
  }
  free(memory);
  *outputLength = written;
  return intact;
}
