// An installer read once for `twk diff`: what it installs, with each file's content known
// by the SHA-256 of its expanded bytes, so that two installers compare by what they put on
// the machine and not by how their packages are laid out (blocks, volumes).
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "twk/installer_listing.h"
#include "twk/reader/installer_reader.h"

struct DigestedFile {
  FileEntry entry;
  bool contentKnown = true;  // false when a block is damaged: size and digest unknown
  uint64_t size = 0;
  std::string sha256;        // of the expanded bytes, 64 hexadecimal digits
  Knowledge selfRegisters = Knowledge::kNo;  // as `twk list` tells it
};

struct InstallerDigest {
  std::string path;
  InstallerHeader header;
  std::vector<DigestedFile> files;
  std::vector<std::string> shortcuts;  // the lines of the shortcut list
  std::vector<std::string> registry;   // the lines of the registry list
  std::string runAfter;
  // What is damaged, each naming the file and where, in the order found. A digest with
  // problems is incomplete or wrong somewhere: it must not be compared as if whole.
  std::vector<std::string> problems;
  int exitCode = 0;  // kExitOk; a ReadError's code; kExitDamaged for any other problem
};

// Reads the installation file at `path` and its volumes once, its blocks expanded by
// `jobs` threads (0: one per processor) while this one reads on. Never throws for what it
// finds: it goes into `problems`.
InstallerDigest ReadInstallerDigest(const std::string& path, unsigned jobs);
