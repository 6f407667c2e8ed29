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
// rescale) and a child field: the first child of an internal node, or a value of at
// least kLeafChild that names a leaf's symbol.
// A plain value type with no constructor: call ResetModel before use. About 6 KB, meant
// to live for one block's coding call (on the heap in the stub, whose frames stay below
// a page).
class HuffmanModel {
 public:
  // Child fields from here on mark leaves.
  static constexpr int kLeafChild = kSlotCount + 1;

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
  inline void CountSymbol(int value);

  // Exchanges the weights and contents of slots `a` and `b`; each slot keeps its parent.
  void ExchangeNodes(int a, int b);

  // Halves every leaf weight (rounding up) and rebuilds the internal nodes.
  void RescaleModel();

  // A decoder may cache what some slots hold. A later change of what a watched slot holds
  // (an exchange, unless of two leaves) lists the slot among the changed ones until the
  // next ClearChanges; when more slots change than the list holds, and on a rescale,
  // allChanged is raised instead. Watches last until ClearWatches, which also clears the
  // changes. ResetModel clears the watches and raises allChanged. (Growth changes only the
  // last slot, from a leaf to the parent of two leaves, and lists nothing.)
  static constexpr int kMaxChanges = 16;
  void WatchSlot(int slot) { watched_[slot] = 1; }
  void ClearWatches();
  void ClearChanges() { changeCount_ = 0; }
  bool anyChanged() const { return changeCount_ != 0; }
  bool allChanged() const { return changeCount_ > kMaxChanges; }
  // Unless allChanged: how many slots are listed, and the i-th of them (a slot may be
  // listed more than once).
  int changeCount() const { return changeCount_; }
  int changedSlot(int i) const { return changed_[i]; }

  // Slot of the leaf of `symbol` (0..257), or -1 while it is not in the tree.
  int LeafOf(int symbol) const { return link_[MapEntry(symbol)]; }
  int nodeCount() const { return nodeCount_; }
  uint32_t weight(int slot) const { return weights_[slot + 1]; }
  // The parent's slot; -1 for the root.
  int parent(int slot) const { return slot == 0 ? -1 : link_[slot]; }
  // The first child's slot of an internal node; kLeafChild or more for a leaf.
  int child(int slot) const { return child_[slot]; }
  static bool IsLeafChild(int child) { return child >= kLeafChild; }
  static int SymbolOfLeafChild(int child) { return (child - kLeafChild) / 2; }

 private:
  // Parents and the symbol map share one array, so that whatever refers to a slot's
  // contents is re-pointed the same way for both kinds of node: the links at child and
  // child + 1 are the parents of an internal node's children, or a leaf's map entry and
  // an unused entry after it.
  static constexpr int kLinkCount = kLeafChild + 2 * kSymbolCount;
  static int MapEntry(int symbol) { return kLeafChild + 2 * symbol; }

  // Counting walks on past the root into this slot, its own parent, so that the walk
  // can take several levels between checks for its end. Its weight starts far above
  // any other and only grows, so it is never taken for a node of equal weight.
  static constexpr int kSink = kSlotCount;
  static constexpr uint32_t kSinkWeight = 0x80000000;
  // Stands before the root, so that every slot has a predecessor to compare with.
  static constexpr uint32_t kSentinelWeight = 0xFFFFFFFF;

  uint32_t& WeightAt(int slot) { return weights_[slot + 1]; }
  void PointAt(int contentOf, int slot);
  void SwapContents(int a, int b);
  void NoteChange(int a, int b);
  void ListChange(int slot);
  int MoveToRunStart(int slot, uint32_t weight);
  inline void CountLevel(int* slot);

  int32_t nodeCount_;
  uint32_t weights_[kSlotCount + 2];  // the sentinel, the slots, the sink
  int16_t child_[kSlotCount];
  int16_t link_[kLinkCount];          // parents (the sink's too), then the symbol map
  // Where the runs of some weights began when last seen, by weight modulo kRunStarts.
  static constexpr int kRunStarts = 256;
  int16_t runStart_[kRunStarts];
  uint8_t watched_[kSlotCount];
  int16_t changed_[kMaxChanges];
  int32_t changeCount_;  // above kMaxChanges: everything changed
};

// Counts the node at *slot and moves *slot on to its parent. A node that is about to
// outweigh nodes of its old weight first trades places with the first of them.
inline void HuffmanModel::CountLevel(int* slot) {
  int current = *slot;
  const uint32_t weight = WeightAt(current);
  if (WeightAt(current - 1) == weight) current = MoveToRunStart(current, weight);
  WeightAt(current) = weight + 1;
  *slot = link_[current];
}

// Inline, because the decoder calls it once per byte.
inline void HuffmanModel::CountSymbol(int value) {
  if (WeightAt(0) == kRescaleWeight) RescaleModel();
  int current = LeafOf(value);
  if (current < 0) return;
  // Three levels between checks: most codes are short, and the check for the end of a
  // walk whose length follows no pattern costs more than a level in the sink.
  do {
    CountLevel(&current);
    CountLevel(&current);
    CountLevel(&current);
  } while (current != kSink);
}
