// Two things about a Windows program file (a PE image) that a byte copy of it must get
// right: the image checksum of the whole file, summed as the file is written, and the
// certificate-table entry of a signed program, which in a copy would point past its end;
// and where a signed program's signature begins, which no reader may take for its data.
#pragma once

#include <stdint.h>

// The image checksum of the bytes written so far: their 16-bit little-endian words added
// with the carries folded back in, and their count. A file's checksum field counts as
// zero, so it is summed while it holds zero and written last.
struct ImageChecksum {
  uint32_t sum = 0;
  uint32_t length = 0;  // odd: the next byte is the high half of a word
};

// Adds the next `count` bytes of the file to `checksum`.
void AddToImageChecksum(ImageChecksum* checksum, const uint8_t* bytes, uint32_t count);

// The checksum field's value for a file of exactly the bytes added.
uint32_t ImageChecksumValue(const ImageChecksum& checksum);

// `head` holds the first `length` bytes of a program file. When they hold its PE headers
// (a PE32 or PE32+ optional header with at least five data directories), empties the
// certificate-table entry and zeroes the checksum field, and returns the field's offset.
// Returns 0 and changes nothing otherwise. Nothing outside `head` is read or written.
uint32_t ClearSignatureFields(uint8_t* head, uint32_t length);

// The file offset of the certificate table (a signature) that the PE headers in `head`
// name, as a signing tool appends it after everything else in the file; 0 when `head`
// holds no such headers or they name no table. Nothing outside `head` is read.
uint32_t CertificateTableOffset(const uint8_t* head, uint32_t length);
