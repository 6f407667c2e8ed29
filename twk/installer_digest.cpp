// Reading an installer for `twk diff`: this thread reads the package in order, worker
// threads check and expand the blocks, and the digests are taken in order as the expanded
// blocks come back.
#include "twk/installer_digest.h"

#include <deque>
#include <utility>

#include "package/format.h"
#include "twk/common/ordered_pool.h"
#include "twk/common/sha256.h"
#include "twk/reader/reader_block_record.h"
#include "twk/reader/reader_error.h"
#include "twk/reader/reader_lines.h"

namespace {

// Larger files are not looked into for the self-registration marker, as in `twk list`.
constexpr uint64_t kMaxInspectedImage = 1ull << 30;

struct ExpandedBlock {
  BlockVerdict verdict = BlockVerdict::kOk;
  std::vector<uint8_t> bytes;
  std::string damage;  // for a damaged block: where and which check failed
};

// The in-order side: one file's digest at a time, from its expanded blocks.
class FileDigester {
 public:
  explicit FileDigester(InstallerDigest* digest) : digest_(digest) {}

  // The blocks that follow belong to file `index` of the digest; the files before it
  // are complete.
  void StartFile(size_t index);
  void Block(ExpandedBlock block);
  void FinishFile();

 private:
  // The file being digested. The reading side adds files meanwhile, so no pointer into
  // the list would stay valid.
  DigestedFile& file() { return digest_->files[file_]; }

  InstallerDigest* digest_;
  size_t file_ = 0;
  bool started_ = false;
  Sha256 hash_;
  bool program_ = true;  // so far, the bytes may be a program's
  std::vector<uint8_t> image_;
};

void FileDigester::StartFile(size_t index) {
  FinishFile();
  file_ = index;
  started_ = true;
  hash_ = Sha256();
  program_ = true;
  image_.clear();
}

void FileDigester::Block(ExpandedBlock block) {
  DigestedFile& digested = file();
  if (!digested.contentKnown) return;
  if (block.verdict != BlockVerdict::kOk) {
    digest_->problems.push_back(block.damage);
    digested.contentKnown = false;
    return;
  }
  const std::vector<uint8_t>& bytes = block.bytes;
  if (digested.size == 0 && (bytes.size() < 2 || bytes[0] != 'M' || bytes[1] != 'Z')) {
    program_ = false;
  }
  digested.size += bytes.size();
  hash_.Update(bytes.data(), bytes.size());
  if (program_ && digested.size <= kMaxInspectedImage) {
    image_.insert(image_.end(), bytes.begin(), bytes.end());
  }
}

void FileDigester::FinishFile() {
  if (!started_) return;
  DigestedFile& digested = file();
  if (digested.contentKnown) digested.sha256 = hash_.HexDigest();
  if (digested.size == 0) program_ = false;
  if (program_) {
    if (!digested.contentKnown || digested.size > kMaxInspectedImage) {
      digested.selfRegisters = Knowledge::kUnknown;
    } else {
      digested.selfRegisters = SelfRegistrationOf(image_);
    }
  }
  image_ = std::vector<uint8_t>();
  started_ = false;
}

// The file entries and their blocks, read in order; the expanded blocks are taken in the
// same order, no more of them waiting than the pool's window.
class FileReader {
 public:
  FileReader(InstallerDigest* digest, unsigned jobs)
      : digest_(digest), digester_(digest), expander_(jobs) {}

  void ReadFiles(InstallerReader& reader);
  // Takes whatever is still expanding; after a ReadError too, so that what was read
  // before it is known.
  void TakeAll();

 private:
  struct Step {
    size_t file;  // the file the block belongs to, or a file without blocks
    bool block;
  };
  void TakeOldest();

