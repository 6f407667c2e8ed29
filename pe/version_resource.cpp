// The version resource's nested blocks: VS_VERSIONINFO with its fixed file information,
// then StringFileInfo (string tables per translation) and VarFileInfo (translations).
#include "pe/version_resource.h"

#include <stdio.h>
#include <strings.h>

#include <string>

#include "base/little_endian.h"
#include "pe/pe_image.h"

namespace {

constexpr uint16_t kVersionResourceType = 16;
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BDu;
constexpr size_t kFixedInfoMinimum = 16;  // signature, structure version, file version
constexpr size_t kBlockHeaderSize = 6;    // wLength, wValueLength, wType
constexpr uint16_t kTextValue = 1;
constexpr size_t kMaxKeyLength = 64;

// One block of the resource: every offset is relative to the resource data and lies
// within [begin, end), which itself lies within the resource data.
struct Block {
  size_t end;
  size_t keyBegin;
  std::string key;  // ASCII; other UTF-16 units become '?'
  size_t valueBegin;
  size_t valueSize;  // clamped to the block
  size_t childrenBegin;
};

size_t Align4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// Parses the block at `at`, which must end at or before `limit`. False when the block's
// header or key does not fit.
bool ParseBlock(const PeSpan& data, size_t at, size_t limit, Block* block) {
  if (at > limit || limit - at < kBlockHeaderSize) return false;
  const uint16_t length = LoadLe16(data.data + at);
  if (length < kBlockHeaderSize || length > limit - at) return false;
  block->end = at + length;
  const uint16_t valueLength = LoadLe16(data.data + at + 2);
  const uint16_t type = LoadLe16(data.data + at + 4);

  block->key.clear();
  block->keyBegin = at + kBlockHeaderSize;
  size_t cursor = at + kBlockHeaderSize;
  for (;; cursor += 2) {
    if (block->end - cursor < 2) return false;  // the key has no terminator
    const uint16_t unit = LoadLe16(data.data + cursor);
    if (unit == 0) break;
    if (block->key.size() < kMaxKeyLength) {
      block->key.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
  }
  block->valueBegin = Align4(cursor + 2);
  if (block->valueBegin > block->end) block->valueBegin = block->end;
  const size_t valueBytes = type == kTextValue ? size_t{valueLength} * 2 : valueLength;
  const size_t room = block->end - block->valueBegin;
  block->valueSize = valueBytes < room ? valueBytes : room;
  block->childrenBegin = Align4(block->valueBegin + block->valueSize);
  return true;
}

// Calls `visit` for each child of `parent` until it returns true; returns that child.
template <typename Visit>
bool FindChild(const PeSpan& data, const Block& parent, Visit visit, Block* found) {
  size_t at = parent.childrenBegin;
  while (at < parent.end && ParseBlock(data, at, parent.end, found)) {
    if (visit(*found)) return true;
    at = Align4(found->end);
  }
  return false;
}

bool FindChildByKey(const PeSpan& data, const Block& parent, const char* key, Block* found) {
  return FindChild(
      data, parent, [key](const Block& b) { return strcasecmp(b.key.c_str(), key) == 0; },
      found);
}

void ReadFixedInfo(const PeSpan& data, const Block& root, PeVersionInfo* info) {
  if (root.valueSize < kFixedInfoMinimum) return;
  const uint8_t* fixed = data.data + root.valueBegin;
  if (LoadLe32(fixed) != kFixedInfoSignature) return;
  const uint32_t high = LoadLe32(fixed + 8);
  const uint32_t low = LoadLe32(fixed + 12);
  info->version[0] = static_cast<uint16_t>(high >> 16);
  info->version[1] = static_cast<uint16_t>(high);
  info->version[2] = static_cast<uint16_t>(low >> 16);
  info->version[3] = static_cast<uint16_t>(low);
  info->hasVersion = true;
}

// The string table is looked up by the first translation, language first and code page
// second, as eight hexadecimal digits.
bool HasSelfRegisterMarker(const PeSpan& data, const Block& root) {
  Block varInfo{}, translation{}, stringInfo{}, table{}, entry{};
  if (!FindChildByKey(data, root, "VarFileInfo", &varInfo) ||
      !FindChildByKey(data, varInfo, "Translation", &translation) ||
      translation.valueSize < 4) {
    return false;
  }
  const uint8_t* pair = data.data + translation.valueBegin;
  char tableKey[16];
  snprintf(tableKey, sizeof tableKey, "%04X%04X", LoadLe16(pair), LoadLe16(pair + 2));
  return FindChildByKey(data, root, "StringFileInfo", &stringInfo) &&
         FindChildByKey(data, stringInfo, tableKey, &table) &&
         FindChildByKey(data, table, "OLESelfRegister", &entry);
}

// The root block of the first version resource; false when there is none.
bool FindRoot(const PeImage& image, PeSpan* resource, Block* root) {
  *resource = image.FirstResource(kVersionResourceType);
  return resource->data != nullptr && ParseBlock(*resource, 0, resource->size, root) &&
         strcasecmp(root->key.c_str(), "VS_VERSION_INFO") == 0;
}

}  // namespace

bool ReadPeVersionInfo(const uint8_t* data, size_t size, PeVersionInfo* info) {
  *info = PeVersionInfo{};
  const PeImage image(data, size);
  PeSpan resource;
  Block root{};
  if (!FindRoot(image, &resource, &root)) return false;
  ReadFixedInfo(resource, root, info);
  info->oleSelfRegister = HasSelfRegisterMarker(resource, root);
  return true;
}

bool ReadPeFileVersion(const std::vector<uint8_t>& image, uint16_t version[4]) {
  PeVersionInfo info;
  ReadPeVersionInfo(image.data(), image.size(), &info);
  for (int i = 0; i < 4; ++i) version[i] = info.version[i];
  return info.hasVersion;
}

bool PeHasOleSelfRegister(const std::vector<uint8_t>& image) {
  PeVersionInfo info;
  ReadPeVersionInfo(image.data(), image.size(), &info);
  return info.oleSelfRegister;
}

std::vector<size_t> FindOleSelfRegisterKeys(const std::vector<uint8_t>& image) {
  std::vector<size_t> offsets;
  const PeImage pe(image.data(), image.size());
  PeSpan resource;
  Block root{}, stringInfo{};
  if (!FindRoot(pe, &resource, &root) ||
      !FindChildByKey(resource, root, "StringFileInfo", &stringInfo)) {
    return offsets;
  }
  const size_t base = static_cast<size_t>(resource.data - image.data());
  // Every table and every entry is visited: the visits never report a find.
  Block table{};
  FindChild(resource, stringInfo, [&](const Block& found) {
    Block entry{};
    FindChild(resource, found, [&](const Block& candidate) {
      if (strcasecmp(candidate.key.c_str(), "OLESelfRegister") == 0) {
        offsets.push_back(base + candidate.keyBegin);
      }
      return false;
    }, &entry);
    return false;
  }, &table);
  return offsets;
}
