// Version resources read from the simulated disk and queried as VerQueryValue does, and
// libraries whose registration outcomes the test decides.
#include <stdio.h>
#include <string.h>

#include "base/little_endian.h"
#include "pe/version_query.h"
#include "platform/library.h"
#include "platform/version_info.h"
#include "platform_test_support.h"
#include "test_pe_image.h"

namespace {

using namespace platform;
using platform_test::Bytes;
using Image = test_pe::Bytes;

class SimVersionLibraryTest : public platform_test::PlatformTest {};

TEST_F(SimVersionLibraryTest, VersionValuesComeFromTheFilesResource) {
  test_pe::VersionFields fields;
  fields.fileVersionMs = 0x00020001;
  fields.fileVersionLs = 0x0000000A;
  fields.language = 0x0407;
  fields.codePage = 0x04E4;
  fields.selfRegister = true;
  machine.files.PutFile("C:\\App\\Server.dll", test_pe::VersionedLibrary(fields));
  machine.files.PutFile("C:\\App\\readme.txt", Bytes("not a program"));
  EXPECT_EQ(GetVersionInfoSize("C:\\App\\readme.txt"), 0u);
  EXPECT_EQ(GetVersionInfoSize("C:\\App\\missing.dll"), 0u);
  machine.files.PutFolder("C:\\App\\Plugins");
  EXPECT_EQ(GetVersionInfoSize("C:\\App\\Plugins"), 0u) << "a folder has no version resource";

  const uint32_t size = GetVersionInfoSize("C:\\App\\Server.dll");
  ASSERT_GT(size, 52u);
  std::vector<uint8_t> data(size);
  EXPECT_FALSE(GetVersionInfo("C:\\App\\Server.dll", size - 1, data.data()))
      << "a buffer too small for the resource is refused";
  ASSERT_TRUE(GetVersionInfo("C:\\App\\Server.dll", size, data.data()));

  const void* value = nullptr;
  uint32_t length = 0;
  ASSERT_TRUE(QueryVersionValue(data.data(), "\\", &value, &length));
  ASSERT_GE(length, 52u);
  const uint8_t* fixed = static_cast<const uint8_t*>(value);
  EXPECT_EQ(LoadLe32(fixed + kFixedFileVersionMsOffset), 0x00020001u);
  EXPECT_EQ(LoadLe32(fixed + kFixedFileVersionLsOffset), 0x0000000Au);

  ASSERT_TRUE(QueryVersionValue(data.data(), "\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  const uint32_t translation = LoadLe32(static_cast<const uint8_t*>(value));
  char entry[64];
  snprintf(entry, sizeof entry, "\\StringFileInfo\\%04X%04X\\OLESelfRegister",
           translation & 0xFFFF, translation >> 16);
  EXPECT_STREQ(entry, "\\StringFileInfo\\040704E4\\OLESelfRegister");
  EXPECT_TRUE(QueryVersionValue(data.data(), entry, &value, &length));
  EXPECT_TRUE(QueryVersionValue(data.data(), "\\stringfileinfo\\040704e4\\oleselfregister",
                                &value, &length))
      << "keys compare without regard to case";
  EXPECT_FALSE(QueryVersionValue(data.data(), "\\StringFileInfo\\040704E4\\Missing", &value,
                                 &length));
}

TEST_F(SimVersionLibraryTest, TheVersionQueryNeverLeavesTheBlob) {
  const Image blob = test_pe::VersionResource(test_pe::VersionFields{});
  const uint8_t* value = nullptr;
  uint32_t length = 0;
  for (size_t cut = 0; cut < blob.size(); ++cut) {
    Image shorter(blob.begin(), blob.begin() + static_cast<long>(cut));
    for (const char* query : {"\\", "\\VarFileInfo\\Translation",
                              "\\StringFileInfo\\040904B0\\FileVersion"}) {
      if (QueryVersionBlob(shorter.data(), shorter.size(), query, &value, &length)) {
        EXPECT_LE(value + (length ? length : 0), shorter.data() + shorter.size()) << cut;
      }
    }
  }
  const Image shortFixed = test_pe::VersionBlock("VS_VERSION_INFO", Image(16, 0), 16, 0, {});
  EXPECT_FALSE(QueryVersionBlob(shortFixed.data(), shortFixed.size(), "\\", &value, &length))
      << "fixed information shorter than its structure is none";
  Image looped = blob;
  StoreLe16(looped.data() + 0x5C, 0);  // the first child's length: zero must end the walk
  EXPECT_FALSE(QueryVersionBlob(looped.data(), looped.size(), "\\VarFileInfo\\Translation",
                                &value, &length));

  // A resource shorter than its root block says is none: the copy the program gets is
  // only as long as the resource, and a query of it must not read past it.
  Image overlong = blob;
  StoreLe16(overlong.data(), static_cast<uint16_t>(blob.size() + 64));
  machine.files.PutFile("C:\\App\\Overlong.dll", test_pe::PeImageWith(overlong));
  EXPECT_EQ(GetVersionInfoSize("C:\\App\\Overlong.dll"), 0u);
}

TEST_F(SimVersionLibraryTest, LibrariesAnswerAsTheTestSaysAndCallsAreRecorded) {
  machine.files.PutFile("C:\\App\\One.dll", test_pe::VersionedLibrary({}));
  machine.files.PutFile("C:\\App\\Two.dll", test_pe::VersionedLibrary({}));
  machine.files.PutFile("C:\\App\\Text.dll", Bytes("MZ but no more"));
  machine.libraries.SetResult("C:\\App\\Two.dll", "DllRegisterServer", 1);
  machine.libraries.SetMissing("c:\\app\\two.dll", "DllUnregisterServer");

  EXPECT_EQ(LoadLibraryAt("C:\\App\\Text.dll", 0), nullptr);
  EXPECT_EQ(LoadLibraryAt("C:\\App\\Missing.dll", 0), nullptr);
  Library two = LoadLibraryAt("C:\\APP\\TWO.DLL", 0);
  Library one = LoadLibraryAt("C:\\App\\One.dll", 0);
  ASSERT_NE(one, nullptr);
  ASSERT_NE(two, nullptr);
  int32_t result = -1;
  EXPECT_TRUE(CallEntryPoint(two, "DllRegisterServer", &result));
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(CallEntryPoint(two, "DllUnregisterServer", &result));
  EXPECT_TRUE(CallEntryPoint(one, "DllRegisterServer", &result));
  EXPECT_EQ(result, 0);
  FreeLibraryHandle(one);
  FreeLibraryHandle(two);
  EXPECT_EQ(machine.libraries.LoadedCount(), 0u);

  const auto& calls = machine.libraries.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].path, "C:\\APP\\TWO.DLL");
  EXPECT_EQ(calls[1].path, "C:\\App\\One.dll");
  EXPECT_TRUE(machine.errors.empty());
  EXPECT_FALSE(CallEntryPoint(one, "DllRegisterServer", &result));
  EXPECT_EQ(machine.errors.size(), 1u) << "a freed library is a fault of the program";
  machine.errors.clear();
}

}  // namespace
