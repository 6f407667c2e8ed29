// What `twk --help` and `twk COMMAND --help` print: one text per command, whose
// synopsis a command repeats when its arguments are wrong.
#pragma once

#include <string>

// The whole usage text of COMMAND ("build", "list", ...), ending in a newline; empty for a
// name that is no command.
std::string CommandUsage(const std::string& command);

// The synopsis of COMMAND: the "usage:" line(s) of its usage, without the last newline.
std::string CommandSynopsis(const std::string& command);

// The top-level usage: every form of every command.
std::string ToolUsage();

// True when ARG asks for help (--help or -h).
bool IsHelpOption(const std::string& arg);
