// A PE file's version resource: the file version of its fixed file information, and the
// self-registration marker as the installer looks for it in every language of the
// resource that Windows may pick. Host only.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

struct PeVersionInfo {
  bool hasVersion = false;   // a fixed file information block was found
  uint16_t version[4] = {};  // major, minor, build, revision
};

// Reads the first version resource (resource type 16, first name, first language) of
// the PE32 or PE32+ image in [data, data + size). Any bytes may be passed, including
// none: nothing outside the range is read, and a damaged or hostile file only gives
// "no version". Returns true when a version resource was found, whether or not it holds
// a fixed file information block; *info is fully written in every case. The root
// block's name is not looked at, as Windows does not.
// This is the entry point for fuzzing the reader.
bool ReadPeVersionInfo(const uint8_t* data, size_t size, PeVersionInfo* info);

// The file version (dwFileVersionMS high and low word, dwFileVersionLS high and low
// word). Returns false, leaving `version` all zero, when the image has none.
bool ReadPeFileVersion(const std::vector<uint8_t>& image, uint16_t version[4]);

// The installer's test for a self-registering library, done on each version resource
// of the image: Windows hands GetFileVersionInfo the language that suits the machine, so
// each one may be the one the installer sees. The test looks up, as VerQueryValue does,
// the first translation of \VarFileInfo\Translation and then "OLESelfRegister" in the
// string table of that translation.
struct SelfRegistrationMarks {
  size_t resources = 0;  // version resources, every name and language
  size_t marked = 0;     // those the test finds the marker in
  bool complete = true;  // false: more resources than twk reads (PeImage::AllResources)
};
SelfRegistrationMarks CountSelfRegistrationMarks(const std::vector<uint8_t>& image);

// True when the installer registers the image on some machine: one of its version
// resources carries the marker where the test looks.
bool PeHasOleSelfRegister(const std::vector<uint8_t>& image);

// The file offsets of the keys (UTF-16 text, 15 units) of every "OLESelfRegister" entry,
// letter case ignored, in every string table of every version resource: renamed, they
// leave the test nothing to find in any language.
std::vector<size_t> FindOleSelfRegisterKeys(const std::vector<uint8_t>& image);
