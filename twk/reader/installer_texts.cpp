// Reading the section of texts from a program file, as the stub finds it in its image.
#include "twk/reader/installer_texts.h"

#include <cstdio>

#include "base/message_section.h"
#include "base/messages.h"
#include "base/pe_image.h"
#include "host/host_file.h"

namespace {

constexpr uint32_t kHeaderPage = 4096;
constexpr uint32_t kLargestSection = 1 << 20;

std::vector<uint8_t> ReadAt(FILE* file, uint64_t offset, uint32_t size) {
  std::vector<uint8_t> bytes(size);
  if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) return {};
  bytes.resize(std::fread(bytes.data(), 1, size, file));
  return bytes;
}

// Reads the section, once the file is open.
InstallerTexts ReadFrom(FILE* file) {
  InstallerTexts result;
  const std::vector<uint8_t> head = ReadAt(file, 0, kHeaderPage);
  ImageSection place;
  if (!FindImageSection(head.data(), static_cast<uint32_t>(head.size()), kMessageSectionName,
                        &place)) {
    return result;
  }
  const uint32_t size = place.virtualSize != 0 && place.virtualSize < place.rawSize
                            ? place.virtualSize
                            : place.rawSize;
  if (size > kLargestSection) return result;
  const std::vector<uint8_t> bytes = ReadAt(file, place.rawOffset, size);
  MessageSection section;
  if (bytes.size() != size ||
      !OpenMessageSection(bytes.data(), static_cast<uint32_t>(bytes.size()), &section)) {
    return result;
  }
  result.present = true;
  result.language = SectionLanguage(section);
  result.texts.resize(kMessageCount);
  result.overridden.resize(kMessageCount);
  for (uint32_t id = 0; id < kMessageCount; ++id) {
    const char* text = SectionText(section, id);
    if (text != nullptr) result.texts[id] = text;
    result.overridden[id] = SectionTextOverridden(section, id);
  }
  return result;
}

}  // namespace

InstallerTexts ReadInstallerTexts(const std::string& path) {
  host::File opened;
  host::Failure failure;
  if (!host::OpenForReading(path, &opened, &failure)) return InstallerTexts();
  FILE* file = opened.ReleaseAsStream("rb", &failure);
  if (file == nullptr) return InstallerTexts();
  InstallerTexts result = ReadFrom(file);
  std::fclose(file);
  return result;
}
