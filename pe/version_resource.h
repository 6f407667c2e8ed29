// A PE file's version resource: the file version of its fixed file information and the
// self-registration marker of its first translation's string table. Host only.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

struct PeVersionInfo {
  bool hasVersion = false;        // a fixed file information block was found
  uint16_t version[4] = {};       // major, minor, build, revision
  bool oleSelfRegister = false;   // "OLESelfRegister" is in the first translation's table
};

// Reads the first version resource (resource type 16, first name, first language) of
// the PE32 or PE32+ image in [data, data + size). Any bytes may be passed, including
// none: nothing outside the range is read, and a damaged or hostile file only gives
// "no version". Returns true when a version resource was found, whether or not it holds
// a fixed file information block; *info is fully written in every case.
// This is the entry point for fuzzing the reader.
bool ReadPeVersionInfo(const uint8_t* data, size_t size, PeVersionInfo* info);

// The file version (dwFileVersionMS high and low word, dwFileVersionLS high and low
// word). Returns false, leaving `version` all zero, when the image has none.
bool ReadPeFileVersion(const std::vector<uint8_t>& image, uint16_t version[4]);

// True when the image's version resource marks it as a self-registering library.
bool PeHasOleSelfRegister(const std::vector<uint8_t>& image);

// The file offsets of the keys (UTF-16 text, 15 units) of every "OLESelfRegister" entry,
// letter case ignored, in every string table of the first version resource: the marker
// of the first translation and the same entry in the tables of other languages.
std::vector<size_t> FindOleSelfRegisterKeys(const std::vector<uint8_t>& image);
