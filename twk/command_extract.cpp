// twk extract: writes every file of the package below one folder, and nowhere else.
// This thread reads the package and writes the files; worker threads check and expand
// the blocks in between. Every step that shows or writes anything is taken in package
// order, so files and messages do not depend on the number of threads.
#include <deque>
#include <iostream>
#include <stdexcept>
#include <utility>

#include "package/format.h"
#include "twk/command_usage.h"
#include "twk/commands.h"
#include "twk/common/json_writer.h"
#include "twk/common/ordered_pool.h"
#include "twk/extract_registry.h"
#include "twk/reader/installer_reader.h"
#include "twk/reader/reader_error.h"
#include "twk/reader/reader_safe_writer.h"
#include "twk/reader/reader_target_path.h"
#include "twk/reader_commands.h"

namespace {

struct ExtractCounts {
  int written = 0;
  int refused = 0;  // unsafe targets and files that could not be written
  int damaged = 0;  // files with a damaged block, a damaged header or file list
};

// A block as a worker leaves it: its verdict and bytes, and for a damaged one the
// record, which the message describes.
struct ExpandedBlock {
  BlockVerdict verdict = BlockVerdict::kOk;
  std::vector<uint8_t> bytes;
  BlockRecord record;
};

ExpandedBlock ExpandOnWorker(BlockRecord record) {
  ExpandedBlock block;
  block.verdict = ExpandBlockRecord(record, kFileBlockCapacity, &block.bytes);
  if (block.verdict != BlockVerdict::kOk) block.record = std::move(record);
  return block;
}

std::string JoinComponents(const std::vector<std::string>& components) {
  std::string joined;
  for (const std::string& component : components) {
    joined += (joined.empty() ? "" : "/") + component;
  }
  return joined;
}

// A file written whole, waiting for the directory checksum before it goes to its place.
struct StagedFile {
  std::unique_ptr<PendingFile> file;
  std::vector<std::string> components;
  uint64_t fileTime = 0;
};

// The in-order side: begins, fills and commits one file entry's file at a time, and
// says what went wrong, as the steps come due. When `staged`, files are written under
// names of twk's own in the output folder and placed only by PlaceStaged.
class EntryWriter {
 public:
  EntryWriter(InstallerReader& reader, OutputTree& tree, ExtractCounts* counts,
              std::ostream& out, std::ostream& err, bool staged)
      : reader_(reader), tree_(tree), counts_(counts), out_(out), err_(err), staged_(staged) {}

  void Start(const FileEntry& entry, const TargetPath& target);
  void Block(int number, ExpandedBlock block);
  void End();
  // Puts the staged files in their places, in package order.
  void PlaceStaged();
  // Removes the staged files, saying how many there were and why.
  void DiscardStaged(const std::string& why);

 private:
  void Written(const std::vector<std::string>& components, bool timeSet);

