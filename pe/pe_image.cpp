// PE headers, section mapping and the resource tree, each field bounds-checked.
#include "pe/pe_image.h"

#include <set>

#include "base/little_endian.h"

namespace {

constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr size_t kLfanewOffset = 0x3C;
constexpr size_t kFileHeaderSize = 20;
constexpr size_t kSectionHeaderSize = 40;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kCertificateDirectoryIndex = 4;
constexpr size_t kChecksumField = 64;  // in the optional header, PE32 and PE32+ alike
constexpr size_t kResourceTableHeaderSize = 16;
constexpr size_t kResourceEntrySize = 8;
constexpr size_t kResourceDataEntrySize = 16;
constexpr uint32_t kHighBit = 0x80000000u;

// True when [offset, offset + length) lies inside a range of `size` bytes, without
// overflowing on hostile values.
bool Fits(uint64_t offset, uint64_t length, uint64_t size) {
  return offset <= size && length <= size - offset;
}

}  // namespace

PeImage::PeImage(const uint8_t* image, size_t size) : image_(image), size_(size) {
  valid_ = image_ != nullptr && ParseHeaders();
}

bool PeImage::ParseHeaders() {
  if (!Fits(0, kLfanewOffset + 4, size_) || image_[0] != 'M' || image_[1] != 'Z') {
    return false;
  }
  const uint32_t peOffset = LoadLe32(image_ + kLfanewOffset);
  if (!Fits(peOffset, 4 + kFileHeaderSize, size_)) return false;
  const uint8_t* pe = image_ + peOffset;
  if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0) return false;
  const uint8_t* fileHeader = pe + 4;
  const uint16_t machine = LoadLe16(fileHeader);
  sectionCount_ = LoadLe16(fileHeader + 2);
  const uint16_t optionalSize = LoadLe16(fileHeader + 16);
  const uint64_t optionalOffset = uint64_t{peOffset} + 4 + kFileHeaderSize;
  if (optionalSize < 2 || !Fits(optionalOffset, optionalSize, size_)) return false;
  const uint8_t* optional = image_ + optionalOffset;

  const uint16_t magic = LoadLe16(optional);
  if (magic != kPe32Magic && magic != kPe32PlusMagic) return false;
  is64_ = magic == kPe32PlusMagic;
  const size_t countField = is64_ ? 108 : 92;
  const size_t directories = countField + 4;
  if (optionalSize >= directories) {
    const uint32_t count = LoadLe32(optional + countField);
    const size_t entry = directories + kResourceDirectoryIndex * 8;
    if (count > kResourceDirectoryIndex && optionalSize >= entry + 8) {
      resourceRva_ = LoadLe32(optional + entry);
      resourceSize_ = LoadLe32(optional + entry + 4);
    }
    const size_t certificates = directories + kCertificateDirectoryIndex * 8;
    if (count > kCertificateDirectoryIndex && optionalSize >= certificates + 8) {
      certificatesSize_ = LoadLe32(optional + certificates + 4);
    }
  }
  if (optionalSize >= kChecksumField + 4) {
    checksumOffset_ = static_cast<size_t>(optionalOffset + kChecksumField);
  }
  sectionTable_ = static_cast<size_t>(optionalOffset + optionalSize);
  if (!Fits(sectionTable_, uint64_t{sectionCount_} * kSectionHeaderSize, size_)) return false;
  machine_ = machine;
  return true;
}

bool PeImage::FindSection(uint32_t rva, Section* section) const {
  for (uint16_t i = 0; i < sectionCount_; ++i) {
    const uint8_t* header = image_ + sectionTable_ + size_t{i} * kSectionHeaderSize;
    Section s{LoadLe32(header + 12), LoadLe32(header + 8), LoadLe32(header + 16),
              LoadLe32(header + 20)};
    // A section's virtual size may be 0 (old linkers) or smaller than its raw data.
    const uint64_t extent = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
    if (rva >= s.virtualAddress && uint64_t{rva} - s.virtualAddress < extent) {
      *section = s;
      return true;
    }
  }
  return false;
}

PeSpan PeImage::MapRva(uint32_t rva, uint32_t length) const {
  Section section{};
  if (!valid_ || !FindSection(rva, &section)) return {};
  const uint64_t inSection = uint64_t{rva} - section.virtualAddress;
  if (!Fits(inSection, length, section.rawSize)) return {};
  const uint64_t fileOffset = uint64_t{section.rawOffset} + inSection;
  if (!Fits(fileOffset, length, size_)) return {};
  return {image_ + fileOffset, length};
}

