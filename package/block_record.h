// Verification and expansion of one block record's stored bytes, apart from any stream:
// the stub's ExtractBlock and twk's reader share it.
#pragma once

#include <stdint.h>

#include "codec/expand_block.h"

enum class BlockVerdict {
  kOk,
  kStoredChecksumMismatch,    // the stored bytes are damaged; nothing was expanded
  kExpansionFailed,           // expansion refused the block; its checksum matched
  kExpandedChecksumMismatch,  // expanded (or refused), but not to the bytes that were packed
};

// `buffer` holds `capacity` bytes, its first `storedLength` (1..65535) being the stored
// bytes. Checks them against `storedChecksum` before expanding anything, expands them
// in place and checks the result against `expandedChecksum`. On kOk *expandedLength is
// the number of expanded bytes in `buffer`. `memory`, when given, is the expansion's
// memory taken for `capacity` (see ExpandBlock). Touches nothing but its arguments, so
// that blocks can be checked on several threads at once.
BlockVerdict VerifyAndExpandBlock(uint8_t* buffer, uint32_t storedLength,
                                  uint32_t expandedChecksum, uint32_t storedChecksum,
                                  uint32_t capacity, uint32_t* expandedLength,
                                  const ExpandMemory* memory = nullptr);
