// twk extract --reg: the registry list as the .reg file that regedit imports, line by line
// as the installer treats it, and the folders its path macros stand for.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "tests/twk/read_sample_package.h"
#include "twk/common/exit_codes.h"
#include "twk/common/macro_tokens.h"
#include "twk/extract_registry.h"
#include "twk/reader/registry_export.h"

namespace {

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The .reg file without its head (the REGEDIT4 line and the comment naming the folders),
// with LF for CR LF.
std::string Body(const std::vector<std::string>& lines, const MacroValues& folders) {
  std::string text = RegistryExport(lines, folders, "SETUP.EXE");
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) continue;  // the LF that follows stays
    EXPECT_NE(text[i], '\r') << "a CR without its LF at " << i;
    plain += text[i];
  }
  EXPECT_EQ(plain.rfind("REGEDIT4\n\n", 0), 0u);
  return plain.substr(plain.find("\n\n", plain.find("{Desktop}")) + 2);
}

std::string Value(const std::string& name, char type, const std::string& data) {
  return name + "=" + type + data;
}

TEST(RegistryExport, WritesWhatTheInstallerWritesAndNamesTheRest) {
  MacroValues folders;
  for (size_t i = 0; i < 9; ++i) folders[i] = "F" + std::to_string(i);
  folders[0] = "C:\\Apps\\My \"Tool\"";
  const std::string dword("D\x78\x56\x34\x12", 5);
  const std::vector<std::string> lines = {
      Value("Early", 'S', "x"),  // before any key: not written
      ":hkey_local_machine\\Software\\T",
      Value("@", 'S', "{OurProgramDir}\\app.exe,0"),
      Value("", 'S', "also the default value"),
      Value("Say \"hi\"\\now", 'S', "a\\b \"c\""),
      Value("Count", 'D', dword.substr(1)),
      Value("Short", 'D', "\x01\x02"),
      Value("Blob", 'B', std::string("\x03\x00\x0a\x00\x0b", 5)),
      Value("Old", 'N', ""),
      Value("Lines", 'S', "one\r\ntwo"),
      Value("Fits", 'S', "{WinDir}" + std::string(253, 'x')),  // 255 once expanded
      Value("Long", 'S', "{WinDir}" + std::string(254, 'x')),
      ":HKEY_USERS\\x",  // passed over: its values go to the key before it
      Value("After", 'S', "{Foo}\\{WinDir}"),
      "loose line",
      ":HKEY_CURRENT_USER\\Bad\nKey",
      Value("Hidden", 'S', "x"),
      ":HKCU\\S",  // no root the installer knows: the short names are twk build's only
      Value("Odd", 'X', "as text"),
      Value("Broken\nName", 'S', "x"),
      // The installer reads a key line, and a value's name, up to the first zero byte.
      std::string(":HKEY_CURRENT_USER\\Cut\0Off\nLine", 31),
      Value("Kept", 'S', "x"),
      std::string("No\0Name=Sx", 10),
  };
  EXPECT_EQ(Body(lines, folders),
            "; \"Early\" is not written: no key line before it\n"
            "\n[HKEY_LOCAL_MACHINE\\Software\\T]\n"
            "@=\"C:\\\\Apps\\\\My \\\"Tool\\\"\\\\app.exe,0\"\n"
            "@=\"also the default value\"\n"
            "\"Say \\\"hi\\\"\\\\now\"=\"a\\\\b \\\"c\\\"\"\n"
            "\"Count\"=dword:12345678\n"
            "; \"Short\": a D value needs 4 bytes, the line holds 2\n"
            "\"Blob\"=hex:0a,00,0b\n"
            "; \"Old\": not written; the uninstaller removes a value of that name\n"
            "\"Lines\"=hex(1):6f,6e,65,0d,0a,74,77,6f,00\n"
            "\"Fits\"=\"F1" + std::string(253, 'x') + "\"\n"
            "; \"Long\": not written: longer than 255 characters once expanded\n"
            "; passed over by the installer, whose key stays open: key line :HKEY_USERS\\x\n"
            "\n[HKEY_LOCAL_MACHINE\\Software\\T]\n"
            "\"After\"=\"{Foo}\\\\{WinDir}\"\n"
            "; logged by the installer, no value: loose line\n"
            "; not exported, with its values: the key name holds a control character: "
            "HKEY_CURRENT_USER\\Bad?Key\n"
            "; \"Hidden\": not exported with its key\n"
            "; passed over by the installer, whose key stays open: key line :HKCU\\S\n"
            "; \"Odd\": not exported with its key\n"
            "; \"Broken?Name\": not exported with its key\n"
            "\n[HKEY_CURRENT_USER\\Cut]\n"
            "\"Kept\"=\"x\"\n"
            "; logged by the installer, no value: No\n"
            "\n");
}

