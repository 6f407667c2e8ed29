// The command-line tail.
#include "stub/command_tail.h"

namespace {

// Unsigned, so that a letter above 127 is no blank.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

const char* CommandTail(const char* commandLine) {
  const char* at = commandLine;
  bool quoted = false;
  for (; *at != '\0' && (quoted || !IsBlank(*at)); ++at) {
    if (*at == '"') quoted = !quoted;
  }
  while (*at != '\0' && IsBlank(*at)) ++at;
  return at;
}
