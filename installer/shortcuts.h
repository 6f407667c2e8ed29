// The shortcut phase of the extraction run: one shell link per line of the package's
// shortcut list, each logged for the uninstaller.
#pragma once

#include <stddef.h>

#include "engine/path_macros.h"
#include "platform/handles.h"

// The four pieces of a shortcut line "link=target<TAB>arguments<TAB>working folder".
struct ShortcutPieces {
  char link[kPathBufferSize];
  char target[kPathBufferSize];
  char arguments[kPathBufferSize];
  char workingFolder[kPathBufferSize];
};

// Splits `line` (NUL-terminated, at most 255 characters) at its first '='; the rest at
// the first TAB after it (target, then arguments) and the next TAB (arguments, then the
// working folder, which keeps any further TABs). Missing pieces are empty. A TAB before
// the '=' stays in the link path, an '=' after it in its piece. False when the line holds
// no '='. Pieces longer than 255 characters are cut.
bool SplitShortcutLine(const char* line, ShortcutPieces* pieces);

// Appends ".lnk" to `link` (a buffer of kPathBufferSize bytes) when its last component,
// after the last '\', holds no '.'. False, with `link` unchanged, when the name needs the
// extension and it does not fit in 255 characters.
bool AddLinkExtension(char* link);

// Creates the link file `link` (its missing folders first, without an owner window for
// the folder message) pointing at `target` with `arguments` and `workingFolder`. True
// when the link file was saved. A link file, or a folder of it, that is a link already
// (engine/links.h) is refused: nothing is written.
bool CreateShellLink(const char* link, const char* target, const char* arguments,
                     const char* workingFolder);

// Reads the shortcut list from the package stream up to its empty record while the
// cancel flag is clear (a line without '=' ends the phase: the lines after it are read
// past, up to the empty record, without being used); creates each link and logs its path
// whether or not the link could be made, unless the path leads through a link. A line
// whose pieces do not fit in 255 characters once expanded, or whose name leaves no room
// for ".lnk", is passed over: nothing is created and nothing logged. Sets the status text
// and hides the per-file bar and the Cancel button of `dialog` first. Always true.
bool CreateShortcuts(platform::Window dialog);
