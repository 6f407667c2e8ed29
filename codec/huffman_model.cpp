// The adaptive Huffman code tree: growth, counting and rescaling.
#include "codec/huffman_model.h"

#include <string.h>

void HuffmanModel::ResetModel() {
  for (int symbol = 0; symbol < kSymbolCount; ++symbol) symbolMap_[symbol] = -1;
  weight_[0] = 2;
  parent_[0] = -1;
  child_[0] = 1;
  weight_[1] = 1;
  parent_[1] = 0;
  child_[1] = ~kEndOfBlockSymbol;
  weight_[2] = 1;
  parent_[2] = 0;
  child_[2] = ~kEscapeSymbol;
  symbolMap_[kEndOfBlockSymbol] = 1;
  symbolMap_[kEscapeSymbol] = 2;
  nodeCount_ = 3;
}

void HuffmanModel::CopySlot(int from, int to) {
  weight_[to] = weight_[from];
  parent_[to] = parent_[from];
  child_[to] = child_[from];
}

bool HuffmanModel::AppendSymbol(int value) {
  if (value < 0 || value > 255 || symbolMap_[value] != -1) return false;
  const int fresh = nodeCount_;
  const int last = fresh - 1;
  nodeCount_ = fresh + 2;
  // The old lightest leaf moves down to become the 0 branch of the split node.
  CopySlot(last, fresh);
  parent_[fresh] = last;
  symbolMap_[~child_[fresh]] = fresh;
  child_[last] = fresh;
  weight_[fresh + 1] = 0;
  parent_[fresh + 1] = last;
  child_[fresh + 1] = ~value;
  symbolMap_[value] = fresh + 1;
  return true;
}

void HuffmanModel::CountSymbol(int value) {
  if (weight_[0] == kRescaleWeight) RescaleModel();
  int current = symbolMap_[value];
  while (current != -1) {
    const uint32_t weight = ++weight_[current];
    // Move ahead of every node that still has the old weight, so weights stay ordered.
    int target = current;
    while (target > 0 && weight_[target - 1] < weight) --target;
    if (target != current) {
      ExchangeNodes(current, target);
      current = target;
    }
    current = parent_[current];
  }
}

// Makes whatever refers to the contents of slot `contentOf` refer to `slot` instead.
void HuffmanModel::PointAt(int contentOf, int slot) {
  const int32_t child = child_[contentOf];
  if (child < 0) {
    symbolMap_[~child] = slot;
  } else {
    parent_[child] = slot;
    parent_[child + 1] = slot;
  }
}

void HuffmanModel::ExchangeNodes(int a, int b) {
  PointAt(a, b);
  PointAt(b, a);
  const uint32_t weight = weight_[a];
  weight_[a] = weight_[b];
  weight_[b] = weight;
  const int32_t child = child_[a];
  child_[a] = child_[b];
  child_[b] = child;
}

void HuffmanModel::RescaleModel() {
  const int count = nodeCount_;
  // Gather the leaves at the end, in their order, with halved weights.
  int j = count - 1;
  for (int i = count - 1; i >= 0; --i) {
    if (child_[i] < 0) {
      CopySlot(i, j);
      weight_[j] = (weight_[j] + 1) / 2;
      --j;
    }
  }
  // Pair the lightest nodes from the end and insert each parent after every heavier node.
  // The new node never lands beyond slot i - 1, so the pair it names stays in place.
  for (int i = count - 2; j >= 0; i -= 2, --j) {
    const uint32_t weight = weight_[i] + weight_[i + 1];
    int k = j + 1;
    while (weight < weight_[k]) ++k;
    --k;
    // Parents need not move: the re-linking below rewrites every one but the root's.
    const size_t moved = static_cast<size_t>(k - j);
    memmove(&weight_[j], &weight_[j + 1], moved * sizeof(weight_[0]));
    memmove(&child_[j], &child_[j + 1], moved * sizeof(child_[0]));
    weight_[k] = weight;
    child_[k] = i;
  }
  for (int i = count - 1; i >= 0; --i) PointAt(i, i);
}
