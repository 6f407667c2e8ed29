// The value of `twk build --volume-size`: a number of bytes, with K, M or G for units of
// 1024, 1024^2 and 1024^3 bytes, or the name of a medium, which stands for the room a
// freshly formatted one offers a file (less than its nominal size: "1.44M" is 1457664
// bytes, not 1.44 * 1048576).
#pragma once

#include <stdint.h>

#include <string>

// The size in bytes; false with *problem set (for a usage message) when `text` is none of
// the accepted forms or is 0.
bool ParseVolumeSize(const std::string& text, uint64_t* size, std::string* problem);
