// The PE version-resource reader on tiny PE32 and PE32+ images made here, and on
// damaged ones: never a crash, never a version from garbage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "pe/version_resource.h"
#include "tests/platform/test_pe_image.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes VersionResource(uint32_t ms, uint32_t ls, bool selfRegister) {
  test_pe::VersionFields fields;
  fields.fileVersionMs = ms;
  fields.fileVersionLs = ls;
  fields.selfRegister = selfRegister;
  // The resource also holds a decoy table, with the marker, for another translation.
  return test_pe::VersionResource(fields);
}

Bytes PeImage(bool pe32Plus, const Bytes& resource) {
  return test_pe::PeImageWith(resource, pe32Plus);
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
