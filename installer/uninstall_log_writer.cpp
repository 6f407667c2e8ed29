// Appending string records to the uninstall log.
#include "installer/uninstall_log_writer.h"

#include <string.h>

#include "base/little_endian.h"
#include "package/format.h"
#include "platform/file_io.h"
#include "runtime/setup_state.h"

int32_t WriteStringRecordTo(platform::File file, const char* text, ImageChecksum* checksum) {
  uint8_t record[kMaxStringRecord + 1];
  size_t length = strnlen(text, kMaxStringRecord);
  record[0] = static_cast<uint8_t>(length);
  memcpy(record + 1, text, length);
  return WriteBytesTo(file, record, static_cast<uint32_t>(length + 1), checksum);
}

int32_t WriteBytesTo(platform::File file, const void* bytes, uint32_t count,
                     ImageChecksum* checksum) {
  if (file == nullptr) return -1;
  uint32_t written = 0;
  if (!platform::WriteToFile(file, bytes, count, &written) || written != count) return -1;
  if (checksum != nullptr) {
    AddToImageChecksum(checksum, static_cast<const uint8_t*>(bytes), count);
  }
  return static_cast<int32_t>(count);
}

int32_t WriteLogRecord(const char* text) {
  return WriteStringRecordTo(g_setup.uninstallLog, text, &g_setup.uninstallLogChecksum);
}

int32_t WriteLogBytes(const void* bytes, uint32_t count) {
  return WriteBytesTo(g_setup.uninstallLog, bytes, count, &g_setup.uninstallLogChecksum);
}

// A checksum that cannot be written leaves the field zero, which Windows reads as "no
// checksum": still better than one that does not match.
void CloseMaintenanceFile(platform::File file, const ImageChecksum& checksum,
                          uint32_t checksumAt) {
  if (file == nullptr) return;
  if (checksumAt != 0 && platform::SeekFromStart(file, checksumAt)) {
    uint8_t field[4];
    StoreLe32(field, ImageChecksumValue(checksum));
    uint32_t written = 0;
    platform::WriteToFile(file, field, sizeof field, &written);
  }
  platform::CloseFile(file);
}

void CloseUninstallLog() {
  CloseMaintenanceFile(g_setup.uninstallLog, g_setup.uninstallLogChecksum,
                       g_setup.uninstallLogChecksumAt);
  g_setup.uninstallLog = nullptr;
}
