// Where the package bytes of a signed installation file end. A signing tool appends a
// certificate table to the file, after the package, and names it in the PE headers; in a
// single-file installer nothing reads that far, but in the first file of a volume set the
// package goes on into the next volume at the end of the file's package bytes, and the
// table must not be read as the package's next bytes. The stub and twk agree on this end.
#pragma once

#include <stdint.h>

// How many of the installation file's first bytes are read for its PE headers: those of
// the stub, at the start of its first 512 bytes.
constexpr uint32_t kSignatureHeadSize = 512;

// The file offset at which the package bytes of the installation file end, 0 when they
// run to its end. `packageStart` is the package offset, `lengthWord` the volume length
// word read there, `certificateOffset` where the certificate table starts (0: none). A
// table that does not lie after the length word is no signature of this package: 0. Else
// the end is the length word, which twk build sets to the file's length as built, when it
// lies between the word's own end and the table (a signing tool may pad the file before
// the table), and the table's start otherwise.
uint32_t SignedVolumeEnd(uint32_t packageStart, uint32_t lengthWord, uint32_t certificateOffset);
