// The adaptive Huffman code tree: growth, counting and rescaling.
#include "codec/huffman_model.h"

#include <string.h>

void HuffmanModel::ResetModel() {
  for (int symbol = 0; symbol < kSymbolCount; ++symbol) link_[MapEntry(symbol)] = -1;
  for (int16_t& start : runStart_) start = 0;
  // Slots not yet in use weigh nothing: the walk compares the sink with the slot before
  // it, the last one, and what the memory held before must never match the sink.
  for (int slot = 3; slot < kSink; ++slot) WeightAt(slot) = 0;
  WeightAt(-1) = kSentinelWeight;
  WeightAt(kSink) = kSinkWeight;
  link_[kSink] = kSink;
  link_[0] = kSink;
  WeightAt(0) = 2;
  WeightAt(1) = 1;
  WeightAt(2) = 1;
  child_[0] = 1;
  child_[1] = static_cast<int16_t>(MapEntry(kEndOfBlockSymbol));
  child_[2] = static_cast<int16_t>(MapEntry(kEscapeSymbol));
  for (int slot = 0; slot < 3; ++slot) PointAt(slot, slot);
  nodeCount_ = 3;
  ClearWatches();
  changeCount_ = kMaxChanges + 1;
}

void HuffmanModel::ClearWatches() {
  memset(watched_, 0, sizeof watched_);
  ClearChanges();
}

// Makes whatever refers to the contents of slot `contentOf` refer to `slot` instead.
void HuffmanModel::PointAt(int contentOf, int slot) {
  const int child = child_[contentOf];
  link_[child] = static_cast<int16_t>(slot);
  link_[child + 1] = static_cast<int16_t>(slot);
}

bool HuffmanModel::AppendSymbol(int value) {
  if (value < 0 || value > 255 || LeafOf(value) != -1) return false;
  const int fresh = nodeCount_;
  const int last = fresh - 1;
  nodeCount_ = fresh + 2;
  // The old lightest leaf moves down to become the 0 branch of the split node.
  WeightAt(fresh) = WeightAt(last);
  child_[fresh] = child_[last];
  PointAt(fresh, fresh);
  WeightAt(fresh + 1) = 0;
  child_[fresh + 1] = static_cast<int16_t>(MapEntry(value));
  PointAt(fresh + 1, fresh + 1);
  child_[last] = static_cast<int16_t>(fresh);
  PointAt(last, last);
  return true;
}

// Out of line: most exchanges are of slots that nobody watches.
void HuffmanModel::NoteChange(int a, int b) {
  // Two leaves trading places leave every cached walk right: it stops at the same slot
  // and reads the symbol there.
  if (IsLeafChild(child_[a]) && IsLeafChild(child_[b])) return;
  if (watched_[a]) ListChange(a);
  if (watched_[b]) ListChange(b);
}

void HuffmanModel::ListChange(int slot) {
  if (changeCount_ < kMaxChanges) {
    changed_[changeCount_] = static_cast<int16_t>(slot);
  }
  // One past the list means everything changed: the decoder then rebuilds all it caches.
  if (changeCount_ <= kMaxChanges) ++changeCount_;
}

// Exchanges what two slots hold, but not their weights.
void HuffmanModel::SwapContents(int a, int b) {
  if (watched_[a] | watched_[b]) NoteChange(a, b);
  PointAt(a, b);
  PointAt(b, a);
  const int16_t child = child_[a];
  child_[a] = child_[b];
  child_[b] = child;
}

void HuffmanModel::ExchangeNodes(int a, int b) {
  SwapContents(a, b);
  const uint32_t weight = WeightAt(a);
  WeightAt(a) = WeightAt(b);
  WeightAt(b) = weight;
}

// Exchanges the node at `slot`, of weight `weight`, with the first node of that weight
// (whose weight is the same, so the weights stay put) and returns the first node's slot.
// Where the run of a weight begins is remembered, and checked before it is trusted,
// since runs move as weights change; the walk finds it otherwise.
int HuffmanModel::MoveToRunStart(int slot, uint32_t weight) {
  int16_t& remembered = runStart_[weight % kRunStarts];
  int first = remembered;
  if (first >= slot || WeightAt(first) != weight || WeightAt(first - 1) == weight) {
    first = slot - 1;
    while (WeightAt(first - 1) == weight) --first;  // the sentinel stops it at the root
  }
  // The caller counts the node at `first` next; the run then goes on after it.
  remembered = static_cast<int16_t>(first + 1);
  SwapContents(slot, first);
  return first;
}

void HuffmanModel::RescaleModel() {
  changeCount_ = kMaxChanges + 1;
  const int count = nodeCount_;
  // Gather the leaves at the end, in their order, with halved weights.
  int j = count - 1;
  for (int i = count - 1; i >= 0; --i) {
    if (IsLeafChild(child_[i])) {
      WeightAt(j) = (WeightAt(i) + 1) / 2;
      child_[j] = child_[i];
      --j;
    }
  }
  // Pair the lightest nodes from the end and insert each parent after every heavier node.
  // The new node never lands beyond slot i - 1, so the pair it names stays in place.
  for (int i = count - 2; j >= 0; i -= 2, --j) {
    const uint32_t weight = WeightAt(i) + WeightAt(i + 1);
    int k = j + 1;
    while (weight < WeightAt(k)) ++k;
    --k;
    // Parents need not move: the re-linking below rewrites every one but the root's.
    const size_t moved = static_cast<size_t>(k - j);
    memmove(&WeightAt(j), &WeightAt(j + 1), moved * sizeof(uint32_t));
    memmove(&child_[j], &child_[j + 1], moved * sizeof(child_[0]));
    WeightAt(k) = weight;
    child_[k] = static_cast<int16_t>(i);
  }
  for (int i = count - 1; i >= 0; --i) PointAt(i, i);
}
