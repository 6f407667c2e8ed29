// twk log: shows a maintenance program's trailer and its uninstall log.
#include <iostream>

#include "maintenance/removal_bounds.h"
#include "package/format.h"
#include "twk/command_usage.h"
#include "twk/commands.h"
#include "twk/reader/installer_reader.h"
#include "twk/reader/reader_error.h"
#include "twk/reader/reader_text.h"
#include "twk/reader/uninstall_log.h"
#include "twk/reader_commands.h"

namespace {

std::string Quoted(const std::string& text) { return "\"" + EscapeText(text) + "\""; }

void PrintTrailer(const std::string& path, const UninstallLog& log, std::ostream& out) {
  out << "Program:      " << path << " (package offset " << log.packageOffset << ")\n"
      << "Mode:         " << unsigned{log.mode} << " (" << ModeName(log.mode) << ")\n"
      << "Title:        " << Quoted(log.title) << "\n"
      << "Bottom text:  " << Quoted(log.bottomText) << "\n"
      << "Product key:  " << Quoted(log.productKey) << "\n";
}

void PrintFiles(const UninstallLog& log, std::ostream& out) {
  out << "\nFile section: " << log.files.size() << (log.files.size() == 1 ? " record\n" : " records\n");
  for (const LoggedFile& file : log.files) {
    // The uninstaller passes over a record that climbs out of its folder; say so here.
    out << "  " << EscapeText(file.path) << (file.shared ? "  [shared]" : "")
        << (HasParentStep(file.path.c_str()) ? "  [climbs out of its folder: passed over]" : "")
        << "\n";
  }
}

void PrintRegistry(const UninstallLog& log, std::ostream& out) {
  out << "\nRegistry section:\n";
  for (const LoggedRegistryItem& item : log.registry) {
    if (!item.isKey) {
      out << "  passed over (no key line): " << Quoted(item.line) << "\n";
      continue;
    }
    out << "  key " << EscapeText(item.line.substr(1))
        << (item.rootRecognised ? "" : "  [unknown root: skipped with its values]") << "\n";
    for (const std::string& name : item.valueNames) {
      out << "    " << (name == kRegistryDefaultValueName ? "@ (default)" : Quoted(name)) << "\n";
    }
  }
}

}  // namespace

int LogMaintenanceProgram(const std::string& path, std::ostream& out, std::ostream& err) {
  UninstallLog log;
  try {
    log = ReadUninstallLog(path);
  } catch (const ReadError& error) {
    err << "twk: " << error.what() << "\n";
    return error.exitCode();
  }
  PrintTrailer(path, log, out);
  if (log.mode == kModeUninstall) {
    PrintFiles(log, out);
    PrintRegistry(log, out);
  }
  if (log.volumeWord != 0) {
    out << "note: the word before the mode byte is " << log.volumeWord
        << "; a maintenance program has 0 there\n";
  }
  if (log.trailingBytes != 0) {
    out << "note: " << log.trailingBytes << " bytes follow what the program reads\n";
  }
  if (!log.complete) {
    err << "twk: " << log.problem << ": the uninstall log is cut short\n";
    return kExitDamaged;
  }
  if (log.mode != kModeUninstall && log.mode != kModeFinalize) {
    err << "twk: " << path << ": unknown mode byte " << unsigned{log.mode} << "\n";
    return kExitDamaged;
  }
  return kExitOk;
}

int RunLogCommand(const Arguments& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::cerr << "twk: " << CommandSynopsis("log") << "\n";
    return kExitUsage;
  }
  return LogMaintenanceProgram(args[0], std::cout, std::cerr);
}
