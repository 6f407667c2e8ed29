// The usage texts of twk and its commands, in one table so that `twk --help`, each
// command's --help and each command's complaint about its arguments say the same.
#include "twk/command_usage.h"

#include <cstring>

namespace {

struct UsageText {
  const char* command;
  const char* summary;  // for the list of commands in `twk --help`
  const char* text;     // synopsis line(s) first, then a blank line and the description
};

const UsageText kUsages[] = {
    {"build", "build an installer (and its volumes) from a script",
     "usage: twk build SCRIPT [-o OUT] [--volume-size SIZE] [--arch x86|x64] [--stub FILE]\n"
     "                 [--jobs N] [-D NAME=VALUE]... [--strict]\n"
     "\n"
     "Builds an installation file from a script (docs/script.md). The same script and\n"
     "files always give the same bytes. Every error of the script is reported, in line\n"
     "order, before anything is built.\n"
     "\n"
     "  -o OUT               the installation file (default: SETUP.EXE beside the script)\n"
     "  --volume-size SIZE   split the package: OUT and OUT's name with .001, .002, ... in\n"
     "                       place of its extension, each at most SIZE bytes; SIZE is bytes,\n"
     "                       a number with K, M or G (1024, 1024^2, 1024^3 bytes), or the\n"
     "                       room of a formatted medium: 360K 720K 1.2M 1.44M 2.88M (floppy\n"
     "                       disks), cd650 cd700, fat32 (4 GiB - 1)\n"
     "  --arch x86|x64       the stub to use: x86 (default, 32-bit Windows) or x64\n"
     "  --stub FILE          use FILE as the stub instead of the installed one\n"
     "                       (PREFIX/share/twksetup/, or beside twk in a build tree)\n"
     "  --jobs N             compress on N threads (default: one per processor, at most\n"
     "                       32); the output is the same for any N\n"
     "  -D NAME=VALUE        ${NAME} in the script stands for VALUE; wins over the\n"
     "                       script's own !define NAME (repeat for more names)\n"
     "  --strict             every warning is an error (exit code 4)\n"
     "\n"
     "SOURCE_DATE_EPOCH, when set (seconds since 1970-01-01 UTC), is the latest file time\n"
     "the package holds: later ones are packed as it, so that checkouts made at other\n"
     "times build the same bytes.\n"},
    {"list", "show what an installer holds",
     "usage: twk list INSTALLER [--json]\n"
     "\n"
     "Shows what an installation file holds, in package order: the header, the size\n"
     "table, the files (size, blocks, version, time, shared, whether the installer\n"
     "self-registers it), shortcuts, registry lines and the run-after command. Volumes\n"
     "are found beside INSTALLER.\n"
     "\n"
     "  --json   one JSON document instead (docs/json.md)\n"},
    {"verify", "check every block and the layout across all volumes",
     "usage: twk verify INSTALLER [--json]\n"
     "\n"
     "Checks every block's two checksums and the layout of the package across all\n"
     "volumes. Exits 0 when the installer is sound, 1 when it is damaged or incomplete.\n"
     "\n"
     "  --json   the findings as one JSON document (docs/json.md)\n"},
    {"extract", "write every file of an installer into a folder",
     "usage: twk extract INSTALLER [-d DIR]\n"
     "       twk extract INSTALLER --reg FILE [--folder MACRO=PATH]... [-d DIR]\n"
     "\n"
     "Writes every file of the package under DIR (default: the current folder), one\n"
     "folder per path macro or drive: {OurProgramDir}\\a.txt -> DIR/OurProgramDir/a.txt,\n"
     "C:\\Tools\\a.txt -> DIR/C/Tools/a.txt. Never writes outside DIR.\n"
     "With --reg, writes the package's registry entries as FILE, a .reg file that the\n"
     "registry editor imports (regedit /S FILE), and extracts files only when -d is given.\n"
     "\n"
     "  -d DIR               the folder to extract into\n"
     "  --reg FILE           the .reg file to write\n"
     "  --folder MACRO=PATH  what a path macro stands for in the .reg file, e.g.\n"
     "                       --folder OurProgramDir=D:\\Apps\\Tool (default: a fresh\n"
     "                       machine of twk simulate, C:\\WINDOWS, C:\\Program Files, ...)\n"},
    {"diff", "show what differs between two installers",
     "usage: twk diff OLD NEW [--json]\n"
     "\n"
     "Shows what differs between the installers OLD and NEW (either may be split into\n"
     "volumes): the header texts and folders, the licence, the files (added, removed, and\n"
     "changed in content, size, version, time, target, shared or self-registration),\n"
     "the shortcuts, the registry lines and the run-after command. Files are compared by\n"
     "their expanded bytes, so builds of the same files with other blocks or volumes are\n"
     "the same. Exits 0 when they install the same, 1 when they differ, 3 when one is\n"
     "missing or no installer, 7 when one is damaged or incomplete (nothing is compared).\n"
     "\n"
     "  --json   one JSON document instead (docs/json.md)\n"},
    {"log", "show a maintenance program's trailer and uninstall log",
     "usage: twk log UNINST.EXE [--json]\n"
     "\n"
     "Shows a maintenance program's trailer and, for an uninstaller, its uninstall log.\n"
     "\n"
     "  --json   one JSON document instead (docs/json.md)\n"},
    {"simulate", "run an installer, uninstaller or finalizer on a simulated Windows",
     "usage: twk simulate PROGRAM --root DIR [--args TEXT] [--answers FILE] [--nt|--9x]\n"
     "       twk simulate --restart --root DIR [--answers FILE] [--nt|--9x]\n"
     "\n"
     "Runs an installer, an uninstaller or a finalizer on a simulated Windows whose\n"
     "drives and registry are kept in DIR, prints every window it shows and what the run\n"
     "changed. --restart starts the simulated Windows again instead: what waits for the\n"
     "next start is carried out and the run-once programs run.\n"
     "\n"
     "  --root DIR       the simulated machine (created on first use, kept between runs)\n"
     "  --args TEXT      the program's command-line arguments, e.g. \"/S /D=C:\\Apps\"\n"
     "  --answers FILE   the user's answers (docs/simulate.md); default: every default\n"
     "  --nt, --9x       the Windows family, for this and later runs (default NT)\n"},
};

const char kToolHead[] =
    "usage: twk COMMAND [ARGS]\n"
    "       twk COMMAND --help\n"
    "       twk --version\n"
    "\n";

const char kToolTail[] =
    "\n"
    "Exit codes: 0 success; 1 the installer is damaged or incomplete; 2 bad command line;\n"
    "3 an input is missing, unreadable or not an installer; 4 an error in the script;\n"
    "5 an output could not be written, or a file's target would land outside the folders\n"
    "the installer names; 6 simulate saw a fault of the program. diff: 0 the same, 1\n"
    "different, 7 an installer is damaged or incomplete.\n";

}  // namespace

