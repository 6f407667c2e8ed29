// The table of the texts the stub shows (base/messages.inc) as twk reads it: each text's
// name, English text, limit and place, looked up by name; and the rules a translation of
// one keeps.
#pragma once

#include <stddef.h>

#include <string>

#include "base/messages.h"

struct MessageInfo {
  const char* name;     // "WELCOME_TITLE"
  const char* english;  // exactly as the stub shows it
  size_t limit;         // the most characters its place shows whole
  const char* where;    // where it shows, for people
  int dialog;           // the dialog template that holds it; -1 for a text of the code
  int control;          // its control in the dialog (0: the caption)
};

// The entry of `id` (below kMessageCount).
const MessageInfo& MessageAt(size_t id);
// The number of the text called `name` (letter case counts); -1 when there is none.
int FindMessage(const std::string& name);
// The known name closest to `name`, for a "did you mean"; "" when none is close.
std::string SimilarMessageName(const std::string& name);
// The characters `text` shows as the text of `message`: in a dialog's control a '&' marks
// the next character as its access key and is not shown ("&&" shows one '&').
size_t ShownLength(const MessageInfo& message, const std::string& text);
// What is wrong with `text` (8-bit bytes) as the text of `id`: longer than its limit, or
// with other placeholders than the English text; "" when nothing is.
std::string MessageTextProblem(size_t id, const std::string& text);
