// A quiet run, which deployment tools ask for on the command line ("/S"): no window and
// no question is shown, each question gets the answer that loses nothing, and the
// process exit code tells the outcome. Without the switch every run is as it always was.
#pragma once

#include <stdint.h>

#include "platform/handles.h"

// The exit codes of a quiet run. An interactive run keeps its own (0, or 1 when the
// package cannot be opened or read).
constexpr uint32_t kQuietSucceeded = 0;
constexpr uint32_t kQuietRestartNeeded = 3010;  // files in use wait for the next start
// The user said No (or Cancel) to a question that stops the run. A quiet run asks
// nobody and answers each question itself with what loses nothing, so it never ends so:
// where its own answer stops the run, the run has failed.
constexpr uint32_t kQuietCancelled = 1602;
// A damaged package or volume, a read given up, a file or folder not written, a library
// that did not register.
constexpr uint32_t kQuietFailed = 1603;

// Reads the command-line tail into the setup state. "/S" (letter case ignored) as one of
// the words before "/D=" makes the run quiet; "/D=" takes the rest of the tail, blanks
// included and trailing blanks left out, as the program folder (deployment tools write
// it last and unquoted), or the quoted folder after it ("/D=\"...\"", or the whole
// switch in quotes), and keeps it in its canonical form (CanonicalFolder). Other words
// are passed over; so is "/D=" without "/S". False when the folder cannot be installed
// into: relative (it would depend on where the run was started), a network path, too
// long for a path buffer (a cut path would name another folder), with a forbidden name,
// or a quote left open or followed by more words.
bool ReadQuietSwitches(const char* tail);

// Shows a message box and returns the button pressed; in a quiet run shows nothing and
// returns `quietAnswer`.
int AskUser(platform::Window owner, const char* text, const char* caption, uint32_t flags,
            int quietAnswer);

// Shows a message box that needs no answer; nothing in a quiet run.
void TellUser(platform::Window owner, const char* text, const char* caption, uint32_t flags);

// The exit code that ends a run whose quiet outcome is `quietCode`: that code in a
// quiet run, 0 in an interactive one.
uint32_t ExitCodeOf(uint32_t quietCode);

// The exit code of a run that cannot open or read its package, or is refused a volume:
// kQuietFailed in a quiet run, 1 in an interactive one.
uint32_t FailureExitCode();
