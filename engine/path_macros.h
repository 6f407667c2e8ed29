// Path macros: a token in braces, such as "{OurProgramDir}", that names a folder of this
// machine or of this installation inside a path of the package.
#pragma once

#include <stddef.h>

// Every path the installer builds lives in a buffer of this size: 255 characters and
// the terminating NUL.
constexpr size_t kPathBufferSize = 256;

// Expands, in place, the one macro that begins at the first '{' of `path` (a
// NUL-terminated text in a buffer of kPathBufferSize bytes). "{OurProgramDir}" and
// "{OurShortcutDir}" are recognised by their first 12 and 13 characters (the brace group
// is replaced whole; without a '}' the rest of the path goes with it), every other token
// only whole, letter case ignored. A later '{' is never looked at.
// Returns true when the path is usable as it now stands: expanded, or left unchanged
// because it holds no known macro. Returns false, with the path unchanged, when the
// expanded path would not fit in 255 characters: the caller must not use the path then.
// A shell folder that cannot be determined expands to the empty text.
// Nothing is read or written outside the kPathBufferSize bytes of `path`.
bool ExpandPathMacros(char* path);
