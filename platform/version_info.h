// The version library: a file's version resource.
#pragma once

#include <stdint.h>

namespace platform {

// GetFileVersionInfoSize: 0 when the file has no version resource.
uint32_t GetVersionInfoSize(const char* path);
// GetFileVersionInfo into `data` of `size` bytes.
bool GetVersionInfo(const char* path, uint32_t size, void* data);
// VerQueryValue: points *value into `data` for "\" (the fixed file information, a
// VS_FIXEDFILEINFO), "\VarFileInfo\Translation" or "\StringFileInfo\LLLLCCCC\Name".
bool QueryVersionValue(const void* data, const char* subBlock, const void** value,
                       uint32_t* length);

// Offsets in VS_FIXEDFILEINFO of the file version's two words.
constexpr uint32_t kFixedFileVersionMsOffset = 8;
constexpr uint32_t kFixedFileVersionLsOffset = 12;

}  // namespace platform
