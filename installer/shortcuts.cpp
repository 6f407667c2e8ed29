// The shortcut phase: lines of the shortcut list become shell link files.
#include "installer/shortcuts.h"

#include <stdio.h>
#include <string.h>

#include "engine/folder_creation.h"
#include "engine/links.h"
#include "installer/uninstall_log_writer.h"
#include "package/format.h"
#include "platform/file_system.h"
#include "platform/progress_dialog.h"
#include "platform/system.h"
#include "runtime/messages.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"

namespace {

const char kLinkExtension[] = ".lnk";

// Copies the `length` characters at `from` into `out` (kPathBufferSize bytes), cut to 255.
void CopyPiece(const char* from, size_t length, char* out) {
  if (length >= kPathBufferSize) length = kPathBufferSize - 1;
  memcpy(out, from, length);
  out[length] = '\0';
}

bool ExpandPieces(ShortcutPieces* pieces) {
  return ExpandPathMacros(pieces->link) && ExpandPathMacros(pieces->target) &&
         ExpandPathMacros(pieces->arguments) && ExpandPathMacros(pieces->workingFolder);
}

// The lines after one without '=' are read and dropped up to the list's empty record, so
// that the registry phase starts at its own list rather than reading shortcut lines as
// registry entries.
void SkipRestOfList() {
  while (ReadStringRecord()[0] != '\0') {
  }
}

}  // namespace

bool SplitShortcutLine(const char* line, ShortcutPieces* pieces) {
  const char* equals = strchr(line, kShortcutSeparator);
  if (equals == nullptr) return false;
  CopyPiece(line, static_cast<size_t>(equals - line), pieces->link);
  const char* target = equals + 1;
  const char* firstTab = strchr(target, kShortcutFieldSeparator);
  if (firstTab == nullptr) {
    CopyPiece(target, strlen(target), pieces->target);
    pieces->arguments[0] = '\0';
    pieces->workingFolder[0] = '\0';
    return true;
  }
  CopyPiece(target, static_cast<size_t>(firstTab - target), pieces->target);
  const char* arguments = firstTab + 1;
  const char* secondTab = strchr(arguments, kShortcutFieldSeparator);
  if (secondTab == nullptr) {
    CopyPiece(arguments, strlen(arguments), pieces->arguments);
    pieces->workingFolder[0] = '\0';
    return true;
  }
  CopyPiece(arguments, static_cast<size_t>(secondTab - arguments), pieces->arguments);
  CopyPiece(secondTab + 1, strlen(secondTab + 1), pieces->workingFolder);
  return true;
}

bool AddLinkExtension(char* link) {
  const char* lastSeparator = strrchr(link, '\\');
  const char* name = lastSeparator != nullptr ? lastSeparator + 1 : link;
  if (strchr(name, '.') != nullptr) return true;
  const size_t length = strlen(link);
  if (length + strlen(kLinkExtension) >= kPathBufferSize) return false;
  memcpy(link + length, kLinkExtension, sizeof kLinkExtension);
  return true;
}

bool CreateShellLink(const char* link, const char* target, const char* arguments,
                     const char* workingFolder) {
  // The shell saves by name, through whatever link stands there: a link file that is
  // one (or a second name of another file) is refused first, as a folder that is one is.
  if (!EnsureFolders(nullptr, link) || platform::IsLink(link)) return false;
  return platform::SaveShellLink(link, target, arguments, workingFolder);
}

bool CreateShortcuts(platform::Window dialog) {
  platform::SetControlText(dialog, platform::kProgressStatusText, Text(MSG_STATUS_SHORTCUTS));
  platform::ShowControl(dialog, platform::kProgressFileBar, false);
  platform::ShowControl(dialog, platform::kProgressCancelButton, false);
  ShortcutPieces pieces;
  while (!g_setup.cancelled) {
    const char* line = ReadStringRecord();
    if (line[0] == '\0') break;
    if (!SplitShortcutLine(line, &pieces)) {
      SkipRestOfList();
      break;
    }
    if (!ExpandPieces(&pieces) || !AddLinkExtension(pieces.link)) continue;
    CreateShellLink(pieces.link, pieces.target, pieces.arguments, pieces.workingFolder);
    // What leads through a link is not the installation's, and is not logged: the
    // uninstaller would have nothing of its own to remove there.
    if (PathHasLink(pieces.link)) continue;
    WriteLogRecord(pieces.link);
  }
  return true;
}
