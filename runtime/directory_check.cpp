// The directory checksum of an installation's file entries and lists.
#include "runtime/directory_check.h"

#include <stdlib.h>
#include <string.h>

#include "package/block_checksum.h"
#include "package/format.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"

namespace {

constexpr uint32_t kFirstListCapacity = 4096;

struct ListBuffer {
  uint8_t* bytes;
  uint32_t length;
  uint32_t capacity;
};

// Makes room for `more` bytes; false past kMaxListSectionSize or when memory runs out.
bool Reserve(ListBuffer* list, uint32_t more) {
  if (more > kMaxListSectionSize - list->length) return false;
  if (list->length + more <= list->capacity) return true;
  uint32_t capacity = list->capacity == 0 ? kFirstListCapacity : list->capacity;
  while (capacity < list->length + more) capacity *= 2;
  uint8_t* grown = static_cast<uint8_t*>(realloc(list->bytes, capacity));
  if (grown == nullptr) return false;
  list->bytes = grown;
  list->capacity = capacity;
  return true;
}

// Appends one string record as read from the package: 1 when it was the empty record,
// 0 for any other, -1 when it could not be read or held.
int ReadRecordInto(ListBuffer* list, bool* tooLong) {
  uint8_t length = 0;
  if (ReadPackage(&length, 1) < 0) return -1;
  if (!Reserve(list, 1u + length)) {
    *tooLong = true;
    return -1;
  }
  list->bytes[list->length] = length;
  if (length != 0 && ReadPackage(list->bytes + list->length + 1, length) < 0) return -1;
  list->length += 1u + length;
  return length == 0 ? 1 : 0;
}

// The shortcut list and the registry list, each to its empty record, then the run-after
// command: the same records, in the same order, that the installer goes on to read.
bool ReadLists(ListBuffer* list, bool* tooLong) {
  for (int ended = 0; ended < 2;) {
    const int record = ReadRecordInto(list, tooLong);
    if (record < 0) return false;
    ended += record;
  }
  return ReadRecordInto(list, tooLong) >= 0;
}

}  // namespace

void AddToDirectoryChecksum(const void* bytes, uint32_t count) {
  g_setup.directoryRead =
      BlockChecksum(static_cast<const uint8_t*>(bytes), count, g_setup.directoryRead);
}

void AddStringRecordToDirectoryChecksum() {
  const uint8_t length = g_setup.stringRecordLength;
  AddToDirectoryChecksum(&length, 1);
  AddToDirectoryChecksum(g_setup.stringRecord, length);
}

bool ReadAndCheckListSection() {
  ListBuffer list = {nullptr, 0, 0};
  bool tooLong = false;
  const bool read = ReadLists(&list, &tooLong);
  if (read) AddToDirectoryChecksum(list.bytes, list.length);
  const bool matches = g_setup.directoryChecksum == kNoDirectoryChecksum ||
                       g_setup.directoryRead == g_setup.directoryChecksum;
  if (!read || !matches) {
    free(list.bytes);
    if (tooLong || (read && !matches)) g_setup.corrupt = true;
    return false;
  }
  g_setup.listSection = list.bytes;
  g_setup.listSectionLength = list.length;
  g_setup.listSectionAt = 0;
  return true;
}

void ReleaseListSection() {
  free(g_setup.listSection);
  g_setup.listSection = nullptr;
  g_setup.listSectionLength = 0;
  g_setup.listSectionAt = 0;
}

int32_t ReadFromListSection(void* buffer, uint32_t count) {
  if (count > g_setup.listSectionLength - g_setup.listSectionAt) {
    g_setup.corrupt = true;
    return -1;
  }
  memcpy(buffer, g_setup.listSection + g_setup.listSectionAt, count);
  g_setup.listSectionAt += count;
  return static_cast<int32_t>(count);
}
