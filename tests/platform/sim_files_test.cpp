// The simulated disks as the installer meets them: names without regard to case, files
// that refuse to be replaced, times, full disks, searches, full and short names.
#include <string.h>

#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/library.h"
#include "platform/system.h"
#include "platform/version_info.h"
#include "platform_test_support.h"

namespace {

using namespace platform;
using platform_test::Bytes;

class SimFilesTest : public platform_test::PlatformTest {
 protected:
  bool WriteText(const char* path, const std::string& text) {
    File file = CreateForWriting(path);
    if (file == nullptr) return false;
    uint32_t written = 0;
    const bool ok = WriteToFile(file, text.data(), static_cast<uint32_t>(text.size()), &written);
    CloseFile(file);
    return ok && written == text.size();
  }
};

TEST_F(SimFilesTest, OneFileWhateverTheCaseOfItsName) {
  machine.files.PutFile("C:\\Apps\\ReadMe.TXT", Bytes("old"));
  EXPECT_EQ(machine.files.LongPath("c:/apps/README.txt"), "C:\\Apps\\ReadMe.TXT");
  File file = OpenForReading("c:\\APPS\\readme.txt");
  ASSERT_NE(file, nullptr);
  CloseFile(file);

  // Writing under another spelling replaces the file; it does not make a second one.
  ASSERT_TRUE(WriteText("C:\\APPS\\README.TXT", "new"));
  EXPECT_EQ(Text("C:\\Apps\\ReadMe.TXT"), "new");
  size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(root_ / "C" / "Apps")) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1u);
  EXPECT_TRUE(machine.errors.empty());
}

TEST_F(SimFilesTest, FilesInUseOrReadOnlyOrOpenRefuseChanges) {
  machine.files.PutFile("C:\\App\\Busy.dll", Bytes("busy"));
  machine.files.PutFile("C:\\App\\Other.dll", Bytes("other"));
  machine.files.MarkInUse("C:\\app\\busy.DLL");
  File reader = OpenForReading("C:\\App\\Busy.dll");
  EXPECT_NE(reader, nullptr) << "a file in use can still be read";
  CloseFile(reader);
  EXPECT_EQ(CreateForWriting("C:\\App\\Busy.dll"), nullptr);
  EXPECT_FALSE(DeleteFileAt("C:\\App\\Busy.dll"));
  EXPECT_FALSE(CopyFileTo("C:\\App\\Other.dll", "C:\\App\\Busy.dll"));
  EXPECT_EQ(Text("C:\\App\\Busy.dll"), "busy");

  EXPECT_TRUE(SetAttributes("C:\\App\\Other.dll", kAttributeReadOnly));
  EXPECT_EQ(GetAttributes("C:\\App\\Other.dll"), kAttributeReadOnly);
  EXPECT_EQ(CreateForWriting("C:\\App\\Other.dll"), nullptr);
  EXPECT_FALSE(DeleteFileAt("C:\\App\\Other.dll"));
  EXPECT_TRUE(SetAttributes("C:\\App\\Other.dll", kAttributeNormal));
  EXPECT_EQ(GetAttributes("C:\\App\\Other.dll"), kAttributeNormal);

  // This program's own writer shares nothing: no reading, deleting or renaming meanwhile.
  File writer = CreateForWriting("C:\\App\\Other.dll");
  ASSERT_NE(writer, nullptr);
  EXPECT_EQ(OpenForReading("C:\\App\\Other.dll"), nullptr);
  EXPECT_FALSE(DeleteFileAt("C:\\App\\Other.dll"));
  EXPECT_FALSE(RenameFile("C:\\App\\Other.dll", "C:\\App\\Moved.dll"));
  CloseFile(writer);
  EXPECT_TRUE(DeleteFileAt("C:\\App\\Other.dll"));
  EXPECT_EQ(GetAttributes("C:\\App\\Other.dll"), kNoAttributes);
  EXPECT_EQ(machine.files.OpenFileCount(), 0u);
}

