// Run-length coding, the exact inverse of UndoRunLength's coded form.
#include "codec/encoder/run_length_encoder.h"

#include <algorithm>

namespace {

constexpr uint8_t kCodeByte = 0xFF;
constexpr size_t kShortestRun = 3;
constexpr size_t kLongestRun = 257;

// Writes through a pointer into room reserved beforehand: a push_back per byte cost as
// much as the block sort's share of some blocks.
uint8_t* PutLiteral(uint8_t value, uint8_t* out) {
  *out++ = value;
  if (value == kCodeByte) *out++ = kCodeByte;
  return out;
}

// Puts `count` more copies of `value`, which is already the last literal.
uint8_t* PutRepeats(uint8_t value, size_t count, uint8_t* out) {
  while (count >= kShortestRun) {
    size_t run = std::min(count, kLongestRun);
    // Leave a remainder of 0 or at least 3, which one more run takes more cheaply than
    // one or two literals.
    const size_t rest = count - run;
    if (rest > 0 && rest < kShortestRun) run = count - kShortestRun;
    *out++ = kCodeByte;
    *out++ = static_cast<uint8_t>(run - kShortestRun);
    count -= run;
  }
  for (; count > 0; --count) out = PutLiteral(value, out);
  return out;
}

}  // namespace

std::vector<uint8_t> MakeStoredForm(const uint8_t* data, size_t length) {
  std::vector<uint8_t> out;
  out.reserve(length + 1);
  out.push_back(kStoredRunLengthForm);
  out.insert(out.end(), data, data + length);
  return out;
}

std::vector<uint8_t> EncodeRunLength(const uint8_t* data, size_t length) {
  // Every byte takes at most two, as a literal 0xFF; runs take less.
  std::vector<uint8_t> out(2 * length + 1);
  uint8_t* put = out.data();
  *put++ = kCodedRunLengthForm;
  uint8_t previous = kCodeByte;  // what the decoder repeats before the first literal
  size_t i = 0;
  while (i < length) {
    const uint8_t value = data[i];
    size_t count = 1;
    while (i + count < length && data[i + count] == value) ++count;
    i += count;
    if (value != previous) {
      put = PutLiteral(value, put);
      previous = value;
      --count;
    }
    put = PutRepeats(value, count, put);
  }
  out.resize(static_cast<size_t>(put - out.data()));
  return out;
}
