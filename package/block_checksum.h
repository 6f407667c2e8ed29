// The block checksum: a table-driven 32-bit checksum over the CRC-32 polynomial in its
// most-significant-bit-first table, updated in the right-shifting form and never
// inverted. It is not CRC-32; packages carry exactly this value.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Every caller passes kChecksumStart (0xFFFFFFFF) as `start`.
uint32_t BlockChecksum(const uint8_t* data, size_t length, uint32_t start);
