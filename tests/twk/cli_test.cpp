// The twk binary run as a user runs it: its front door (--version, --help for the tool
// and every command, the synopsis a command repeats when its arguments are wrong), and
// twk build as a release pipeline runs it: every error at once, names passed in with -D,
// --strict, thread counts and volume sizes as people write them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "tests/twk/build_test_support.h"
#include "tests/twk/cli_support.h"

namespace {

using build_test::TempDir;
using cli_test::Quote;
using cli_test::RunTwk;
using cli_test::TwkRun;

const char* const kCommands[] = {"build", "list", "verify", "extract", "diff", "log", "simulate"};

struct Project {
  TempDir dir;
  std::string stub = build_test::WriteFakeStub(dir);

  Project() { build_test::WriteBytes(dir / "app.bin", build_test::Noise(400000, 7)); }

  TwkRun Build(const std::string& script, const std::string& options = "") {
    build_test::WriteText(dir / "t.twk", script);
    return RunTwk("build " + Quote(dir / "t.twk") + " --stub " + Quote(stub) + " " + options);
  }
};

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

// Mistakes of different kinds, found by different steps of the build (the parser, the
// checks, the sources, an included script): all of them in one run, by line.
TEST(TwkBuildCli, PrintsEveryErrorOfTheScriptOneLineEachAndBuildsNothing) {
  Project project;
  build_test::WriteText(project.dir / "more.twk", "app.bin\n");
  const TwkRun run = project.Build(
      "[Setup]\nProgramFolder = P\nTitle = ${VERSION}\n[Files]\napp.bin {OurProgamDir}\\\n"
      "missing.bin {OurProgramDir}\\\n!include more.twk\n[Shortcuts]\n{Desktop}\\A\n");
  EXPECT_EQ(run.status, 4);
  const std::string script = project.dir / "t.twk";
  EXPECT_EQ(run.err,
            "twk: " + script + ":3: ${VERSION} is not defined (!define VERSION VALUE in the "
            "script, or twk build -D VERSION=VALUE)\n"
            "twk: " + script + ":5: target '{OurProgamDir}\\': '{OurProgamDir}' is no path "
            "macro, so the installer leaves it as written; did you mean {OurProgramDir}?\n"
            "twk: " + script + ":6: source '" + project.dir.path() + "/missing.bin' does not exist\n"
            "twk: " + project.dir / "more.twk" + ":1: expected SOURCE TARGET [shared] "
            "[version=A.B.C.D] [register=yes|no] (quote values that hold blanks or '=')\n"
            "twk: " + script + ":9: expected LINK TARGET [arguments=TEXT] [startin=FOLDER] (quote "
            "values that hold blanks or '=')\n");
  EXPECT_TRUE(run.out.empty());
  EXPECT_FALSE(Exists(project.dir / "SETUP.EXE"));
  // The exit code is the first error's: a missing source is an input error.
  EXPECT_EQ(project.Build("[Files]\nmissing.bin {WinDir}\\\n").status, 3);
}

TEST(TwkBuildCli, DefinesFromTheCommandLineWinOverTheScripts) {
  Project project;
  const std::string script =
      "!define VERSION 0.0\n[Setup]\nTitle = \"App ${VERSION} ${EDITION}\"\n";
  TwkRun run = project.Build(script, "-D VERSION=2.5.1 -DEDITION='Pro x'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(RunTwk("list " + Quote(project.dir / "SETUP.EXE")).out.find("Title:             \"App 2.5.1 Pro x\""),
            std::string::npos);
  for (const char* bad : {"-D VERSION", "-D 2X=1", "-D", "-D=1"}) {
    run = project.Build(script, bad);
    EXPECT_EQ(run.status, 2) << bad;
    EXPECT_NE(run.err.find("usage: twk build"), std::string::npos) << run.err;
  }
}

