// The steps of a build, in order: script, checks, sources, stub, package, volumes.
#include "twk/build/build_installer.h"

#include "host/host_file.h"
#include "host/host_folder.h"
#include "host/host_process.h"
#include "package/format.h"
#include "pe/pe_image.h"
#include "twk/build/build_progress.h"
#include "twk/build/build_sources.h"
#include "twk/build/package_writer.h"
#include "twk/build/stub_image.h"
#include "twk/build/volume_writer.h"
#include "twk/common/build_error.h"
#include "twk/common/exit_codes.h"
#include "twk/common/input_file.h"
#include "twk/common/ordered_pool.h"
#include "twk/script/build_lines.h"
#include "twk/script/script_checks.h"
#include "twk/script/script_diagnostics.h"
#include "twk/script/script_parser.h"
#include "twk/script/uninstall_entry.h"

namespace {

constexpr uint64_t kMaxSingleFile = 0xFFFFFFFFu;

std::string FileNameOf(const std::string& path) {
  return path.substr(host::NameStart(path));
}

bool Exists(const std::string& path) {
  return host::FactsOf(path, true).kind != host::FileKind::kMissing;
}

std::string ReadLicence(const SetupScript& script) {
  if (script.licenceFile.value.empty()) return std::string();
  const std::string place = script.Place(script.licenceFile.line);
  const std::string path = ScriptRelativePath(script, script.licenceFile.value);
  std::string text;
  std::string problem;
  // Nothing larger can fit the header block, whatever the other texts hold.
  const InputStatus status = ReadInputFile(path, kHeaderBlockCapacity, &text, &problem);
  if (status == InputStatus::kTooLarge) {
    ThrowScriptError(place, "the header block cannot hold the licence file '" + path + "': it " + problem);
  }
  if (status != InputStatus::kOk) {
    ThrowUnusableInput(place, "the licence file '" + path + "'", status, problem);
  }
  if (text.find('\0') != std::string::npos) {
    ThrowScriptError(place, "the licence file '" + path + "' holds a NUL byte, which would end the text");
  }
  const std::string licence = LicenceForEditControl(text);
  const size_t header = BuildExpandedHeader(HeaderOf(script, licence)).size();
  if (header > kHeaderBlockCapacity) {
    ThrowScriptError(place, "the header block (texts, size table and licence: " +
                                std::to_string(header) + " bytes) does not fit its capacity of " +
                                std::to_string(kHeaderBlockCapacity) + " bytes; shorten the licence");
  }
  return licence;
}

// The script, its includes and the files they name, checked whole: every error at once.
struct CheckedScript {
  SetupScript script;
  std::vector<SourceFile> sources;
  std::string licence;
  std::vector<std::string> warnings;
};

// The machine whose libraries the installer can load: its stub's. A stub that cannot be
// read is reported after the script's errors; until then --arch tells what it will be.
uint16_t InstallerMachine(const BuildRequest& request) {
  std::string stub = request.stub;
  if (stub.empty()) {
    try {
      stub = DefaultStubPath(request.arch);
    } catch (const CommandError&) {
    }
  }
  const uint16_t machine = stub.empty() ? 0 : StubMachine(stub);
  if (machine != 0) return machine;
  return request.arch == "x64" ? kPeMachineAmd64 : kPeMachineI386;
}

SourceLimits LimitsOf(const BuildRequest& request) {
  SourceLimits limits;
  limits.installerMachine = InstallerMachine(request);
  if (request.sourceDateEpoch) limits.latestFileTime = FileTimeFromUnix(*request.sourceDateEpoch, 0);
  return limits;
}

CheckedScript ReadAndCheck(const BuildRequest& request) {
  ScriptDefines defines;
  for (const auto& define : request.defines) defines.SetFromCommandLine(define.first, define.second);
  ScriptDiagnostics diagnostics(request.strict);
  CheckedScript checked;
  checked.script = LoadScript(request.script, &defines, &diagnostics);
  const SetupScript& script = checked.script;
  CheckScript(script, &diagnostics);
  checked.sources = ResolveSourceFiles(script, &diagnostics, LimitsOf(request));
  diagnostics.Record(script.licenceFile.line, [&] { checked.licence = ReadLicence(script); });
  diagnostics.ThrowIfErrors();
  checked.warnings = diagnostics.Warnings();
  return checked;
}

// The script's registry keys, then the Add/Remove Programs entry's details, which the
// installer writes after its own entry exists.
PackageLists ListsOf(const SetupScript& script, uint64_t fileBytes) {
  PackageLists lists;
  for (const ShortcutItem& shortcut : script.shortcuts) {
    lists.shortcuts.push_back(EncodeShortcutLine(shortcut));
  }
  std::vector<RegistryKeyItem> keys = script.registry;
  for (RegistryKeyItem& key : UninstallEntryKeys(script, fileBytes)) keys.push_back(key);
  lists.registry = EncodeRegistryList(keys);
  lists.runAfter = script.runAfter.value;
  return lists;
}

void CheckOutput(const BuildRequest& request, const std::string& output) {
  if (request.volumeSize > kMaxSingleFile) {
    throw CommandError(kExitUsage,
                       "--volume-size is over 4 GiB: a volume's length word has 32 bits");
  }
  if (request.volumeSize != 0 && FileNameOf(output).find('.') == std::string::npos) {
    throw CommandError(kExitUsage, output + ": an installation file with volumes needs an "
                                            "extension (like SETUP.EXE): the installer finds its "
                                            "volumes by replacing it");
  }
}

void CreateParentFolder(const std::string& output) {
  const size_t nameStart = host::NameStart(output);
  // "out/SETUP.EXE" needs "out"; "/SETUP.EXE" and "C:SETUP.EXE" need nothing made.
  std::string parent = output.substr(0, nameStart);
  while (!parent.empty() && (parent.back() == '/' || parent.back() == host::Separator())) parent.pop_back();
  if (parent.empty() || parent.back() == ':') return;
  host::Failure failure;
  if (!host::CreateFolders(parent, &failure)) {
    ThrowOutputError(parent, "cannot create the folder: " + failure.reason);
  }
}

}  // namespace

