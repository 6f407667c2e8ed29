// The file list read ahead, its blocks expanded on worker threads.
#include "runtime/file_read_ahead.h"

#include <stdlib.h>
#include <string.h>

#include "base/little_endian.h"
#include "package/block_record.h"
#include "platform/threads.h"
#include "runtime/directory_check.h"
#include "runtime/extract_block.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"

namespace {

// A build may hold the stub to fewer threads, to measure what each one adds.
constexpr uint32_t kThreadLimit = TWK_DECODE_THREADS;
static_assert(kThreadLimit >= 1 && kThreadLimit <= kMaxDecodeThreads, "1 to kMaxDecodeThreads");

// Records read ahead: entries cost their few hundred bytes; blocks in flight each hold a
// block buffer, so their number is bounded by the window.
constexpr uint32_t kRecordsAhead = 64;
// Block buffers per expanding thread: one expanding, one done, one read.
constexpr uint32_t kBuffersPerThread = 3;
constexpr uint32_t kBlockRecordFixedSize = 10;  // stored length and both checksums

enum class Kind : uint8_t { kEntry, kBlock, kEndRecord, kListEnd };
enum class State : uint8_t { kQueued, kExpanding, kDone };

struct Record {
  Kind kind;
  State state;  // of a block
  // An entry.
  char name[kMaxStringRecord + 1];
  uint8_t fields[kFileEntryFixedSize];
  // A block: its stored bytes, then its expanded ones, in buffers[sequence % buffers].
  uint8_t* buffer;
  uint32_t storedLength;
  uint32_t expandedChecksum;
  uint32_t storedChecksum;
  BlockVerdict verdict;
  uint32_t expandedLength;
};

struct ReadAhead {
  // Taken by the writing thread alone.
  uint8_t* blockBuffer;  // the block read from the stream when none was read ahead
  ExpandMemory memory;   // the writing thread's expansion memory
  bool expectEntry;      // the stream stands at a name record (else at a block record)
  bool listEnded;        // the empty name has been read ahead: nothing more is
  uint32_t buffers;      // block buffers of the window (0: nothing is read ahead)
  uint32_t allocated;    // ... of `buffer`'s entries
  uint8_t** buffer;
  uint32_t blocksTaken;  // block buffers handed out so far
  uint32_t blocksFreed;  // ... and given back
  // Shared with the workers, under `lock`: records [head, tail) of the ring, and the
  // state of their blocks. A worker takes the first queued block from `claim` on.
  platform::Lock lock;
  platform::Signal work;  // a block was queued, or the workers must stop
  platform::Signal done;  // a worker finished a block
  Record ring[kRecordsAhead];
  uint32_t head;
  uint32_t tail;
  uint32_t claim;
  // Signals cost a call to the system (under Wine, to its server): each is raised only
  // when a thread waits for it.
  uint32_t idleWorkers;
  bool writerWaits;
  bool stopping;
  uint32_t workerCount;
  platform::Thread workers[kMaxDecodeThreads];
};

ReadAhead* g_readAhead = nullptr;

Record& At(ReadAhead* ahead, uint32_t index) { return ahead->ring[index % kRecordsAhead]; }

void Expand(Record* record, const ExpandMemory* memory) {
  record->verdict = VerifyAndExpandBlock(record->buffer, record->storedLength,
                                         record->expandedChecksum, record->storedChecksum,
                                         kFileBlockCapacity, &record->expandedLength, memory);
}

// Under the lock: the next queued block from `claim` on, now being expanded; nullptr
// when there is none.
Record* ClaimBlock(ReadAhead* ahead) {
  for (; ahead->claim != ahead->tail; ++ahead->claim) {
    Record& record = At(ahead, ahead->claim);
    if (record.kind == Kind::kBlock && record.state == State::kQueued) {
      record.state = State::kExpanding;
      ++ahead->claim;
      return &record;
    }
  }
  return nullptr;
}

void RunWorker(void* context) {
  ReadAhead* ahead = static_cast<ReadAhead*>(context);
  ExpandMemory memory;
  const bool haveMemory = TakeExpandMemory(&memory, kFileBlockCapacity);
  platform::EnterLock(ahead->lock);
  // Without memory of its own a worker expands nothing; the writer does its blocks.
  while (!ahead->stopping) {
    Record* record = haveMemory ? ClaimBlock(ahead) : nullptr;
    if (record == nullptr) {
      ++ahead->idleWorkers;
      platform::LeaveLock(ahead->lock);
      platform::WaitForSignal(ahead->work);
      platform::EnterLock(ahead->lock);
      --ahead->idleWorkers;
      continue;
    }
    // More blocks wait: another worker may take the next one.
    if (ahead->claim != ahead->tail && ahead->idleWorkers > 0) platform::RaiseSignal(ahead->work);
    platform::LeaveLock(ahead->lock);
    Expand(record, &memory);
    platform::EnterLock(ahead->lock);
    record->state = State::kDone;
    if (ahead->writerWaits) {
      ahead->writerWaits = false;
      platform::RaiseSignal(ahead->done);
    }
  }
  platform::LeaveLock(ahead->lock);
  // The next worker wakes to see the stop as well.
  platform::RaiseSignal(ahead->work);
  ReleaseExpandMemory(&memory);
}

// Reads one whole record ahead from what the open volume has, without prompting; false
// when there is none to read, or no room for it.
bool ReadRecordAhead(ReadAhead* ahead) {
  if (ahead->listEnded || ahead->tail - ahead->head >= kRecordsAhead) return false;
  Record& record = At(ahead, ahead->tail);
  const uint8_t* bytes = nullptr;
  if (ahead->expectEntry) {
    if (!PeekPackage(1, &bytes)) return false;
    const uint32_t nameLength = bytes[0];
    const uint32_t size = nameLength == 0 ? 1 : 1 + nameLength + kFileEntryFixedSize;
    if (!PeekPackage(size, &bytes)) return false;
    AddToDirectoryChecksum(bytes, 1 + nameLength);
    if (nameLength == 0) {
      record.kind = Kind::kListEnd;
      ahead->listEnded = true;
    } else {
      record.kind = Kind::kEntry;
      memcpy(record.name, bytes + 1, nameLength);
      record.name[nameLength] = '\0';
      memcpy(record.fields, bytes + 1 + nameLength, kFileEntryFixedSize);
      AddToDirectoryChecksum(record.fields, kFileEntryFixedSize);
      ahead->expectEntry = false;
    }
    TakePeekedPackage(size);
  } else {
    if (!PeekPackage(2, &bytes)) return false;
    const uint32_t storedLength = LoadLe16(bytes);
    if (storedLength == 0) {
      record.kind = Kind::kEndRecord;
      ahead->expectEntry = true;
      TakePeekedPackage(2);
    } else {
      if (ahead->blocksTaken - ahead->blocksFreed >= ahead->buffers) return false;
      if (!PeekPackage(kBlockRecordFixedSize + storedLength, &bytes)) return false;
      record.kind = Kind::kBlock;
      record.state = State::kQueued;
      record.buffer = ahead->buffer[ahead->blocksTaken++ % ahead->buffers];
      record.storedLength = storedLength;
      record.expandedChecksum = LoadLe32(bytes + 2);
      record.storedChecksum = LoadLe32(bytes + 6);
      memcpy(record.buffer, bytes + kBlockRecordFixedSize, storedLength);
      TakePeekedPackage(kBlockRecordFixedSize + storedLength);
    }
  }
  platform::EnterLock(ahead->lock);
  ++ahead->tail;
  if (record.kind == Kind::kBlock && ahead->idleWorkers > 0) platform::RaiseSignal(ahead->work);
  platform::LeaveLock(ahead->lock);
  return true;
}

void ReadAheadAll(ReadAhead* ahead) {
  if (ahead->buffers == 0) return;
  while (ReadRecordAhead(ahead)) {
  }
}

// Gives back the record the writer took last, once it is done with its bytes.
void FreeTaken(ReadAhead* ahead, Record* record) {
  if (record->kind == Kind::kBlock) ++ahead->blocksFreed;
  platform::EnterLock(ahead->lock);
  ++ahead->head;
  if (ahead->claim < ahead->head) ahead->claim = ahead->head;
  platform::LeaveLock(ahead->lock);
}

// The record at the head, or nullptr when none was read ahead.
Record* Head(ReadAhead* ahead) {
  return ahead->head == ahead->tail ? nullptr : &At(ahead, ahead->head);
}

// The head block, expanded: by the writer itself when no worker has taken it, else
// waited for while the writer expands blocks after it. With `expand` false a block no
// worker has taken is left alone.
void FinishHeadBlock(ReadAhead* ahead, Record* record, bool expand) {
  platform::EnterLock(ahead->lock);
  for (;;) {
    if (record->state == State::kQueued) {
      // No worker will look at it again: the claims have passed the head, or skip it.
      record->state = State::kDone;
      platform::LeaveLock(ahead->lock);
      if (expand) Expand(record, &ahead->memory);
      return;
    }
    if (record->state == State::kDone) break;
    // A worker expands the head. Rather than wait for it, the writer expands a block
    // further on, one it will soon want, so that no processor stands idle; the head is
    // then at most one block's time late.
    Record* later = ahead->memory.work != nullptr ? ClaimBlock(ahead) : nullptr;
    if (later != nullptr) {
      platform::LeaveLock(ahead->lock);
      Expand(later, &ahead->memory);
      platform::EnterLock(ahead->lock);
      later->state = State::kDone;
      continue;
    }
    ahead->writerWaits = true;
    platform::LeaveLock(ahead->lock);
    platform::WaitForSignal(ahead->done);
    platform::EnterLock(ahead->lock);
  }
  platform::LeaveLock(ahead->lock);
}

ReadAhead* Current() {
  if (g_readAhead == nullptr) StartFileReadAhead();
  return g_readAhead;
}

// The record the writer took last, if it was read ahead: given back at the next call.
Record* g_taken = nullptr;

void GiveBackTaken(ReadAhead* ahead) {
  if (g_taken != nullptr) FreeTaken(ahead, g_taken);
  g_taken = nullptr;
}

}  // namespace