  InstallerReader& reader_;
  OutputTree& tree_;
  ExtractCounts* counts_;
  std::ostream& out_;
  std::ostream& err_;
  bool staged_;
  FileEntry entry_;
  std::vector<std::string> components_;
  std::unique_ptr<PendingFile> file_;  // none when refused, damaged or not writable
  std::vector<StagedFile> waiting_;
};

void EntryWriter::Start(const FileEntry& entry, const TargetPath& target) {
  entry_ = entry;
  components_ = target.components;
  file_.reset();
  if (!target.refusal.empty()) {
    err_ << MessageLine(reader_.path() + ": " + entry.Label() + " is not extracted: " +
                        target.refusal);
    ++counts_->refused;
    return;
  }
  try {
    file_ = staged_ ? tree_.BeginStaged(JoinComponents(components_)) : tree_.Begin(components_);
  } catch (const std::runtime_error& failure) {
    err_ << MessageLine(entry.Label() + " is not extracted: " + failure.what());
    ++counts_->refused;
  }
}

// A damaged block discards the file (never left looking complete); the blocks after it
// are passed over.
void EntryWriter::Block(int number, ExpandedBlock block) {
  if (!file_) return;
  if (block.verdict != BlockVerdict::kOk) {
    err_ << MessageLine(reader_.BlockLabel(entry_, number, block.record) + " is damaged: " +
                        DescribeBlockVerdict(block.verdict, block.record) +
                        "; the file is not written");
    file_.reset();
    ++counts_->damaged;
    return;
  }
  try {
    file_->Write(block.bytes.data(), block.bytes.size());
  } catch (const std::runtime_error& failure) {
    err_ << MessageLine(failure.what());
    file_.reset();
    ++counts_->refused;
  }
}

void EntryWriter::End() {
  if (!file_) return;
  try {
    if (staged_) {
      file_->Close();
      waiting_.push_back({std::move(file_), components_, entry_.fileTime()});
    } else {
      Written(components_, file_->Commit(entry_.fileTime()));
    }
  } catch (const std::runtime_error& failure) {
    err_ << MessageLine(failure.what());
    ++counts_->refused;
  }
  file_.reset();
}

void EntryWriter::Written(const std::vector<std::string>& components, bool timeSet) {
  if (!timeSet) {
    err_ << MessageLine(JoinComponents(components) +
                        ": written, but its modification time could not be set");
  }
  out_ << JoinComponents(components) << "\n";
  ++counts_->written;
}

void EntryWriter::PlaceStaged() {
  for (StagedFile& staged : waiting_) {
    try {
      Written(staged.components, tree_.Place(*staged.file, staged.components, staged.fileTime));
    } catch (const std::runtime_error& failure) {
      err_ << MessageLine(failure.what());
      ++counts_->refused;
    }
  }
  waiting_.clear();
}

void EntryWriter::DiscardStaged(const std::string& why) {
  if (waiting_.empty()) return;
  err_ << MessageLine(reader_.path() + ": " + std::to_string(waiting_.size()) +
                      (waiting_.size() == 1 ? " file is" : " files are") + " not written: " + why);
  counts_->refused += static_cast<int>(waiting_.size());
  waiting_.clear();
}

// The steps between reading and writing, in package order.
class ExtractPipeline {
 public:
  ExtractPipeline(EntryWriter& writer, unsigned jobs) : writer_(writer), expander_(jobs) {}

  // Reads every file entry and its blocks, handing the blocks to the workers; writes
  // whatever is due while enough blocks wait. A ReadError comes only after everything
  // read before it is written.
  void ReadEntries(InstallerReader& reader);
  void WriteAll();

 private:
  struct Step {
    enum Kind { kStart, kBlock, kEnd } kind;
    FileEntry entry;     // kStart
    TargetPath target;   // kStart
    int number = 0;      // kBlock
    bool expanding = false;  // kBlock: handed to a worker
  };

  void ReadEntry(InstallerReader& reader, const FileEntry& entry);
  void WriteNext();

  EntryWriter& writer_;
  OrderedPool<ExpandedBlock> expander_;
  std::deque<Step> steps_;
};

void ExtractPipeline::ReadEntries(InstallerReader& reader) {
  try {
    FileEntry entry;
    while (reader.NextFileEntry(&entry)) ReadEntry(reader, entry);
  } catch (const ReadError&) {
    WriteAll();
    throw;
  }
  WriteAll();
}

// Blocks of a target that is refused anyway are read, so the stream stays in step, but
// not expanded.
void ExtractPipeline::ReadEntry(InstallerReader& reader, const FileEntry& entry) {
  Step start{Step::kStart, entry, MapTargetPath(entry.name)};
  const bool wanted = start.target.refusal.empty();
  steps_.push_back(std::move(start));
  BlockRecord record;
  for (int number = 1; reader.NextBlock(entry, number, &record); ++number) {
    if (wanted) {
      expander_.Submit(
          [block = std::move(record)]() mutable { return ExpandOnWorker(std::move(block)); });
    }
    Step step{Step::kBlock, FileEntry(), TargetPath()};
    step.number = number;
    step.expanding = wanted;
    steps_.push_back(std::move(step));
    while (expander_.pending() > expander_.window()) WriteNext();
  }
  steps_.push_back(Step{Step::kEnd, FileEntry(), TargetPath()});
}

void ExtractPipeline::WriteNext() {
  Step step = std::move(steps_.front());
  steps_.pop_front();
  switch (step.kind) {
    case Step::kStart:
      writer_.Start(step.entry, step.target);
      break;
    case Step::kBlock:
      writer_.Block(step.number, step.expanding ? expander_.TakeOldest() : ExpandedBlock());
      break;
    case Step::kEnd:
      writer_.End();
      break;
  }
}

void ExtractPipeline::WriteAll() {
  while (!steps_.empty()) WriteNext();
}

}  // namespace

