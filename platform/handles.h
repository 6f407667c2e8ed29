// Opaque handles that cross the platform seam. The logic above the seam never looks
// inside them; nullptr always means "none".
#pragma once

namespace platform {

using File = void*;      // an open file; nullptr = no file
using Window = void*;    // a window (owner of prompts); nullptr = no owner
using Instance = void*;  // the module instance that holds the program's resources

}  // namespace platform
