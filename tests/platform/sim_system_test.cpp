// What the simulated Windows keeps: keys and values as the installer and uninstaller use
// them, next-boot work and the restart that does it, shell links, OLE per thread, and the
// machine's state between runs, the registry's text form among it.
#include <fstream>
#include <thread>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/sim/machine/sim_profile.h"
#include "platform/sim/machine/sim_shell_link.h"
#include "platform/system.h"
#include "platform_test_support.h"

namespace {

using namespace platform;
using platform_test::Bytes;

class SimRegistryTest : public platform_test::PlatformTest {};

TEST_F(SimRegistryTest, KeysAndValuesLiveAndDieAsOnWindows) {
  Key key = CreateKey(kRootLocalMachine, "Software\\Maker\\Product");
  ASSERT_NE(key, nullptr) << "missing keys above the last one are made";
  const char path[] = "C:\\Apps";
  const uint32_t count = 7;
  EXPECT_TRUE(SetValue(key, "Path", kRegText, path, sizeof path));
  EXPECT_TRUE(SetValue(key, "Count", kRegNumber, &count, 4));
  EXPECT_TRUE(SetValue(key, "", kRegText, "x", 2));
  CloseKey(key);

  key = OpenKey(kRootLocalMachine, "SOFTWARE\\maker\\PRODUCT", false);
  ASSERT_NE(key, nullptr);
  char text[16];
  uint32_t type = 0, size = sizeof text;
  ASSERT_TRUE(QueryValue(key, "path", &type, text, &size));
  EXPECT_EQ(type, kRegText);
  EXPECT_EQ(size, sizeof path);
  EXPECT_STREQ(text, path);
  size = 3;
  EXPECT_FALSE(QueryValue(key, "Path", &type, text, &size)) << "no room";
  EXPECT_EQ(size, sizeof path) << "the size needed is told";
  uint32_t subkeys = 9, values = 9;
  ASSERT_TRUE(QueryKeyCounts(key, &subkeys, &values));
  EXPECT_EQ(subkeys, 0u);
  EXPECT_EQ(values, 3u);
  EXPECT_FALSE(SetValue(key, "Path", kRegText, "y", 2)) << "opened for reading only";
  CloseKey(key);

  EXPECT_FALSE(DeleteKey(kRootLocalMachine, "Software\\Maker")) << "it has a subkey";
  key = OpenKey(kRootLocalMachine, "Software\\Maker\\Product", true);
  EXPECT_TRUE(DeleteKey(kRootLocalMachine, "software\\maker\\product"));
  EXPECT_FALSE(QueryValue(key, "Path", &type, text, &size)) << "the key is gone";
  CloseKey(key);
  EXPECT_TRUE(DeleteKey(kRootLocalMachine, "Software\\Maker"));
  EXPECT_EQ(OpenKey(kRootLocalMachine, "Software\\Maker", false), nullptr);

  machine.registry.DenyWrites("HKLM\\Software\\Locked");
  EXPECT_EQ(CreateKey(kRootLocalMachine, "Software\\Locked\\Below"), nullptr);
  EXPECT_NE(CreateKey(kRootCurrentUser, "Software\\Locked"), nullptr);

  CloseKey(reinterpret_cast<Key>(0x1));
  ASSERT_EQ(machine.errors.size(), 1u) << "closing a key that is not open is a fault";
  machine.errors.clear();
}

TEST_F(SimRegistryTest, TheTextFormIsStableAndReadsBack) {
  machine.registry.Load("");  // start from nothing
  Key key = CreateKey(kRootLocalMachine, "Software\\Maker\\Product");
  const uint8_t binary[] = {0x0a, 0x00, 0xff, 0x00};
  const uint32_t number = 0x12AB;
  SetValue(key, "Data", kRegBinary, binary, sizeof binary);
  SetValue(key, "count", kRegNumber, &number, 4);
  const char defaultText[] = "C:\\Path \"quoted\"\n\xA9";
  SetValue(key, "", kRegText, defaultText, sizeof defaultText);
  SetValue(key, "NoZero", kRegText, "ab", 2);
  SetValue(key, "Empty", kRegBinary, nullptr, 0);
  CloseKey(key);
  CloseKey(CreateKey(kRootCurrentUser, "Software\\Empty Key %"));

  const std::string dump = machine.registry.Dump();
  EXPECT_EQ(dump,
            "[HKEY_CURRENT_USER\\Software]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Empty Key %25]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Maker]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Maker\\Product]\n"
            "@=sz:\"C:\\\\Path \\\"quoted\\\"\\x0A\\xA9\"\n"
            "\"count\"=dword:000012ab\n"
            "\"Data\"=hex:0a,00,ff,00\n"
            "\"Empty\"=hex:\n"
            "\"NoZero\"=hex(1):61,62\n\n");

  sim::SimRegistry loaded;
  loaded.Load("; a comment\r\n" + dump);
  EXPECT_EQ(loaded.Dump(), dump);
  const sim::SimRegistryValue* value = loaded.Value("HKLM\\software\\maker\\product", "DATA");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->data, std::vector<uint8_t>(binary, binary + 4));
  EXPECT_EQ(loaded.Value("HKLM\\Software\\Maker\\Product", "NoZero")->type, kRegText);
  EXPECT_TRUE(loaded.HasKey("HKCU\\Software\\Empty Key %"));

