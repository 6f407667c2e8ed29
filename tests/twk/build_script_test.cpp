// The build script: what a full script parses into, and every refusal naming file and line.
#include <gtest/gtest.h>

#include "tests/twk/build_test_support.h"
#include "twk/build/build_error.h"
#include "twk/build/build_sources.h"
#include "twk/build/script_checks.h"
#include "twk/build/script_parser.h"
#include "twk/build/script_paths.h"
#include "twk/common/exit_codes.h"

namespace {

using build_test::TempDir;

TEST(BuildScript, ParsesEveryKindOfLine) {
  const std::string text =
      "\xEF\xBB\xBF; a comment\r\n"
      "[Setup]\r\n"
      "Title = Demo Product 1.0\n"
      "BottomText = \"Example Ltd.\\nAll rights reserved\"\n"
      "license = \"licence.txt\"\n"
      "RunAfter = {OurProgramDir}\\demo.exe\n"
      "[Files]\n"
      "# another comment\n"
      "\"docs\\Read Me.txt\"  \"{OurProgramDir}\\Read \"\"Me\"\".txt\"\n"
      "lib.dll {WinSysDir}\\ shared version=1.2.3\n"
      "[Shortcuts]\n"
      "{OurShortcutDir}\\Demo {OurProgramDir}\\demo.exe arguments=\"/a=b c\" startin={OurProgramDir}\n"
      "[Registry]\n"
      "hkcu\\Software\\Demo\n"
      "@ = string \"x y\"\n"
      "Count = dword 0xFFFFFFFF\n"
      "Data = binary 0a,00 FF\n"
      "\"Old Name\" = remove\n";
  const SetupScript script = ParseScript(text, "demo.twk", "/src/");
  EXPECT_EQ(script.title.value, "Demo Product 1.0");
  EXPECT_EQ(script.bottomText.value, "Example Ltd.\nAll rights reserved");
  EXPECT_EQ(script.licenceFile.value, "licence.txt");
  EXPECT_EQ(script.licenceFile.line, 5);
  EXPECT_EQ(script.runAfter.value, "{OurProgramDir}\\demo.exe");

  ASSERT_EQ(script.files.size(), 2u);
  EXPECT_EQ(script.files[0].source, "docs\\Read Me.txt");
  EXPECT_EQ(script.files[0].target, "{OurProgramDir}\\Read \"Me\".txt");
  EXPECT_FALSE(script.files[0].shared);
  EXPECT_EQ(script.files[1].line, 10);
  EXPECT_TRUE(script.files[1].shared);
  EXPECT_TRUE(script.files[1].hasVersion);
  EXPECT_EQ(script.files[1].version[2], 3);
  EXPECT_EQ(script.files[1].version[3], 0);

  ASSERT_EQ(script.shortcuts.size(), 1u);
  EXPECT_EQ(script.shortcuts[0].arguments, "/a=b c");
  EXPECT_EQ(script.shortcuts[0].startIn, "{OurProgramDir}");

  ASSERT_EQ(script.registry.size(), 1u);
  const RegistryKeyItem& key = script.registry[0];
  EXPECT_EQ(key.root, "HKEY_CURRENT_USER");
  EXPECT_EQ(key.subkey, "Software\\Demo");
  ASSERT_EQ(key.values.size(), 4u);
  EXPECT_EQ(key.values[0].name, "@");
  EXPECT_EQ(key.values[0].text, "x y");
  EXPECT_EQ(key.values[1].number, 0xFFFFFFFFu);
  EXPECT_EQ(key.values[2].bytes, (std::vector<uint8_t>{0x0A, 0x00, 0xFF}));
  EXPECT_EQ(key.values[3].name, "Old Name");
  EXPECT_EQ(key.values[3].kind, RegistryKind::kRemove);
  EXPECT_TRUE(CheckScript(script).empty());
}

// Parses, checks and resolves `body` as t.twk in a folder holding a.txt, b.txt and lib.dll;
// returns the refusal, or "" when there is none.
std::string Refusal(const std::string& body) {
  TempDir dir;
  build_test::WriteText(dir / "a.txt", "a");
  build_test::WriteText(dir / "b.txt", "b");
  build_test::WriteText(dir / "lib.dll", "not a PE image");
  build_test::WriteText(dir / "t.twk", body);
  try {
    const SetupScript script = LoadScript(dir / "t.twk");
    CheckScript(script);
    ResolveSourceFiles(script);
  } catch (const CommandError& error) {
    EXPECT_EQ(error.exitCode(), kExitScriptError) << error.what();
    const std::string message = error.what();
    return message.substr(message.find("t.twk:"));
  }
  return std::string();
}

TEST(BuildScript, RefusalsNameFileAndLine) {
  const std::string x256(256, 'x');
  const std::string key = "[Registry]\nHKLM\\Software\\Demo\n";
  const struct {
    std::string body;
    std::string expected;  // the message begins with "t.twk:LINE: " and holds this
  } cases[] = {
      // Lists that the installer would end early or split wrongly.
      {"[Shortcuts]\n{OurShortcutDir}\\Demo\n", "t.twk:2: expected LINK TARGET"},
      {"[Shortcuts]\n\"{OurShortcutDir}\\a=b\" {OurProgramDir}\\a.exe\n", "t.twk:2: a link path may not hold '='"},
      {"[Shortcuts]\n\"{OurShortcutDir}\\a\tb\" {OurProgramDir}\\a.exe\n", "t.twk:2: a shortcut may not hold TAB"},
      {"[Shortcuts]\nx\\a y arguments=\"-a\t-b\"\n", "t.twk:2: a shortcut may not hold TAB"},
      {key + "\"\" = string x\n", "t.twk:3: a registry value needs a name"},
      {key + "\"a=b\" = string x\n", "t.twk:3: a registry value name may not hold '='"},
      {key + "\":a\" = string x\n", "t.twk:3: may not begin with ':'"},
      {"[Registry]\n@ = string x\n", "t.twk:2: a value line before any key line"},
      {"[Registry]\nHKEY_USERS\\x\n", "t.twk:2: registry root 'HKEY_USERS'"},
      {"[Registry]\nHKLM\n", "t.twk:2: the registry key has no subkey"},
      {"[Registry]\nHKLM\\a\\\\b\n", "t.twk:2: the registry key has an empty level"},
      // Texts that go into 255-byte records or 256-byte buffers.
      {"[Setup]\nTitle = " + x256 + "\n", "t.twk:2: Title is 256 bytes long; at most 255"},
      {"[Setup]\n\nBottomText = " + x256 + "\n", "t.twk:3: BottomText is 256"},
      {"[Setup]\nProgramFolder = " + x256 + "\n", "t.twk:2: ProgramFolder is 256"},
      {"[Setup]\nStartMenuFolder = " + x256 + "\n", "t.twk:2: StartMenuFolder is 256"},
      {"[Setup]\nRunAfter = " + x256 + "\n", "t.twk:2: RunAfter is 256"},
      {"[Setup]\nProductKey = " + std::string(184, 'k') + "\n", "t.twk:2: ProductKey is 184 bytes long; at most 183"},
      {"[Setup]\nProductKey = a\\b\n", "t.twk:2: ProductKey is one registry key name"},
      {"[Shortcuts]\nx\\" + std::string(250, 'l') + " y\n", "t.twk:2: the link path (\".lnk\" is added to it) is 252"},
      {"[Shortcuts]\nx\\l.lnk y arguments=" + x256 + "\n", "t.twk:2: the shortcut line is"},
      {key + "v = string " + x256 + "\n", "t.twk:3: the registry value line is"},
      {key + "v = binary " + std::string(2 * 251, 'a') + "\n", "t.twk:3: the registry value line is 256"},
      {"[Registry]\nHKLM\\" + x256 + "\n", "t.twk:2: the registry key line is"},
      {"[Files]\na.txt {OurProgramDir}\\" + std::string(241, 'f') + "\n", "t.twk:2: the target"},
      {"[Files]\na.txt {OurProgramDir}\\" + std::string(239, 'f') + " shared\n", "t.twk:2: the shared file's target"},
      // The Add/Remove Programs entry's details: values of the product's key.
      {"[Setup]\nHelpLink = http://example.com/help\n", "t.twk:2: HelpLink describes the Add/Remove Programs entry, which needs a ProductKey"},
      {"[Setup]\nProductKey = k\nPublisher = " + std::string(245, 'p') + "\n", "t.twk:3: Publisher (as the registry line \"Publisher=S...\") is 256 bytes long"},
      {"[Setup]\nProductKey = k\nDisplayIcon = {OurProgamDir}\\a.exe,0\n", "t.twk:3: DisplayIcon '{OurProgamDir}\\a.exe,0': '{OurProgamDir}' is no path macro"},
      // Files.
      {"[Files]\na.txt x\\a.txt shared\n", "t.twk:2: the shared file's target 'x\\a.txt' must be a plain full path"},
      {"[Files]\na.txt {WinSysDir}\\..\\a.txt shared\n", "t.twk:2: must be a plain full path"},
      {"[Files]\na.txt {OurProgramDir}\\x.txt\nb.txt {OURPROGRAMDIR}\\X.TXT\n", "t.twk:3: target '{OURPROGRAMDIR}\\X.TXT' is already installed by line 2"},
      {"[Files]\n*.txt {OurProgramDir}\\docs\n", "t.twk:2: a wildcard source needs a folder target"},
      // Brace groups that the installer would misread, and targets it would put in one place.
      {"[Files]\na.txt {OurProgramDir]\\x.txt\n", "t.twk:2: target '{OurProgramDir]\\x.txt': the brace group '{OurProgramDir]' is not closed by '}': the installer would take it"},
      {"[Files]\na.txt {WinDir\\x.txt\n", "t.twk:2: the brace group '{WinDir' is not closed by '}'; did you mean {WinDir}?"},
      {"[Files]\na.txt {Windir]x}\\x.txt\n", "t.twk:2: '{Windir]x}' is no path macro, so the installer leaves it as written; did you mean {WinDir}?"},
      {"[Files]\na.txt {StartMenus}\\x.txt\n", "t.twk:2: did you mean {StartMenu}?"},
      {"[Setup]\nRunAfter = {OurProgramDir\\a.exe\n", "t.twk:2: RunAfter '{OurProgramDir\\a.exe': the brace group"},
      {"[Shortcuts]\n{OurShortcutDir}\\a {OurProgamDir}\\a.exe\n", "t.twk:2: shortcut target '{OurProgamDir}\\a.exe': '{OurProgamDir}' is no path macro"},
      {"[Files]\na.txt {OurProgramDirXYZ}\\x.txt\nb.txt {OurProgramDir}\\x.txt\n", "t.twk:3: target '{OurProgramDir}\\x.txt' is already installed by line 2 as '{OurProgramDirXYZ}\\x.txt'"},
      {"[Files]\na.txt {OurProgramDir}\\d\\..\\x.txt\nb.txt {OurProgramDir}\\.\\\\x.txt\n", "t.twk:3: target '{OurProgramDir}\\.\\\\x.txt' is already installed by line 2"},
      {"[Files]\n*.none {OurProgramDir}\\\n", "t.twk:2: '*.none' matches no file"},
      {"[Files]\na.txt \"\"\n", "t.twk:2: the target is empty"},
      {"[Files]\na.txt x version=1.2.3.65536\n", "t.twk:2: version '1.2.3.65536'"},
      {"[Files]\na.txt x sharde\n", "t.twk:2: unknown file option 'sharde'"},
      // Syntax.
      {"Title = x\n", "t.twk:1: a line before the first [section]"},
      {"[Setup]\nTitle = \"x\n", "t.twk:2: a quoted text is not closed"},
      {"[Setup]\nTitle = a\nTitle = b\n", "t.twk:3: Title is set twice (first on line 2)"},
      {"[Setup]\nColour = red\n", "t.twk:2: unknown setup value 'Colour'"},
      {"[Stuff]\n", "t.twk:1: unknown section [Stuff]"},
      {key + "n = dword 4294967296\n", "t.twk:3: dword '4294967296'"},
      {key + "n = binary 0g\n", "t.twk:3: binary data '0g' is not hexadecimal"},
      {key + "n = text x\n", "t.twk:3: value type 'text'"},
      {"[Files]\na\"b c\n", "t.twk:2: a '\"' inside a word"},
  };
  for (const auto& c : cases) {
    const std::string refusal = Refusal(c.body);
    const size_t place = c.expected.find(": ") + 2;  // "t.twk:LINE: "
    EXPECT_EQ(refusal.substr(0, place), c.expected.substr(0, place)) << refusal;
    EXPECT_NE(refusal.find(c.expected.substr(place)), std::string::npos)
        << "got: " << refusal << "\nexpected: " << c.expected;
  }
}

TEST(BuildScript, LimitsAllowTheLargestFittingTexts) {
  // One byte under each limit must pass, or the refusals above could be off by one.
  EXPECT_EQ(Refusal("[Setup]\nTitle = " + std::string(255, 't') + "\nProductKey = " +
                    std::string(183, 'k') + "\n[Files]\na.txt {WinDrive}:\\Shared\\" +
                    std::string(235, 'f') + " shared\nb.txt {OurProgramDir}\\" +
                    std::string(239, 'g') + "\n[Shortcuts]\nx\\" + std::string(249, 'l') +
                    " y\n[Registry]\nHKLM\\a\nv = binary " + std::string(2 * 250, 'a') +
                    "\n[Setup]\nURLInfoAbout = " + std::string(241, 'u') + "\n"),
            "");
}

TEST(BuildScript, TargetsThatTheInstallerKeepsApartStayApart) {
  const std::vector<std::string> targets = {
      "{OurProgramDir}\\a.txt", "{WinDir}\\a.txt", "{OurProgramDir}\\sub\\a.txt",
      "{OurProgramDir}\\..\\a.txt", "{OurShortcutDir}\\a.txt", "x{WinDir}\\a.txt",
      "\\\\server\\a.txt", "\\server\\a.txt", "C:\\a.txt", "{Foo}\\a.txt"};
  for (size_t i = 0; i < targets.size(); ++i) {
    for (size_t j = i + 1; j < targets.size(); ++j) {
      EXPECT_NE(TargetIdentity(targets[i]), TargetIdentity(targets[j]))
          << targets[i] << " and " << targets[j];
    }
  }
}

TEST(BuildScript, WarnsAboutPathsTheInstallerWillNotExpand) {
  const SetupScript script = ParseScript(
      "[Files]\na.txt Program\\a.txt\nb.txt {ProgramDir}\\b.txt\nc.txt C:\\c.txt\n"
      "d.txt {ourprogramdirectory}\\d.txt\n",
      "w.twk", ".");
  const std::vector<std::string> warnings = CheckScript(script);
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[0].rfind("2: target 'Program\\a.txt' has no path macro", 0), 0u) << warnings[0];
  EXPECT_EQ(warnings[1].rfind("3: target '{ProgramDir}\\b.txt': its first {...}", 0), 0u) << warnings[1];
}

}  // namespace
