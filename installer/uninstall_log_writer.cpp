// Appending string records to the uninstall log.
#include "installer/uninstall_log_writer.h"

#include <string.h>

#include "package/format.h"
#include "platform/file_io.h"
#include "runtime/setup_state.h"

int32_t WriteStringRecordTo(platform::File file, const char* text) {
  uint8_t record[kMaxStringRecord + 1];
  size_t length = strnlen(text, kMaxStringRecord);
  record[0] = static_cast<uint8_t>(length);
  memcpy(record + 1, text, length);
  return WriteBytesTo(file, record, static_cast<uint32_t>(length + 1));
}

int32_t WriteBytesTo(platform::File file, const void* bytes, uint32_t count) {
  if (file == nullptr) return -1;
  uint32_t written = 0;
  if (!platform::WriteToFile(file, bytes, count, &written) || written != count) return -1;
  return static_cast<int32_t>(count);
}

int32_t WriteLogRecord(const char* text) { return WriteStringRecordTo(g_setup.uninstallLog, text); }

int32_t WriteLogBytes(const void* bytes, uint32_t count) {
  return WriteBytesTo(g_setup.uninstallLog, bytes, count);
}