std::string CommandUsage(const std::string& command) {
  for (const UsageText& usage : kUsages) {
    if (command == usage.command) return usage.text;
  }
  return std::string();
}

std::string CommandSynopsis(const std::string& command) {
  const std::string usage = CommandUsage(command);
  return usage.substr(0, usage.find("\n\n"));
}

std::string ToolUsage() {
  std::string text = kToolHead;
  for (const UsageText& usage : kUsages) {
    // Every synopsis line of the command, without its "usage: " (or its indentation); a
    // line that goes on with more options keeps its place under the first.
    const std::string full = usage.text;
    const size_t usagePrefix = std::strlen("usage: ") - std::strlen("  ");
    for (size_t at = 0; at < full.size() && full[at] != '\n';) {
      const size_t end = full.find('\n', at);
      std::string line = full.substr(at, end - at);
      const size_t twk = line.find("twk ");
      text += twk == std::string::npos ? line.substr(usagePrefix) + "\n" : "  " + line.substr(twk) + "\n";
      at = end + 1;
    }
  }
  text += "\nCommands:\n";
  for (const UsageText& usage : kUsages) {
    text += "  " + std::string(usage.command) + std::string(10 - std::strlen(usage.command), ' ') +
            usage.summary + "\n";
  }
  return text + kToolTail;
}

bool IsHelpOption(const std::string& arg) { return arg == "--help" || arg == "-h"; }