TEST(RegistryExport, TheFirstMacroIsExpandedAsTheInstallerDoes) {
  MacroValues v = {"P", "W", "S", "D", "O", "U", "M", "G", "K"};
  EXPECT_EQ(ExpandFirstMacro("{OurProgramDir}\\a", v), "P\\a");
  EXPECT_EQ(ExpandFirstMacro("{ourprogramdirectory}\\a", v), "P\\a");
  EXPECT_EQ(ExpandFirstMacro("{OurProgramDir\\a.exe", v), "P");  // no '}': the rest goes too
  EXPECT_EQ(ExpandFirstMacro("{WinDir\\a.exe", v), "{WinDir\\a.exe");
  EXPECT_EQ(ExpandFirstMacro("x{WinDrive}:\\{WinDir}", v), "xD:\\{WinDir}");
  EXPECT_EQ(ExpandFirstMacro("{Foo}\\{WinDir}", v), "{Foo}\\{WinDir}");
  EXPECT_EQ(ExpandFirstMacro("{Desktop}", v), "K");
}

TEST(RegistryExport, FoldersComeFromTheCommandLineOrAFreshMachine) {
  FolderChoices choices;
  std::string problem;
  MacroValues folders;
  ChooseFolders(choices, "My Tool", "My Menu", &folders);
  EXPECT_EQ(folders[0], "C:\\Program Files\\My Tool");
  EXPECT_EQ(folders[2], "C:\\WINDOWS\\SYSTEM32");
  EXPECT_EQ(folders[4], "C:\\WINDOWS\\Start Menu\\Programs\\My Menu");
  ChooseFolders(choices, "E:\\Tool", "", &folders);
  EXPECT_EQ(folders[0], "E:\\Tool");  // a folder with a drive is used as it is

  EXPECT_TRUE(ParseFolderChoice("{windir}=D:\\WIN", &choices, &problem));
  EXPECT_TRUE(ParseFolderChoice("StartPrograms=D:\\Menu", &choices, &problem));
  EXPECT_TRUE(ParseFolderChoice("OurShortcutDir=", &choices, &problem));
  ChooseFolders(choices, "My Tool", "My Menu", &folders);
  EXPECT_EQ(folders[1], "D:\\WIN");
  EXPECT_EQ(folders[2], "D:\\WIN\\SYSTEM32");
  EXPECT_EQ(folders[3], "D");
  EXPECT_EQ(folders[0], "D:\\Program Files\\My Tool");
  EXPECT_EQ(folders[4], "");
  for (const char* bad : {"OurProgramDir", "Windows=C:\\", "=x", "{WinDir=x"}) {
    EXPECT_FALSE(ParseFolderChoice(bad, &choices, &problem)) << bad;
  }
}

// The .reg file goes through a temporary file of its own: a link planted where an older
// twk put it is not followed. A damaged installer, in its lists or only in a file's data
// (the installer then writes no registry entry), gives no file and says what is damaged.
TEST(RegistryExport, ADamagedInstallerGivesNoFileAndNoLinkIsFollowed) {
  ScratchFolder scratch;
  TestPackage package = SamplePackage();
  package.directoryChecksum = true;
  TestLayout layout;
  const Bytes image = BuildInstallerImage(package, &layout);
  WriteVolumes(scratch / "SETUP.EXE", image);
  WriteBytes(scratch / "victim", {'k', 'e', 'e', 'p'});
  std::filesystem::create_symlink(scratch / "victim", scratch / "ok.reg.twk-partial");
  std::ostringstream out, err;
  EXPECT_EQ(ExportRegistryFile(scratch / "SETUP.EXE", scratch / "ok.reg", {}, out, err), kExitOk)
      << err.str();
  EXPECT_NE(ReadBytes(scratch / "ok.reg").size(), 0u);
  EXPECT_EQ(ReadBytes(scratch / "victim"), (Bytes{'k', 'e', 'e', 'p'}));

  // A letter of the registry list: covered by the directory checksum alone.
  const std::string needle = "AbcFile";
  Bytes listLetter = image;
  *std::search(listLetter.begin(), listLetter.end(), needle.begin(), needle.end()) ^= 0x20;
  Bytes blockByte = image;
  blockByte[layout.fileBlocks[1] + 30] ^= 0x04;  // App.exe's second block
  const struct {
    const Bytes* image;
    const char* says;
  } damaged[] = {
      {&listLetter, "directory checksum"},
      {&blockByte, "block 2 of file entry 1 ({OurProgramDir}\\App.exe) is damaged: stored "
                   "checksum"},
  };
  for (const auto& bad : damaged) {
    WriteVolumes(scratch / "BAD.EXE", *bad.image);
    err.str("");
    EXPECT_EQ(ExportRegistryFile(scratch / "BAD.EXE", scratch / "bad.reg", {}, out, err),
              kExitDamaged);
    EXPECT_NE(err.str().find(bad.says), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(scratch / "bad.reg"));
  }
  EXPECT_EQ(Listing(scratch.path()), (std::vector<std::string>{"BAD.EXE", "SETUP.EXE", "ok.reg",
                                                               "ok.reg.twk-partial", "victim"}));
}

}  // namespace