void SetModificationTime(const std::string& path, time_t seconds) {
  const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// A release pipeline's SOURCE_DATE_EPOCH: two checkouts whose files were written at other
// times build the same bytes, a time before it stays as it is, and a value that is no
// number of seconds is refused, naming the variable.
TEST(TwkBuildCli, SourceDateEpochMakesCheckoutsOfOtherTimesBuildTheSameBytes) {
  const std::string script =
      "[Setup]\nProgramFolder = P\n[Files]\napp.bin {OurProgramDir}\\\nold.txt {OurProgramDir}\\\n";
  Project checkouts[2];
  for (int i = 0; i < 2; ++i) {
    build_test::WriteText(checkouts[i].dir / "old.txt", "kept");
    SetModificationTime(checkouts[i].dir / "old.txt", 946684800);        // 2000-01-01
    SetModificationTime(checkouts[i].dir / "app.bin", 1800000000 + i);  // after the epoch
  }
  ASSERT_EQ(setenv("SOURCE_DATE_EPOCH", "1700000000", 1), 0);  // 2023-11-14 22:13:20
  const TwkRun first = checkouts[0].Build(script);
  const TwkRun second = checkouts[1].Build(script);
  ASSERT_EQ(first.status, 0) << first.err;
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(build_test::ReadBytes(checkouts[0].dir / "SETUP.EXE"),
            build_test::ReadBytes(checkouts[1].dir / "SETUP.EXE"));
  const std::string listing = RunTwk("list " + Quote(checkouts[0].dir / "SETUP.EXE")).out;
  EXPECT_NE(listing.find("2023-11-14 22:13:20  no      no       {OurProgramDir}\\app.bin"),
            std::string::npos) << listing;
  EXPECT_NE(listing.find("2000-01-01 00:00:00  no      no       {OurProgramDir}\\old.txt"),
            std::string::npos) << listing;

  for (const char* bad : {"", "12x", "-1", " 1700000000", "1.5", "253402300800", "99999999999999999999"}) {
    ASSERT_EQ(setenv("SOURCE_DATE_EPOCH", bad, 1), 0);
    const TwkRun run = checkouts[0].Build(script);
    EXPECT_EQ(run.status, 2) << bad;
    EXPECT_EQ(run.err, std::string("twk: SOURCE_DATE_EPOCH must be a whole number of seconds since "
                                   "1970-01-01 00:00:00 UTC, up to the end of 9999, not '") +
                           bad + "'\n");
  }
  unsetenv("SOURCE_DATE_EPOCH");
}

TEST(TwkBuildCli, StrictMakesEveryWarningAnError) {
  Project project;
  const std::string script = "[Files]\napp.bin Program\\app.bin\n";
  TwkRun run = project.Build(script);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("twk: warning: " + project.dir / "t.twk:2: target 'Program\\app.bin' has no "
                         "path macro or drive"),
            std::string::npos)
      << run.err;
  std::remove((project.dir / "SETUP.EXE").c_str());
  run = project.Build(script, "--strict");
  EXPECT_EQ(run.status, 4);
  EXPECT_NE(run.err.find("twk: " + project.dir / "t.twk:2: target 'Program\\app.bin' has no path "
                         "macro or drive: it is relative to the installer's current folder (an "
                         "error with --strict)"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(Exists(project.dir / "SETUP.EXE"));
}

TEST(TwkBuildCli, VolumeSizesTakeUnitsAndTheNamesOfMedia) {
  Project project;
  const std::string script = "[Setup]\nProgramFolder = P\n[Files]\napp.bin {OurProgramDir}\\\n";
  // 100K: 102400 bytes; the 400000 noise bytes need five files.
  TwkRun run = project.Build(script, "--volume-size 100K");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("plus 3 volume files"), std::string::npos) << run.out;
  EXPECT_EQ(build_test::ReadBytes(project.dir / "SETUP.EXE").size(), 102400u);
  // A floppy's name is the room it offers a file, not 1.44 * 1048576 bytes.
  build_test::WriteBytes(project.dir / "app.bin", build_test::Noise(3000000, 7));
  run = project.Build(script, "--volume-size 1.44m");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(build_test::ReadBytes(project.dir / "SETUP.EXE").size(), 1457664u);
  EXPECT_EQ(build_test::ReadBytes(project.dir / "SETUP.001").size(), 1457664u);
  for (const char* bad : {"1.5M", "12X", "K", "0K", "-3"}) {
    run = project.Build(script, std::string("--volume-size ") + bad);
    EXPECT_EQ(run.status, 2) << bad;
    EXPECT_NE(run.err.find("--volume-size"), std::string::npos) << run.err;
  }
  // Too large is one message, whatever the number of digits.
  for (const char* large : {"4194304K", "999999999999", "9999999999999", "99999999999999999999G"}) {
    run = project.Build(script, std::string("--volume-size ") + large);
    EXPECT_EQ(run.status, 2) << large;
    EXPECT_NE(run.err.find("--volume-size is over 4 GiB"), std::string::npos) << run.err;
  }
}

TEST(TwkCli, VersionPrintsTheVersionAndSucceeds) {
  const TwkRun run = RunTwk("--version");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("twk ", 0), 0u) << run.out;
  EXPECT_NE(run.out.find_first_of("0123456789"), std::string::npos);
}

