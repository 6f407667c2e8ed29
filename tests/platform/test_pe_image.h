// Tiny PE images with a version resource, made byte by byte for tests: header-only, so
// that any test executable can include it.
#pragma once

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/little_endian.h"

namespace test_pe {

using Bytes = std::vector<uint8_t>;

struct VersionFields {
  uint32_t fileVersionMs = 0x00010002;  // 1.2
  uint32_t fileVersionLs = 0x00030004;  // .3.4
  uint16_t language = 0x0409;
  uint16_t codePage = 0x04B0;
  bool selfRegister = false;  // an "OLESelfRegister" entry in the translation's table
  const char* rootKey = "VS_VERSION_INFO";
};

inline void Pad4(Bytes* b) {
  while (b->size() % 4 != 0) b->push_back(0);
}

// One version block: wLength, wValueLength, wType, UTF-16 key, value, children.
inline Bytes VersionBlock(const std::string& key, const Bytes& value, uint16_t valueLength,
                          uint16_t type, const std::vector<Bytes>& children) {
  Bytes b(6, 0);
  for (char c : key) b.insert(b.end(), {static_cast<uint8_t>(c), 0});
  b.insert(b.end(), {0, 0});
  Pad4(&b);
  b.insert(b.end(), value.begin(), value.end());
  for (const Bytes& child : children) {
    Pad4(&b);
    b.insert(b.end(), child.begin(), child.end());
  }
  StoreLe16(b.data(), static_cast<uint16_t>(b.size()));
  StoreLe16(b.data() + 2, valueLength);
  StoreLe16(b.data() + 4, type);
  return b;
}

// A VS_VERSIONINFO with the fixed file information, a string table for the translation
// (and a decoy table for another one) and the translation itself.
inline Bytes VersionResource(const VersionFields& fields) {
  Bytes fixed(52, 0);
  StoreLe32(fixed.data(), 0xFEEF04BD);
  StoreLe32(fixed.data() + 8, fields.fileVersionMs);
  StoreLe32(fixed.data() + 12, fields.fileVersionLs);
  std::vector<Bytes> strings = {VersionBlock("FileVersion", {'1', 0, 0, 0}, 2, 1, {})};
  if (fields.selfRegister) strings.push_back(VersionBlock("OLESelfRegister", {0, 0}, 1, 1, {}));
  char tableKey[16];
  snprintf(tableKey, sizeof tableKey, "%04x%04x", fields.language, fields.codePage);
  const Bytes decoy = VersionBlock("040704B0", {}, 0, 1,
                                   {VersionBlock("OLESelfRegister", {0, 0}, 1, 1, {})});
  Bytes translation(4);
  StoreLe16(translation.data(), fields.language);
  StoreLe16(translation.data() + 2, fields.codePage);
  return VersionBlock(fields.rootKey, fixed, 52, 0,
                      {VersionBlock("StringFileInfo", {}, 0, 1,
                                    {decoy, VersionBlock(tableKey, {}, 0, 1, strings)}),
                       VersionBlock("VarFileInfo", {}, 0, 1,
                                    {VersionBlock("Translation", translation, 4, 0, {})})});
}

// A one-section PE32 (or PE32+) image whose resource tree holds `resources` as type 16,
// name 1, languages 0x409, 0x407, 0x40C... in that order; with no resource, an image
// without resources.
inline Bytes PeImageWithLanguages(const std::vector<Bytes>& resources, bool pe32Plus = false) {
  const uint32_t sectionRva = 0x1000, rawOffset = 0x200;
  const uint16_t optionalSize = pe32Plus ? 240 : 224;
  const uint16_t kLanguages[] = {0x409, 0x407, 0x40C, 0x410};
  const size_t count = resources.size();
  const size_t dataEntries = 0x30 + 16 + 8 * count;
  Bytes tree(dataEntries + 16 * count, 0);
  auto table = [&tree](size_t at, size_t entries) {
    StoreLe16(tree.data() + at + 14, static_cast<uint16_t>(entries));
  };
  auto entry = [&tree](size_t at, size_t index, uint32_t id, uint32_t target) {
    StoreLe32(tree.data() + at + 16 + 8 * index, id);
    StoreLe32(tree.data() + at + 20 + 8 * index, target);
  };
  table(0x00, 1);
  entry(0x00, 0, 16, 0x80000018);
  table(0x18, 1);
  entry(0x18, 0, 1, 0x80000030);
  table(0x30, count);
  for (size_t i = 0; i < count; ++i) {
    const size_t data = dataEntries + 16 * i;
    entry(0x30, i, kLanguages[i % 4], static_cast<uint32_t>(data));
    Pad4(&tree);
    StoreLe32(tree.data() + data, static_cast<uint32_t>(sectionRva + tree.size()));
    StoreLe32(tree.data() + data + 4, static_cast<uint32_t>(resources[i].size()));
    tree.insert(tree.end(), resources[i].begin(), resources[i].end());
  }

  Bytes image(rawOffset + tree.size(), 0);
  std::copy(tree.begin(), tree.end(), image.begin() + rawOffset);
  image[0] = 'M';
  image[1] = 'Z';
  StoreLe32(&image[0x3C], 0x40);
  uint8_t* pe = &image[0x40];
  pe[0] = 'P';
  pe[1] = 'E';
  StoreLe16(pe + 4, pe32Plus ? 0x8664 : 0x14C);
  StoreLe16(pe + 6, 1);
  StoreLe16(pe + 20, optionalSize);
  uint8_t* optional = pe + 24;
  StoreLe16(optional, pe32Plus ? 0x20B : 0x10B);
  const size_t directories = pe32Plus ? 112 : 96;
  StoreLe32(optional + directories - 4, 16);
  if (count != 0) {
    StoreLe32(optional + directories + 16, sectionRva);
    StoreLe32(optional + directories + 20, static_cast<uint32_t>(tree.size()));
  }
  uint8_t* section = optional + optionalSize;
  memcpy(section, ".rsrc", 5);
  StoreLe32(section + 8, static_cast<uint32_t>(tree.size()));
  StoreLe32(section + 12, sectionRva);
  StoreLe32(section + 16, static_cast<uint32_t>(tree.size()));
  StoreLe32(section + 20, rawOffset);
  return image;
}

// The same with one language, 0x409, holding `resource` (none when it is empty).
inline Bytes PeImageWith(const Bytes& resource, bool pe32Plus = false) {
  return PeImageWithLanguages(
      resource.empty() ? std::vector<Bytes>{} : std::vector<Bytes>{resource}, pe32Plus);
}

// What a signing tool does to a program file: pads it with zeros to a multiple of 8
// bytes, appends a certificate table of `tableSize` bytes and names it in the fields of
// PE32 headers that say where it is, written over the file's first bytes and from 0x80 to
// 0x120 (where a stand-in stub has nothing of its own).
inline void Sign(Bytes* file, uint32_t tableSize = 0x500) {
  while (file->size() % 8 != 0) file->push_back(0);
  const uint32_t table = static_cast<uint32_t>(file->size());
  file->insert(file->end(), tableSize, 0x30);
  uint8_t* head = file->data();
  head[0] = 'M';
  head[1] = 'Z';
  StoreLe32(head + 0x3C, 0x80);
  memcpy(head + 0x80, "PE\0\0", 4);
  StoreLe16(head + 0x80 + 20, 224);
  uint8_t* optional = head + 0x80 + 24;
  StoreLe16(optional, 0x10B);
  StoreLe32(optional + 92, 16);
  StoreLe32(optional + 128, table);
  StoreLe32(optional + 132, tableSize);
}

// A library with a version resource as `fields` describe.
inline Bytes VersionedLibrary(const VersionFields& fields) {
  return PeImageWith(VersionResource(fields));
}

}  // namespace test_pe