int ExtractInstaller(const std::string& path, const std::string& folder, std::ostream& out,
                     std::ostream& err, unsigned jobs) {
  ExtractCounts counts;
  try {
    InstallerReader reader(path);
    reader.RequireInstallMode();
    OutputTree tree(folder);
    InstallerHeader header;
    std::string problem;
    const bool haveHeader = reader.DecodeHeader(reader.ReadHeaderRecord(), &header, &problem);
    if (!haveHeader) {
      err << MessageLine(problem);
      ++counts.damaged;
    }
    // Names and fields have no checksum but the directory checksum, which takes the lists
    // after them too: where the header has one, every file is written whole under a name
    // of twk's own and put in its place only once the sum is found right, so that nothing
    // a damaged name or field says, not even a folder, reaches the disk. A damaged header
    // cannot say whether it has one: nothing is placed then.
    const bool staged = !haveHeader || header.directoryChecksum != kNoDirectoryChecksum;
    EntryWriter writer(reader, tree, &counts, out, err, staged);
    const char kUnchecked[] = "the directory checksum does not vouch for their names and fields";
    try {
      ExtractPipeline(writer, jobs == 0 ? DefaultJobs() : jobs).ReadEntries(reader);
      problem = haveHeader ? reader.FileListProblem(header) : std::string();
      if (problem.empty() && haveHeader) {
        reader.ReadShortcutList();
        reader.ReadRegistryList();
        reader.ReadRunAfter();
        problem = reader.DirectoryProblem(header);
      }
    } catch (const ReadError& error) {
      err << MessageLine(error.what());
      writer.DiscardStaged(kUnchecked);
      return error.exitCode();
    }
    if (!problem.empty()) {
      err << MessageLine(problem);
      ++counts.damaged;
    }
    if (problem.empty() && haveHeader) {
      writer.PlaceStaged();
    } else {
      writer.DiscardStaged(kUnchecked);
    }
  } catch (const ReadError& error) {
    err << MessageLine(error.what());
    return error.exitCode();
  } catch (const std::runtime_error& failure) {
    err << MessageLine(failure.what());
    return kExitOutputError;
  }
  if (counts.damaged != 0 || counts.refused != 0) {
    err << MessageLine(path + ": " + std::to_string(counts.written) + " files extracted to " +
                       folder + ", " + std::to_string(counts.refused) +
                       " refused or not written, " + std::to_string(counts.damaged) +
                       " damaged (files, header or file list)");
  }
  if (counts.damaged != 0) return kExitDamaged;
  return counts.refused != 0 ? kExitOutputError : kExitOk;
}

int RunExtractCommand(const Arguments& args) {
  std::string installer;
  std::string folder;
  std::string regFile;
  FolderChoices choices;
  bool usageError = false;
  for (size_t i = 0; i < args.size() && !usageError; ++i) {
    const bool hasValue = i + 1 < args.size();
    std::string problem;
    if ((args[i] == "-d" || args[i] == "--reg") && hasValue) {
      (args[i] == "-d" ? folder : regFile) = args[i + 1];
      usageError = args[++i].empty();
    } else if (args[i] == "--folder" && hasValue) {
      usageError = !ParseFolderChoice(args[++i], &choices, &problem);
      if (usageError) std::cerr << MessageLine(problem);
    } else if (installer.empty() && !args[i].empty() && args[i][0] != '-') {
      installer = args[i];
    } else {
      usageError = true;
    }
  }
  // --folder says what the .reg file's macros stand for; without --reg it would do nothing.
  if (usageError || installer.empty() || (!choices.empty() && regFile.empty())) {
    std::cerr << "twk: " << CommandSynopsis("extract") << "\n";
    return kExitUsage;
  }
  if (!regFile.empty()) {
    const int code = ExportRegistryFile(installer, regFile, choices, std::cout, std::cerr);
    if (code != kExitOk || folder.empty()) return code;
  }
  return ExtractInstaller(installer, folder.empty() ? "." : folder, std::cout, std::cerr);
}
