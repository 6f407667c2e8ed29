// Resolving [Files] lines to files on disk.
#include "twk/build/build_sources.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "host/host_folder.h"
#include "host/host_process.h"
#include "package/format.h"
#include "pe/pe_image.h"
#include "pe/version_resource.h"
#include "twk/common/build_error.h"
#include "twk/common/input_file.h"
#include "twk/script/script_checks.h"
#include "twk/script/script_paths.h"

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t kUnixEpochInFileTimeSeconds = 11644473600;

// PE images larger than this are not searched for a version resource; no executable the
// installer is meant for comes near it. A register= option on one is refused, not dropped.
constexpr uint64_t kMaxVersionedImage = 1ull << 30;

std::string LowerAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string FileNameOf(const std::string& path) {
  return path.substr(host::NameStart(path));
}

char FoldCase(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The regular files of `pattern`'s folder whose names match its last component, sorted
// byte by byte so that every build, on every system, lists them in the same order. The
// names are matched here rather than by the system, whose wildcards differ from one
// system to the other (Windows also matches a pattern against a file's 8.3 short name).
std::vector<std::string> ExpandWildcard(const SetupScript& script, const FileItem& file,
                                        const std::string& pattern) {
  const std::string place = script.Place(file.line);
  const size_t nameStart = host::NameStart(pattern);
  std::string folder = nameStart == 0 ? "." : pattern.substr(0, nameStart);
  // "dir/" is read as "dir"; "/" and "C:/" stay whole.
  if (folder.size() > 1 && folder.back() == '/' && folder[folder.size() - 2] != ':') folder.pop_back();
  const std::string namePattern = pattern.substr(nameStart);
  const size_t sourceSlash = file.source.find_last_of("/\\");
  if (sourceSlash != std::string::npos && IsWildcard(file.source.substr(0, sourceSlash))) {
    ThrowScriptError(place, "wildcards are allowed in the file name only");
  }
  std::vector<std::string> names;
  host::Failure failure;
  if (!host::ListFolder(folder, &names, &failure)) {
    ThrowScriptError(place, "cannot read folder '" + folder + "': " + failure.reason);
  }
  names.erase(std::remove_if(names.begin(), names.end(),
                             [&](const std::string& name) { return !MatchesWildcard(namePattern, name); }),
              names.end());
  std::sort(names.begin(), names.end());
  std::vector<std::string> paths;
  for (const std::string& name : names) {
    const char last = folder.back();
    const std::string path = folder + (last == '/' || last == ':' ? "" : "/") + name;
    if (host::FactsOf(path, true).kind == host::FileKind::kRegular) paths.push_back(path);
  }
  if (paths.empty()) ThrowScriptError(place, "'" + file.source + "' matches no file");
  return paths;
}

// What register= asks of the file, against what its bytes say in every language that
// Windows may hand the installer. An option that cannot be checked is an error, never
// passed over.
void ApplyRegistration(const FileItem& file, const std::vector<uint8_t>& image,
                       const std::string& imageProblem, SourceFile* source) {
  const SelfRegistrationMarks marks = CountSelfRegistrationMarks(image);
  source->selfRegisters = marks.marked != 0;
  if (file.registerOption == RegisterOption::kAsTheFileSays) return;
  const bool required = file.registerOption == RegisterOption::kRequired;
  std::string problem = imageProblem;
  if (problem.empty() && !marks.complete) {
    problem = "its resource tree holds more than the " +
              std::to_string(PeImage::kMaxResourceEntries) + " entries twk reads";
  }
  if (!problem.empty()) {
    ThrowScriptError(source->place, std::string(required ? "register=yes cannot be checked"
                                                         : "register=no cannot be kept") +
                                        " for '" + source->path + "': " + problem);
  }
  if (required && marks.marked == 0) {
    ThrowScriptError(source->place,
                     "register=yes, but '" + source->path +
                         "' has no OLESelfRegister entry in its version resource: the "
                         "installer registers only the files that say they can");
  }
  if (required && marks.marked < marks.resources) {
    ThrowScriptError(source->place,
                     "register=yes, but only " + std::to_string(marks.marked) + " of the " +
                         std::to_string(marks.resources) + " languages of the version "
                         "resource of '" + source->path + "' have the OLESelfRegister entry: "
                         "Windows picks the language by the machine's, and the installer "
                         "registers the file only where it picks one that has it");
  }
  if (required || !source->selfRegisters) return;
  if (!UnmarkSelfRegistration(image, &source->changes, &problem)) {
    ThrowScriptError(source->place, "register=no cannot be kept for '" + source->path +
                                        "': " + problem);
  }
  source->selfRegisters = false;
}

std::string MachineName(uint16_t machine) {
  switch (machine) {
    case kPeMachineI386: return "32-bit x86";
    case kPeMachineAmd64: return "64-bit x64";
    case 0x1C0: case 0x1C2: case 0x1C4: return "ARM";
    case 0xAA64: return "ARM64";
    case 0x200: return "Itanium";
  }
  char text[32];
  std::snprintf(text, sizeof text, "machine 0x%04X", machine);
  return text;
}

// A process loads only libraries of its own machine: a library the installer registers
// but cannot load fails its registration on every machine, after every file is written.
void CheckRegistrationLoads(const std::vector<uint8_t>& image, const SourceFile& source,
                            uint16_t installerMachine) {
  if (!source.selfRegisters) return;
  const uint16_t machine = PeImage(image.data(), image.size()).machine();
  if (machine == installerMachine) return;
  std::string build = "pack a build of it for " + MachineName(installerMachine);
  if (machine == kPeMachineI386) build = "build the installer for x86 (--arch x86)";
  if (machine == kPeMachineAmd64) build = "build the installer for x64 (--arch x64)";
  ThrowScriptError(source.place,
                   "'" + source.path + "' registers itself (OLESelfRegister), but it is a " +
                       MachineName(machine) + " library, which the " +
                       MachineName(installerMachine) +
                       " installer cannot load to register it: add register=no to the line, "
                       "or " + build);
}

SourceFile Describe(const SetupScript& script, const FileItem& file, const std::string& path,
                    const SourceLimits& limits) {
  SourceFile source;
  source.line = file.line;
  source.place = script.Place(file.line);
  InputFile input;
  const InputStatus status = input.Open(path);
  if (status != InputStatus::kOk) {
    ThrowUnusableInput(source.place, "source '" + path + "'", status, input.problem());
  }
  source.path = path;
  source.target = file.target;
  if (!source.target.empty() && source.target.back() == '\\') source.target += FileNameOf(path);
  source.size = input.size();
  source.shared = file.shared;
  source.fileTime = std::min(input.modified(), limits.latestFileTime);
  const uint64_t blocks = (source.size + kPieceSize - 1) / kPieceSize;
  if (blocks > kMaxBlocksPerFile) {
    ThrowScriptError(source.place, "'" + path + "' needs " + std::to_string(blocks) +
                                       " blocks; a file entry holds at most 65535 (about 4 GB)");
  }
  std::string imageProblem;
  const std::vector<uint8_t> image = ReadSourceImage(path, &imageProblem);
  if (file.hasVersion) {
    std::copy(file.version, file.version + 4, source.version);
  } else {
    ReadPeFileVersion(image, source.version);
  }
  ApplyRegistration(file, image, imageProblem, &source);
  CheckRegistrationLoads(image, source, limits.installerMachine);
  CheckFileTarget(script, file.line, source.target, source.shared);
  return source;
}

// Paths of one [Files] line: the source itself, or a wildcard's matches.
std::vector<std::string> SourcePaths(const SetupScript& script, const FileItem& file) {
  const std::string pattern = ScriptRelativePath(script, file.source);
  if (IsWildcard(file.source)) return ExpandWildcard(script, file, pattern);
  return {pattern};
}

}  // namespace

