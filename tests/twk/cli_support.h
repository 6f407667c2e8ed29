// Running the twk binary as a user would, for the tests of its command line.
#pragma once

#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace cli_test {

struct TwkRun {
  int status = -1;
  std::string out;  // standard output; standard error goes to err
  std::string err;
};

// Runs build/bin/twk with ARGS (already shell-quoted), collecting both streams.
inline TwkRun RunTwk(const std::string& args) {
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

// `text` in single quotes for the shell.
inline std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace cli_test
