// Reading one block record from the package stream.
#pragma once

#include <stdint.h>

#include "package/block_record.h"

// Consumes exactly one block record from the package stream, whatever the verdict
// (2 bytes for an end record, 10 plus the stored length otherwise), unless a read of the
// stored length or a checksum fails.
//
// Extract mode (`buffer` given): `buffer` holds `capacity` bytes, and `capacity` is a
// block capacity (kHeaderBlockCapacity or kFileBlockCapacity). The stored bytes are read
// into it, checked against the stored checksum before anything is expanded, expanded in
// place within `capacity`, and checked against the expanded checksum. True with *length
// = the expanded bytes in `buffer`, or 0 for the end record of a file. False when a read
// of the fixed fields failed (the cancel flag says so), when a checksum does not match or
// the stored bytes cannot be read (the corrupt flag is set), or when the expansion
// refuses the block (no flag). Nothing is written outside `buffer`.
//
// Skip mode (`buffer` nullptr): the stored bytes are read and dropped without any check.
// True with *length = the stored length, or -1 when they could not be read (the cancel
// flag is set, and the caller's skip loop stops on it); 0 for an end record. False when a
// fixed field cannot be read, or memory for the scratch area runs out.
// `memory`, when given, is the expansion's memory taken for `capacity`.
bool ExtractBlock(uint8_t* buffer, int32_t* length, uint32_t capacity,
                  const ExpandMemory* memory = nullptr);