TEST_F(SimFilesTest, LastWriteTimeIsKeptToTheTickAndTheDiskFills) {
  const FileTime time{0x12345677u, 0x01C0FFEEu};  // a date in 1997, odd 100 ns ticks
  File file = CreateForWriting("C:\\t.bin");
  ASSERT_NE(file, nullptr);
  uint32_t written = 0;
  ASSERT_TRUE(WriteToFile(file, "abc", 3, &written));
  ASSERT_TRUE(SetLastWriteTime(file, time));
  ASSERT_TRUE(WriteToFile(file, "def", 3, &written));  // Windows keeps the time set
  CloseFile(file);
  EXPECT_EQ(machine.files.LastWriteTime("C:\\t.bin").low, time.low);
  EXPECT_EQ(machine.files.LastWriteTime("C:\\t.bin").high, time.high);
  FoundFile found{};
  Search search = FindFirst("C:\\T.BIN", &found);
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(found.lastWrite.low, time.low);
  FindEnd(search);

  machine.files.FillDiskAfter('c', 5);
  file = CreateForWriting("C:\\full.bin");
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(WriteToFile(file, "1234", 4, &written));
  EXPECT_EQ(written, 4u);
  EXPECT_TRUE(WriteToFile(file, "5678", 4, &written));
  EXPECT_EQ(written, 1u) << "a full disk takes what fits and reports fewer bytes";
  CloseFile(file);
  EXPECT_EQ(Text("C:\\full.bin"), "12345");
  machine.files.PutFolder("D:\\");
  EXPECT_TRUE(WriteText("D:\\other.bin", "other drive")) << "only drive C is full";
}

TEST_F(SimFilesTest, FoldersRenamesAndCopies) {
  EXPECT_FALSE(CreateFolder("C:\\A\\B", FolderAccess::kInherited)) << "the parent must exist";
  EXPECT_TRUE(CreateFolder("C:\\A", FolderAccess::kInherited));
  EXPECT_FALSE(CreateFolder("c:\\a", FolderAccess::kInherited)) << "it exists already";
  EXPECT_TRUE(CreateFolder("C:\\A\\B\\", FolderAccess::kInherited));
  EXPECT_FALSE(RemoveFolder("C:\\A")) << "not empty";
  EXPECT_TRUE(RemoveFolder("C:\\A\\B"));
  EXPECT_FALSE(RemoveFolder("C:\\"));

  machine.files.PutFile("C:\\A\\one.txt", Bytes("1"));
  machine.files.PutFile("C:\\A\\two.txt", Bytes("2"));
  machine.files.SetLastWriteTimeOf("C:\\A\\one.txt", {1000, 0x01D00000});
  EXPECT_FALSE(RenameFile("C:\\A\\one.txt", "C:\\A\\TWO.TXT")) << "the new name exists";
  EXPECT_TRUE(RenameFile("C:\\A\\one.txt", "C:\\A\\ONE.txt")) << "a change of case only";
  EXPECT_EQ(machine.files.LongPath("C:\\A\\one.txt"), "C:\\A\\ONE.txt");
  EXPECT_TRUE(CopyFileTo("C:\\A\\ONE.txt", "C:\\A\\two.txt"));
  EXPECT_EQ(Text("C:\\A\\two.txt"), "1");
  EXPECT_EQ(machine.files.LastWriteTime("C:\\A\\two.txt").low, 1000u);
  EXPECT_FALSE(CopyFileTo("C:\\A\\ONE.txt", "C:\\Missing\\x.txt"));

  EXPECT_TRUE(CreateFolder("C:\\A\\Empty", FolderAccess::kInherited));
  EXPECT_TRUE(SetCurrentFolder("C:\\A\\Empty"));
  EXPECT_FALSE(RemoveFolder("C:\\A\\Empty")) << "never the current folder";
}

