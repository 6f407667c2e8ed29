// A private folder for the targets whose code under test reads and writes files.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <filesystem>

// This process's own folder under TMPDIR, or /dev/shm when TMPDIR is not set: made on
// first use, removed when the process ends normally. Each target works in a subfolder of its own name.
const std::filesystem::path& ScratchFolder();

// `name` below the scratch folder, emptied: whatever an earlier input left there is gone.
std::filesystem::path FreshScratchFolder(const char* name);

// Writes `size` bytes to `path`, replacing the file. False when that fails.
bool WriteScratchFile(const std::filesystem::path& path, const uint8_t* data, size_t size);

// The number of file descriptors this process has open, or -1 when it cannot be told:
// a reader that leaks one per input runs out of them only after thousands of inputs.
int OpenDescriptorCount();
