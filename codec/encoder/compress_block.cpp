// Block compression: run-length coding, block sort, move-to-front and adaptive Huffman
// coding.
#include "codec/encoder/compress_block.h"

#include "codec/encoder/block_sort.h"
#include "codec/encoder/huffman_encoder.h"
#include "codec/encoder/move_to_front_encoder.h"
#include "codec/encoder/run_length_encoder.h"

namespace {

// What the three-argument form assumes: the capacity of the file blocks.
constexpr uint32_t kDefaultCapacity = 0x18000;

std::vector<uint8_t> CompressForm(const std::vector<uint8_t>& form) {
  std::vector<uint8_t> sorted = BlockSort(form.data(), form.size());
  if (sorted.empty()) return sorted;
  MoveToFront(sorted.data(), sorted.data(), sorted.size());
  return HuffmanEncodeBlock(sorted.data(), sorted.size());
}

}  // namespace

bool CompressBlock(const uint8_t* data, size_t length, std::vector<uint8_t>* stored) {
  return CompressBlock(data, length, kDefaultCapacity, stored);
}

bool CompressBlock(const uint8_t* data, size_t length, uint32_t capacity,
                   std::vector<uint8_t>* stored) {
  stored->clear();
  if (length == 0 || length + kExpansionOverhead > capacity) return false;
  const std::vector<uint8_t> storedForm = MakeStoredForm(data, length);
  const std::vector<uint8_t> codedForm = EncodeRunLength(data, length);
  // The block sort costs most of the time, so only one form goes through it: the coded
  // form when it is shorter. Compressing both and keeping the smaller result made
  // packages of typical files only about 0.01% smaller, at twice the time.
  const bool codedFirst = codedForm.size() < storedForm.size();
  std::vector<uint8_t> result = CompressForm(codedFirst ? codedForm : storedForm);
  if (result.empty() || result.size() > kMaxStoredLength) {
    // The coded form is never longer than the stored one when it is tried, so that the
    // bound length + 5 on the decoder's capacity holds whichever form is kept.
    if (!codedFirst && codedForm.size() > storedForm.size()) return false;
    result = CompressForm(codedFirst ? storedForm : codedForm);
    if (result.empty() || result.size() > kMaxStoredLength) return false;
  }
  stored->swap(result);
  return true;
}