  InstallerDigest* digest_;
  FileDigester digester_;
  OrderedPool<ExpandedBlock> expander_;
  std::deque<Step> steps_;
};

void FileReader::ReadFiles(InstallerReader& reader) {
  FileEntry entry;
  while (reader.NextFileEntry(&entry)) {
    const size_t index = digest_->files.size();
    digest_->files.emplace_back();
    digest_->files.back().entry = entry;
    steps_.push_back({index, false});
    BlockRecord record;
    int number = 1;
    for (; reader.NextBlock(entry, number, &record); ++number) {
      const std::string label = "block " + std::to_string(number) + " of " + entry.Label();
      const std::string where = reader.stream().Describe(record.where);
      expander_.Submit([record = std::move(record), label, where]() {
        ExpandedBlock block;
        block.verdict = ExpandBlockRecord(record, kFileBlockCapacity, &block.bytes);
        if (block.verdict != BlockVerdict::kOk) {
          block.damage =
              where + ": " + label + " is damaged: " + DescribeBlockVerdict(block.verdict, record);
        }
        return block;
      });
      steps_.push_back({index, true});
      while (expander_.pending() > expander_.window()) TakeOldest();
    }
    if (number - 1 != entry.fields.blockCount) {
      digest_->problems.push_back(reader.stream().Describe(entry.where) + ": " + entry.Label() +
                                  " announces " + std::to_string(entry.fields.blockCount) +
                                  " blocks but holds " + std::to_string(number - 1));
    }
  }
}

void FileReader::TakeOldest() {
  const Step step = steps_.front();
  steps_.pop_front();
  if (step.block) {
    digester_.Block(expander_.TakeOldest());
  } else {
    digester_.StartFile(step.file);
  }
}

void FileReader::TakeAll() {
  while (!steps_.empty()) TakeOldest();
  digester_.FinishFile();
}

// What else `twk verify` finds damaged in what was read: the size table, the ends of the
// lists, registry lines without their data, a single file's volume length word. A diff
// that passed over them would call a damaged installer the same as a sound one.
void CheckWhatVerifyChecks(InstallerReader& reader, bool haveHeader, const RecordList& shortcuts,
                           InstallerDigest* digest) {
  std::vector<std::string>& problems = digest->problems;
  uint64_t units[kSizeTableBlockCountWord] = {};
  bool sizesKnown = haveHeader;
  for (const DigestedFile& file : digest->files) {
    sizesKnown = sizesKnown && file.contentKnown;
    for (size_t k = 0; k < kSizeTableBlockCountWord; ++k) {
      const uint64_t unit = uint64_t{kSmallestAllocationUnit} << k;
      units[k] += (file.size + unit - 1) / unit;
    }
  }
  for (size_t k = 0; sizesKnown && k < kSizeTableBlockCountWord; ++k) {
    if (digest->header.sizeTable[k] != units[k]) {
      problems.push_back(digest->path + ": size table word " + std::to_string(k) + " is " +
                         std::to_string(digest->header.sizeTable[k]) + ", the files need " +
                         std::to_string(units[k]));
    }
  }
  if (!shortcuts.endedByEmpty) {
    problems.push_back(reader.stream().Describe(shortcuts.end) +
                       ": the shortcut list is ended by a line without '=' instead of the "
                       "empty record; the installer reads the lines after it as registry lines");
  }
  for (size_t i = 0; i < digest->registry.size(); ++i) {
    const RegistryLine line = DecodeRegistryLine(digest->registry[i]);
    if (!line.problem.empty()) {
      problems.push_back(digest->path + ": registry line " + std::to_string(i + 1) + ": " +
                         line.problem);
    }
  }
  const VolumeStream& stream = reader.stream();
  if (stream.volumesOpened() == 1 && stream.volumeLengthWord(0) != stream.position().offset) {
    problems.push_back(stream.volumePath(0) + ": the volume length word is " +
                       std::to_string(stream.volumeLengthWord(0)) +
                       ", but the package ends at offset " +
                       std::to_string(stream.position().offset));
  }
}

void ReadPackage(InstallerReader& reader, unsigned jobs, InstallerDigest* digest) {
  std::string problem;
  const bool haveHeader = reader.DecodeHeader(reader.ReadHeaderRecord(), &digest->header, &problem);
  if (!haveHeader) digest->problems.push_back(problem);
  FileReader files(digest, jobs);
  try {
    files.ReadFiles(reader);
  } catch (const ReadError&) {
    files.TakeAll();
    throw;
  }
  files.TakeAll();
  if (haveHeader) {
    problem = reader.FileListProblem(digest->header);
    if (!problem.empty()) digest->problems.push_back(problem);
  }
  const RecordList shortcuts = reader.ReadShortcutList();
  digest->shortcuts = shortcuts.lines;
  digest->registry = reader.ReadRegistryList().lines;
  digest->runAfter = reader.ReadRunAfter();
  if (haveHeader) {
    problem = reader.DirectoryProblem(digest->header);
    if (!problem.empty()) digest->problems.push_back(problem);
  }
  CheckWhatVerifyChecks(reader, haveHeader, shortcuts, digest);
}

}  // namespace

InstallerDigest ReadInstallerDigest(const std::string& path, unsigned jobs) {
  InstallerDigest digest;
  digest.path = path;
  digest.texts = ReadInstallerTexts(path);
  try {
    InstallerReader reader(path);
    reader.RequireInstallMode();
    ReadPackage(reader, jobs == 0 ? DefaultJobs() : jobs, &digest);
  } catch (const ReadError& error) {
    digest.problems.push_back(error.what());
    digest.exitCode = error.exitCode();
    return digest;
  }
  digest.exitCode = digest.problems.empty() ? kExitOk : kExitDamaged;
  return digest;
}
