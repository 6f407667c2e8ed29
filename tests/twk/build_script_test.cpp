// The build script: what a full script parses into, and every refusal naming file and line.
#include <gtest/gtest.h>

#include "tests/twk/build_test_support.h"
#include "twk/build/build_sources.h"
#include "twk/common/build_error.h"
#include "twk/common/exit_codes.h"
#include "twk/script/script_checks.h"
#include "twk/script/script_diagnostics.h"
#include "twk/script/script_parser.h"
#include "twk/script/script_paths.h"

namespace {

using build_test::TempDir;

// Parses `text` as `name` with nothing defined; every error and warning lands in *d.
SetupScript Parse(const std::string& text, ScriptDiagnostics* d, const std::string& name = "t.twk") {
  ScriptDefines defines;
  return ParseScript(text, name, ".", &defines, d);
}

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
      "lib.dll {WinSysDir}\\ shared version=1.2.3 register=no\n"
      "[Shortcuts]\n"
      "{OurShortcutDir}\\Demo {OurProgramDir}\\demo.exe arguments=\"/a=b c\" startin={OurProgramDir}\n"
      "[Registry]\n"
      "hkcu\\Software\\Demo\n"
      "@ = string \"x y\"\n"
      "Count = dword 0xFFFFFFFF\n"
      "Data = binary 0a,00 FF\n"
      "\"Old Name\" = remove\n";
  ScriptDiagnostics diagnostics;
  ScriptDefines defines;
  const SetupScript script = ParseScript(text, "demo.twk", "/src/", &defines, &diagnostics);
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
  EXPECT_EQ(script.files[0].registerOption, RegisterOption::kAsTheFileSays);
  EXPECT_EQ(script.files[1].registerOption, RegisterOption::kOff);

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
  // The script sets no folders: its {OurProgramDir} and {OurShortcutDir} are refused,
  // and nothing else.
  CheckScript(script, &diagnostics);
  EXPECT_THROW(diagnostics.ThrowIfErrors(), ScriptErrors);
  EXPECT_TRUE(diagnostics.Warnings().empty());
}

// Reads, checks and resolves the script in `dir`/t.twk as twk build does; every message,
// in the order twk build prints them, from "t.twk:" on.
std::vector<std::string> Messages(const TempDir& dir, ScriptDefines* defines, int* code,
                                  bool strict = false) {
  ScriptDiagnostics diagnostics(strict);
  const SetupScript script = LoadScript(dir / "t.twk", defines, &diagnostics);
  CheckScript(script, &diagnostics);
  ResolveSourceFiles(script, &diagnostics);
  std::vector<std::string> messages = diagnostics.Warnings();
  *code = kExitOk;
  try {
    diagnostics.ThrowIfErrors();
  } catch (const ScriptErrors& errors) {
    *code = errors.exitCode();
    messages = errors.messages();
  }
  for (std::string& message : messages) {
    const size_t at = message.find("t.twk:");
    if (at != std::string::npos) message = message.substr(at);
  }
  return messages;
}

// A folder holding a.txt, b.txt and lib.dll, and t.twk with `body`.
void WriteScript(const TempDir& dir, const std::string& body) {
  build_test::WriteText(dir / "a.txt", "a");
  build_test::WriteText(dir / "b.txt", "b");
  build_test::WriteText(dir / "lib.dll", "not a PE image");
  build_test::WriteText(dir / "t.twk", body);
}