  EXPECT_THROW(loaded.Load("\"v\"=sz:\"x\"\n"), std::runtime_error) << "a value before a key";
  EXPECT_THROW(loaded.Load("[HKLM\\K]\n\"v\"=hex:0g\n"), std::runtime_error);
  EXPECT_THROW(loaded.Load("[HKEY_NOWHERE\\K]\n"), std::runtime_error);
}

class SimSystemTest : public platform_test::PlatformTest {
 protected:
  std::vector<std::pair<std::string, std::string>> Rename() {
    return sim::ReadProfileSection(machine.files.HostPath("C:\\WINDOWS\\WININIT.INI"), "rename");
  }
};

TEST_F(SimSystemTest, TheProfileWriterKeepsOneValuePerKey) {
  ASSERT_TRUE(WriteProfileText("WININIT.INI", "rename", "NUL", "C:\\OLD1.EXE"));
  ASSERT_TRUE(WriteProfileText("WININIT.INI", "rename", "C:\\APP\\A.DLL", "C:\\APP\\A~1.NEW"));
  ASSERT_TRUE(WriteProfileText("WININIT.INI", "Other", "NUL", "C:\\KEEP.EXE"));
  ASSERT_TRUE(WriteProfileText("WININIT.INI", "RENAME", "nul", "C:\\OLD2.EXE"));
  using Entries = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(Rename(), (Entries{{"nul", "C:\\OLD2.EXE"}, {"C:\\APP\\A.DLL", "C:\\APP\\A~1.NEW"}}))
      << "the second deletion replaced the first";
  EXPECT_EQ(Text("C:\\WINDOWS\\WININIT.INI"),
            "[rename]\r\nnul=C:\\OLD2.EXE\r\nC:\\APP\\A.DLL=C:\\APP\\A~1.NEW\r\n"
            "[Other]\r\nNUL=C:\\KEEP.EXE\r\n");
  EXPECT_FALSE(WriteProfileText("C:\\Missing\\X.INI", "s", "k", "v"));
}

