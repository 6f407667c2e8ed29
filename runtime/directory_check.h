// The directory check of an installation: the file entries and the lists after them
// carry no checksums of their own, so the installer sums them as it reads and compares
// the sum with the header's directory checksum before it acts on any list. A damaged
// name or list line is then reported as damage rather than installed.
#pragma once

#include <stdint.h>

// Adds `count` bytes that the installer has read from the directory to the running sum.
void AddToDirectoryChecksum(const void* bytes, uint32_t count);

// Adds the string record that ReadStringRecord returned last (its length byte and its
// characters).
void AddStringRecordToDirectoryChecksum();

// Once the empty record has ended the file entries: reads the shortcut list, the
// registry list and the run-after command whole into memory, adds them to the sum and
// compares it with the header's checksum. True when the lists were read and the sum
// matches (or the package has no checksum); from then on the package stream hands out
// the lists' bytes from memory, so that the lists are read as before. False when a read
// failed (the stream's own prompts have spoken; the cancel flag tells), the lists run
// over kMaxListSectionSize, or the sum differs: the last two set the corrupt flag.
bool ReadAndCheckListSection();

// Releases the lists read by ReadAndCheckListSection; the stream reads its volume again.
void ReleaseListSection();

// Serves a package read from the lists in memory: `count` bytes into `buffer`. Returns
// `count`, or -1 (corrupt flag set) when the lists hold fewer bytes than asked: every
// reader of the lists reads them the way they were read into memory, so that means the
// lists were not what they seemed.
int32_t ReadFromListSection(void* buffer, uint32_t count);