std::string DefaultOutputPath(const std::string& script) {
  return script.substr(0, host::NameStart(script)) + "SETUP.EXE";
}

BuildResult BuildInstaller(const BuildRequest& request) {
  const std::string output = request.output.empty() ? DefaultOutputPath(request.script) : request.output;
  CheckOutput(request, output);
  BuildResult result;
  const CheckedScript checked = ReadAndCheck(request);
  const SetupScript& script = checked.script;
  const std::vector<SourceFile>& sources = checked.sources;
  const std::string& licence = checked.licence;
  result.warnings = checked.warnings;
  const std::vector<uint8_t> stub =
      LoadPatchedStub(request.stub.empty() ? DefaultStubPath(request.arch) : request.stub);

  CheckVolumeSize(request.volumeSize, stub.size());  // before the long part of the build

  uint64_t totalBytes = 0;
  for (const SourceFile& source : sources) totalBytes += source.size;
  PackageWriter package(request.jobs == 0 ? DefaultJobs() : request.jobs);
  {
    BuildProgress progress("building " + FileNameOf(output), totalBytes, request.progress);
    for (const SourceFile& source : sources) {
      package.AddFile(source, [&progress](uint64_t bytes) { progress.Advance(bytes); });
    }
    package.FinishFiles();
  }
  package.Finish(HeaderOf(script, licence), ListsOf(script, totalBytes),
                 script.Place(script.licenceFile.line));

  const uint64_t fileLength = stub.size() + kVolumeLengthWordSize + package.Length();
  if (request.volumeSize == 0 && fileLength > kMaxSingleFile) {
    throw CommandError(kExitUsage,
                       output + ": the installation file would be " + std::to_string(fileLength) +
                           " bytes, over 4 GiB: split it into volumes with --volume-size");
  }
  const std::string next =
      VolumePath(output, VolumeFileCount(package.Length(), stub.size(), request.volumeSize));
  if (Exists(next)) {
    const std::string warning = next + ": left from an earlier build; this installer does not use it";
    if (request.strict) throw CommandError(kExitScriptError, warning + " (an error with --strict)");
    result.warnings.push_back(warning);
  }
  CreateParentFolder(output);
  VolumeWriter writer(output, request.volumeSize, stub);
  package.WriteTo([&writer](const uint8_t* data, size_t length) { writer.Write(data, length); });
  result.files = writer.Commit();

  result.packageLength = package.Length();
  result.fileCount = sources.size();
  result.blockCount = package.sizeTable()[kSizeTableBlockCountWord];
  return result;
}
