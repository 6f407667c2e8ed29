// The package after its volume length word: mode byte, header block, file entries, the
// shortcut list, the registry list and the run-after command. File entries are compressed
// into a temporary spool file first, because the header block that precedes them carries
// the size table, and its block count is known only once every file is cut into blocks.
// Pieces are compressed on several threads, the next files' while earlier ones are still
// being written; the spool gets everything in file order, so the bytes do not depend on
// the number of threads.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "twk/build/build_blocks.h"
#include "twk/build/build_header.h"
#include "twk/build/build_sources.h"
#include "twk/common/ordered_pool.h"

// The parts of the package that follow the file entries, as their final texts.
struct PackageLists {
  std::vector<std::string> shortcuts;
  std::vector<std::string> registry;
  std::string runAfter;
};

// Receives package bytes in order.
using PackageSink = std::function<void(const uint8_t* data, size_t length)>;

// Called with the number of source bytes just compressed.
using ProgressCallback = std::function<void(uint64_t bytes)>;

class PackageWriter {
 public:
  // Creates the spool; throws an output error when it cannot. `jobs` threads compress
  // (see OrderedPool).
  explicit PackageWriter(unsigned jobs = 1);
  ~PackageWriter();

  PackageWriter(const PackageWriter&) = delete;
  PackageWriter& operator=(const PackageWriter&) = delete;

  // Cuts the file into 65000-byte pieces (with the file's `changes` made), compresses them
  // into block records and spools the file entry, maybe only once later files are added.
  // An empty file has no blocks: only its end record. Throws a script error (naming the
  // file's place) when the file needs more than 65535 blocks, and an input error when it
  // cannot be read or changes while it is read; an error of an earlier file comes first.
  // `progress` hears of every piece spooled, on this thread, and must stay callable until
  // FinishFiles or Finish has returned.
  void AddFile(const SourceFile& file, const ProgressCallback& progress);

  // Waits for the files added so far and spools them; throws what AddFile would have.
  void FinishFiles();

  // Spools what is still being compressed, then builds the header block from `header`
  // (its size table is replaced by the one of the files added) and the parts after the
  // file entries. Throws a script error naming `licencePlace` (the script line of the
  // licence, or the script) when the header block does not fit its capacity. List items
  // must fit string records (CheckScript sees to it); a longer one throws
  // std::length_error. Call once, after the last AddFile.
  void Finish(HeaderContent header, const PackageLists& lists, const std::string& licencePlace);

  // The number of bytes WriteTo will deliver. Only after Finish.
  uint64_t Length() const;

  // Delivers the whole package, in order, to `sink`. Only after Finish.
  void WriteTo(const PackageSink& sink);

  const uint32_t* sizeTable() const { return sizeTable_; }

 private:
  // What the spool still waits for, in package order.
  struct Pending {
    enum Kind { kEntryStart, kPiece, kEntryEnd } kind;
    SourceFile file;           // kEntryStart, kEntryEnd
    ProgressCallback progress;  // kPiece
  };

  void Spool(const uint8_t* data, size_t length);
  void ReadPieces(const SourceFile& file, const ProgressCallback& progress);
  void SpoolNext();
  void StartEntry(const SourceFile& file);
  void EndEntry(const SourceFile& file);

  OrderedPool<CompressedPiece> compressor_;
  std::deque<Pending> pending_;
  uint64_t countOffset_ = 0;     // of the entry being spooled: where its block count goes
  uint64_t entryBlocks_ = 0;     // and how many blocks it has so far
  FILE* spool_ = nullptr;
  uint64_t spoolLength_ = 0;
  uint32_t sizeTable_[kSizeTableWords] = {0, 0, 0, 0, 0, 0, 0, 0};
  // The block checksum of the file entries' names and fields so far (the header's
  // directory checksum, once the lists are added in Finish).
  uint32_t directory_ = kChecksumStart;
  std::vector<uint8_t> head_;  // mode byte and header block
  std::vector<uint8_t> tail_;  // end of the file entries, lists, run-after command
};

// Appends one string record: a length byte and the text. Throws std::length_error for a
// text over 255 bytes rather than cut it.
void AppendStringRecord(const std::string& text, std::vector<uint8_t>* out);
