// The adaptive Huffman code tree shared by the block decoder and the builder's encoder:
// both evolve the same tree from the same symbols, so the tree lives in one place only.
#pragma once

#include <stdint.h>

constexpr int kEndOfBlockSymbol = 256;
constexpr int kEscapeSymbol = 257;
constexpr int kSymbolCount = 258;
constexpr int kSlotCount = 2 * kSymbolCount - 1;  // 515: every symbol a leaf
// A count that would take the root past this weight first halves every weight.
constexpr uint32_t kRescaleWeight = 0x8000;

// Slot 0 is always the root. The two children of an internal node occupy adjacent slots
// (the 0 branch first), and weights never increase with the slot index, so the last slot
// in use is the lightest node and a leaf. The end-of-block and escape leaves keep weight
// 1 for ever. Each slot has a weight (symbols counted in the subtree, halved by every
// rescale), a parent (-1 for the root) and a child: the first child of an internal node,
// or, for a leaf, its symbol stored as ~symbol, so that a negative child marks a leaf.
// A plain value type with no constructor: call ResetModel before use. About 7 KB, meant
// to live on the stack of one block's coding call.
class HuffmanModel {
 public:
  // The initial tree: the root with the end-of-block leaf (0 branch) and the escape leaf
  // (1 branch), each of weight 1.
  void ResetModel();

  // Grows a leaf of weight 0 for `value` (0..255) by splitting the last slot. Returns
  // false, changing nothing, when `value` is out of range or already in the tree, which
  // is also what keeps the tree within its kSlotCount slots.
  bool AppendSymbol(int value);

  // Counts one occurrence of `value`, rescaling first when the root weighs
  // kRescaleWeight, and restores the weight order by exchanging nodes on the way up.
  // A value not in the tree is not counted.
  void CountSymbol(int value);

  // Exchanges the contents of slots `a` and `b`; each slot keeps its parent.
  void ExchangeNodes(int a, int b);

  // Halves every leaf weight (rounding up) and rebuilds the internal nodes.
  void RescaleModel();

  // Slot of the leaf of `symbol` (0..257), or -1 while it is not in the tree.
  int LeafOf(int symbol) const { return symbolMap_[symbol]; }
  int nodeCount() const { return nodeCount_; }
  uint32_t weight(int slot) const { return weight_[slot]; }
  int parent(int slot) const { return parent_[slot]; }
  // The first child's slot, or ~symbol for a leaf.
  int child(int slot) const { return child_[slot]; }
  bool isLeaf(int slot) const { return child_[slot] < 0; }

 private:
  void PointAt(int contentOf, int slot);
  void CopySlot(int from, int to);

  int32_t symbolMap_[kSymbolCount];
  int32_t nodeCount_;
  uint32_t weight_[kSlotCount];
  int32_t parent_[kSlotCount];
  int32_t child_[kSlotCount];
};
