// The background window's bands and text positions.
#include "platform/background_layout.h"

#include <string.h>

namespace {

constexpr int kMargin = 15;

void AddText(BackgroundLayout* layout, const char* text, int length, int x, int y,
             bool bottomRight) {
  if (length <= 0) return;
  BackgroundText& entry = layout->texts[layout->textCount++];
  entry.text = text;
  entry.length = length;
  entry.x = x;
  entry.y = y;
  entry.bottomRight = bottomRight;
}

}  // namespace

void ComputeBackgroundLayout(int width, int height, const char* title, const char* bottomText,
                             BackgroundLayout* layout) {
  *layout = BackgroundLayout();
  layout->bandHeight = height / 40 + 1;
  for (int i = 0; i < kBackgroundBandCount; ++i) {
    layout->bandBlue[i] = static_cast<uint8_t>(250 - 5 * i);
  }
  layout->fontHeight = height / 15;

  if (title != nullptr) {
    AddText(layout, title, static_cast<int>(strlen(title)), kMargin, kMargin, false);
  }
  if (bottomText == nullptr || bottomText[0] == '\0') return;
  const int right = width - kMargin;
  const int bottom = height - kMargin;
  const char* lineBreak = strchr(bottomText, '\n');
  if (lineBreak == nullptr) {
    AddText(layout, bottomText, static_cast<int>(strlen(bottomText)), right, bottom, true);
    return;
  }
  AddText(layout, bottomText, static_cast<int>(lineBreak - bottomText), right,
          bottom - layout->fontHeight, true);
  AddText(layout, lineBreak + 1, static_cast<int>(strlen(lineBreak + 1)), right, bottom, true);
}
