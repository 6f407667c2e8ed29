// The message shapes of `twk build` errors.
#include "twk/common/build_error.h"

#include <cerrno>
#include <cstring>

#include "twk/common/exit_codes.h"

void ThrowScriptError(const std::string& script, int line, const std::string& what) {
  throw CommandError(kExitScriptError, script + ":" + std::to_string(line) + ": " + what);
}

void ThrowScriptError(const std::string& place, const std::string& what) {
  throw CommandError(kExitScriptError, place + ": " + what);
}

void ThrowInputError(const std::string& path, const std::string& what) {
  throw CommandError(kExitInputError, path + ": " + what);
}

void ThrowUnusableInput(const std::string& place, const std::string& what, InputStatus status,
                        const std::string& problem) {
  const int code = status == InputStatus::kTooLarge ? kExitScriptError : kExitInputError;
  throw CommandError(code, place + ": " + what + " " + problem);
}

void ThrowOutputError(const std::string& path, const std::string& what) {
  throw CommandError(kExitOutputError, path + ": " + what);
}

std::string ErrnoText() {
  return std::strerror(errno);
}
