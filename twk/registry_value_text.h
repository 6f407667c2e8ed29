// A registry list's value line as the reading commands print it.
#pragma once

#include <string>

#include "twk/reader/reader_lines.h"

// '"Width" = D 640 (0x00000280)', '@ (default) = S "text"', '"Colours" = B 2 bytes: 00 ff',
// '"Old" = N (not written; removed by the uninstaller)', with a problem of the line's
// data in brackets after it.
std::string DescribeRegistryValue(const RegistryLine& line);
