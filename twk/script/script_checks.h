// The limits that the package and the installer put on what a script may say. A text the
// installer reads into a 255-byte record or a 256-byte buffer must fit it, and nothing may
// break the lists that the installer and the uninstall log end at an empty record or at a
// separator. Each refusal names the script line.
#pragma once

#include <string>
#include <vector>

#include "twk/script/script_diagnostics.h"
#include "twk/script/script_model.h"

// The longest product key: its Add/Remove Programs key line is logged as one string record
// of at most 255 bytes, the 72 bytes of ":HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\"
// "CurrentVersion\Uninstall\" and the key. A longer key would be logged cut short, and the
// uninstaller would then remove the wrong key.
constexpr size_t kMaxProductKeyLength = 255 - 72;

// A shared file's log record is its path and a TAB; the record holds 255 bytes.
constexpr size_t kMaxSharedTargetLength = 254;

// ".lnk" is appended to a link path whose last component has no '.', in a 256-byte buffer.
constexpr size_t kMaxLinkWithoutExtension = 251;

// Keeps in *diagnostics, for every item of the script, the first rule it breaks, among
// them a path (file target, shortcut link, target or start-in folder, RunAfter) whose first
// brace group the installer would misread (BraceGroupProblem), and a text the installer
// expands that uses {OurProgramDir} or {OurShortcutDir} when the script sets no such
// folder. Warns about things that are allowed but probably not meant: a target that is
// neither absolute nor starts from a path macro, a brace group that is no path macro.
void CheckScript(const SetupScript& script, ScriptDiagnostics* diagnostics);

// The rules for one file target once its final text is known (a folder target gets the
// source file name appended): not empty, no control characters, at most 255 bytes, at most
// 254 for a shared file. Throws a script error naming the line of rank `line`.
void CheckFileTarget(const SetupScript& script, int line, const std::string& target, bool shared);

// True when `source` holds '*' or '?'.
bool IsWildcard(const std::string& source);
