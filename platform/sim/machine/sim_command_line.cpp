// Reading a started command line as Windows and the program's start-up code do.
#include "platform/sim/machine/sim_command_line.h"

namespace sim {
namespace {

size_t SkipBlanks(const std::string& line, size_t at) {
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  return at;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

CommandLineParts SplitCommandLine(const std::string& line,
                                  const std::function<bool(const std::string&)>& exists) {
  CommandLineParts parts;
  const size_t start = SkipBlanks(line, 0);
  if (start < line.size() && line[start] == '"') {
    const size_t close = line.find('"', start + 1);
    const size_t end = close == std::string::npos ? line.size() : close;
    const std::string name = line.substr(start + 1, end - start - 1);
    if (exists(name)) parts.program = name;
    parts.tail = line.substr(SkipBlanks(line, close == std::string::npos ? end : end + 1));
    return parts;
  }
  // The start-up code cuts the program's name at the first blank, whichever file
  // CreateProcess ended up running.
  size_t firstBlank = start;
  while (firstBlank < line.size() && !IsBlank(line[firstBlank])) ++firstBlank;
  parts.tail = line.substr(SkipBlanks(line, firstBlank));
  for (size_t end = firstBlank;; ) {
    const std::string candidate = line.substr(start, end - start);
    if (!candidate.empty() && exists(candidate)) {
      parts.program = candidate;
      break;
    }
    if (end >= line.size()) break;
    end = SkipBlanks(line, end);
    while (end < line.size() && !IsBlank(line[end])) ++end;
  }
  return parts;
}

}  // namespace sim
