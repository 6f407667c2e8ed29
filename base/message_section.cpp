// Reading the section of translated texts.
#include "base/message_section.h"

#include "base/little_endian.h"

namespace {

uint32_t OffsetWord(const MessageSection& section, uint32_t index) {
  if (index >= section.count) return 0;
  return LoadLe32(section.data + kMessageSectionHeaderSize + 4 * index);
}

bool IsConversion(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The next conversion of `text` from *at on: its first character ('%') in *start and its
// length; false when there is none. "%%" is passed over.
bool NextConversion(const char* text, const char** at, const char** start, int* length) {
  for (const char* p = *at; *p != '\0'; ++p) {
    if (*p != '%') continue;
    if (p[1] == '%') {
      ++p;
      continue;
    }
    const char* end = p + 1;
    // 'l' is a length, not yet the conversion.
    while (*end != '\0' && (!IsConversion(*end) || *end == 'l')) ++end;
    if (*end != '\0') ++end;
    *start = p;
    *length = static_cast<int>(end - p);
    *at = end;
    return true;
  }
  return false;
}

}  // namespace

bool OpenMessageSection(const uint8_t* data, uint32_t size, MessageSection* section) {
  *section = MessageSection();
  if (data == nullptr || size < kMessageSectionHeaderSize || data[size - 1] != 0) return false;
  for (int i = 0; i < 8; ++i) {
    if (data[i] != static_cast<uint8_t>(kMessageSectionMagic[i])) return false;
  }
  const uint32_t count = LoadLe32(data + 8);
  if (count > 0xFFFF || (size - kMessageSectionHeaderSize) / 4 < count) return false;
  if (data[12 + kMessageLanguageSize - 1] != 0) return false;
  section->data = data;
  section->size = size;
  section->count = count;
  return true;
}

const char* SectionText(const MessageSection& section, uint32_t index) {
  const uint32_t offset = OffsetWord(section, index) & ~kMessageOverriddenBit;
  // Inside the section and past the offsets: the text ends at the section's last NUL.
  if (offset < kMessageSectionHeaderSize + 4 * section.count || offset >= section.size) {
    return nullptr;
  }
  return reinterpret_cast<const char*>(section.data + offset);
}

bool SectionTextOverridden(const MessageSection& section, uint32_t index) {
  return (OffsetWord(section, index) & kMessageOverriddenBit) != 0;
}

const char* SectionLanguage(const MessageSection& section) {
  if (section.data == nullptr) return "";
  return reinterpret_cast<const char*>(section.data + 12);
}

bool SamePlaceholders(const char* a, const char* b) {
  const char* atA = a;
  const char* atB = b;
  for (;;) {
    const char* startA = nullptr;
    const char* startB = nullptr;
    int lengthA = 0;
    int lengthB = 0;
    const bool moreA = NextConversion(a, &atA, &startA, &lengthA);
    const bool moreB = NextConversion(b, &atB, &startB, &lengthB);
    if (moreA != moreB) return false;
    if (!moreA) return true;
    if (lengthA != lengthB) return false;
    for (int i = 0; i < lengthA; ++i) {
      if (startA[i] != startB[i]) return false;
    }
  }
}