void StartFileReadAhead() {
  if (g_readAhead != nullptr) return;
  ReadAhead* ahead = static_cast<ReadAhead*>(malloc(sizeof(ReadAhead)));
  if (ahead == nullptr) return;
  memset(ahead, 0, sizeof(ReadAhead));
  ahead->expectEntry = true;
  TakeExpandMemory(&ahead->memory, kFileBlockCapacity);
  ahead->blockBuffer = static_cast<uint8_t*>(malloc(kFileBlockCapacity));
  g_readAhead = ahead;

  // Large reads of the stream pay on one processor too; reading ahead needs them.
  const bool buffered = StartBufferedReading();
  uint32_t threads = platform::ProcessorCount();
  if (threads > kThreadLimit) threads = kThreadLimit;
  if (threads < 2 || !buffered) return;
  ahead->lock = platform::NewLock();
  ahead->work = platform::NewSignal();
  ahead->done = platform::NewSignal();
  const uint32_t buffers = kBuffersPerThread * threads;
  ahead->buffer = static_cast<uint8_t**>(malloc(buffers * sizeof(uint8_t*)));
  if (ahead->lock == nullptr || ahead->work == nullptr || ahead->done == nullptr ||
      ahead->buffer == nullptr) {
    return;
  }
  for (; ahead->allocated < buffers; ++ahead->allocated) {
    ahead->buffer[ahead->allocated] = static_cast<uint8_t*>(malloc(kFileBlockCapacity));
    if (ahead->buffer[ahead->allocated] == nullptr) break;
  }
  for (uint32_t i = 0; i + 1 < threads; ++i) {
    platform::Thread worker = platform::StartThread(RunWorker, ahead);
    if (worker == nullptr) break;
    ahead->workers[ahead->workerCount++] = worker;
  }
  // Reading ahead pays only where another thread expands, and needs two buffers: the
  // writer's and one ahead.
  if (ahead->workerCount > 0 && ahead->allocated >= 2) ahead->buffers = ahead->allocated;
}

