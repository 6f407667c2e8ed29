// The PE version-resource reader on tiny PE32 and PE32+ images made here, and on
// damaged ones: never a crash, never a version from garbage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "codec/little_endian.h"
#include "pe/version_resource.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Pad4(Bytes* b) {
  while (b->size() % 4 != 0) b->push_back(0);
}

// One version block: wLength, wValueLength, wType, UTF-16 key, value, children.
Bytes VersionBlock(const std::string& key, const Bytes& value, uint16_t valueLength,
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

Bytes VersionResource(uint32_t ms, uint32_t ls, bool selfRegister) {
  Bytes fixed(52, 0);
  StoreLe32(fixed.data(), 0xFEEF04BD);
  StoreLe32(fixed.data() + 8, ms);
  StoreLe32(fixed.data() + 12, ls);
  const Bytes text = {'1', 0, 0, 0};
  std::vector<Bytes> strings = {VersionBlock("FileVersion", text, 2, 1, {})};
  if (selfRegister) strings.push_back(VersionBlock("OLESelfRegister", {0, 0}, 1, 1, {}));
  // A decoy table for another translation must not count.
  const Bytes decoy = VersionBlock("040704B0", {}, 0, 1,
                                   {VersionBlock("OLESelfRegister", {0, 0}, 1, 1, {})});
  const Bytes table = VersionBlock("040904b0", {}, 0, 1, strings);
  const Bytes translation = VersionBlock("Translation", {0x09, 0x04, 0xB0, 0x04}, 4, 0, {});
  return VersionBlock("VS_VERSION_INFO", fixed, 52, 0,
                      {VersionBlock("StringFileInfo", {}, 0, 1, {decoy, table}),
                       VersionBlock("VarFileInfo", {}, 0, 1, {translation})});
}

// A one-section image whose resource tree holds `resource` as type 16, name 1,
// language 0x409.
Bytes PeImage(bool pe32Plus, const Bytes& resource) {
  const uint32_t sectionRva = 0x1000, rawOffset = 0x200;
  const uint16_t optionalSize = pe32Plus ? 240 : 224;
  Bytes tree(0x58, 0);
  auto directory = [&tree](size_t at, uint32_t id, uint32_t target) {
    StoreLe16(tree.data() + at + 14, 1);
    StoreLe32(tree.data() + at + 16, id);
    StoreLe32(tree.data() + at + 20, target);
  };
  directory(0x00, 16, 0x80000018);
  directory(0x18, 1, 0x80000030);
  directory(0x30, 0x409, 0x48);
  StoreLe32(tree.data() + 0x48, sectionRva + 0x58);
  StoreLe32(tree.data() + 0x4C, static_cast<uint32_t>(resource.size()));
  tree.insert(tree.end(), resource.begin(), resource.end());

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
  StoreLe32(optional + directories + 16, sectionRva);
  StoreLe32(optional + directories + 20, static_cast<uint32_t>(tree.size()));
  uint8_t* section = optional + optionalSize;
  std::memcpy(section, ".rsrc", 5);
  StoreLe32(section + 8, static_cast<uint32_t>(tree.size()));
  StoreLe32(section + 12, sectionRva);
  StoreLe32(section + 16, static_cast<uint32_t>(tree.size()));
  StoreLe32(section + 20, rawOffset);
  return image;
}

PeVersionInfo Read(const Bytes& image) {
  PeVersionInfo info;
  ReadPeVersionInfo(image.data(), image.size(), &info);
  return info;
}

TEST(ReadPeVersion, ReadsFileVersionAndMarkerFromPe32AndPe32Plus) {
  for (bool plus : {false, true}) {
    const Bytes image = PeImage(plus, VersionResource(0x00010002, 0x00030004, true));
    uint16_t version[4] = {};
    ASSERT_TRUE(ReadPeFileVersion(image, version)) << "PE32+ " << plus;
    EXPECT_EQ(version[0], 1);
    EXPECT_EQ(version[1], 2);
    EXPECT_EQ(version[2], 3);
    EXPECT_EQ(version[3], 4);
    EXPECT_TRUE(PeHasOleSelfRegister(image));
  }
  const Bytes plain = PeImage(false, VersionResource(0xFFFF0000, 0x0000FFFF, false));
  const PeVersionInfo info = Read(plain);
  EXPECT_TRUE(info.hasVersion);
  EXPECT_EQ(info.version[0], 0xFFFF);
  EXPECT_EQ(info.version[3], 0xFFFF);
  EXPECT_FALSE(info.oleSelfRegister) << "only the first translation's table counts";
}

TEST(ReadPeVersion, DamagedImagesGiveNoVersionAndNoCrash) {
  const Bytes good = PeImage(false, VersionResource(0x00010002, 0x00030004, true));
  EXPECT_FALSE(Read({}).hasVersion);
  EXPECT_FALSE(Read(Bytes(good.begin(), good.begin() + 2)).hasVersion);
  // Every truncation, and a bad signature in the fixed information.
  for (size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_FALSE(Read(Bytes(good.begin(), good.begin() + cut)).hasVersion) << cut;
  }
  Bytes badSignature = good;
  badSignature[0x200 + 0x58 + 40] ^= 1;
  EXPECT_FALSE(Read(badSignature).hasVersion);
  // Every single byte set to 0xFF in turn: any outcome but a crash or a read outside.
  for (size_t i = 0; i < good.size(); ++i) {
    Bytes damaged = good;
    damaged[i] = 0xFF;
    Read(damaged);
  }
  // A resource entry pointing back at the root is not followed as a directory loop.
  Bytes loop = good;
  StoreLe32(&loop[0x200 + 0x30 + 20], 0x80000000);
  EXPECT_FALSE(Read(loop).hasVersion);
}

}  // namespace