// The first refusal of `body`, or "" when there is none. The folders that
// {OurProgramDir} and {OurShortcutDir} need are set after the body unless it sets them.
std::string Refusal(const std::string& body) {
  TempDir dir;
  std::string script = body + "\n[Setup]\n";
  if (body.find("ProgramFolder") == std::string::npos) script += "ProgramFolder = P\n";
  if (body.find("StartMenuFolder") == std::string::npos) script += "StartMenuFolder = S\n";
  WriteScript(dir, script);
  ScriptDefines defines;
  int code = 0;
  const std::vector<std::string> messages = Messages(dir, &defines, &code);
  if (code == kExitOk) return std::string();
  EXPECT_EQ(code, kExitScriptError) << messages[0];
  return messages[0];
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
      // The installer's texts: a translation that would crash a format or not fit its place.
      {"[Setup]\nLanguage = xx\n", "t.twk:2: unknown language 'xx' (known: de"},
      {"[Messages]\nWELCOME_TITEL = \"x\"\n", "t.twk:2: unknown text 'WELCOME_TITEL' (did you mean WELCOME_TITLE?)"},
      {"[Messages]\nWELCOME_TEXT = \"Hallo %d\"\n", "t.twk:2: WELCOME_TEXT: the text's placeholders (%d) differ from the English text's (%s)"},
      {"[Messages]\nDISK_SPACE_LINE = \"%lu\"\n", "t.twk:2: DISK_SPACE_LINE: the text's placeholders (%lu) differ from the English text's (%lu %lu)"},
      {"[Messages]\nCOMPLETE_TEXT = \"100%\"\n", "t.twk:2: COMPLETE_TEXT: the text's placeholders (%) differ from the English text's (none)"},
      {"[Messages]\nCOMPLETE_TEXT = \"100%!\\nOK, 50%1234567890123456 X\"\n", "t.twk:2: COMPLETE_TEXT: the text's placeholders (%!\\nO %12345678901...) differ"},
      {"[Messages]\nWIZARD_NEXT = \"&Weiter zur Seite\"\n", "t.twk:2: WIZARD_NEXT: the text has 16 characters; its place (wizard: Next button) shows at most 14"},
      {"[Messages]\nWIZARD_NEXT = \"a\"\nWIZARD_NEXT = \"b\"\n", "t.twk:3: WIZARD_NEXT is set twice (first on line 2)"},
      {"[Messages]\nWIZARD_NEXT = Weiter\n", "t.twk:2: expected NAME = \"text\": the text goes in quotes"},
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
  // {ourprogramdirectory} is no warning: the installer ignores letter case and compares
  // only up to the D of Dir.
  const std::string text =
      "[Setup]\nProgramFolder = P\n[Files]\na.txt Program\\a.txt\nb.txt {ProgramDir}\\b.txt\n"
      "c.txt C:\\c.txt\nd.txt {ourprogramdirectory}\\d.txt\n";
  ScriptDiagnostics diagnostics;
  CheckScript(Parse(text, &diagnostics, "w.twk"), &diagnostics);
  EXPECT_FALSE(diagnostics.HasErrors());
  const std::vector<std::string> warnings = diagnostics.Warnings();
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[0].rfind("w.twk:4: target 'Program\\a.txt' has no path macro", 0), 0u) << warnings[0];
  EXPECT_EQ(warnings[1].rfind("w.twk:5: target '{ProgramDir}\\b.txt': its first {...}", 0), 0u) << warnings[1];

  // --strict: the same two are errors, in line order, with the exit code of a script error.
  ScriptDiagnostics strict(true);
  CheckScript(Parse(text, &strict, "w.twk"), &strict);
  EXPECT_TRUE(strict.Warnings().empty());
  try {
    strict.ThrowIfErrors();
    ADD_FAILURE() << "--strict let the warnings pass";
  } catch (const ScriptErrors& errors) {
    EXPECT_EQ(errors.exitCode(), kExitScriptError);
    ASSERT_EQ(errors.messages().size(), 2u);
    EXPECT_EQ(errors.messages()[1].rfind("w.twk:5: target '{ProgramDir}", 0), 0u);
    EXPECT_NE(errors.messages()[1].find("(an error with --strict)"), std::string::npos);
  }
}

TEST(BuildScript, AScriptWrongThroughoutShowsItsFirstErrorsAndHowManyMore) {
  TempDir dir;
  std::string body = "[Registry]\nHKLM\\Software\\T\n";
  for (int i = 0; i < 120; ++i) body += "v" + std::to_string(i) + " = dword x\n";
  WriteScript(dir, body);
  ScriptDefines defines;
  int code = 0;
  const std::vector<std::string> messages = Messages(dir, &defines, &code);
  ASSERT_EQ(messages.size(), ScriptDiagnostics::kMaxErrors + 1);
  EXPECT_EQ(messages[0].rfind("t.twk:3: dword 'x'", 0), 0u);
  EXPECT_EQ(messages[49].rfind("t.twk:52: dword 'x'", 0), 0u);
  EXPECT_EQ(messages[50], "70 more errors are not shown; 120 in all");
  EXPECT_EQ(code, kExitScriptError);
}

