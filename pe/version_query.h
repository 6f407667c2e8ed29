// VerQueryValue over a version-information blob (a VS_VERSIONINFO resource as it lies in
// the file: nested blocks of length, value length, type, UTF-16 key, value, children).
// Bounds-checked: any bytes may be passed, and nothing outside [blob, blob + size) is
// read or pointed at.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The first version resource of the PE image in [image, image + size): *blob points
// into the image and *blobSize is the resource's size, which holds at least its root
// block's length. False when there is none.
bool FindVersionResource(const uint8_t* image, size_t size, const uint8_t** blob,
                         size_t* blobSize);

// Looks up `subBlock` in the blob: "\" (the fixed file information, false when it is
// shorter than the 52 bytes of a VS_FIXEDFILEINFO), "\VarFileInfo\Translation" or
// "\StringFileInfo\040904B0\Name". Keys are compared without regard to ASCII case. On
// true *value points at the value inside the blob and *length is its size: bytes for a
// binary value, UTF-16 characters (as stored, usually with the terminator) for a text
// value; the whole of it lies inside the blob. A key that exists with an empty value
// gives true with *length 0.
bool QueryVersionBlob(const uint8_t* blob, size_t size, const char* subBlock,
                      const uint8_t** value, uint32_t* length);
