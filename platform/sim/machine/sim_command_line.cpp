// Reading a started command line as Windows and the program's start-up code do.
#include "platform/sim/machine/sim_command_line.h"

namespace sim {
namespace {

size_t SkipBlanks(const std::string& line, size_t at) {
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  return at;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The file CreateProcess runs for `name`: itself, or with ".exe" added when its last
// component has no extension. "" when neither exists.
std::string ProgramFile(const std::string& name,
                        const std::function<bool(const std::string&)>& exists) {
  if (name.empty()) return "";
  if (exists(name)) return name;
  const size_t last = name.find_last_of('\\');
  const bool hasExtension =
      name.find('.', last == std::string::npos ? 0 : last) != std::string::npos;
  return !hasExtension && exists(name + ".exe") ? name + ".exe" : "";
}

}  // namespace

CommandLineParts SplitCommandLine(const std::string& line,
                                  const std::function<bool(const std::string&)>& exists) {
  CommandLineParts parts;
  const size_t start = SkipBlanks(line, 0);
  if (start < line.size() && line[start] == '"') {
    const size_t close = line.find('"', start + 1);
    const size_t end = close == std::string::npos ? line.size() : close;
    parts.program = ProgramFile(line.substr(start + 1, end - start - 1), exists);
    parts.tail = line.substr(SkipBlanks(line, close == std::string::npos ? end : end + 1));
    return parts;
  }
  // The start-up code cuts the program's name at the first blank, whichever file
  // CreateProcess ended up running.
  size_t firstBlank = start;
  while (firstBlank < line.size() && !IsBlank(line[firstBlank])) ++firstBlank;
  parts.tail = line.substr(SkipBlanks(line, firstBlank));
  for (size_t end = firstBlank;; ) {
    parts.program = ProgramFile(line.substr(start, end - start), exists);
    if (!parts.program.empty()) break;
    if (end >= line.size()) break;
    end = SkipBlanks(line, end);
    while (end < line.size() && !IsBlank(line[end])) ++end;
  }
  return parts;
}

}  // namespace sim