TEST_F(SimSystemTest, RestartCarriesOutBothKindsOfNextBootWork) {
  machine.files.PutFile("C:\\App\\Core.dll", Bytes("old core"));
  machine.files.PutFile("C:\\App\\Core.dll.NewTemp", Bytes("new core"));
  machine.files.PutFile("C:\\App\\UNINST.EXE", Bytes("uninstaller"));
  machine.files.MarkInUse("C:\\App\\Core.dll");
  ASSERT_TRUE(MoveFileAtBoot("C:\\App\\Core.dll.NewTemp", "C:\\App\\Core.dll"));
  ASSERT_TRUE(MoveFileAtBoot("C:\\App\\UNINST.EXE", nullptr));
  ASSERT_TRUE(MoveFileAtBoot("C:\\App\\Gone.dll", nullptr));

  // The 9x family has no MoveFileEx; its work goes through WININIT.INI, by short names.
  machine.SetFamily(sim::Family::k9x);
  EXPECT_FALSE(MoveFileAtBoot("C:\\App\\x", nullptr));
  machine.files.PutFile("C:\\OLD\\LIB.DLL", Bytes("old lib"));
  machine.files.PutFile("C:\\OLD\\LIB.DLL.NewTemp", Bytes("new lib"));
  machine.files.PutFile("C:\\OLD\\SETUP.EXE", Bytes("old setup"));
  char waiting[256];
  ASSERT_TRUE(GetShortPath("C:\\OLD\\LIB.DLL.NewTemp", waiting, sizeof waiting));
  WriteProfileText("WININIT.INI", "rename", "C:\\OLD\\LIB.DLL", waiting);
  WriteProfileText("WININIT.INI", "rename", "NUL", "C:\\OLD\\SETUP.EXE");

  const std::vector<std::string> problems = machine.Restart();
  EXPECT_EQ(problems, std::vector<std::string>{"cannot delete C:\\App\\Gone.dll"});
  EXPECT_EQ(Text("C:\\App\\Core.dll"), "new core");
  EXPECT_FALSE(machine.files.Exists("C:\\App\\Core.dll.NewTemp"));
  EXPECT_FALSE(machine.files.Exists("C:\\App\\UNINST.EXE"));
  EXPECT_FALSE(machine.files.IsInUse("C:\\App\\Core.dll"));
  EXPECT_EQ(Text("C:\\OLD\\LIB.DLL"), "new lib");
  EXPECT_FALSE(machine.files.Exists("C:\\OLD\\LIB.DLL.NewTemp"));
  EXPECT_FALSE(machine.files.Exists("C:\\OLD\\SETUP.EXE"));
  EXPECT_FALSE(machine.files.Exists("C:\\WINDOWS\\WININIT.INI"));
  EXPECT_TRUE(machine.files.Exists("C:\\WINDOWS\\WININIT.BAK"));
  EXPECT_TRUE(machine.system.bootMoves.empty());
  EXPECT_TRUE(machine.Restart().empty()) << "nothing is done twice";
}

// A package can make a folder of that name; the start of Windows passes over it.
TEST_F(SimSystemTest, RestartPassesOverAWininitThatIsAFolder) {
  machine.files.PutFolder("C:\\WINDOWS\\WININIT.INI\\sub");
  EXPECT_TRUE(machine.Restart().empty());
  EXPECT_TRUE(machine.files.IsFolder("C:\\WINDOWS\\WININIT.INI\\sub"));
}

TEST_F(SimSystemTest, ShellLinksNeedOleOnTheirThread) {
  EXPECT_FALSE(SaveShellLink("C:\\WINDOWS\\Desktop\\App.lnk", "C:\\App\\App.exe", "", ""));
  ASSERT_EQ(machine.errors.size(), 1u);
  machine.errors.clear();

  ASSERT_TRUE(InitializeOle());
  EXPECT_TRUE(SaveShellLink("C:\\WINDOWS\\Desktop\\App.lnk", "C:\\App\\App.exe", "/fast",
                            "C:\\App"));
  EXPECT_FALSE(SaveShellLink("C:\\WINDOWS\\Start Menu\\Programs\\New\\App.lnk", "x", "", ""))
      << "the link's folder is not made";
  std::thread([] {
    EXPECT_FALSE(SaveShellLink("C:\\WINDOWS\\Desktop\\B.lnk", "x", "", ""));
  }).join();
  UninitializeOle();
  EXPECT_EQ(machine.errors.size(), 1u) << "the other thread had no OLE of its own";
  machine.errors.clear();
  UninitializeOle();
  EXPECT_EQ(machine.errors.size(), 1u) << "one more uninitialisation than initialisations";
  machine.errors.clear();

  sim::SimShellLink link;
  ASSERT_TRUE(sim::ReadShellLink(machine.files, "c:\\windows\\desktop\\app.lnk", &link));
  EXPECT_EQ(link.target, "C:\\App\\App.exe");
  EXPECT_EQ(link.arguments, "/fast");
  EXPECT_EQ(link.workingFolder, "C:\\App");
}

