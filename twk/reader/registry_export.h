// The registry list of a package as a .reg file that Windows' registry editor imports
// (REGEDIT4: ANSI text, like the package's own texts), holding what the installer would
// write: the values of every recognised key, texts with their path macro expanded.
#pragma once

#include <string>
#include <vector>

#include "twk/common/macro_tokens.h"

// The .reg file (CR LF line ends, ending with an empty line) for the registry list
// `lines`, the path macros standing for `folders`. What the installer would not write is
// there as a comment, so that nothing of the list goes unmentioned: a "remove" value, a
// value before any key, a key line with an unknown root (the values after it go to the
// key before it, as in the installer), a line that is no value, a value whose data the
// line does not hold or whose text is longer than 255 characters once expanded.
// `source` names the installer in the comment at the top.
std::string RegistryExport(const std::vector<std::string>& lines, const MacroValues& folders,
                           const std::string& source);

// A REGEDIT4 string: in quotes, with '\' and '"' escaped by a '\'.
std::string RegQuoted(const std::string& text);
