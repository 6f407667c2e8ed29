// The program's texts: the English table, and the section that replaces it.
#include "runtime/messages.h"

#include <stddef.h>

#include "base/message_section.h"
#include "platform/program_texts.h"

namespace {

// The English texts one after the other, each with its NUL, and where each begins: 16-bit
// offsets rather than pointers, which would each need a relocation. A dialog template's
// text stays in the template (the program holds no second copy).
const char kEnglish[] =
#define MESSAGE(name, limit, where, english) english "\0"
#define DIALOG_TEXT(name, dialog, control, limit, where, english)
#include "base/messages.inc"
#undef MESSAGE
#undef DIALOG_TEXT
    ;

// Laid out as kEnglish is, so that offsetof gives where each text begins.
struct EnglishLayout {
#define MESSAGE(name, limit, where, english) char name[sizeof english];
#define DIALOG_TEXT(name, dialog, control, limit, where, english)
#include "base/messages.inc"
#undef MESSAGE
#undef DIALOG_TEXT
};
static_assert(sizeof(EnglishLayout) < 0xFFFF, "offsets fit 16 bits");

constexpr uint16_t kNoEnglish = 0xFFFF;
const uint16_t kEnglishOffsets[kMessageCount] = {
#define MESSAGE(name, limit, where, english) offsetof(EnglishLayout, name),
#define DIALOG_TEXT(name, dialog, control, limit, where, english) kNoEnglish,
#include "base/messages.inc"
#undef MESSAGE
#undef DIALOG_TEXT
};

const char* EnglishText(MessageId id) {
  return kEnglishOffsets[id] == kNoEnglish ? nullptr : kEnglish + kEnglishOffsets[id];
}

struct DialogPlace {
  uint16_t dialog;
  uint16_t control;
  MessageId id;
};

const DialogPlace kDialogPlaces[] = {
#define MESSAGE(name, limit, where, english)
#define DIALOG_TEXT(name, dialog, control, limit, where, english) {dialog, control, MSG_##name},
#include "base/messages.inc"
#undef MESSAGE
#undef DIALOG_TEXT
};
constexpr int kDialogPlaceCount = sizeof kDialogPlaces / sizeof kDialogPlaces[0];

MessageSection g_section;
platform::DialogText g_dialogTexts[kDialogPlaceCount];

}  // namespace

void LoadMessages() {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  if (!platform::FindOwnTextSection(&data, &size) || !OpenMessageSection(data, size, &g_section)) {
    return;
  }
  int count = 0;
  for (const DialogPlace& place : kDialogPlaces) {
    const char* text = SectionText(g_section, place.id);
    if (text != nullptr) g_dialogTexts[count++] = {place.dialog, place.control, text};
  }
  platform::SetDialogTexts(g_dialogTexts, count);
}

const char* Text(MessageId id) {
  if (id >= kMessageCount) return "";
  const char* english = EnglishText(id);
  const char* text = SectionText(g_section, id);
  if (text != nullptr && (english == nullptr || SamePlaceholders(text, english))) return text;
  return english != nullptr ? english : "";
}
