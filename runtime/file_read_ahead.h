// The file list of the package read for the file phase: the entries and block records in
// stream order, with the block records read ahead and expanded on worker threads (one
// fewer than the processors, at most kMaxDecodeThreads in all) while the one thread that
// reads the stream writes files and asks questions in package order.
//
// Only the thread that reads the package stream calls these. Reading ahead never prompts
// and never changes volume: it takes only whole records that the open volume has. Where
// it stops (a volume's end, a failed read, a full window), the records are read from the
// stream when they are asked for, as they always were, so that the "Next disk" and
// "Critical Error!" prompts come at the same place in the run. The records read ahead
// stop at the empty name that ends the list: the stream then stands where the file
// phase leaves it. A run that ends early leaves records read ahead unused; nothing reads
// the stream after it.
//
// On one processor nothing is read ahead and no thread starts: blocks are expanded as
// they are asked for, with memory taken once for the run, and the stream is read in
// large pieces.
#pragma once

#include <stdint.h>

#include "package/format.h"

// At most this many threads expand blocks, the writing thread among them (a build may
// set fewer: TWK_DECODE_THREADS).
constexpr uint32_t kMaxDecodeThreads = 8;

// Begins the file phase's reading: buffered reading of the stream, the workers, the
// window of blocks in flight. A missing thread or buffer only means less reading ahead.
void StartFileReadAhead();
// Ends it: the workers finish the block they expand and stop, and every buffer is
// released. Harmless when nothing was started.
void StopFileReadAhead();

// The next file entry. 1: its name (NUL-terminated; kStringRecordBufferSize bytes) and
// fixed fields are filled in; 0: the empty name that ends the list; -1: a read failed
// (the stream has spoken, and the cancel flag says so when the user gave up). The bytes
// of the entry go into the directory checksum as they are taken.
int ReadFileEntry(char* name, uint8_t fields[kFileEntryFixedSize]);

// The next block record of the current file, as ExtractBlock reads it: in extract mode
// (`bytes` given) its expanded bytes, valid until the next call, at *bytes; in skip mode
// (`bytes` nullptr) the stored length, unchecked. *length 0 is the end record. The
// verdicts and the flags they set are ExtractBlock's.
bool ReadFileBlock(const uint8_t** bytes, int32_t* length);
