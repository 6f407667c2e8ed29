// The registry phase of the extraction run: the package's registry list applied to the
// registry and recorded in the uninstall log, then the installer's own two keys logged.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/handles.h"
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

// Reads the registry list (records up to the empty one) from the package stream: each
// key line with a known root opens its key and a section of the uninstall log; value
// lines ("name=" type letter, data) are written to the open key and their names logged.
// Then, when the product key name is not empty, logs the remembered-folders key and the
// Add/Remove Programs key with their value names. Stops after the line during which the
// cancel flag became set. Sets the status text and hides the per-file bar and the Cancel
// button of `dialog` first. Always true.
bool CreateRegistryEntries(platform::Window dialog);