TEST(TwkCli, ToolHelpListsEveryFormOnStandardOutput) {
  for (const char* help : {"--help", "-h"}) {
    const TwkRun run = RunTwk(help);
    EXPECT_EQ(run.status, 0) << help;
    EXPECT_TRUE(run.err.empty()) << run.err;
    for (const char* command : kCommands) {
      EXPECT_NE(run.out.find(std::string("  twk ") + command + " "), std::string::npos) << command;
    }
    EXPECT_NE(run.out.find("twk simulate --restart --root DIR"), std::string::npos);
  }
  // Without a command the same text is a usage error, on standard error.
  const TwkRun bare = RunTwk("");
  EXPECT_EQ(bare.status, 2);
  EXPECT_TRUE(bare.out.empty());
  EXPECT_NE(bare.err.find("usage: twk COMMAND"), std::string::npos);
}

TEST(TwkCli, EveryCommandExplainsItselfWhateverElseIsOnTheLine) {
  for (const char* command : kCommands) {
    for (const char* args : {" --help", " -h", " some-file --help", " --bogus -h"}) {
      const TwkRun run = RunTwk(command + std::string(args));
      EXPECT_EQ(run.status, 0) << command << args;
      EXPECT_EQ(run.out.rfind(std::string("usage: twk ") + command + " ", 0), 0u)
          << command << args << ": " << run.out;
      EXPECT_TRUE(run.err.empty()) << command << args << ": " << run.err;
    }
  }
}

TEST(TwkCli, AWrongCommandLineRepeatsTheCommandsSynopsis) {
  for (const char* command : kCommands) {
    const TwkRun run = RunTwk(command + std::string(" --no-such-option"));
    EXPECT_EQ(run.status, 2) << command;
    EXPECT_NE(run.err.find(std::string("usage: twk ") + command + " "), std::string::npos)
        << command << ": " << run.err;
  }
}

TEST(TwkCli, BuildTakesAThreadCountFromOneUp) {
  for (const char* jobs : {"0", "000", "-1", "two", ""}) {
    const TwkRun run = RunTwk(std::string("build demo.twk --jobs '") + jobs + "'");
    EXPECT_EQ(run.status, 2) << jobs;
    EXPECT_NE(run.err.find("--jobs takes a number of threads"), std::string::npos) << run.err;
  }
  // A valid count goes on to the script, which is missing here; more than 32 are capped.
  for (const char* jobs : {"3", "1000", "99999999999999999999"}) {
    const TwkRun run = RunTwk(std::string("build /nonexistent/demo.twk --jobs ") + jobs);
    EXPECT_EQ(run.status, 3) << jobs << ": " << run.err;
  }
}

}  // namespace