void StopFileReadAhead() {
  ReadAhead* ahead = g_readAhead;
  if (ahead == nullptr) return;
  g_readAhead = nullptr;
  g_taken = nullptr;
  if (ahead->workerCount > 0) {
    platform::EnterLock(ahead->lock);
    ahead->stopping = true;
    platform::LeaveLock(ahead->lock);
    platform::RaiseSignal(ahead->work);
    for (uint32_t i = 0; i < ahead->workerCount; ++i) platform::JoinThread(ahead->workers[i]);
  }
  for (uint32_t i = 0; i < ahead->allocated; ++i) free(ahead->buffer[i]);
  free(ahead->buffer);
  platform::DeleteSignal(ahead->done);
  platform::DeleteSignal(ahead->work);
  platform::DeleteLock(ahead->lock);
  ReleaseExpandMemory(&ahead->memory);
  free(ahead->blockBuffer);
  free(ahead);
}

int ReadFileEntry(char* name, uint8_t fields[kFileEntryFixedSize]) {
  ReadAhead* ahead = Current();
  if (ahead != nullptr) {
    GiveBackTaken(ahead);
    ReadAheadAll(ahead);
    Record* record = Head(ahead);
    if (record != nullptr) {
      g_taken = record;
      if (record->kind == Kind::kListEnd) {
        name[0] = '\0';
        return 0;
      }
      memcpy(name, record->name, sizeof record->name);
      memcpy(fields, record->fields, kFileEntryFixedSize);
      return 1;
    }
  }
  const char* read = ReadStringRecord();
  AddStringRecordToDirectoryChecksum();
  memcpy(name, read, g_setup.stringRecordLength + 1u);
  if (name[0] == '\0') {
    if (ahead != nullptr) ahead->listEnded = true;
    return 0;
  }
  if (ReadPackage(fields, kFileEntryFixedSize) != static_cast<int32_t>(kFileEntryFixedSize)) {
    return -1;
  }
  AddToDirectoryChecksum(fields, kFileEntryFixedSize);
  if (ahead != nullptr) ahead->expectEntry = false;
  return 1;
}

