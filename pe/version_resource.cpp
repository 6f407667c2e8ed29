// The version resource's nested blocks: VS_VERSIONINFO with its fixed file information,
// then StringFileInfo (string tables per translation) and VarFileInfo (translations).
#include "pe/version_resource.h"

#include <stdio.h>
#include <strings.h>

#include <string>

#include "base/little_endian.h"
#include "pe/pe_image.h"
#include "pe/version_query.h"

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

// The root block; its name is not looked at, as VerQueryValue does not look at it.
bool ParseRoot(const PeSpan& resource, Block* root) {
  return resource.data != nullptr && ParseBlock(resource, 0, resource.size, root);
}

// The installer's test on one version resource, through the lookup the simulated
// VerQueryValue makes.
bool MarkerFound(const PeSpan& resource) {
  const uint8_t* value = nullptr;
  uint32_t length = 0;
  // A translation is a 16-bit language and a 16-bit code page; a shorter value holds
  // none.
  if (!QueryVersionBlob(resource.data, resource.size, "\\VarFileInfo\\Translation", &value,
                        &length) ||
      length < 4) {
    return false;
  }
  char entry[64];
  snprintf(entry, sizeof entry, "\\StringFileInfo\\%04X%04X\\OLESelfRegister", LoadLe16(value),
           LoadLe16(value + 2));
  return QueryVersionBlob(resource.data, resource.size, entry, &value, &length);
}

// Calls `visit` for each child of `parent`.
template <typename Visit>
void EachChild(const PeSpan& data, const Block& parent, Visit visit) {
  Block child{};
  FindChild(data, parent, [&visit](const Block& found) {
    visit(found);
    return false;
  }, &child);
}

}  // namespace

bool ReadPeVersionInfo(const uint8_t* data, size_t size, PeVersionInfo* info) {
  *info = PeVersionInfo{};
  const PeImage image(data, size);
  Block root{};
  const PeSpan resource = image.FirstResource(kVersionResourceType);
  if (!ParseRoot(resource, &root)) return false;
  ReadFixedInfo(resource, root, info);
  return true;
}

bool ReadPeFileVersion(const std::vector<uint8_t>& image, uint16_t version[4]) {
  PeVersionInfo info;
  ReadPeVersionInfo(image.data(), image.size(), &info);
  for (int i = 0; i < 4; ++i) version[i] = info.version[i];
  return info.hasVersion;
}

SelfRegistrationMarks CountSelfRegistrationMarks(const std::vector<uint8_t>& image) {
  SelfRegistrationMarks marks;
  std::vector<PeSpan> resources;
  marks.complete = PeImage(image.data(), image.size()).AllResources(kVersionResourceType, &resources);
  for (const PeSpan& resource : resources) {
    ++marks.resources;
    if (MarkerFound(resource)) ++marks.marked;
  }
  return marks;
}

bool PeHasOleSelfRegister(const std::vector<uint8_t>& image) {
  return CountSelfRegistrationMarks(image).marked != 0;
}

std::vector<size_t> FindOleSelfRegisterKeys(const std::vector<uint8_t>& image) {
  std::vector<size_t> offsets;
  std::vector<PeSpan> resources;
  PeImage(image.data(), image.size()).AllResources(kVersionResourceType, &resources);
  for (const PeSpan& resource : resources) {
    Block root{};
    if (!ParseRoot(resource, &root)) continue;
    const size_t base = static_cast<size_t>(resource.data - image.data());
    // Every StringFileInfo block, every table in it, every entry of a table.
    EachChild(resource, root, [&](const Block& info) {
      if (strcasecmp(info.key.c_str(), "StringFileInfo") != 0) return;
      EachChild(resource, info, [&](const Block& table) {
        EachChild(resource, table, [&](const Block& entry) {
          if (strcasecmp(entry.key.c_str(), "OLESelfRegister") == 0) {
            offsets.push_back(base + entry.keyBegin);
          }
        });
      });
    });
  }
  return offsets;
}
