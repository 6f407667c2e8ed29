// twk: builds installers from a script and inspects installers and uninstall logs.
#include <cstdio>
#include <cstring>
#include <string>

#include "twk/commands.h"
#include "twk/exit_codes.h"

namespace {

const char kUsage[] =
    "usage: twk COMMAND [ARGS]\n"
    "\n"
    "  build SCRIPT [-o OUT] [--volume-size BYTES] [--arch x86|x64] [--stub FILE]\n"
    "                        build an installer (and its volumes) from a script\n"
    "  list INSTALLER        show the header, files, shortcuts, registry lines, run-after\n"
    "  verify INSTALLER      check every block and the layout across all volumes\n"
    "  extract INSTALLER [-d DIR]\n"
    "                        write every file of the package under DIR\n"
    "  log UNINST.EXE        show a maintenance program's trailer and uninstall log\n"
    "  simulate INSTALLER --root DIR [--answers FILE] [--nt|--9x]\n"
    "                        run an installer on a simulated Windows kept in DIR\n";

struct Command {
  const char* name;
  int (*run)(const Arguments&);
};

const Command kCommands[] = {
    {"build", RunBuildCommand},     {"list", RunListCommand}, {"verify", RunVerifyCommand},
    {"extract", RunExtractCommand}, {"log", RunLogCommand},   {"simulate", RunSimulateCommand},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(kUsage, argc < 2 ? stderr : stdout);
    return argc < 2 ? kExitUsage : kExitOk;
  }
  for (const Command& command : kCommands) {
    if (std::strcmp(argv[1], command.name) == 0) {
      return command.run(Arguments(argv + 2, argv + argc));
    }
  }
  std::fprintf(stderr, "twk: unknown command '%s'\n\n%s", argv[1], kUsage);
  return kExitUsage;
}
