// The installer's texts in the stub: the section (base/message_section.h) that a script's
// Language and [Messages] make, added to the stub's image as a PE section of its own.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "twk/script/script_model.h"

// The section's bytes for `script`; empty when it sets neither Language nor [Messages]
// (the stub is then used as it is, and shows its English texts).
std::vector<uint8_t> TextSectionOf(const SetupScript& script);

// Appends `section` to the PE image `stub` as its last section (kMessageSectionName,
// initialised read-only data): its header after the others, in the room the headers
// leave, its bytes at the file's end aligned as the image asks, the image's size and
// section count raised and its checksum, where it has one, computed anew. Throws an input
// error naming `name` for a stub that is no PE image, has no room for another section
// header, or is signed (the signature would no longer hold).
void AddTextSection(std::vector<uint8_t>* stub, const std::vector<uint8_t>& section,
                    const std::string& name);
