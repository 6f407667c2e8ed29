// Volumes: the package spread over SETUP.EXE, SETUP.001, ... is the single-file package.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "tests/twk/build_test_support.h"
#include "twk/build/build_installer.h"
#include "twk/build/volume_writer.h"
#include "twk/common/build_error.h"
#include "twk/common/exit_codes.h"

namespace {

using build_test::TempDir;

struct VolumeProduct {
  TempDir dir;
  std::string stub = build_test::WriteFakeStub(dir);

  explicit VolumeProduct(size_t noiseBytes) {
    build_test::WriteBytes(dir / "src/noise.bin", build_test::Noise(noiseBytes, 5));
    build_test::WriteText(dir / "src/v.twk",
                          "[Setup]\nTitle = V\nProgramFolder = V\n[Files]\nnoise.bin {OurProgramDir}\\\n");
  }

  BuildResult Build(const std::string& output, uint64_t volumeSize, bool strict = false) {
    BuildRequest request;
    request.script = dir / "src/v.twk";
    request.output = dir / output;
    request.stub = stub;
    request.volumeSize = volumeSize;
    request.strict = strict;
    return BuildInstaller(request);
  }
};

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

TEST(BuildVolumes, VolumesHoldTheSingleFilePackageInOrder) {
  VolumeProduct product(300000);
  product.Build("one/SETUP.EXE", 0);
  const std::vector<uint8_t> single = build_test::ReadBytes(product.dir / "one/SETUP.EXE");
  const BuildResult result = product.Build("many/SETUP.EXE", 100000);
  ASSERT_EQ(result.files.size(), 4u);  // 4 KB of stub and 300 KB of noise
  EXPECT_EQ(result.files[1], product.dir / "many/SETUP.001");
  EXPECT_EQ(result.files[3], product.dir / "many/SETUP.003");
  EXPECT_FALSE(Exists(product.dir / "many/SETUP.004"));

  const size_t stubLength = 4096;
  std::vector<uint8_t> joined(single.begin(), single.begin() + stubLength);
  for (size_t i = 0; i < result.files.size(); ++i) {
    SCOPED_TRACE(result.files[i]);
    const std::vector<uint8_t> volume = build_test::ReadBytes(result.files[i]);
    EXPECT_LE(volume.size(), 100000u);
    if (i + 1 < result.files.size()) {
      EXPECT_EQ(volume.size(), 100000u);
    }
    const size_t word = i == 0 ? stubLength : 0;
    EXPECT_EQ(LoadLe32(volume.data() + word), volume.size());  // each volume's own length
    if (i == 0) {
      EXPECT_TRUE(std::equal(volume.begin(), volume.begin() + stubLength, single.begin()));
    }
    joined.insert(joined.end(), volume.begin() + word + 4, volume.end());
  }
  // The single file's own length word aside, the bytes are the same.
  ASSERT_EQ(joined.size() + 4, single.size());
  EXPECT_TRUE(std::equal(joined.begin() + stubLength, joined.end(), single.begin() + stubLength + 4));
}

TEST(BuildVolumes, NoVolumeFileWhenThePackageFitsAndNoEmptyVolume) {
  VolumeProduct product(1000);
  const BuildResult single = product.Build("a/SETUP.EXE", 0);
  const uint64_t length = build_test::ReadBytes(single.files[0]).size();
  // Exactly the size of the single file: everything fits in volume 0.
  EXPECT_EQ(product.Build("b/SETUP.EXE", length).files.size(), 1u);
  EXPECT_FALSE(Exists(product.dir / "b/SETUP.001"));
  // One byte less: the last byte goes to volume 1, which holds its word and that byte.
  const BuildResult split = product.Build("c/SETUP.EXE", length - 1);
  ASSERT_EQ(split.files.size(), 2u);
  EXPECT_EQ(build_test::ReadBytes(split.files[1]).size(), 5u);
}

TEST(BuildVolumes, RefusesVolumeSizesAndNamesThatCannotWork) {
  VolumeProduct product(1000);
  const struct {
    std::string output;
    uint64_t volumeSize;
    const char* phrase;
  } cases[] = {
      {"SETUP.EXE", 4096 + 4 + 15, "leaves no room for the package"},
      {"SETUP", 100000, "needs an extension"},
      {"SETUP.EXE", 0x100000000ull, "over 4 GiB"},
  };
  for (const auto& c : cases) {
    try {
      product.Build(c.output, c.volumeSize);
      ADD_FAILURE() << "accepted " << c.output << " with volumes of " << c.volumeSize;
    } catch (const CommandError& error) {
      EXPECT_EQ(error.exitCode(), kExitUsage);
      EXPECT_NE(std::string(error.what()).find(c.phrase), std::string::npos) << error.what();
    }
    EXPECT_FALSE(Exists(product.dir / c.output));
  }
  EXPECT_NO_THROW(product.Build("SETUP.EXE", 4096 + 4 + 16));
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(BuildVolumes, OnlyTheNamedOutputsAreReplaced) {
  VolumeProduct product(150000);
  const std::string out = product.dir / "out";
  std::filesystem::create_directories(out);
  build_test::WriteText(product.dir / "keep-a", "a");
  build_test::WriteText(product.dir / "keep-b", "b");
  build_test::WriteText(product.dir / "keep-c", "c");
  // Links planted where a build used to put its temporary files, a leftover of a killed
  // build, and the installer's own name linked to a file of someone else.
  std::filesystem::create_symlink(product.dir / "keep-a", out + "/SETUP.EXE.twk-partial");
  std::filesystem::create_symlink(product.dir / "keep-b", out + "/SETUP.001.twk-partial");
  build_test::WriteText(out + "/SETUP.EXE.twk-partial-leftover", "old");
  std::filesystem::create_symlink(product.dir / "keep-c", out + "/SETUP.EXE");

  const BuildResult result = product.Build("out/SETUP.EXE", 100000);
  ASSERT_EQ(result.files.size(), 2u);
  for (const char* name : {"keep-a", "keep-b", "keep-c"}) {
    EXPECT_EQ(build_test::ReadBytes(product.dir / name).size(), 1u) << name;
  }
  EXPECT_FALSE(std::filesystem::is_symlink(out + "/SETUP.EXE"));
  EXPECT_FALSE(std::filesystem::is_symlink(out + "/SETUP.001"));
  EXPECT_EQ(Names(out), (std::vector<std::string>{"SETUP.001", "SETUP.001.twk-partial",
                                                  "SETUP.EXE", "SETUP.EXE.twk-partial",
                                                  "SETUP.EXE.twk-partial-leftover"}));
  EXPECT_TRUE(std::filesystem::is_symlink(out + "/SETUP.EXE.twk-partial"));
  EXPECT_EQ(build_test::ReadBytes(out + "/SETUP.EXE.twk-partial-leftover").size(), 3u);
}

// The build names a volume that an earlier build left before it writes anything, so that
// --strict can refuse it with the earlier output untouched; it must count the volumes
// exactly as they are then written.
TEST(BuildVolumes, AVolumeLeftByAnEarlierBuildIsNamedBeforeAnythingIsWritten) {
  VolumeProduct product(150000);
  const uint64_t stubLength = build_test::ReadBytes(product.stub).size();
  for (uint64_t size : {20000u, 50000u, 65000u, 100000u, 149000u, 160000u, 400000u}) {
    const BuildResult result = product.Build("count/SETUP.EXE", size);
    const uint64_t package = result.packageLength;
    EXPECT_EQ(VolumeFileCount(package, stubLength, size), result.files.size()) << size;
  }
  EXPECT_EQ(product.Build("out/SETUP.EXE", 40000).files.size(), 4u);
  const BuildResult fewer = product.Build("out/SETUP.EXE", 100000);
  ASSERT_EQ(fewer.files.size(), 2u);
  ASSERT_EQ(fewer.warnings.size(), 1u);
  EXPECT_EQ(fewer.warnings[0], product.dir / "out/SETUP.002: left from an earlier build; this "
                                              "installer does not use it");
  const std::vector<uint8_t> before = build_test::ReadBytes(product.dir / "out/SETUP.EXE");
  try {
    product.Build("out/SETUP.EXE", 120000, true);
    ADD_FAILURE() << "--strict let a stale volume pass";
  } catch (const CommandError& error) {
    EXPECT_EQ(error.exitCode(), kExitScriptError);
    EXPECT_NE(std::string(error.what()).find("SETUP.002: left from an earlier build"),
              std::string::npos);
  }
  EXPECT_EQ(build_test::ReadBytes(product.dir / "out/SETUP.EXE"), before);
}

TEST(BuildVolumes, VolumeNamesReplaceTheLastDot) {
  EXPECT_EQ(VolumePath("out/SETUP.EXE", 1), "out/SETUP.001");
  EXPECT_EQ(VolumePath("my.dir/Setup.exe", 12), "my.dir/Setup.012");
  EXPECT_EQ(VolumePath("SETUP.EXE", 1000), "SETUP.1000");
}

}  // namespace
