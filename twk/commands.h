// The subcommands of twk. Each takes the arguments after its own name and returns the
// process exit code (see exit_codes.h).
#pragma once

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

int RunBuildCommand(const Arguments& args);
int RunListCommand(const Arguments& args);
int RunVerifyCommand(const Arguments& args);
int RunExtractCommand(const Arguments& args);
int RunDiffCommand(const Arguments& args);
int RunLogCommand(const Arguments& args);
int RunSimulateCommand(const Arguments& args);