// Links as Windows shows them: a junction or symbolic link (a reparse point) is seen as
// itself where it stands last in a path and followed on the way; a hard link is a file
// with a second name. The operations that promise not to write through one refuse it.
TEST_F(SimFilesTest, LinksAreSeenWhereTheyStandAndFollowedOnTheWay) {
  machine.files.PutFile("C:\\Victim\\v.txt", Bytes("victim"));
  machine.files.PutFile("C:\\App\\plain.txt", Bytes("plain"));
  machine.files.MakeLink("C:\\App\\Junction", "C:\\Victim");
  machine.files.MakeLink("C:\\App\\link.txt", "C:\\Victim\\v.txt");
  machine.files.MakeLink("C:\\App\\dangling.txt", "C:\\Victim\\none.txt");
  machine.files.MakeHardLink("C:\\App\\hard.txt", "C:\\Victim\\v.txt");
  EXPECT_EQ(GetAttributes("C:\\App\\Junction"), kAttributeDirectory | kAttributeReparsePoint);
  EXPECT_EQ(GetAttributes("C:\\App\\link.txt"), kAttributeReparsePoint);
  EXPECT_EQ(GetAttributes("C:\\App\\dangling.txt"), kAttributeReparsePoint);
  EXPECT_EQ(GetAttributes("C:\\App\\hard.txt"), kAttributeNormal);
  FoundFile found;
  Search search = FindFirst("C:\\App\\link.txt", &found);
  ASSERT_NE(search, nullptr);
  FindEnd(search);
  EXPECT_EQ(found.attributes, kAttributeReparsePoint);
  for (const char* path : {"C:\\App\\Junction", "C:\\App\\link.txt", "C:\\App\\dangling.txt",
                           "C:\\App\\hard.txt"}) {
    SCOPED_TRACE(path);
    EXPECT_TRUE(IsLink(path));
    CreateRefusal refusal = CreateRefusal::kNone;
    EXPECT_EQ(CreateForWriting(path, &refusal), nullptr);
    EXPECT_EQ(refusal, CreateRefusal::kLink);
    EXPECT_EQ(CreateNewForWriting(path), nullptr);
  }
  EXPECT_FALSE(IsLink("C:\\App\\plain.txt"));
  EXPECT_FALSE(IsLink("C:\\App"));
  EXPECT_EQ(Text("C:\\Victim\\v.txt"), "victim");
  ASSERT_TRUE(WriteText("C:\\App\\Junction\\new.txt", "through")) << "followed on the way";
  EXPECT_EQ(Text("C:\\Victim\\new.txt"), "through");
  File file = CreateNewForWriting("C:\\App\\fresh.txt");
  EXPECT_NE(file, nullptr);
  CloseFile(file);
  EXPECT_TRUE(machine.errors.empty());
}

