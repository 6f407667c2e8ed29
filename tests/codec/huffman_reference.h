// A slow adaptive Huffman decoder that keeps the code tree node by node, exactly as the
// block format describes it, and reads one bit at a time: the oracle for the fast
// decoder, whose tree and lookups are laid out for speed and shared with the encoder, so
// that round trips alone could not tell if it strayed from the format. Used by the codec
// tests and by the decoder's fuzz target.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <algorithm>
#include <vector>

struct ReferenceHuffmanDecoder {
  static constexpr int kEnd = 256;
  static constexpr int kEscape = 257;
  static constexpr int kSlots = 515;

  struct Node {
    uint32_t weight;
    int parent;
    bool leaf;
    int child;  // a leaf's symbol, or an internal node's first child
  };
  Node node[kSlots] = {{2, -1, false, 1}, {1, 0, true, kEnd}, {1, 0, true, kEscape}};
  int map[258];
  int count = 3;
  int rescales = 0;

  ReferenceHuffmanDecoder() {
    std::fill(map, map + 258, -1);
    map[kEnd] = 1;
    map[kEscape] = 2;
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

  // Decodes `length` stored bytes from a fresh tree into *out, at most `capacity` bytes.
  // Returns false for a damaged stream: a symbol that needs bits past the input, or an
  // escape naming a value already in the tree; *out then holds the bytes before it.
  bool Decode(const uint8_t* in, size_t length, size_t capacity, std::vector<uint8_t>* out) {
    size_t bit = 0;
    auto read = [&] {
      const int value = bit / 8 < length ? (in[bit / 8] >> (7 - bit % 8)) & 1 : 0;
      ++bit;
      return value;
    };
    out->clear();
    while (out->size() < capacity) {
      int slot = 0;
      while (!node[slot].leaf) slot = node[slot].child + read();
      int symbol = node[slot].child;
      if (symbol == kEscape) {
        symbol = 0;
        for (int k = 0; k < 8; ++k) symbol = symbol * 2 + read();
        if (map[symbol] != -1) return false;
        Append(symbol);
      }
      if (bit > 8 * length) return false;
      if (symbol == kEnd) return true;
      out->push_back(static_cast<uint8_t>(symbol));
      Count(symbol);
    }
    return true;
  }
};
