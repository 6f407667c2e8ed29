// What `twk list` shows, read once and then written as text or as JSON: the header, the
// files with their sizes and whether the installer registers them, the shortcuts, the
// registry lines, the run-after command and the volumes.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "twk/reader/installer_reader.h"
#include "twk/reader/installer_texts.h"

enum class Knowledge { kNo, kYes, kUnknown };

// Whether the installer self-registers the program whose whole bytes are `image`: yes when
// a language of its version resource carries the marker where the installer looks
// (Windows picks the language by the machine's), unknown when its resource tree holds
// more than twk reads.
Knowledge SelfRegistrationOf(const std::vector<uint8_t>& image);

struct ListedFile {
  FileEntry entry;
  int blocks = 0;           // the block records read (the entry announces its own count)
  bool sizeKnown = true;    // false when a block is damaged
  uint64_t size = 0;
  // Whether the installer self-registers the file once extracted: a language of its
  // version resource carries the OLESelfRegister marker (Windows picks the language by
  // the machine's). Unknown for a damaged file and for one too large to look into.
  Knowledge selfRegisters = Knowledge::kNo;
};

struct ListedVolume {
  std::string path;
  uint64_t size = 0;
  uint32_t lengthWord = 0;
};

struct InstallerListing {
  std::string path;
  uint32_t packageOffset = 0;
  bool opened = false;      // an installation file, read up to its header record
  bool haveHeader = false;  // the header block expanded and parsed
  InstallerHeader header;
  InstallerTexts texts;     // the language and the texts the script replaced
  std::vector<ListedFile> files;
  bool filesComplete = false;  // the file list was read to its end
  bool haveLists = false;      // shortcuts, registry lines and run-after command read
  RecordList shortcuts;
  std::vector<std::string> registry;
  std::string runAfter;
  std::vector<ListedVolume> volumes;
  std::string end;                    // where the package ends: "SETUP.EXE at offset 1234"
  std::vector<std::string> problems;  // what is damaged, in the order found
  int exitCode = 0;                   // of `twk list` (exit_codes.h)
};

// Reads the installation file at `path` and its volumes. Never throws for what it
// finds: damage goes into `problems`, and the listing holds everything read before it.
InstallerListing ReadInstallerListing(const std::string& path);
