// Gathering a build's errors and warnings and handing them back in line order.
#include "twk/script/script_diagnostics.h"

#include <algorithm>

#include "twk/common/exit_codes.h"

ScriptErrors::ScriptErrors(int exitCode, std::vector<std::string> messages)
    : CommandError(exitCode, messages.empty() ? std::string() : messages.front()),
      messages_(std::move(messages)) {}

void ScriptDiagnostics::Sort(std::vector<Message>* messages) {
  std::sort(messages->begin(), messages->end(), [](const Message& a, const Message& b) {
    return a.rank != b.rank ? a.rank < b.rank : a.sequence < b.sequence;
  });
}

void ScriptDiagnostics::Error(int rank, int exitCode, const std::string& message) {
  errors_.push_back({rank, sequence_++, exitCode, message});
  ++errorCount_;
  // Only the first kMaxErrors by line are shown; a later step can still find an error on
  // an earlier line, so the list is trimmed rather than closed.
  if (errors_.size() >= 2 * kMaxErrors) {
    Sort(&errors_);
    errors_.resize(kMaxErrors);
  }
}

void ScriptDiagnostics::Warning(int rank, const std::string& message) {
  if (strict_) {
    Error(rank, kExitScriptError, message + " (an error with --strict)");
  } else {
    warnings_.push_back({rank, sequence_++, 0, message});
  }
}

void ScriptDiagnostics::ThrowIfErrors() {
  if (errorCount_ == 0) return;
  Sort(&errors_);
  if (errors_.size() > kMaxErrors) errors_.resize(kMaxErrors);
  std::vector<std::string> messages;
  for (const Message& error : errors_) messages.push_back(error.text);
  if (errorCount_ > errors_.size()) {
    messages.push_back(std::to_string(errorCount_ - errors_.size()) +
                       " more errors are not shown; " + std::to_string(errorCount_) +
                       " in all");
  }
  throw ScriptErrors(errors_.front().exitCode, std::move(messages));
}

std::vector<std::string> ScriptDiagnostics::Warnings() {
  Sort(&warnings_);
  std::vector<std::string> messages;
  for (const Message& warning : warnings_) messages.push_back(warning.text);
  return messages;
}
