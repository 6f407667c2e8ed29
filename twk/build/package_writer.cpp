// Compressing the files and laying out the package.
#include "twk/build/package_writer.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "host/host_file.h"
#include "package/block_checksum.h"
#include "package/file_entry.h"
#include "package/format.h"
#include "twk/build/build_blocks.h"
#include "twk/common/build_error.h"
#include "twk/common/exit_codes.h"
#include "twk/common/input_file.h"

namespace {

constexpr uint8_t kEndRecord[2] = {0, 0};

// Why a file cannot be packed, before a byte of it is compressed.
void CheckBlockCount(const SourceFile& file, uint64_t blocks) {
  if (blocks > kMaxBlocksPerFile) {
    ThrowScriptError(file.place, "'" + file.path + "' needs " + std::to_string(blocks) +
                                     " blocks; a file entry holds at most 65535 (about 4 GB)");
  }
}

FileEntryFields FieldsOf(const SourceFile& file, uint16_t blockCount) {
  FileEntryFields fields{};
  std::copy(file.version, file.version + 4, fields.version);
  fields.timeLow = static_cast<uint32_t>(file.fileTime);
  fields.timeHigh = static_cast<uint32_t>(file.fileTime >> 32);
  fields.shared = file.shared ? 1 : 0;
  fields.blockCount = blockCount;
  return fields;
}

}  // namespace

void AppendStringRecord(const std::string& text, std::vector<uint8_t>* out) {
  if (text.size() > kMaxStringRecord) {
    throw std::length_error("a string record of " + std::to_string(text.size()) + " bytes");
  }
  out->push_back(static_cast<uint8_t>(text.size()));
  out->insert(out->end(), text.begin(), text.end());
}

PackageWriter::PackageWriter(unsigned jobs) : compressor_(jobs) {
  host::Failure failure;
  spool_ = host::OpenScratchFile(&failure);
  if (spool_ == nullptr) ThrowOutputError("temporary file", "cannot create: " + failure.reason);
}

PackageWriter::~PackageWriter() {
  if (spool_ != nullptr) std::fclose(spool_);
}

void PackageWriter::Spool(const uint8_t* data, size_t length) {
  if (std::fwrite(data, 1, length, spool_) != length) {
    ThrowOutputError("temporary file", "cannot write: " + ErrnoText());
  }
  spoolLength_ += length;
}

void PackageWriter::AddFile(const SourceFile& file, const ProgressCallback& progress) {
  try {
    CheckBlockCount(file, (file.size + kPieceSize - 1) / kPieceSize);
    pending_.push_back({Pending::kEntryStart, file, ProgressCallback()});
    ReadPieces(file, progress);
    pending_.push_back({Pending::kEntryEnd, file, ProgressCallback()});
  } catch (...) {
    // Earlier files are still in the works: their errors are reported first, whatever
    // the number of threads.
    FinishFiles();
    throw;
  }
}

// Reads the file piece by piece into the compressor, spooling earlier pieces whenever
// enough are waiting, so that at no time more than the compressor's window of pieces is
// in memory.
void PackageWriter::ReadPieces(const SourceFile& file, const ProgressCallback& progress) {
  InputFile input;
  const InputStatus opened = input.Open(file.path);
  if (opened != InputStatus::kOk) {
    ThrowUnusableInput(file.place, "source '" + file.path + "'", opened, input.problem());
  }
  // One byte more than the size it had is enough to tell that it changed; a file that
  // keeps growing is not read on.
  uint64_t allowed = file.size + 1;
  uint64_t total = 0;
  for (;;) {
    std::vector<uint8_t> piece(kPieceSize);
    size_t got = 0;
    const size_t want = allowed < kPieceSize ? static_cast<size_t>(allowed) : kPieceSize;
    if (input.Read(piece.data(), want, &got) != InputStatus::kOk) {
      ThrowInputError(file.path, input.problem());
    }
    if (got == 0) break;
    piece.resize(got);
    if (!ApplyByteChanges(file.changes, total, &piece)) {
      ThrowInputError(file.path, "the file changed while it was read");
    }
    allowed -= got;
    total += got;
    compressor_.Submit([data = std::move(piece)] { return CompressPiece(data); });
    pending_.push_back({Pending::kPiece, SourceFile(), progress});
    while (compressor_.pending() > compressor_.window()) SpoolNext();
  }
  if (total != file.size) ThrowInputError(file.path, "the file changed while it was read");
}

