// Comparing texts of the file system and of path macros without regard to letter case,
// as Windows compares names. Only the ASCII letters are folded: the names compared here
// (macro tokens, the short form of a path) are plain ASCII on every code page we meet.
#pragma once

#include <stddef.h>

// Whether the first `count` characters of `text` equal those of `token`, letter case
// ignored. Unequal when `text` ends before `count` characters; `token` must hold at least
// `count` characters. Nothing is read past the NUL of `text`.
bool StartsWithIgnoringCase(const char* text, const char* token, size_t count);

// Whether two NUL-terminated texts are equal, letter case ignored.
bool EqualIgnoringCase(const char* a, const char* b);
