// Registry key paths as the package and the uninstall log write them: a root name, then
// the subkey, created level by level.
#pragma once

#include <stdint.h>

#include "platform/registry.h"

// Creates (or opens) every level of `subkey` under `root`, top down, each from the root
// with the growing prefix ("A", "A\B", "A\B\C"), and returns the whole path's key open
// (nullptr when it cannot be had). Levels need not exist beforehand. `subkey` is a
// NUL-terminated text of at most 255 characters; a longer one is refused (nullptr), as a
// cut path would name another key. The caller closes the key.
platform::Key CreateKeyPath(uint32_t root, const char* subkey);

// The root of a key line's text after its ':' ("HKEY_CLASSES_ROOT\...",
// "HKEY_CURRENT_USER\...", "HKEY_LOCAL_MACHINE\...", letter case ignored, backslash
// included), with *subkey pointing just past the root's backslash. False for any other
// root. Reads `text` only up to its NUL.
bool ParseRegistryRoot(const char* text, uint32_t* root, const char** subkey);
