// Adaptive Huffman decoding of one block.
#include "codec/huffman_decoder.h"

int NextSymbol(HuffmanModel* model, BitReader* reader) {
  int slot = 0;
  int child;
  while ((child = model->child(slot)) >= 0) slot = child + static_cast<int>(reader->ReadBit());
  int symbol = ~child;
  if (symbol == kEscapeSymbol) {
    symbol = static_cast<int>(reader->ReadBits(8));
    if (!model->AppendSymbol(symbol)) return kDamagedSymbol;
  }
  // Bits past the end read as 0; a symbol made of them is not in the stream.
  return reader->overrun() ? kDamagedSymbol : symbol;
}

bool HuffmanDecodeBlock(const uint8_t* input, uint32_t inputLength, uint8_t* output,
                        uint32_t capacity, uint32_t* outputLength) {
  BitReader reader(input, inputLength);
  HuffmanModel model;
  model.ResetModel();
  uint32_t written = 0;
  bool intact = true;
  while (written < capacity) {
    const int symbol = NextSymbol(&model, &reader);
    if (symbol == kDamagedSymbol) {
      intact = false;
      break;
    }
    if (symbol == kEndOfBlockSymbol) break;
    output[written++] = static_cast<uint8_t>(symbol);
    model.CountSymbol(symbol);
  }
  *outputLength = written;
  return intact;
}
