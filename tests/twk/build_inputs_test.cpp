// The files a build reads: each must be a regular file that the package can hold, and one
// that cannot be used is named together with the script line that names it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/twk/build_test_support.h"
#include "twk/build/build_installer.h"
#include "twk/build/build_sources.h"
#include "twk/common/build_error.h"
#include "twk/common/exit_codes.h"

namespace {

using build_test::TempDir;

struct Refusal {
  int code = kExitOk;
  std::string message;
};

// A source folder holding a.txt, and beside it things that are no regular files: a folder,
// a FIFO without a writer (opening it plainly waits for one) and a link to /dev/zero
// (reading it never ends).
struct Inputs {
  TempDir dir;
  std::string stub = build_test::WriteFakeStub(dir);

  Inputs() {
    build_test::WriteText(dir / "src/a.txt", "a");
    std::filesystem::create_directories(dir / "src/folder");
    mkfifo((dir / "src/fifo").c_str(), 0600);
    std::filesystem::create_symlink("/dev/zero", dir / "src/zero");
  }

  Refusal Build(const std::string& script, const std::string& stubPath = "") {
    build_test::WriteText(dir / "src/t.twk", script);
    BuildRequest request;
    request.script = dir / "src/t.twk";
    request.output = dir / "out/SETUP.EXE";
    request.stub = stubPath.empty() ? stub : stubPath;
    Refusal refusal;
    try {
      BuildInstaller(request);
    } catch (const CommandError& error) {
      refusal = {error.exitCode(), error.what()};
    }
    return refusal;
  }
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The licence, each source and the stub: a missing file, a folder, a FIFO and a link to
// /dev/zero are each refused, naming the script line that names them.
TEST(BuildInputs, LicenceSourcesAndStubMustBeRegularFiles) {
  Inputs inputs;
  for (const std::string name : {"folder", "fifo", "zero", "missing"}) {
    const std::string problem =
        name == "missing" ? "' does not exist" : "' is not a regular file";
    Refusal refusal = inputs.Build("[Setup]\nTitle = T\nLicence = " + name + "\n");
    EXPECT_EQ(refusal.code, kExitInputError) << name;
    EXPECT_TRUE(Has(refusal.message, "t.twk:3: the licence file '")) << refusal.message;
    EXPECT_TRUE(Has(refusal.message, problem)) << refusal.message;
    refusal = inputs.Build("[Setup]\nTitle = T\n[Files]\na.txt {WinDir}\\\n" + name + " {WinDir}\\x\n");
    EXPECT_EQ(refusal.code, kExitInputError) << name;
    EXPECT_TRUE(Has(refusal.message, "t.twk:5: source '")) << refusal.message;
    EXPECT_TRUE(Has(refusal.message, problem)) << refusal.message;
    if (name == "missing") continue;
    refusal = inputs.Build("[Setup]\nTitle = T\n", inputs.dir / ("src/" + name));
    EXPECT_EQ(refusal.code, kExitInputError) << name;
    EXPECT_TRUE(Has(refusal.message, name + ": the stub is not a regular file")) << refusal.message;
  }
  build_test::WriteBytes(inputs.dir / "src/big.txt", std::vector<uint8_t>(65536, 'x'));
  const Refusal big = inputs.Build("[Setup]\nLicence = big.txt\n");
  EXPECT_EQ(big.code, kExitScriptError);
  EXPECT_TRUE(Has(big.message, "t.twk:2: the header block cannot hold the licence file")) << big.message;

  BuildRequest request;
  request.script = inputs.dir / "src/fifo";
  request.stub = inputs.stub;
  try {
    BuildInstaller(request);
    ADD_FAILURE() << "a FIFO was read as a script";
  } catch (const CommandError& error) {
    EXPECT_EQ(error.exitCode(), kExitInputError);
    EXPECT_TRUE(Has(error.what(), "fifo: the script is not a regular file")) << error.what();
  }
}

// A wildcard takes the same files on every system: letters match without regard to case,
// as on Windows, and only '*' and '?' are special.
TEST(BuildInputs, WildcardsMatchAsOnWindowsWhateverTheSystem) {
  const struct {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"*.txt", "README.TXT", true}, {"Read?e.*", "readme.md", true}, {"*", "a", true},
      {"a*b*c", "aXbYbZc", true},    {"*.txt", "a.txt.bak", false},   {"?", "ab", false},
      {"*", ".hidden", false},       {".*", ".hidden", true},         {"[ab].txt", "a.txt", false},
      {"[ab].txt", "[AB].TXT", true}, {"*.t?t", "x.text", false},     {"**x", "x", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
  }
}

}  // namespace
