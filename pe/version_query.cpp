// VerQueryValue over a version-information blob.
#include "pe/version_query.h"

#include "base/little_endian.h"
#include "pe/pe_image.h"

namespace {

constexpr uint16_t kVersionResourceType = 16;
constexpr size_t kBlockHeaderSize = 6;  // wLength, wValueLength, wType
constexpr uint16_t kTextValue = 1;
constexpr uint32_t kFixedInfoSize = 52;

struct Block {
  size_t begin;
  size_t end;
  size_t keyBegin;       // the UTF-16 key, without its terminator
  size_t keyUnits;
  size_t valueBegin;
  size_t valueBytes;     // clamped to the block
  uint32_t valueLength;  // as reported: characters for text, bytes otherwise
  size_t childrenBegin;
};

size_t Align4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// Parses the block at `at`, which must end at or before `limit`.
bool ParseBlock(const uint8_t* blob, size_t at, size_t limit, Block* block) {
  if (at > limit || limit - at < kBlockHeaderSize) return false;
  const uint16_t length = LoadLe16(blob + at);
  if (length < kBlockHeaderSize || length > limit - at) return false;
  block->begin = at;
  block->end = at + length;
  const uint16_t valueLength = LoadLe16(blob + at + 2);
  const uint16_t type = LoadLe16(blob + at + 4);
  block->keyBegin = at + kBlockHeaderSize;
  size_t cursor = block->keyBegin;
  for (;; cursor += 2) {
    if (block->end - cursor < 2) return false;  // the key has no terminator
    if (LoadLe16(blob + cursor) == 0) break;
  }
  block->keyUnits = (cursor - block->keyBegin) / 2;
  block->valueBegin = Align4(cursor + 2);
  if (block->valueBegin > block->end) block->valueBegin = block->end;
  const size_t room = block->end - block->valueBegin;
  const size_t wanted = type == kTextValue ? size_t{valueLength} * 2 : valueLength;
  block->valueBytes = wanted < room ? wanted : room;
  block->valueLength = static_cast<uint32_t>(type == kTextValue ? block->valueBytes / 2
                                                                : block->valueBytes);
  block->childrenBegin = Align4(block->valueBegin + block->valueBytes);
  return true;
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// True when the block's key equals name[0, nameLength) without regard to ASCII case.
bool KeyIs(const uint8_t* blob, const Block& block, const char* name, size_t nameLength) {
  if (block.keyUnits != nameLength) return false;
  for (size_t i = 0; i < nameLength; ++i) {
    const uint16_t unit = LoadLe16(blob + block.keyBegin + 2 * i);
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (unit >= 0x80 || c >= 0x80) {
      if (unit != c) return false;
    } else if (UpperAscii(static_cast<char>(unit)) != UpperAscii(static_cast<char>(c))) {
      return false;
    }
  }
  return true;
}

bool FindChild(const uint8_t* blob, const Block& parent, const char* name, size_t nameLength,
               Block* found) {
  size_t at = parent.childrenBegin;
  while (at < parent.end && ParseBlock(blob, at, parent.end, found)) {
    if (KeyIs(blob, *found, name, nameLength)) return true;
    at = Align4(found->end);
  }
  return false;
}

}  // namespace

bool FindVersionResource(const uint8_t* image, size_t size, const uint8_t** blob,
                         size_t* blobSize) {
  const PeImage pe(image, size);
  const PeSpan resource = pe.FirstResource(kVersionResourceType);
  // A resource shorter than its own root block's length holds no version information:
  // whoever copies it and queries the copy would read past its end.
  if (resource.data == nullptr || resource.size < kBlockHeaderSize ||
      LoadLe16(resource.data) > resource.size) {
    return false;
  }
  *blob = resource.data;
  *blobSize = resource.size;
  return true;
}

bool QueryVersionBlob(const uint8_t* blob, size_t size, const char* subBlock,
                      const uint8_t** value, uint32_t* length) {
  Block block{};
  if (blob == nullptr || subBlock == nullptr || !ParseBlock(blob, 0, size, &block)) return false;
  const char* cursor = subBlock;
  const bool root = [&] {
    for (const char* c = subBlock; *c; ++c) {
      if (*c != '\\') return false;
    }
    return true;
  }();
  while (*cursor != '\0') {
    while (*cursor == '\\') ++cursor;
    const char* nameEnd = cursor;
    while (*nameEnd != '\0' && *nameEnd != '\\') ++nameEnd;
    if (nameEnd == cursor) break;
    Block child{};
    if (!FindChild(blob, block, cursor, static_cast<size_t>(nameEnd - cursor), &child)) {
      return false;
    }
    block = child;
    cursor = nameEnd;
  }
  if (root && block.valueBytes < kFixedInfoSize) return false;
  *value = blob + block.valueBegin;
  *length = block.valueLength;
  return true;
}
