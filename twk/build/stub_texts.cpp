// Making the section of texts and adding it to the stub.
#include "twk/build/stub_texts.h"

#include <string.h>

#include <algorithm>

#include "base/little_endian.h"
#include "base/message_section.h"
#include "base/messages.h"
#include "pe/pe_checksum.h"
#include "pe/pe_image.h"
#include "twk/common/build_error.h"
#include "twk/script/script_messages.h"

namespace {

constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kReadOnlyData = 0x40000040;  // initialised data, readable

uint32_t AlignUp(uint64_t value, uint32_t alignment) {
  return static_cast<uint32_t>((value + alignment - 1) / alignment * alignment);
}

}  // namespace

std::vector<uint8_t> TextSectionOf(const SetupScript& script) {
  if (script.language.value.empty() && script.messages.empty()) return {};
  std::vector<std::string> texts = ShippedTexts(script.language.value);
  texts.resize(kMessageCount);
  std::vector<bool> overridden(kMessageCount, false);
  for (const MessageItem& item : script.messages) {
    texts[item.id] = item.text;
    overridden[item.id] = true;
  }
  const uint32_t tableEnd = kMessageSectionHeaderSize + 4 * kMessageCount;
  std::vector<uint8_t> bytes(tableEnd, 0);
  memcpy(bytes.data(), kMessageSectionMagic, 8);
  StoreLe32(bytes.data() + 8, kMessageCount);
  memcpy(bytes.data() + 12, script.language.value.data(),
         std::min<size_t>(script.language.value.size(), kMessageLanguageSize - 1));
  for (size_t id = 0; id < kMessageCount; ++id) {
    if (texts[id].empty() && !overridden[id]) continue;
    uint32_t offset = static_cast<uint32_t>(bytes.size());
    if (overridden[id]) offset |= kMessageOverriddenBit;
    StoreLe32(bytes.data() + kMessageSectionHeaderSize + 4 * id, offset);
    bytes.insert(bytes.end(), texts[id].begin(), texts[id].end());
    bytes.push_back(0);
  }
  // The last byte is a NUL even with no text at all.
  bytes.push_back(0);
  return bytes;
}

void AddTextSection(std::vector<uint8_t>* stub, const std::vector<uint8_t>& section,
                    const std::string& name) {
  std::vector<uint8_t>& image = *stub;
  const PeImage pe(image.data(), image.size());
  if (!pe.valid()) ThrowInputError(name, "the stub is no PE image: it cannot carry texts");
  if (pe.hasCertificates()) ThrowInputError(name, "the stub is signed: sign the installer instead");
  const uint32_t header = LoadLe32(image.data() + 0x3C);
  const uint32_t optional = header + 24;
  const uint32_t count = LoadLe16(image.data() + header + 6);
  const uint32_t table = optional + LoadLe16(image.data() + header + 20);
  const uint32_t sectionAlignment = LoadLe32(image.data() + optional + 32);
  const uint32_t fileAlignment = LoadLe32(image.data() + optional + 36);
  const uint32_t headersSize = LoadLe32(image.data() + optional + 60);
  if (sectionAlignment == 0 || fileAlignment == 0) ThrowInputError(name, "the stub's alignments are 0");
  // The new header must fit in the headers' room before the first section's bytes, and
  // that room must be empty.
  const uint32_t free = table + count * kSectionHeaderSize;
  uint64_t firstRaw = headersSize;
  uint64_t imageEnd = headersSize;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* entry = image.data() + table + i * kSectionHeaderSize;
    const uint32_t raw = LoadLe32(entry + 20);
    if (LoadLe32(entry + 16) != 0 && raw < firstRaw) firstRaw = raw;
    const uint64_t end = static_cast<uint64_t>(LoadLe32(entry + 12)) +
                         std::max(LoadLe32(entry + 8), LoadLe32(entry + 16));
    if (end > imageEnd) imageEnd = end;
  }
  bool room = free + kSectionHeaderSize <= std::min<uint64_t>(firstRaw, image.size());
  for (uint32_t at = free; room && at < free + kSectionHeaderSize; ++at) room = image[at] == 0;
  if (!room) ThrowInputError(name, "the stub's headers leave no room for the section of its texts");

  const uint32_t virtualAddress = AlignUp(imageEnd, sectionAlignment);
  const uint32_t rawOffset = AlignUp(image.size(), fileAlignment);
  const uint32_t rawSize = AlignUp(section.size(), fileAlignment);
  uint8_t* entry = image.data() + free;
  memcpy(entry, kMessageSectionName, 8);
  StoreLe32(entry + 8, static_cast<uint32_t>(section.size()));
  StoreLe32(entry + 12, virtualAddress);
  StoreLe32(entry + 16, rawSize);
  StoreLe32(entry + 20, rawOffset);
  StoreLe32(entry + 36, kReadOnlyData);
  StoreLe16(image.data() + header + 6, static_cast<uint16_t>(count + 1));
  StoreLe32(image.data() + optional + 8, LoadLe32(image.data() + optional + 8) + rawSize);
  StoreLe32(image.data() + optional + 56, AlignUp(uint64_t{virtualAddress} + section.size(), sectionAlignment));
  image.resize(rawOffset, 0);
  image.insert(image.end(), section.begin(), section.end());
  image.resize(rawOffset + rawSize, 0);
  if (LoadLe32(image.data() + pe.checksumOffset()) != 0) {
    StoreLe32(image.data() + pe.checksumOffset(),
              PeImageChecksum(image.data(), image.size(), pe.checksumOffset()));
  }
}
