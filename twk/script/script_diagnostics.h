// The errors and warnings of one build, gathered instead of thrown at the first, so that
// one run names every mistake of a script, in the order of its lines, before anything is
// compressed.
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

#include "twk/common/command_error.h"

// Every error of a script at once: what() is the first message (in line order), and the
// exit code is that message's.
class ScriptErrors : public CommandError {
 public:
  ScriptErrors(int exitCode, std::vector<std::string> messages);

  // Complete messages without "twk: ", in line order; the last one says how many more
  // there were when the list was cut at ScriptDiagnostics::kMaxErrors.
  const std::vector<std::string>& messages() const { return messages_; }

 private:
  std::vector<std::string> messages_;
};

class ScriptDiagnostics {
 public:
  // A script that is mostly wrong (a binary file given as the script) would otherwise
  // bury the first mistakes under thousands of lines.
  static constexpr size_t kMaxErrors = 50;

  // `strict`: every warning is an error (exit code kExitScriptError) instead.
  explicit ScriptDiagnostics(bool strict = false) : strict_(strict) {}

  // `message` is complete ("demo.twk:12: ..."); `rank` orders it among the others (the
  // rank of its script line, 0 for none: before every line).
  void Error(int rank, int exitCode, const std::string& message);
  void Warning(int rank, const std::string& message);

  // Runs `step`; a CommandError it throws is kept as an error at `rank` instead of passed
  // on. True when `step` threw nothing.
  template <typename Step>
  bool Record(int rank, Step step) {
    try {
      step();
      return true;
    } catch (const CommandError& error) {
      Error(rank, error.exitCode(), error.what());
      return false;
    }
  }

  bool HasErrors() const { return errorCount_ != 0; }

  // Throws ScriptErrors when any error was kept.
  void ThrowIfErrors();

  // Complete messages, in line order.
  std::vector<std::string> Warnings();

 private:
  struct Message {
    int rank;
    size_t sequence;  // keeps messages of one line in the order they were found
    int exitCode;
    std::string text;
  };

  static void Sort(std::vector<Message>* messages);

  bool strict_;
  std::vector<Message> errors_;  // the kMaxErrors first by line, once trimmed
  size_t errorCount_ = 0;
  std::vector<Message> warnings_;
  size_t sequence_ = 0;
};