std::vector<SourceFile> ResolveSourceFiles(const SetupScript& script,
                                           ScriptDiagnostics* diagnostics,
                                           const SourceLimits& limits) {
  std::vector<SourceFile> sources;
  std::map<std::string, std::pair<int, std::string>> installed;  // identity -> line, target
  for (const FileItem& file : script.files) {
    diagnostics->Record(file.line, [&] {
      for (const std::string& path : SourcePaths(script, file)) {
        SourceFile source = Describe(script, file, path, limits);
        const auto known = installed.emplace(TargetIdentity(source.target),
                                             std::make_pair(file.line, source.target));
        if (!known.second) {
          const std::pair<int, std::string>& first = known.first->second;
          const bool sameText = LowerAscii(first.second) == LowerAscii(source.target);
          ThrowScriptError(source.place,
                           "target '" + source.target + "' is already installed by " +
                               script.LineReference(file.line, first.first) +
                               (sameText ? "" : " as '" + first.second +
                                                    "': the installer puts both in the same place"));
        }
        sources.push_back(std::move(source));
      }
    });
  }
  return sources;
}

std::string ScriptRelativePath(const SetupScript& script, const std::string& path) {
  std::string local = path;
  std::replace(local.begin(), local.end(), '\\', '/');
  if (host::IsRooted(local)) return local;
  const bool nameFollows = host::NameStart(script.folder) == script.folder.size();
  return script.folder + (nameFollows ? "" : "/") + local;
}

uint64_t FileTimeFromUnix(int64_t seconds, uint32_t nanoseconds) {
  if (seconds < -kUnixEpochInFileTimeSeconds) return 0;
  return static_cast<uint64_t>(seconds + kUnixEpochInFileTimeSeconds) * 10000000u +
         nanoseconds / 100;
}

bool MatchesWildcard(const std::string& pattern, const std::string& name) {
  if (!name.empty() && name[0] == '.' && (pattern.empty() || pattern[0] != '.')) return false;
  // The last '*' seen and where the name stood then: a mismatch later lets that '*' take
  // one character more, which finds a match whenever there is one.
  size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<uint8_t> ReadSourceImage(const std::string& path, std::string* problem) {
  problem->clear();
  InputFile file;
  uint8_t magic[2] = {0, 0};
  size_t got = 0;
  if (file.Open(path) != InputStatus::kOk ||
      file.Read(magic, sizeof magic, &got) != InputStatus::kOk) {
    *problem = "it cannot be read: " + file.problem();
    return {};
  }
  if (got != sizeof magic || magic[0] != 'M' || magic[1] != 'Z') return {};
  if (file.size() > kMaxVersionedImage) {
    *problem = "it is a Windows program of more than 1 GiB, more than twk looks into for its "
               "version resource";
    return {};
  }
  std::vector<uint8_t> image(static_cast<size_t>(file.size()));
  std::copy(magic, magic + 2, image.begin());
  if (file.Read(image.data() + 2, image.size() - 2, &got) != InputStatus::kOk ||
      got != image.size() - 2) {
    // The build notices a file that changes while it is read again when it packs it.
    *problem = "it changed while it was read";
    return {};
  }
  return image;
}
