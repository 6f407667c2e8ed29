// The block checksum eight bytes at a time, for the builder, which checksums every block
// twice. Gives exactly what BlockChecksum gives.
#pragma once

#include <stddef.h>
#include <stdint.h>

uint32_t BlockChecksumWide(const uint8_t* data, size_t length, uint32_t start);
