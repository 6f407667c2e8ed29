// The PE image checksum (the optional header's CheckSum word), as the image loader and
// the linker compute it. Windows checks it for drivers and a few system libraries; a
// file whose bytes are changed must get it right again where it had one.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The checksum of the `size` bytes at `image`, leaving out the four bytes of the
// checksum word at `checksumOffset`: the 16-bit words summed with their carries folded
// back in, then the file's length added.
uint32_t PeImageChecksum(const uint8_t* image, size_t size, size_t checksumOffset);
