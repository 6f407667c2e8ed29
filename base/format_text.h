// Bounded text formatting for the stub: the few conversions its messages and paths use,
// without the C library's formatter, which brings floating point along.
#pragma once

#include <stddef.h>

// Formats like snprintf, for these conversions only: %s (a null pointer counts as ""),
// %c, %d, %u, %x, %X and %%, each with an optional '0' flag and a width; a precision on
// %s (".5" or ".*", which takes an int; a negative one means none), so that no more
// than that many characters of it are read; and 'l' on d, u and x for long arguments.
// Any other conversion character is copied as it stands and takes no argument.
// Writes at most size - 1 characters and then a NUL (nothing at all when size is 0) and
// returns the length of the whole text, so that a result >= size says it was cut.
int FormatText(char* out, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