bool ReadFileBlock(const uint8_t** bytes, int32_t* length) {
  ReadAhead* ahead = Current();
  *length = 0;
  if (ahead != nullptr) {
    GiveBackTaken(ahead);
    ReadAheadAll(ahead);
    Record* record = Head(ahead);
    if (record != nullptr) {
      g_taken = record;
      if (record->kind == Kind::kEndRecord) return true;
      FinishHeadBlock(ahead, record, bytes != nullptr);
      if (bytes == nullptr) {
        *length = static_cast<int32_t>(record->storedLength);
        return true;
      }
      if (record->verdict == BlockVerdict::kStoredChecksumMismatch ||
          record->verdict == BlockVerdict::kExpandedChecksumMismatch) {
        g_setup.corrupt = true;
      }
      if (record->verdict != BlockVerdict::kOk) return false;
      *bytes = record->buffer;
      *length = static_cast<int32_t>(record->expandedLength);
      return true;
    }
  }
  bool read = false;
  if (bytes == nullptr) {
    read = ExtractBlock(nullptr, length, 0);
  } else if (ahead != nullptr && ahead->blockBuffer != nullptr) {
    read = ExtractBlock(ahead->blockBuffer, length, kFileBlockCapacity,
                        ahead->memory.work != nullptr ? &ahead->memory : nullptr);
    *bytes = ahead->blockBuffer;
  }
  if (read && *length == 0 && ahead != nullptr) ahead->expectEntry = true;
  return read;
}
