// The translated texts that `twk build` adds to the stub as a section of its own, read by
// the stub from its loaded image and by `twk` from the file. Laid out as:
//
//   offset  size         field
//   0       8            kMessageSectionMagic
//   8       4            count: the texts numbered (MessageId), at most 65535
//   12      16           the language's tag ("de", "pt-BR"), NUL-padded; empty for none
//   28      4 * count    each text's offset in the section, 0 for "the English text";
//                        bit 31 set when the script's [Messages] gave it
//   ...                  the texts, in code page 1252, each ending in a NUL
//
// The section's last byte is a NUL, so every text ends inside it. A stub that knows
// fewer texts than `count` ignores the rest; one that knows more shows the others in
// English.
#pragma once

#include <stdint.h>

constexpr char kMessageSectionName[] = ".twktext";
constexpr char kMessageSectionMagic[] = "TWKTEXT1";  // 8 bytes, without the NUL
constexpr uint32_t kMessageSectionHeaderSize = 28;
constexpr uint32_t kMessageLanguageSize = 16;        // the tag and at least one NUL
constexpr uint32_t kMessageOverriddenBit = 0x80000000u;

// A section checked by OpenMessageSection; zero-filled, it holds no texts.
struct MessageSection {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  uint32_t count = 0;
};

// Checks the `size` bytes at `data` as a section of texts and fills *section. False, and
// *section empty, when they are not one. Nothing outside the bytes is read.
bool OpenMessageSection(const uint8_t* data, uint32_t size, MessageSection* section);

// The text numbered `index`, pointing into the section; nullptr for one the section does
// not give (the English text stands).
const char* SectionText(const MessageSection& section, uint32_t index);
// Whether the script's [Messages] gave the text numbered `index`.
bool SectionTextOverridden(const MessageSection& section, uint32_t index);
// The language's tag, "" for none.
const char* SectionLanguage(const MessageSection& section);

// Whether the two format texts have the same conversions (every '%' up to and with its
// conversion character, flags, width, precision and length included) in the same order;
// "%%" is no conversion. A translation that passes can be given the English text's
// arguments.
bool SamePlaceholders(const char* a, const char* b);
