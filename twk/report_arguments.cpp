// The command line of the reading commands that can answer in JSON.
#include "twk/reader_commands.h"

bool ParseReportArguments(const std::vector<std::string>& args, std::string* path,
                          ReportFormat* format) {
  *format = ReportFormat::kText;
  path->clear();
  for (const std::string& arg : args) {
    if (arg == "--json") {
      *format = ReportFormat::kJson;
    } else if (path->empty() && !arg.empty() && arg[0] != '-') {
      *path = arg;
    } else {
      return false;
    }
  }
  return !path->empty();
}
