// Reading the uninstall log into memory, section by section, before the uninstall begins.
#include "maintenance/uninstall_log_reader.h"

#include <stdlib.h>
#include <string.h>

#include "runtime/package_stream.h"
#include "runtime/setup_state.h"

namespace {

constexpr size_t kFirstCapacity = 4096;

bool Reserve(LoadedLog* log, size_t more) {
  if (log->capacity - log->size >= more) return true;
  size_t capacity = log->capacity == 0 ? kFirstCapacity : log->capacity * 2;
  while (capacity - log->size < more) capacity *= 2;
  uint8_t* bytes = static_cast<uint8_t*>(realloc(log->bytes, capacity));
  if (bytes == nullptr) return false;
  log->bytes = bytes;
  log->capacity = capacity;
  return true;
}

// Reads one record from the stream and keeps it; *text is its characters, valid until the
// next read. False when it could not be read (a failed read looks like the empty record,
// and the cancel flag tells them apart) or kept.
bool KeepRecord(LoadedLog* log, const char** text) {
  const char* record = ReadStringRecord();
  if (g_setup.cancelled) return false;
  const size_t length = strlen(record);
  if (!Reserve(log, length + 1)) return false;
  log->bytes[log->size] = static_cast<uint8_t>(length);
  memcpy(log->bytes + log->size + 1, record, length);
  log->size += length + 1;
  *text = record;
  return true;
}

// Records up to and including the next empty one.
bool KeepThroughEmptyRecord(LoadedLog* log) {
  const char* text = nullptr;
  while (KeepRecord(log, &text)) {
    if (text[0] == '\0') return true;
  }
  return false;
}

// A key line is followed by its value names and an empty record; any other record where
// a key line is expected stands alone; an empty one there ends the section.
bool KeepRegistrySection(LoadedLog* log) {
  for (;;) {
    const char* text = nullptr;
    if (!KeepRecord(log, &text)) return false;
    if (text[0] == '\0') return true;
    if (text[0] == kRegistryKeyLinePrefix && !KeepThroughEmptyRecord(log)) return false;
  }
}

}  // namespace

bool LoadUninstallLog(LoadedLog* log) {
  ReleaseUninstallLog(log);
  if (KeepThroughEmptyRecord(log) && KeepRegistrySection(log)) return true;
  ReleaseUninstallLog(log);
  return false;
}

const char* NextLogRecord(LoadedLog* log) {
  size_t length = 0;
  if (log->next < log->size) {
    length = log->bytes[log->next];
    memcpy(log->record, log->bytes + log->next + 1, length);
    log->next += length + 1;
  }
  log->record[length] = '\0';
  return log->record;
}

void ReleaseUninstallLog(LoadedLog* log) {
  free(log->bytes);
  log->bytes = nullptr;
  log->size = 0;
  log->capacity = 0;
  log->next = 0;
  log->record[0] = '\0';
}
