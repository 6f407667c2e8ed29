// The package offset word inside the stub. The builder finds the marker in the stub's
// initialised data and writes the stub's length into the four bytes after it.
#pragma once

#include <stdint.h>

#include "package/format.h"

// The marker followed by the package offset word (zero in an unpatched stub). Exactly
// one copy of the marker text exists in the stub; nothing else may spell it out in code
// that goes into the stub. Tests patch the word here as the builder does.
extern char g_packageOffsetMarker[kPackageMarkerLength + kPackageOffsetWordSize];
