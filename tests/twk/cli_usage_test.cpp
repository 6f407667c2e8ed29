// The twk binary's own front door: --version, --help for the tool and every command, and
// the synopsis a command repeats when its arguments are wrong.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace {

struct TwkRun {
  int status = -1;
  std::string out;  // standard output; standard error goes to err
  std::string err;
};

// Runs build/bin/twk with ARGS (already shell-quoted), collecting both streams.
TwkRun RunTwk(const std::string& args) {
  // Tests run in parallel processes: each has a file of its own.
  const std::string errFile = testing::TempDir() + "twk-cli-stderr-" + std::to_string(getpid());
  const std::string command = std::string(TWK_BIN_DIR) + "/twk " + args + " 2>" + errFile;
  TwkRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (FILE* err = fopen(errFile.c_str(), "r")) {
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, err)) > 0;) run.err.append(buffer, n);
    fclose(err);
    remove(errFile.c_str());
  }
  return run;
}

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
