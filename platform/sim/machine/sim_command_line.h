// How the simulated Windows reads a command line that a program starts (CreateProcess
// without an application name) and what the started program sees of it.
#pragma once

#include <functional>
#include <string>

namespace sim {

struct CommandLineParts {
  std::string program;  // the file the process runs; "" when no file fits
  std::string tail;     // the command line as the program's start-up code passes it
};

// The program is the first item: a quoted text, or, unquoted, the shortest run of
// blank-separated pieces that names an existing file (`exists`), as CreateProcess tries
// "C:\Program", then "C:\Program Files\...". A name without an extension is tried with
// ".exe" added, as CreateProcess does: "C:\Apps\My Product\UNINST.EXE" unquoted runs a
// C:\Apps\My.exe where there is one. The tail is what the runtime's GUI start-up
// hands the program: the line without its first item (quoted, or up to the first blank,
// whatever CreateProcess found) and the blanks after it.
CommandLineParts SplitCommandLine(const std::string& line,
                                  const std::function<bool(const std::string&)>& exists);

}  // namespace sim
