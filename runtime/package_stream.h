// The package stream: the one forward-only reader through which the program consumes
// its package. It starts at the package offset inside the program's own file (volume 0)
// and continues into the volumes SETUP.001, SETUP.002... when the package spans disks.
// No seeking back. Each request becomes file reads of exactly the requested size until
// the file phase turns buffering on: then the volume is read in large pieces, and the
// bytes of the pieces can be looked at before they are taken (PeekPackage). Its state
// lives in the setup state; one thread uses it at a time.
#pragma once

#include <stdint.h>

// The package offset word that the builder patched into the stub: the stub's length and
// the file offset of the package in volume 0. 0 in a stub that carries no package.
uint32_t PackageOffset();

// Opens the next volume (volume 0 on the first call), positions it at its start offset
// and consumes its 4-byte volume length word; then counts it as opened. A missing volume
// brings the "Next disk, please..." prompt (OK tries again); a volume too short for its
// length word, or one whose word cannot be read, the "File Damaged" prompt (Retry opens it
// again from the start). Returns false when the module path is unavailable, when volume 0
// carries no package, or when the user cancels either prompt (no volume is then open).
// The length word is read within the volume alone, so a short volume never leads back
// into OpenVolume.
bool OpenVolume();

// Closes the open volume, if any.
void CloseVolume();

// Reads exactly `count` bytes (at most 0x7FFFFFFF) into `buffer`, which holds at least
// `count` bytes, crossing into later volumes as needed. Returns `count`, or -1 when a read
// failed and the user cancelled the "Critical Error!" prompt (the cancel flag is then
// set). When the next volume cannot be opened the process ends with exit code 1: the
// prompts of OpenVolume were the user's last word. Nothing is read beyond `count` bytes,
// so a package that ends exactly at the end of a volume never asks for the next one.
// A maintenance program (mode not install) has no volumes: a read that runs past the end
// of its file shows "File Damaged" with OK (once per process), sets the corrupt and the
// cancel flag and returns -1.
int32_t ReadPackage(void* buffer, uint32_t count);

// Reports, once per process, that the running file (a maintenance program, which has no
// volumes to ask for again) is damaged: the "File Damaged" text with OK alone. Sets the
// corrupt and the cancel flag, so that every reader stops.
void ReportDamagedProgram();

// Size of the buffer of buffered reading: room for a whole block record and more.
constexpr uint32_t kPackageBufferSize = 0x20000;

// From here on the package is read in pieces of up to kPackageBufferSize bytes. A read
// of a piece that fails turns the open volume back to reads of exactly the requested
// size, so that a damaged place brings the "Critical Error!" prompt at the request that
// covers it, as it would unbuffered. False (reads stay unbuffered) when the buffer
// cannot be had.
bool StartBufferedReading();

// Buffered reading only: makes the next `count` bytes (at most kPackageBufferSize) of the
// open volume available at *bytes without taking them, reading more of the volume if
// needed. Never prompts and never changes volume: false when the bytes are not all in
// this volume, a read fails (the failed place is then read again, exactly, by the
// request that reaches it) or buffering is off.
bool PeekPackage(uint32_t count, const uint8_t** bytes);

// Takes `count` bytes that PeekPackage has shown.
void TakePeekedPackage(uint32_t count);

// Reads one string record. Returns its characters, NUL-terminated, in the setup state's
// string record buffer (overwritten by the next call: copy it before reading again), or
// "" when it could not be read: a failed read looks like the empty record that ends every
// list, and the cancel flag tells why.
const char* ReadStringRecord();
