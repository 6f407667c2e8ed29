// From the script's [Files] lines to the list of files the package will hold: wildcards
// expanded (in sorted order), folder targets completed, each file's size, version and
// modification time taken from disk.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "twk/build/source_registration.h"
#include "twk/script/script_diagnostics.h"
#include "twk/script/script_model.h"

struct SourceFile {
  int line = 0;            // the rank of the script line that named it
  std::string place;       // and that line as messages name it: "demo.twk:12"
  std::string path;        // on this machine
  std::string target;      // in the package, with its path macro
  uint64_t size = 0;
  uint16_t version[4] = {0, 0, 0, 0};
  uint64_t fileTime = 0;   // FILETIME of the modification time
  bool shared = false;
  bool selfRegisters = false;       // its packed copy carries the self-registration marker
  std::vector<ByteChange> changes;  // made to the bytes as they are packed (register=no)
};

// What the files are held to beyond the script.
struct SourceLimits {
  // The machine the installer runs as (a PE file header's Machine): a library that it
  // registers must be one its loader can load.
  uint16_t installerMachine = 0x14C;  // i386 (pe/pe_image.h)
  // SOURCE_DATE_EPOCH as a FILETIME: a later modification time is packed as this one.
  uint64_t latestFileTime = UINT64_MAX;
};

// Resolves every [Files] line, in script order. Keeps in *diagnostics, naming the script
// line, an input error for a source that does not exist, cannot be read or is no regular
// file, and a script error for a wildcard that matches nothing, a file of more than
// kMaxBlocksPerFile blocks, a target that breaks CheckFileTarget, a register= option the
// file cannot follow, a library it registers that the installer cannot load (`limits`),
// and a target that two lines (or two matches) both install: the
// second copy would overwrite the first with an overwrite question, and the uninstall log
// and a shared file's count would hold it twice. Targets are compared as the installer
// will expand them (TargetIdentity), without regard to ASCII letter case as Windows does.
// The result holds the files of the lines that passed.
std::vector<SourceFile> ResolveSourceFiles(const SetupScript& script,
                                           ScriptDiagnostics* diagnostics,
                                           const SourceLimits& limits = SourceLimits());

// A path of the script (a source or the licence file) as a path of this machine: '\' and
// '/' both separate folders, and a relative path starts from the script's folder.
std::string ScriptRelativePath(const SetupScript& script, const std::string& path);

// A time in seconds since 1970 (SOURCE_DATE_EPOCH) as a Windows FILETIME: 100-nanosecond
// intervals since 1601-01-01 UTC. Times before 1601 give 0.
uint64_t FileTimeFromUnix(int64_t seconds, uint32_t nanoseconds);

// Whether the file name `name` matches the wildcard `pattern`: '*' stands for any run of
// characters, '?' for one, anything else for itself, ASCII letters without regard to case
// as on Windows; a name starting with '.' only matches a pattern that starts with '.'. The
// same on every system, so that a script takes the same files on Linux and on Windows.
bool MatchesWildcard(const std::string& pattern, const std::string& name);

// The whole file when it starts like a Windows executable ("MZ"); empty for any other
// file. When it is one but cannot be read whole (more than 1 GiB, more than twk looks
// into, or unreadable), empty too, and *problem says why; "" otherwise.
std::vector<uint8_t> ReadSourceImage(const std::string& path, std::string* problem);
