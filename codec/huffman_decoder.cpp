// Adaptive Huffman decoding of one block.
#include "codec/huffman_decoder.h"

#include <stdlib.h>

#include <new>

#include "codec/bit_reader.h"
#include "codec/huffman_model.h"

namespace {

// The first kTableBits bits of a code are looked up at once. Most codes are shorter, and
// the top of the tree holds the heaviest nodes, which seldom change places; a deeper
// table would have to be mended too often.
constexpr unsigned kTableBits = 6;
constexpr unsigned kTableSize = 1u << kTableBits;
constexpr unsigned kDepthBits = 4;  // an entry: slot << kDepthBits | bits used
constexpr unsigned kDepthMask = (1u << kDepthBits) - 1;

constexpr int kDamagedSymbol = -1;

// What the decoder caches of the top of the tree. Every slot that the walks of the table
// pass through or stop at, above kTableBits bits, is watched, and its place in the tree
// recorded, so that a change of one of them mends only the entries below it.
struct TreeTop {
  // For every value of the next kTableBits bits: the slot that the walk from the root
  // reaches after them, or earlier at a leaf, and the number of bits it took. A leaf
  // that an entry stops at may have grown into an internal node since: the walk goes on
  // from there bit by bit.
  uint16_t table[kTableSize];
  // For a watched slot: the bits that lead to it from the root, << kDepthBits | how many.
  // A slot may have left the top of the tree since it was recorded.
  uint16_t place[kSlotCount];
};

// Fills the entries whose walks reach `slot`, which `depth` bits, `prefix`, lead to.
void FillTable(HuffmanModel* model, TreeTop* top, int slot, unsigned depth, unsigned prefix) {
  const auto entry = static_cast<uint16_t>(static_cast<unsigned>(slot) << kDepthBits | depth);
  if (depth == kTableBits) {
    top->table[prefix] = entry;  // whatever this slot holds, the walk goes on from it
    return;
  }
  model->WatchSlot(slot);
  top->place[slot] = static_cast<uint16_t>(prefix << kDepthBits | depth);
  const int child = model->child(slot);
  if (HuffmanModel::IsLeafChild(child)) {
    const unsigned span = 1u << (kTableBits - depth);
    for (unsigned i = 0; i < span; ++i) top->table[prefix * span + i] = entry;
    return;
  }
  FillTable(model, top, child, depth + 1, prefix * 2);
  FillTable(model, top, child + 1, depth + 1, prefix * 2 + 1);
}

// The slot that `depth` bits, `prefix`, lead to from the root, or -1 when they lead
// through a leaf.
int SlotAt(const HuffmanModel* model, unsigned prefix, unsigned depth) {
  int slot = 0;
  while (depth > 0) {
    const int child = model->child(slot);
    if (HuffmanModel::IsLeafChild(child)) return -1;
    --depth;
    slot = child + static_cast<int>((prefix >> depth) & 1);
  }
  return slot;
}

// Brings the table up to date with the tree after the model listed changed slots.
// A listed slot that is still where it was recorded has the entries below it filled
// anew. One that is not left the top of the tree through a change above it, whose own
// entries are filled anew, which also records the places of the slots below it now.
void MendTable(HuffmanModel* model, TreeTop* top) {
  if (model->allChanged()) {
    model->ClearWatches();
    FillTable(model, top, 0, 0, 0);
    return;
  }
  for (int i = 0; i < model->changeCount(); ++i) {
    const int slot = model->changedSlot(i);
    const unsigned place = top->place[slot];
    const unsigned depth = place & kDepthMask;
    const unsigned prefix = place >> kDepthBits;
    if (SlotAt(model, prefix, depth) == slot) FillTable(model, top, slot, depth, prefix);
  }
  model->ClearChanges();
}

// Decodes one symbol: a byte value (an escape is resolved and its value added to the
// tree), the end-of-block symbol, or kDamagedSymbol. Does not count the symbol.
int NextSymbol(HuffmanModel* model, const TreeTop& top, BitReader* reader) {
  const unsigned entry = top.table[reader->PeekBits(kTableBits)];
  reader->SkipBits(entry & kDepthMask);
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

// The model and its table: on the heap rather than the stack, since the stub's frames
// stay below a page.
struct DecoderState {
  HuffmanModel model;
  TreeTop top;
};

}  // namespace

const uint32_t kHuffmanDecoderMemory = sizeof(DecoderState);

bool HuffmanDecodeBlock(const uint8_t* input, uint32_t inputLength, uint8_t* output,
                        uint32_t capacity, uint32_t* outputLength) {
  *outputLength = 0;
  void* memory = malloc(sizeof(DecoderState));
  if (memory == nullptr) return false;
  const bool intact =
      HuffmanDecodeBlock(input, inputLength, output, capacity, outputLength, memory);
  free(memory);
  return intact;
}

bool HuffmanDecodeBlock(const uint8_t* input, uint32_t inputLength, uint8_t* output,
                        uint32_t capacity, uint32_t* outputLength, void* memory) {
  *outputLength = 0;
  DecoderState* state = new (memory) DecoderState;
  HuffmanModel* model = &state->model;
  model->ResetModel();
  BitReader reader(input, inputLength);
  uint32_t written = 0;
  bool intact = true;
  while (written < capacity) {
    if (model->anyChanged()) MendTable(model, &state->top);
    const int symbol = NextSymbol(model, state->top, &reader);
    if (symbol == kDamagedSymbol) {
      intact = false;
      break;
    }
    if (symbol == kEndOfBlockSymbol) break;
    output[written++] = static_cast<uint8_t>(symbol);
    model->CountSymbol(symbol);
  }
  *outputLength = written;
  return intact;
}
