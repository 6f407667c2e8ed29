// The program's own texts over the Win32 API: the section is read where the loader put
// it, in the program's image, so nothing is copied.
#include "platform/program_texts.h"

#include "base/message_section.h"
#include "base/pe_image.h"
#include "platform/win32/program_texts_win32.h"

namespace platform {
namespace {

// The loader maps the headers into the image's first page, whatever their size on disk.
constexpr uint32_t kHeaderPage = 4096;

const DialogText* g_texts = nullptr;
int g_textCount = 0;

}  // namespace

bool FindOwnTextSection(const uint8_t** data, uint32_t* size) {
  const uint8_t* image = reinterpret_cast<const uint8_t*>(GetModuleHandleA(nullptr));
  ImageSection section;
  if (image == nullptr || !FindImageSection(image, kHeaderPage, kMessageSectionName, &section)) {
    return false;
  }
  *data = image + section.virtualAddress;
  *size = section.virtualSize != 0 ? section.virtualSize : section.rawSize;
  return true;
}

void SetDialogTexts(const DialogText* texts, int count) {
  g_texts = texts;
  g_textCount = count;
}

const char* DialogTextFor(int dialog, int control) {
  for (int i = 0; i < g_textCount; ++i) {
    if (g_texts[i].dialog == dialog && g_texts[i].control == control) return g_texts[i].text;
  }
  return nullptr;
}

void ApplyDialogTexts(HWND window, int dialog) {
  for (int i = 0; i < g_textCount; ++i) {
    const DialogText& given = g_texts[i];
    if (given.dialog != dialog) continue;
    if (given.control == 0) {
      SetWindowTextA(window, given.text);
    } else {
      SetDlgItemTextA(window, given.control, given.text);
    }
  }
}

}  // namespace platform
