// twk list's view of self-registration: which files the installer will register, told
// from their packed bytes as the installer tells it from the installed ones; and the PE
// version-resource reader beneath it on tiny PE32 and PE32+ images made here, and on
// damaged ones: never a crash, never a version from garbage.
#include <gtest/gtest.h>

#include <sstream>

#include "base/little_endian.h"
#include "pe/version_resource.h"
#include "tests/platform/test_pe_image.h"
#include "tests/twk/read_fixture.h"
#include "twk/common/exit_codes.h"
#include "twk/reader_commands.h"

namespace {

Bytes Library(bool marker) {
  test_pe::VersionFields fields;
  fields.selfRegister = marker;
  return test_pe::VersionedLibrary(fields);
}

struct Listed {
  int code;
  std::string text;
  std::string json;
};

Listed ListBoth(const std::string& path) {
  std::ostringstream text, json, err;
  const int code = ListInstaller(path, text, err, ReportFormat::kText);
  EXPECT_EQ(ListInstaller(path, json, err, ReportFormat::kJson), code);
  return {code, text.str(), json.str()};
}

// The SELFREG column of the file whose target ends the line.
std::string Column(const std::string& listing, const std::string& target) {
  const size_t end = listing.find("  " + target + "\n");
  if (end == std::string::npos) return "(not listed)";
  const size_t begin = listing.rfind('\n', end) + 1;
  std::istringstream fields(listing.substr(begin, end - begin));
  std::string field;
  for (int i = 0; i < 7; ++i) fields >> field;  // size, blocks, version, date, time, shared
  return field;
}

// The value of "selfRegisters" in the JSON object of the file with `target`.
std::string JsonValue(const std::string& json, const std::string& target) {
  const size_t object = json.find("\"target\": \"" + target + "\"");
  if (object == std::string::npos) return "(not listed)";
  const size_t key = json.find("\"selfRegisters\": ", object);
  return json.substr(key + 17, json.find_first_of(",\n}", key) - key - 17);
}

TEST(ReadListing, MarksTheFilesTheInstallerWillRegister) {
  ScratchFolder scratch;
  TestPackage package;
  package.files = {
      {"{OurProgramDir}\\server.dll", Library(true)},
      // The marker in another language's table only (test_pe's decoy): the installer
      // looks in the first translation's table, and so does the listing.
      {"{OurProgramDir}\\plain.dll", Library(false)},
      {"{OurProgramDir}\\MZ.txt", Bytes{'M', 'Z', ' ', 'i', 's', ' ', 'n', 'o', ' ', 'P', 'E'}},
      {"{OurProgramDir}\\readme.txt", Bytes(100, 'r')},
      {"{OurProgramDir}\\broken.dll", Library(true)},
  };
  TestLayout layout;
  Bytes image = BuildInstallerImage(package, &layout);
  image[layout.fileBlocks[4] + 12] ^= 0x40;  // a stored byte of broken.dll's only block
  WriteVolumes(scratch / "SETUP.EXE", image);

  const Listed listed = ListBoth(scratch / "SETUP.EXE");
  EXPECT_EQ(listed.code, kExitDamaged);
  const struct {
    const char* name;
    const char* column;
    const char* json;
  } expected[] = {
      {"server.dll", "yes", "true"}, {"plain.dll", "no", "false"},   {"MZ.txt", "no", "false"},
      {"readme.txt", "no", "false"}, {"broken.dll", "?", "null"},
  };
  for (const auto& file : expected) {
    const std::string target = std::string("{OurProgramDir}\\") + file.name;
    EXPECT_EQ(Column(listed.text, target), file.column) << file.name << "\n" << listed.text;
    EXPECT_EQ(JsonValue(listed.json, "{OurProgramDir}\\\\" + std::string(file.name)), file.json)
        << file.name;
  }
}

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
  EXPECT_FALSE(PeHasOleSelfRegister(plain)) << "only the first translation's table counts";
}

// Windows hands the installer the language of the version resource that suits the
// machine, and does not look at the root block's name: every language counts, whatever
// the root is called, and register=no must find the marker in each.
TEST(ReadPeVersion, TheMarkerCountsInEveryLanguageAndUnderAnyRootName) {
  test_pe::VersionFields marked, plain, oddRoot;
  marked.selfRegister = oddRoot.selfRegister = true;
  oddRoot.rootKey = "VS_VERSIONINFO";
  const struct {
    std::vector<Bytes> languages;
    size_t marked;
  } cases[] = {
      {{test_pe::VersionResource(plain), test_pe::VersionResource(marked)}, 1},
      {{test_pe::VersionResource(marked), test_pe::VersionResource(plain)}, 1},
      {{test_pe::VersionResource(oddRoot)}, 1},
      {{test_pe::VersionResource(plain), test_pe::VersionResource(plain)}, 0},
  };
  for (const auto& c : cases) {
    const Bytes image = test_pe::PeImageWithLanguages(c.languages);
    const SelfRegistrationMarks marks = CountSelfRegistrationMarks(image);
    EXPECT_EQ(marks.resources, c.languages.size());
    EXPECT_EQ(marks.marked, c.marked);
    EXPECT_TRUE(marks.complete);
    EXPECT_EQ(PeHasOleSelfRegister(image), c.marked != 0);
    // Each language's two tables (the translation's and the decoy's) when marked.
    EXPECT_EQ(FindOleSelfRegisterKeys(image).size(), 2 * c.marked + (c.languages.size() - c.marked))
        << "every table's entry, the decoys' too";
  }
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