// A package may name a folder where a file belongs, or a file where a folder belongs:
// Windows refuses such a path like any other it cannot use, and so must the machine.
TEST_F(SimFilesTest, AFolderWhereAFileBelongsIsRefusedNotFatal) {
  machine.files.PutFolder("C:\\App\\Dir");
  machine.files.PutFile("C:\\App\\file.txt", Bytes("x"));
  for (const char* path : {"C:\\App\\Dir", "C:\\App\\file.txt\\inner.dll"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(OpenForReading(path), nullptr);
    EXPECT_EQ(CreateForWriting(path), nullptr);
    EXPECT_FALSE(DeleteFileAt(path));
    EXPECT_FALSE(CopyFileTo("C:\\App\\file.txt", path));
    EXPECT_EQ(GetVersionInfoSize(path), 0u);
    uint8_t data[64];
    EXPECT_FALSE(GetVersionInfo(path, sizeof data, data));
    EXPECT_EQ(LoadLibraryAt(path, 0), nullptr);
    EXPECT_FALSE(WriteProfileText(path, "rename", "NUL", "C:\\x"));
  }
  EXPECT_FALSE(CopyFileTo("C:\\App\\Dir", "C:\\App\\copy.txt"));
  EXPECT_TRUE(machine.errors.empty());
}

TEST_F(SimFilesTest, FindMatchesWildcardsAsWindowsDoes) {
  for (const char* name : {"app.dll.NewTemp", "lib.DLL.newtemp", "app.dll", "README", "a1.txt",
                           "a22.txt"}) {
    machine.files.PutFile(std::string("C:\\P\\") + name, Bytes("x"));
  }
  machine.files.PutFolder("C:\\P\\Sub");
  auto find = [](const char* pattern) {
    std::vector<std::string> names;
    FoundFile found{};
    Search search = FindFirst(pattern, &found);
    for (bool more = search != nullptr; more; more = FindNext(search, &found)) {
      names.push_back(found.name);
    }
    FindEnd(search);
    return names;
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(find("C:\\P\\*.NewTemp"), (Names{"app.dll.NewTemp", "lib.DLL.newtemp"}));
  EXPECT_EQ(find("C:\\P\\a?.txt"), (Names{"a1.txt"}));
  EXPECT_EQ(find("c:\\p\\*.*").size(), 9u) << "\".\", \"..\", Sub and six files";
  EXPECT_EQ(find("C:\\P\\READ*"), (Names{"README"}));
  EXPECT_TRUE(find("C:\\P\\*.exe").empty());
  EXPECT_TRUE(find("C:\\Missing\\*").empty());

  FoundFile found{};
  Search search = FindFirst("C:\\P\\S*", &found);
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(found.attributes, kAttributeDirectory);
  FindEnd(search);
  EXPECT_EQ(machine.files.OpenSearchCount(), 0u);
  EXPECT_TRUE(machine.errors.empty());
}

TEST_F(SimFilesTest, FullPathsAreNormalised) {
  char out[256];
  ASSERT_TRUE(SetCurrentFolder("C:\\WINDOWS"));
  ASSERT_TRUE(GetFullPath("TEMP\\..\\.\\x.ini", out, sizeof out));
  EXPECT_STREQ(out, "C:\\WINDOWS\\x.ini");
  ASSERT_TRUE(GetFullPath("D:/a//b/../c/", out, sizeof out));
  EXPECT_STREQ(out, "D:\\a\\c\\");
  ASSERT_TRUE(GetFullPath("\\..\\..\\top", out, sizeof out));
  EXPECT_STREQ(out, "C:\\top") << "\"..\" stops at the drive";
  char small[8];
  EXPECT_FALSE(GetFullPath("C:\\long\\path", small, sizeof small));
  EXPECT_STREQ(small, "") << "a path that does not fit is not cut";
}

TEST_F(SimFilesTest, ShortNamesAreDeterministicAndOpenTheFile) {
  machine.files.PutFile("C:\\Program Files\\My Product\\Long Library.dll", Bytes("x"));
  machine.files.PutFolder("C:\\Program Files\\My Products");
  machine.files.PutFile("C:\\Program Files\\My Product\\App.exe", Bytes("x"));
  char out[256];
  ASSERT_TRUE(GetShortPath("c:\\program files\\my product\\long library.dll", out, sizeof out));
  EXPECT_STREQ(out, "c:\\PROGRA~1\\MYPROD~1\\LONGLI~1.DLL");
  ASSERT_TRUE(GetShortPath("C:\\Program Files\\My Products", out, sizeof out));
  EXPECT_STREQ(out, "C:\\PROGRA~1\\MYPROD~2");
  ASSERT_TRUE(GetShortPath("C:\\PROGRA~1\\MYPROD~1\\app.EXE", out, sizeof out));
  EXPECT_STREQ(out, "C:\\PROGRA~1\\MYPROD~1\\App.exe") << "an 8.3 name keeps its spelling";
  EXPECT_FALSE(GetShortPath("C:\\Program Files\\Missing.dll", out, sizeof out));

  File file = OpenForReading("C:\\PROGRA~1\\MYPROD~1\\LONGLI~1.DLL");
  EXPECT_NE(file, nullptr) << "a short alias names the file";
  CloseFile(file);

  machine.files.SetShortName("C:\\Program Files\\My Products", "MYPROD~7");
  ASSERT_TRUE(GetShortPath("C:\\Program Files\\My Product", out, sizeof out));
  EXPECT_STREQ(out, "C:\\PROGRA~1\\MYPROD~1");
  ASSERT_TRUE(GetShortPath("C:\\Program Files\\My Products", out, sizeof out));
  EXPECT_STREQ(out, "C:\\PROGRA~1\\MYPROD~7");
}

}  // namespace
