// Block compression: run-length coding, block sort, move-to-front and adaptive Huffman
// coding, trying both run-length forms and keeping the smaller result.
#include "codec/encoder/compress_block.h"

#include <future>
#include <system_error>

#include "codec/encoder/block_sort.h"
#include "codec/encoder/huffman_encoder.h"
#include "codec/encoder/move_to_front_encoder.h"
#include "codec/encoder/run_length_encoder.h"

namespace {

// What the three-argument form assumes: the capacity of the file blocks.
constexpr uint32_t kDefaultCapacity = 0x18000;

// Below this many bytes a second thread costs more than it saves.
constexpr size_t kParallelFormsFrom = 8192;

std::vector<uint8_t> CompressForm(const std::vector<uint8_t>& form) {
  std::vector<uint8_t> sorted = BlockSort(form.data(), form.size());
  if (sorted.empty()) return sorted;
  MoveToFront(sorted.data(), sorted.data(), sorted.size());
  return HuffmanEncodeBlock(sorted.data(), sorted.size());
}

// Compresses the coded form on another thread while this one does the stored form: the
// two are independent and together are most of the builder's time.
void CompressBothForms(const std::vector<uint8_t>& storedForm,
                       const std::vector<uint8_t>& codedForm, std::vector<uint8_t>* fromStored,
                       std::vector<uint8_t>* fromCoded) {
  std::future<std::vector<uint8_t>> coded;
  if (storedForm.size() >= kParallelFormsFrom) {
    try {
      coded = std::async(std::launch::async, CompressForm, std::cref(codedForm));
    } catch (const std::system_error&) {
      // No thread to be had: do both here.
    }
  }
  *fromStored = CompressForm(storedForm);
  *fromCoded = coded.valid() ? coded.get() : CompressForm(codedForm);
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
  std::vector<uint8_t> best;
  std::vector<uint8_t> candidate;
  // The coded form is tried only when it is no longer than the stored form, so that the
  // bound length + 5 on the decoder's capacity holds whichever form is kept.
  if (codedForm.size() <= storedForm.size()) {
    CompressBothForms(storedForm, codedForm, &best, &candidate);
  } else {
    best = CompressForm(storedForm);
  }
  // On a tie the coded form is kept; either expands to the same bytes.
  if (!candidate.empty() && (best.empty() || candidate.size() <= best.size())) {
    best.swap(candidate);
  }
  if (best.empty() || best.size() > kMaxStoredLength) return false;
  stored->swap(best);
  return true;
}