TEST_F(SimSystemTest, FoldersFamilyAndStateCarryOverToTheNextRun) {
  char out[256];
  ASSERT_TRUE(GetSystemFolder(out, sizeof out));
  EXPECT_STREQ(out, "C:\\WINDOWS\\SYSTEM32");
  machine.SetFamily(sim::Family::k9x);
  ASSERT_TRUE(GetSystemFolder(out, sizeof out));
  EXPECT_STREQ(out, "C:\\WINDOWS\\SYSTEM");
  EXPECT_EQ(GetAttributes(out), kAttributeDirectory);
  ASSERT_TRUE(GetTempFolder(out, sizeof out));
  EXPECT_STREQ(out, "C:\\WINDOWS\\TEMP\\");
  machine.system.shellFolders[kShellStartup] = "";
  EXPECT_FALSE(GetShellFolder(kShellStartup, out, sizeof out));
  EXPECT_STREQ(out, "");
  Key key = OpenKey(kRootLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", false);
  uint32_t size = sizeof out;
  ASSERT_TRUE(QueryValue(key, "ProgramFilesDir", nullptr, out, &size));
  EXPECT_STREQ(out, "C:\\Program Files");
  CloseKey(key);

  machine.files.PutFile("C:\\Program Files\\App\\A Long Name.dll", Bytes("x"));
  machine.files.SetShortName("C:\\Program Files\\App\\A Long Name.dll", "ALN.DLL");
  machine.files.MarkInUse("C:\\Program Files\\App\\A Long Name.dll");
  machine.SetFamily(sim::Family::kNt);
  MoveFileAtBoot("C:\\a", "C:\\b");
  MoveFileAtBoot("C:\\c", nullptr);
  OpenWithShell(nullptr, "C:\\App\\readme.txt", "C:\\App");
  RequestRestart();
  machine.SaveState();

  sim::SimMachine next(root_);
  next.LoadState();
  EXPECT_EQ(next.registry.Dump(), machine.registry.Dump());
  EXPECT_TRUE(next.system.ntFamily);
  EXPECT_EQ(next.system.shellFolders.at(kShellStartup), "");
  ASSERT_EQ(next.system.bootMoves.size(), 2u);
  EXPECT_EQ(next.system.bootMoves[0].to.value_or("?"), "C:\\b");
  EXPECT_FALSE(next.system.bootMoves[1].to.has_value());
  ASSERT_EQ(next.system.shellOpens.size(), 1u);
  EXPECT_EQ(next.system.shellOpens[0].command, "C:\\App\\readme.txt");
  EXPECT_EQ(next.system.restartRequests, 1);
  EXPECT_TRUE(next.files.IsInUse("c:\\program files\\app\\a long name.dll"));
  EXPECT_EQ(next.files.ShortPath("C:\\Program Files\\App\\A Long Name.dll"),
            "C:\\PROGRA~1\\App\\ALN.DLL");

  // A damaged state file is named with the line, whatever is wrong in it.
  const struct {
    const char* file;
    const char* text;
    const char* says;
  } damaged[] = {
      {"registry.txt", "[HKEY_CURRENT_USER\\X]\n\"A\"=hex(zz):00\n", "registry.txt line 2: bad value type"},
      {"registry.txt", "[HKEY_CURRENT_USER\\X]\n@=hex(99999999999):00\n", "registry.txt line 2: bad value type"},
      {"machine.txt", "; the simulated machine\nrestarts=many\n", "machine.txt line 2: 'many' is no number"},
      {"machine.txt", "shell.99999999999=C:\\X\n", "machine.txt line 1: '99999999999' is no number"},
  };
  for (const auto& bad : damaged) {
    std::filesystem::remove(root_ / "registry.txt");
    std::ofstream(root_ / bad.file, std::ios::binary | std::ios::trunc) << bad.text;
    sim::SimMachine broken(root_);
    try {
      broken.LoadState();
      ADD_FAILURE() << "loaded: " << bad.text;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(bad.says), std::string::npos) << error.what();
    }
  }
}

}  // namespace
