// The twk binary's own front door: --version, --help for the tool and every command, and
// the synopsis a command repeats when its arguments are wrong.
#include <gtest/gtest.h>

#include <string>

#include "tests/twk/cli_support.h"

namespace {

using cli_test::RunTwk;
using cli_test::TwkRun;

const char* const kCommands[] = {"build", "list", "verify", "extract", "log", "simulate"};

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
  for (const char* jobs : {"0", "-1", "two", "1000", ""}) {
    const TwkRun run = RunTwk(std::string("build demo.twk --jobs '") + jobs + "'");
    EXPECT_EQ(run.status, 2) << jobs;
    EXPECT_NE(run.err.find("--jobs takes a number of threads"), std::string::npos) << run.err;
  }
  // A valid count goes on to the script, which is missing here.
  const TwkRun run = RunTwk("build /nonexistent/demo.twk --jobs 3");
  EXPECT_EQ(run.status, 3) << run.err;
}

}  // namespace
