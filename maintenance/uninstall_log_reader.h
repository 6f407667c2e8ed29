// The uninstall log read whole before anything is removed: a log that is cut short or
// cannot be read must remove nothing, rather than files without their registry entries.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "package/format.h"

// The log's records as the file holds them (a length byte, then the characters), and a
// reading position. Owns `bytes`; release with ReleaseUninstallLog.
struct LoadedLog {
  uint8_t* bytes = nullptr;
  size_t size = 0;
  size_t capacity = 0;
  size_t next = 0;                        // where NextLogRecord reads
  char record[kMaxStringRecord + 1] = {};  // the record NextLogRecord handed out last
};

// Reads the file section and the registry section from the package stream, exactly as
// far as the uninstaller takes them: to the empty record met where a key line is
// expected. False when the log cannot be read to that end (a read failed or the file
// ended: the stream has already told the user) or memory runs out; `log` is then empty.
bool LoadUninstallLog(LoadedLog* log);

// The next record, NUL-terminated, in log->record (overwritten by the next call), or ""
// after the last.
const char* NextLogRecord(LoadedLog* log);

// Releases the records and leaves `log` empty.
void ReleaseUninstallLog(LoadedLog* log);
