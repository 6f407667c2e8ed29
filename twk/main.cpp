// twk: builds installers from a script and inspects installers and uninstall logs.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "twk/command_usage.h"
#include "twk/commands.h"
#include "twk/common/exit_codes.h"
#include "twk/common/json_writer.h"

#ifndef TWK_VERSION
#error "the build defines TWK_VERSION"
#endif

namespace {

struct Command {
  const char* name;
  int (*run)(const Arguments&);
};

const Command kCommands[] = {
    {"build", RunBuildCommand},     {"list", RunListCommand}, {"verify", RunVerifyCommand},
    {"extract", RunExtractCommand}, {"diff", RunDiffCommand},   {"log", RunLogCommand},
    {"simulate", RunSimulateCommand}, {"messages", RunMessagesCommand},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(ToolUsage().c_str(), stderr);
    return kExitUsage;
  }
  const std::string first = argv[1];
  if (IsHelpOption(first)) {
    std::fputs(ToolUsage().c_str(), stdout);
    return kExitOk;
  }
  if (first == "--version") {
    std::printf("twk %s\n", TWK_VERSION);
    return kExitOk;
  }
  const Arguments args(argv + 2, argv + argc);
  for (const Command& command : kCommands) {
    if (first != command.name) continue;
    // Help wins over everything else on the line: `twk build x.twk --help` explains
    // rather than builds.
    if (std::any_of(args.begin(), args.end(), IsHelpOption)) {
      std::fputs(CommandUsage(command.name).c_str(), stdout);
      return kExitOk;
    }
    return command.run(args);
  }
  std::fprintf(stderr, "%s\n%s", MessageLine("unknown command '" + first + "'").c_str(),
               ToolUsage().c_str());
  return kExitUsage;
}
