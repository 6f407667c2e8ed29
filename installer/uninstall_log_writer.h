// Appending to the uninstall log: the open UNINST.EXE, whose handle the setup state keeps.
#pragma once

#include <stdint.h>

#include "base/pe_image.h"
#include "platform/handles.h"

// Appends one string record: a length byte and at most the first 255 bytes of `text`
// (NUL-terminated), in one write. Returns the bytes written or -1; callers may ignore it.
int32_t WriteLogRecord(const char* text);

// Writes `count` bytes to the log file. Returns `count`, or -1 when no log file is open
// or the write fails or falls short.
int32_t WriteLogBytes(const void* bytes, uint32_t count);

// The same two writes to any open maintenance program, whose image checksum they keep
// (`checksum` may be nullptr). -1 when `file` is nullptr.
int32_t WriteStringRecordTo(platform::File file, const char* text, ImageChecksum* checksum);
int32_t WriteBytesTo(platform::File file, const void* bytes, uint32_t count,
                     ImageChecksum* checksum);

// Completes a maintenance program: writes the image checksum of its bytes into its
// checksum field at `checksumAt` (0: none) and closes it. nullptr is ignored.
void CloseMaintenanceFile(platform::File file, const ImageChecksum& checksum,
                          uint32_t checksumAt);

// Completes and closes UNINST.EXE when the log is open, and clears the log handle.
void CloseUninstallLog();