PeSpan PeImage::ResourceDirectory() const {
  Section section{};
  if (!valid_ || resourceRva_ == 0 || resourceSize_ == 0 ||
      !FindSection(resourceRva_, &section)) {
    return {};
  }
  // Linkers round the directory's size differently; take what the section holds.
  const uint64_t inSection = uint64_t{resourceRva_} - section.virtualAddress;
  if (inSection >= section.rawSize) return {};
  uint64_t length = section.rawSize - inSection;
  if (length > resourceSize_) length = resourceSize_;
  return MapRva(resourceRva_, static_cast<uint32_t>(length));
}

namespace {

struct ResourceEntry {
  uint32_t name;
  uint32_t target;  // high bit set: a subdirectory; otherwise a data entry
};

// The entries of the resource table at `offset` in `tree`; count 0 when damaged.
size_t TableEntries(const PeSpan& tree, uint32_t offset, const uint8_t** first) {
  if (!Fits(offset, kResourceTableHeaderSize, tree.size)) return 0;
  const uint8_t* table = tree.data + offset;
  const size_t count = size_t{LoadLe16(table + 12)} + LoadLe16(table + 14);
  if (!Fits(uint64_t{offset} + kResourceTableHeaderSize, uint64_t{count} * kResourceEntrySize,
            tree.size)) {
    return 0;
  }
  *first = table + kResourceTableHeaderSize;
  return count;
}

ResourceEntry EntryAt(const uint8_t* first, size_t index) {
  const uint8_t* entry = first + index * kResourceEntrySize;
  return {LoadLe32(entry), LoadLe32(entry + 4)};
}

// Follows the first entry of the subdirectory that `entry` names (or the one whose
// numeric name is `id`, when `id` >= 0). Returns false when there is none.
bool Descend(const PeSpan& tree, uint32_t tableOffset, long id, ResourceEntry* found) {
  const uint8_t* first = nullptr;
  const size_t count = TableEntries(tree, tableOffset, &first);
  for (size_t i = 0; i < count; ++i) {
    const ResourceEntry entry = EntryAt(first, i);
    if (id < 0 || ((entry.name & kHighBit) == 0 && entry.name == static_cast<uint32_t>(id))) {
      *found = entry;
      return true;
    }
  }
  return false;
}

}  // namespace

PeSpan PeImage::DataOf(const PeSpan& tree, uint32_t dataEntry) const {
  if (!Fits(dataEntry, kResourceDataEntrySize, tree.size)) return {};
  const uint8_t* entry = tree.data + dataEntry;
  return MapRva(LoadLe32(entry), LoadLe32(entry + 4));
}

PeSpan PeImage::FirstResource(uint16_t type) const {
  const PeSpan tree = ResourceDirectory();
  if (tree.data == nullptr) return {};
  // Three levels: type, name, language. Only the first two lead to subdirectories, so
  // the walk ends after three steps whatever the offsets say: no loops are possible.
  ResourceEntry byType{}, byName{}, byLanguage{};
  if (!Descend(tree, 0, type, &byType) || (byType.target & kHighBit) == 0) return {};
  if (!Descend(tree, byType.target & ~kHighBit, -1, &byName) ||
      (byName.target & kHighBit) == 0) {
    return {};
  }
  if (!Descend(tree, byName.target & ~kHighBit, -1, &byLanguage) ||
      (byLanguage.target & kHighBit) != 0) {
    return {};
  }
  return DataOf(tree, byLanguage.target);
}

bool PeImage::AllResources(uint16_t type, std::vector<PeSpan>* found) const {
  found->clear();
  const PeSpan tree = ResourceDirectory();
  ResourceEntry byType{};
  if (tree.data == nullptr || !Descend(tree, 0, type, &byType) ||
      (byType.target & kHighBit) == 0) {
    return true;
  }
  const uint8_t* names = nullptr;
  const size_t nameCount = TableEntries(tree, byType.target & ~kHighBit, &names);
  std::set<uint32_t> tables, dataEntries;
  size_t entries = 0;
  for (size_t n = 0; n < nameCount; ++n) {
    if (++entries > kMaxResourceEntries) return false;
    const ResourceEntry byName = EntryAt(names, n);
    // Languages are the last level: a table met again adds nothing, and no walk loops.
    if ((byName.target & kHighBit) == 0 || !tables.insert(byName.target).second) continue;
    const uint8_t* languages = nullptr;
    const size_t languageCount = TableEntries(tree, byName.target & ~kHighBit, &languages);
    for (size_t l = 0; l < languageCount; ++l) {
      if (++entries > kMaxResourceEntries) return false;
      const ResourceEntry byLanguage = EntryAt(languages, l);
      if ((byLanguage.target & kHighBit) != 0 || !dataEntries.insert(byLanguage.target).second) {
        continue;
      }
      const PeSpan data = DataOf(tree, byLanguage.target);
      if (data.data != nullptr) found->push_back(data);
    }
  }
  return true;
}