void PackageWriter::SpoolNext() {
  const Pending next = std::move(pending_.front());
  pending_.pop_front();
  switch (next.kind) {
    case Pending::kEntryStart:
      StartEntry(next.file);
      break;
    case Pending::kPiece: {
      const CompressedPiece piece = compressor_.TakeOldest();
      Spool(piece.records.data(), piece.records.size());
      entryBlocks_ += piece.blocks;
      if (next.progress) next.progress(piece.plainLength);
      break;
    }
    case Pending::kEntryEnd:
      EndEntry(next.file);
      break;
  }
}

void PackageWriter::FinishFiles() {
  while (!pending_.empty()) SpoolNext();
}

void PackageWriter::StartEntry(const SourceFile& file) {
  std::vector<uint8_t> entry;
  AppendStringRecord(file.target, &entry);
  countOffset_ = spoolLength_ + entry.size();
  uint8_t fixed[kFileEntryFixedSize];
  StoreFileEntryFields(FieldsOf(file, 0), fixed);
  entry.insert(entry.end(), fixed, fixed + sizeof(fixed));
  Spool(entry.data(), entry.size());
  entryBlocks_ = 0;
}

void PackageWriter::EndEntry(const SourceFile& file) {
  CheckBlockCount(file, entryBlocks_);
  uint8_t fixed[kFileEntryFixedSize];
  StoreFileEntryFields(FieldsOf(file, static_cast<uint16_t>(entryBlocks_)), fixed);
  std::vector<uint8_t> name;
  AppendStringRecord(file.target, &name);
  directory_ = BlockChecksum(name.data(), name.size(), directory_);
  directory_ = BlockChecksum(fixed, sizeof(fixed), directory_);
  if (std::fseek(spool_, static_cast<long>(countOffset_), SEEK_SET) != 0 ||
      std::fwrite(fixed, 1, sizeof(fixed), spool_) != sizeof(fixed) ||
      std::fseek(spool_, 0, SEEK_END) != 0) {
    ThrowOutputError("temporary file", "cannot write: " + ErrnoText());
  }
  Spool(kEndRecord, sizeof(kEndRecord));
  AddToSizeTable(file.size, entryBlocks_, sizeTable_);
}

void PackageWriter::Finish(HeaderContent header, const PackageLists& lists,
                           const std::string& licencePlace) {
  FinishFiles();
  std::copy(sizeTable_, sizeTable_ + kSizeTableWords, header.sizeTable);
  tail_.clear();
  tail_.push_back(0);  // the empty name record that ends the file entries
  for (const std::string& line : lists.shortcuts) AppendStringRecord(line, &tail_);
  tail_.push_back(0);
  for (const std::string& line : lists.registry) AppendStringRecord(line, &tail_);
  tail_.push_back(0);
  AppendStringRecord(lists.runAfter, &tail_);
  // A sum of exactly 0 would read as "no checksum": such a package is simply not checked.
  header.directoryChecksum = BlockChecksum(tail_.data(), tail_.size(), directory_);
  const std::vector<uint8_t> expanded = BuildExpandedHeader(header);
  head_.assign(1, kModeInstall);
  std::vector<uint8_t> record;
  if (!MakeHeaderRecord(expanded, &record)) {
    const std::string what = "the header block (texts, size table and licence: " +
                             std::to_string(expanded.size()) +
                             " bytes) does not fit its capacity of 65530 bytes; shorten the licence";
    ThrowScriptError(licencePlace, what);
  }
  head_.insert(head_.end(), record.begin(), record.end());
}

uint64_t PackageWriter::Length() const {
  return head_.size() + spoolLength_ + tail_.size();
}

void PackageWriter::WriteTo(const PackageSink& sink) {
  sink(head_.data(), head_.size());
  if (std::fseek(spool_, 0, SEEK_SET) != 0) {
    ThrowOutputError("temporary file", "cannot read back: " + ErrnoText());
  }
  std::vector<uint8_t> buffer(1 << 20);
  uint64_t remaining = spoolLength_;
  while (remaining > 0) {
    const size_t want = remaining < buffer.size() ? static_cast<size_t>(remaining) : buffer.size();
    if (std::fread(buffer.data(), 1, want, spool_) != want) {
      ThrowOutputError("temporary file", "cannot read back: " + ErrnoText());
    }
    sink(buffer.data(), want);
    remaining -= want;
  }
  sink(tail_.data(), tail_.size());
}
