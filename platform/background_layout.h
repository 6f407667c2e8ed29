// Where the background window puts its bands and texts: a pure computation from the
// client size and the two texts, so that it can be checked without a window.
#pragma once

#include <stdint.h>

constexpr int kBackgroundBandCount = 41;

// One text to draw with its shadow: `length` characters from `text` (not terminated
// there), at (x, y) with the alignment `bottomRight` (the point is the text's bottom
// right corner) or top left.
struct BackgroundText {
  const char* text = nullptr;
  int length = 0;
  int x = 0;
  int y = 0;
  bool bottomRight = false;
};

// Everything one paint draws. Band i covers rows i * bandHeight up to (i + 1) * bandHeight
// and is filled with blue bandBlue[i]; what lies below the client area is clipped.
struct BackgroundLayout {
  int bandHeight = 0;
  uint8_t bandBlue[kBackgroundBandCount] = {};
  int fontHeight = 0;  // a cell height
  BackgroundText texts[3];
  int textCount = 0;   // the title, then the bottom lines; empty texts are left out
};

// Fills `layout` for a client area of `width` by `height` pixels. `title` and `bottomText`
// may be null (drawn as empty). A '\n' in the bottom text splits it once: the part before
// the first '\n' goes one font height above the rest. The texts are never written.
void ComputeBackgroundLayout(int width, int height, const char* title, const char* bottomText,
                             BackgroundLayout* layout);
