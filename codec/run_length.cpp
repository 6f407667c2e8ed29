// Run-length expansion.
#include "codec/run_length.h"

#include <string.h>

namespace {

constexpr uint8_t kStoredForm = 0;
constexpr uint8_t kCodeByte = 0xFF;
constexpr uint32_t kShortestRun = 3;

bool CopyStoredForm(const uint8_t* input, uint8_t* output, uint32_t* length, uint32_t capacity) {
  const uint32_t plain = *length - 1;
  if (plain > capacity) return false;
  memcpy(output, input + 1, plain);
  *length = plain;
  return true;
}

}  // namespace

bool UndoRunLength(const uint8_t* input, uint8_t* output, uint32_t* length, uint32_t capacity) {
  const uint32_t end = *length;
  if (end == 0) return false;
  if (input[0] == kStoredForm) return CopyStoredForm(input, output, length, capacity);

  uint32_t position = 1;
  uint32_t written = 0;
  uint8_t previous = kCodeByte;
  bool complete = true;
  while (position < end && written < capacity) {
    const uint8_t c = input[position];
    if (c != kCodeByte) {
      output[written++] = c;
      previous = c;
      ++position;
      continue;
    }
    if (end - position < 2) {
      complete = false;  // the code's second byte would lie past the input
      break;
    }
    const uint8_t d = input[position + 1];
    position += 2;
    if (d == kCodeByte) {
      output[written++] = kCodeByte;
      previous = kCodeByte;
      continue;
    }
    const uint32_t run = d + kShortestRun;
    // The output must stay below the capacity after a run. A refused run fails the block
    // even when its code bytes were the last input: the output would silently lack it.
    if (written + run >= capacity) {
      complete = false;
      break;
    }
    memset(output + written, previous, run);
    written += run;
  }
  *length = written;
  return complete && position == end;
}
