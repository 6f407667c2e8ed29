// twk verify: checks every block record and the package layout across all volumes.

#include <iostream>
#include <memory>

#include "host/host_file.h"
#include "package/format.h"
#include "twk/command_usage.h"
#include "twk/commands.h"
#include "twk/common/json_writer.h"
#include "twk/reader/installer_reader.h"
#include "twk/reader/reader_error.h"
#include "twk/reader/reader_lines.h"
#include "twk/reader/reader_target_path.h"
#include "twk/reader_commands.h"

namespace {

std::string Count(uint64_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// What verify found, in the order it was found; written out once the run is over.
struct Finding {
  enum Kind { kProblem, kRefusedTarget, kNote } kind;
  std::string text;
};

class Verifier {
 public:
  Verifier(const std::string& path, std::ostream& out, std::ostream& err)
      : path_(path), out_(out), err_(err) {}

  // Checks everything and reports it in `format`; the exit code.
  int Run(ReportFormat format);

 private:
  void Problem(const std::string& message) {
    findings_.push_back({Finding::kProblem, message});
    ++problems_;
  }
  void Note(const std::string& message) { findings_.push_back({Finding::kNote, message}); }
  // A target that twk extract refuses: the package is intact, but the installer would
  // put the file somewhere its author cannot have meant (a relative path, an unknown
  // macro, "..").
  void RefusedTarget(const std::string& message) {
    findings_.push_back({Finding::kRefusedTarget, message});
    ++refusedTargets_;
  }

  void CheckHeader(InstallerReader& reader);
  void CheckFiles(InstallerReader& reader);
  void CheckBlocks(InstallerReader& reader, const FileEntry& entry, uint64_t* size,
                   bool* known);
  void CheckTarget(const InstallerReader& reader, const FileEntry& entry);
  void CheckSizeTable();
  void CheckLists(InstallerReader& reader);
  void CheckEnd(InstallerReader& reader);
  void CheckAll();
  int ExitCode() const;
  const char* Verdict() const;
  void PrintText();
  void PrintJson();

  std::string path_;
  std::ostream& out_;
  std::ostream& err_;
  int problems_ = 0;
  int refusedTargets_ = 0;
  bool haveHeader_ = false;
  InstallerHeader header_;
  bool sizesKnown_ = true;
  uint64_t units_[kSizeTableWords - 1] = {};
  uint64_t blocks_ = 0;
  uint64_t bytes_ = 0;
  int files_ = 0;
  size_t shortcuts_ = 0;
  size_t registryLines_ = 0;
  int volumes_ = 0;
  int fatalCode_ = kExitOk;  // a file that could not be read as an installer at all
  std::vector<Finding> findings_;
};

void Verifier::CheckHeader(InstallerReader& reader) {
  std::string problem;
  haveHeader_ = reader.DecodeHeader(reader.ReadHeaderRecord(), &header_, &problem);
  if (!haveHeader_) {
    Problem(problem);
  } else if (header_.bytesAfterLicence != 0) {
    Note("the header block holds " + std::to_string(header_.bytesAfterLicence) +
         " bytes after the licence text, which nothing reads");
  }
}

void Verifier::CheckBlocks(InstallerReader& reader, const FileEntry& entry, uint64_t* size,
                           bool* known) {
  BlockRecord record;
  std::vector<uint8_t> expanded;
  int count = 0;
  while (reader.NextBlock(entry, count + 1, &record)) {
    ++count;
    const BlockVerdict verdict = ExpandBlockRecord(record, kFileBlockCapacity, &expanded);
    const std::string label = reader.BlockLabel(entry, count, record);
    if (verdict != BlockVerdict::kOk) {
      Problem(label + " is damaged: " + DescribeBlockVerdict(verdict, record));
      *known = false;
    } else if (expanded.size() > kPieceSize) {
      Note(label + " expands to " + std::to_string(expanded.size()) + " bytes, more than the " +
           std::to_string(kPieceSize) + " of a piece");
    }
    *size += expanded.size();
  }
  blocks_ += static_cast<uint64_t>(count);
  if (count != entry.fields.blockCount) {
    Problem(reader.stream().Describe(entry.where) + ": " + entry.Label() + " announces " +
            std::to_string(entry.fields.blockCount) + " blocks but holds " +
            std::to_string(count));
  }
}

void Verifier::CheckTarget(const InstallerReader& reader, const FileEntry& entry) {
  const std::string refusal = MapTargetPath(entry.name).refusal;
  if (!refusal.empty()) {
    RefusedTarget(reader.stream().Describe(entry.where) + ": " + entry.Label() +
                  ": twk extract refuses its target: " + refusal);
  }
}

void Verifier::CheckFiles(InstallerReader& reader) {
  FileEntry entry;
  while (reader.NextFileEntry(&entry)) {
    ++files_;
    CheckTarget(reader, entry);
    uint64_t size = 0;
    bool known = true;
    CheckBlocks(reader, entry, &size, &known);
    if (!known) {
      sizesKnown_ = false;
      continue;
    }
    bytes_ += size;
    for (size_t k = 0; k + 1 < kSizeTableWords; ++k) {
      const uint64_t unit = uint64_t{kSmallestAllocationUnit} << k;
      units_[k] += (size + unit - 1) / unit;
    }
  }
  // Checked here rather than with the rest of the size table: a file list that ended early
  // sends the reader on into file data as if it were the shortcut list, and the problems
  // reported after this one follow from it.
  const std::string lost = haveHeader_ ? reader.FileListProblem(header_) : std::string();
  if (!lost.empty()) Problem(lost);
}

void Verifier::CheckSizeTable() {
  if (!haveHeader_ || !sizesKnown_) return;  // damaged files have no known size
  // Word 7, the block count, was checked at the end of the file list.
  for (size_t k = 0; k < kSizeTableBlockCountWord; ++k) {
    if (header_.sizeTable[k] != units_[k]) {
      Problem(path_ + ": size table word " + std::to_string(k) + " is " +
              std::to_string(header_.sizeTable[k]) + ", the files need " +
              std::to_string(units_[k]));
    }
  }
}

void Verifier::CheckLists(InstallerReader& reader) {
  const RecordList shortcuts = reader.ReadShortcutList();
  shortcuts_ = shortcuts.lines.size();
  if (!shortcuts.endedByEmpty) {
    Problem(reader.stream().Describe(shortcuts.end) +
            ": the shortcut list is ended by a line without '=' instead of the empty record; "
            "the installer reads the lines after it as registry lines");
  }
  const RecordList registry = reader.ReadRegistryList();
  registryLines_ = registry.lines.size();
  for (size_t i = 0; i < registry.lines.size(); ++i) {
    const RegistryLine line = DecodeRegistryLine(registry.lines[i]);
    if (!line.problem.empty()) {
      Problem(path_ + ": registry line " + std::to_string(i + 1) + ": " + line.problem);
    }
  }
  reader.ReadRunAfter();
  const std::string directory = haveHeader_ ? reader.DirectoryProblem(header_) : std::string();
  if (!directory.empty()) Problem(directory);
}

void Verifier::CheckEnd(InstallerReader& reader) {
  const VolumeStream& stream = reader.stream();
  const StreamPosition end = stream.position();
  const int last = stream.volumesOpened() - 1;
  // Only a single-file installer's word has a fixed meaning (the package's end); in
  // volumes the builder stores each file's own length, which nothing reads.
  for (int v = 0; v <= last; ++v) {
    const uint64_t expected = v == last ? end.offset : stream.volumeEnd(v);
    if (stream.volumeLengthWord(v) == expected) continue;
    const std::string message = stream.volumePath(v) + ": the volume length word is " +
                                std::to_string(stream.volumeLengthWord(v)) + ", but the " +
                                (v == last ? "package ends at offset " : "file is ") +
                                std::to_string(expected) + (v == last ? "" : " bytes long");
    if (last == 0) {
      Problem(message);
    } else {
      Note(message);
    }
  }
  if (stream.RemainingInVolume() != 0) {
    Note(std::to_string(stream.RemainingInVolume()) + " bytes follow the package in " +
         stream.volumePath(last) + " (allowed: padding or a signature; nothing reads them)");
  }
  if (host::FactsOf(stream.NextVolumePath(), true).kind != host::FileKind::kMissing) {
    Note(stream.NextVolumePath() + " exists, but the package ends before it");
  }
}

void Verifier::CheckAll() {
  std::unique_ptr<InstallerReader> reader;
  try {
    reader = std::make_unique<InstallerReader>(path_);
    reader->RequireInstallMode();
  } catch (const ReadError& error) {
    Problem(error.what());
    if (error.exitCode() != kExitDamaged) fatalCode_ = error.exitCode();
    return;
  }
  try {
    CheckHeader(*reader);
    CheckFiles(*reader);
    CheckLists(*reader);
    CheckSizeTable();
    CheckEnd(*reader);
  } catch (const ReadError& error) {
    Problem(error.what());
  }
  volumes_ = reader->stream().volumesOpened();
}

int Verifier::ExitCode() const {
  if (fatalCode_ != kExitOk) return fatalCode_;
  if (problems_ != 0) return kExitDamaged;
  return refusedTargets_ != 0 ? kExitOutputError : kExitOk;
}

const char* Verifier::Verdict() const {
  if (fatalCode_ != kExitOk) return "unreadable";
  if (problems_ != 0) return "damaged";
  return refusedTargets_ != 0 ? "unsafeTargets" : "sound";
}

void Verifier::PrintText() {
  for (const Finding& finding : findings_) {
    if (finding.kind == Finding::kNote) {
      out_ << "note: " << finding.text << "\n";
    } else {
      err_ << MessageLine(finding.text);
    }
  }
  if (fatalCode_ != kExitOk) return;
  out_ << path_ << ": ";
  if (problems_ != 0) {
    out_ << "DAMAGED: " << problems_ << (problems_ == 1 ? " problem\n" : " problems\n");
    return;
  }
  if (refusedTargets_ != 0) {
    out_ << "UNSAFE TARGETS: " << Count(refusedTargets_, "file target")
         << " that twk extract refuses; blocks and layout are sound\n";
    return;
  }
  out_ << "sound: " << Count(files_, "file") << " (" << bytes_ << " bytes in "
       << Count(blocks_, "block") << "), " << Count(shortcuts_, "shortcut") << ", "
       << Count(registryLines_, "registry line") << ", " << Count(volumes_, "volume") << "\n";
}

void Verifier::PrintJson() {
  JsonWriter json;
  json.BeginObject();
  json.Field("installer", path_);
  json.Field("verdict", Verdict());
  json.Field("exitCode", uint64_t(ExitCode()));
  // "problems" holds every message of standard error, in order: the refused targets too,
  // which "refusedTargets" lists once more on their own.
  const auto texts = [this](bool (*wanted)(Finding::Kind)) {
    std::vector<std::string> chosen;
    for (const Finding& finding : findings_) {
      if (wanted(finding.kind)) chosen.push_back(finding.text);
    }
    return chosen;
  };
  json.Field("problems", texts([](Finding::Kind kind) { return kind != Finding::kNote; }));
  json.Field("refusedTargets",
             texts([](Finding::Kind kind) { return kind == Finding::kRefusedTarget; }));
  json.Field("notes", texts([](Finding::Kind kind) { return kind == Finding::kNote; }));
  json.Field("files", uint64_t(files_));
  json.Field("bytes", bytes_);
  json.Field("sizesKnown", sizesKnown_);
  json.Field("blocks", blocks_);
  json.Field("shortcuts", uint64_t{shortcuts_});
  json.Field("registryLines", uint64_t{registryLines_});
  json.Field("volumes", uint64_t(volumes_));
  json.EndObject();
  out_ << json.Text();
  for (const Finding& finding : findings_) {
    if (finding.kind != Finding::kNote) err_ << MessageLine(finding.text);
  }
}

int Verifier::Run(ReportFormat format) {
  CheckAll();
  if (format == ReportFormat::kJson) {
    PrintJson();
  } else {
    PrintText();
  }
  return ExitCode();
}

}  // namespace

int VerifyInstaller(const std::string& path, std::ostream& out, std::ostream& err,
                    ReportFormat format) {
  return Verifier(path, out, err).Run(format);
}

int RunVerifyCommand(const Arguments& args) {
  std::string installer;
  ReportFormat format = ReportFormat::kText;
  if (!ParseReportArguments(args, &installer, &format)) {
    std::cerr << "twk: " << CommandSynopsis("verify") << "\n";
    return kExitUsage;
  }
  return VerifyInstaller(installer, std::cout, std::cerr, format);
}
