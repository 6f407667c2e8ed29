// `twk build` without its command line: script in, installation file and volumes out.
#pragma once

#include <stdint.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct BuildRequest {
  std::string script;       // the script file
  std::string output;       // empty: SETUP.EXE in the script's folder
  uint64_t volumeSize = 0;  // 0: a single file; otherwise the largest size of each file
  std::string stub;         // empty: DefaultStubPath(arch)
  std::string arch = "x86";
  bool progress = false;    // draw the progress line (on a terminal)
  unsigned jobs = 0;        // compressing threads; 0: one per processor
  // NAME, VALUE pairs (-D NAME=VALUE): ${NAME} in the script; a !define of the same
  // name in the script is passed over.
  std::vector<std::pair<std::string, std::string>> defines;
  bool strict = false;      // every warning is an error
  // SOURCE_DATE_EPOCH (seconds since 1970-01-01 UTC): a file modified later goes into the
  // package with this time, so that checkouts made at other times build the same bytes.
  std::optional<int64_t> sourceDateEpoch;
};

struct BuildResult {
  std::vector<std::string> files;     // written, the installation file first
  std::vector<std::string> warnings;  // complete messages without the "twk: " prefix
  uint64_t packageLength = 0;         // package bytes, volume length words not counted
  size_t fileCount = 0;
  uint32_t blockCount = 0;            // data blocks of all files (size table word 7)
};

// Builds the installation file. Same inputs, same bytes: nothing of the build's own time
// or place goes into the output. Throws CommandError for anything it refuses; then no output
// file has been replaced (everything is written under temporary names first). Every error
// of the script, its includes and the files they name comes at once, as ScriptErrors,
// before anything is compressed.
BuildResult BuildInstaller(const BuildRequest& request);

// The default output: SETUP.EXE beside the script.
std::string DefaultOutputPath(const std::string& script);