TEST(BuildScript, TheInstallersOwnFoldersNeedTheirSetupValues) {
  const struct {
    std::string body;
    std::string expected;
  } cases[] = {
      {"[Files]\na.txt {OurProgramDir}\\\n", "t.twk:2: target '{OurProgramDir}\\' uses {OurProgramDir}, but the script sets no ProgramFolder"},
      {"[Setup]\nRunAfter = {ourprogramdir}\\a.exe\n", "t.twk:2: RunAfter '{ourprogramdir}\\a.exe' uses {OurProgramDir}"},
      {"[Setup]\nProductKey = K\n", "t.twk:2: ProductKey needs a ProgramFolder"},
      {"[Shortcuts]\n{OurShortcutDir}\\a {WinDir}\\a.exe\n", "t.twk:2: link '{OurShortcutDir}\\a' uses {OurShortcutDir}, but the script sets no StartMenuFolder"},
      {"[Shortcuts]\n{Desktop}\\a {WinDir}\\a.exe arguments={OurProgramDir}\\x\n", "t.twk:2: the arguments '{OurProgramDir}\\x' uses {OurProgramDir}"},
      {"[Registry]\nHKLM\\S\nv = string {OurShortcutDir}\n", "t.twk:3: the text '{OurShortcutDir}' uses {OurShortcutDir}"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteScript(dir, c.body);
    ScriptDefines defines;
    int code = 0;
    const std::vector<std::string> messages = Messages(dir, &defines, &code);
    ASSERT_FALSE(messages.empty()) << c.body;
    EXPECT_EQ(code, kExitScriptError);
    EXPECT_EQ(messages[0].rfind(c.expected, 0), 0u) << messages[0];
  }
  // Registry texts keep their own braces (class ids); the folders set, all is well.
  EXPECT_EQ(Refusal("[Registry]\nHKCR\\CLSID\\x\n@ = string {00021401-0000-0000-C000-000000000046}\n"), "");
  EXPECT_EQ(Refusal("[Setup]\nProductKey = K\n[Files]\na.txt {OurProgramDir}\\\n"
                    "[Shortcuts]\n{OurShortcutDir}\\a {OurProgramDir}\\a.txt\n"), "");
}

TEST(BuildScript, DefinedNamesStandInEveryValue) {
  TempDir dir;
  WriteScript(dir,
              "!define VERSION ${DEV_BUILD}-dev \"unclosed\n"  // passed over whole
              "!define PRODUCT \"My ${VERSION} = \"\"x\"\"\"\n"
              "[Setup]\nTitle = ${PRODUCT}\nProgramFolder = ${FOLDER}\n"
              "[Files]\n${SOURCE} \"{OurProgramDir}\\${SOURCE} copy\" version=${VERSION}\n"
              "[Registry]\nHKLM\\Software\\${FOLDER}\n\"${SOURCE} name\" = string $${VERSION}\n");
  ScriptDefines defines;
  defines.SetFromCommandLine("VERSION", "1.2.3");  // the script's !define is passed over
  defines.SetFromCommandLine("FOLDER", "Acme Tools");
  defines.SetFromCommandLine("SOURCE", "a.txt");
  ScriptDiagnostics diagnostics;
  const SetupScript script = LoadScript(dir / "t.twk", &defines, &diagnostics);
  EXPECT_FALSE(diagnostics.HasErrors());
  EXPECT_EQ(script.title.value, "My 1.2.3 = \"x\"");
  EXPECT_EQ(script.programFolder.value, "Acme Tools");
  ASSERT_EQ(script.files.size(), 1u);
  EXPECT_EQ(script.files[0].source, "a.txt");
  EXPECT_EQ(script.files[0].target, "{OurProgramDir}\\a.txt copy");  // one value, blanks and all
  EXPECT_EQ(script.files[0].version[2], 3);
  ASSERT_EQ(script.registry.size(), 1u);
  EXPECT_EQ(script.registry[0].subkey, "Software\\Acme Tools");
  EXPECT_EQ(script.registry[0].values[0].name, "a.txt name");
  EXPECT_EQ(script.registry[0].values[0].text, "${VERSION}");

  EXPECT_EQ(Refusal("[Setup]\nTitle = ${NAME}\n"), "t.twk:2: ${NAME} is not defined (!define NAME VALUE in the script, or twk build -D NAME=VALUE)");
  EXPECT_EQ(Refusal("[Setup]\nTitle = ${NAME\n").rfind("t.twk:2: '${' is not followed by a name", 0), 0u);
  EXPECT_EQ(Refusal("!define A 1\n!define A 2\n"), "t.twk:2: A is defined twice (first on line 1)");
  EXPECT_EQ(Refusal("!define 1A 2\n").rfind("t.twk:1: '1A' is no name", 0), 0u);
  // A line that merely begins with '!' is what it always was: here a file named so.
  TempDir bang;
  WriteScript(bang, "[Setup]\nProgramFolder = P\n[Files]\n!a.txt {OurProgramDir}\\\n");
  build_test::WriteText(bang / "!a.txt", "!");
  int code = 0;
  EXPECT_TRUE(Messages(bang, &defines, &code).empty());
}

// Each name twice the one before: the script is short, the text it asks for is not. The
// build stops at the name that takes the replacements past 64 MiB, and goes no further.
TEST(BuildScript, NamesThatDoubleEachOtherStopAtTheBoundOfTheScript) {
  std::string text = "[Setup]\n!define A0 " + std::string(64, 'x') + "\n";
  for (int i = 1; i <= 21; ++i) {
    text += "!define A" + std::to_string(i) + " ${A" + std::to_string(i - 1) + "}${A" +
            std::to_string(i - 1) + "}\n";
  }
  text += "Title = ${A21}\n";
  ScriptDiagnostics diagnostics;
  Parse(text, &diagnostics);
  try {
    diagnostics.ThrowIfErrors();
    ADD_FAILURE() << "no error";
  } catch (const ScriptErrors& errors) {
    EXPECT_EQ(errors.exitCode(), kExitScriptError);
    ASSERT_FALSE(errors.messages().empty());
    EXPECT_EQ(errors.messages()[0],
              "t.twk:22: ${A19} takes what names put into the script past 64 MiB");
  }
}

TEST(BuildScript, IncludedScriptsReadAsIfTheyStoodWhereTheyAreIncluded) {
  TempDir dir;
  WriteScript(dir,
              "[Setup]\nProgramFolder = P\n[Files]\n"
              "!include \"parts\\files.twk\"\n"
              "b.txt {OurProgramDir}\\\n"
              "[Registry]\nHKLM\\S\n"
              "!include parts/values.twk\n"
              "[Setup]\nTitle = ${FROM_INCLUDE}\n");
  // Paths of an include start from the script that includes it; sources from the main one.
  build_test::WriteText(dir / "parts/files.twk",
                        "!define FROM_INCLUDE yes\na.txt {OurProgramDir}\\\n!include \"more.twk\"\n");
  build_test::WriteText(dir / "parts/more.twk", "lib.dll {OurProgramDir}\\\n");
  build_test::WriteText(dir / "parts/values.twk", "v = dword 1\n[Shortcuts]\n");
  ScriptDefines defines;
  ScriptDiagnostics diagnostics;
  const SetupScript script = LoadScript(dir / "t.twk", &defines, &diagnostics);
  ASSERT_FALSE(diagnostics.HasErrors());
  ASSERT_EQ(script.files.size(), 3u);
  EXPECT_EQ(script.files[0].source, "a.txt");
  EXPECT_EQ(script.Place(script.files[0].line), dir / "parts/files.twk:2");
  EXPECT_EQ(script.Place(script.files[1].line), dir / "parts/more.twk:1");
  EXPECT_EQ(script.Place(script.files[2].line), dir / "t.twk:5");  // back in [Files]
  ASSERT_EQ(script.registry.size(), 1u);
  EXPECT_EQ(script.registry[0].values.size(), 1u);
  EXPECT_EQ(script.title.value, "yes");
  EXPECT_EQ(script.Place(script.title.line), dir / "t.twk:10");
  EXPECT_EQ(ResolveSourceFiles(script, &diagnostics).size(), 3u);
  EXPECT_FALSE(diagnostics.HasErrors());
}

TEST(BuildScript, IncludeErrorsNameTheIncludedScriptAndLine) {
  TempDir dir;
  WriteScript(dir, "[Setup]\n!include a.twk\n!include none.twk\n");
  build_test::WriteText(dir / "a.twk", "Title = A\n!include \"b.twk\"\n");
  build_test::WriteText(dir / "b.twk", "\nTitle = B\n!include ./a.twk\n");
  ScriptDefines defines;
  int code = 0;
  const std::vector<std::string> messages = Messages(dir, &defines, &code);
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0], dir / "b.twk:2: Title is set twice (first at " + dir / "a.twk:1)");
  EXPECT_EQ(messages[1], dir / "b.twk:3: '" + dir.path() + "/./a.twk' is already being read: including it again would never end");
  EXPECT_EQ(messages[2], "t.twk:3: the included script '" + dir / "none.twk" + "' does not exist");
  EXPECT_EQ(code, kExitScriptError);
}

// Each script includes the next twice: no cycle, but 2^12 reads without a bound.
TEST(BuildScript, ScriptsThatIncludeEachOtherTwiceOverAreStopped) {
  TempDir dir;
  WriteScript(dir, "!include l1.twk\n");
  for (int level = 1; level < 12; ++level) {
    const std::string next = "l" + std::to_string(level + 1) + ".twk";
    build_test::WriteText(dir / ("l" + std::to_string(level) + ".twk"),
                          "!include " + next + "\n!include " + next + "\n");
  }
  build_test::WriteText(dir / "l12.twk", "; the end\n");
  ScriptDefines defines;
  int code = 0;
  const std::vector<std::string> messages = Messages(dir, &defines, &code);
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages[0].find("more than 1000 scripts are included in all"), std::string::npos)
      << messages[0];
}

}  // namespace
