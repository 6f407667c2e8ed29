// Reads an installation file's package in the stub's order: the mode byte, the header
// block, the file entries with their block records, the shortcut list, the registry list
// and the run-after command. Each step consumes exactly what the stub would.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "package/file_entry.h"
#include "package/format.h"
#include "twk/reader/reader_block_record.h"
#include "twk/reader/volume_stream.h"

struct InstallerHeader {
  std::string title;
  std::string bottomText;
  std::string productKey;
  std::string programFolder;
  std::string startMenuFolder;
  uint32_t sizeTable[kSizeTableWords] = {};
  uint32_t directoryChecksum = kNoDirectoryChecksum;
  bool hasLicence = false;
  std::string licence;
  size_t expandedLength = 0;
  size_t bytesAfterLicence = 0;  // expanded bytes after the licence text's NUL
};

struct FileEntry {
  int number = 0;  // 1 for the first entry of the package
  StreamPosition where;
  std::string name;
  FileEntryFields fields{};

  uint64_t fileTime() const { return (uint64_t{fields.timeHigh} << 32) | fields.timeLow; }
  // "file entry 3 ({OurProgramDir}\a.txt)", for messages.
  std::string Label() const;
};

struct RecordList {
  std::vector<std::string> lines;
  StreamPosition end;         // the record that ended the list
  bool endedByEmpty = true;   // false: a shortcut record without '=' ended it
  std::string ender;          // that record
};

// "install", "uninstall", "finalize", or "unknown".
const char* ModeName(uint8_t mode);

// The mode byte has no checksum; what vouches for it is volume 0's length word, never 0 in
// an installation file and always 0 in a maintenance program (mode 1 or 2). Throws
// kDamaged, naming the file `path` and the mode byte's offset `modeAt`, when the two
// disagree: one flipped bit of either then reads as damage, never as the other kind.
void CheckModeAgainstLengthWord(const std::string& path, uint8_t mode, uint32_t lengthWord,
                                uint64_t modeAt);

class InstallerReader {
 public:
  // Opens the installation file and reads its mode byte. Throws ReadError.
  explicit InstallerReader(const std::string& path);

  VolumeStream& stream() { return stream_; }
  const VolumeStream& stream() const { return stream_; }
  uint8_t mode() const { return mode_; }
  const std::string& path() const { return path_; }

  // Throws kNotInstaller for a maintenance program (its trailer is no package header)
  // and kDamaged for a mode byte that nothing writes or that disagrees with the volume
  // length word.
  void RequireInstallMode() const;

  BlockRecord ReadHeaderRecord();
  // Checks and expands the header block and parses it; false with *problem set when
  // it is damaged or cut short.
  bool DecodeHeader(const BlockRecord& record, InstallerHeader* header,
                    std::string* problem) const;

  // The next file entry's name and fixed fields; false at the empty name record that
  // ends the list. Its block records follow, read with NextBlock.
  bool NextFileEntry(FileEntry* entry);
  // Block `number` (1-based) of `entry`; false at its end record.
  bool NextBlock(const FileEntry& entry, int number, BlockRecord* record);
  // "SETUP.EXE at offset 4660: block 2 of file entry 1 (...)", for messages.
  std::string BlockLabel(const FileEntry& entry, int number, const BlockRecord& record) const;

  // Once NextFileEntry has returned false: "" when the data blocks read match the size
  // table's count of them (word 7), else why the file list is damaged. The count is
  // covered by the header block's checksums, the file list is not: a damaged name length
  // ends the list early and loses the entries after it, which the stub would not notice.
  std::string FileListProblem(const InstallerHeader& header) const;

  // The stub stops reading shortcuts at the empty record or at a record without '='.
  RecordList ReadShortcutList();
  RecordList ReadRegistryList();
  std::string ReadRunAfter();

  // Once the run-after command is read: "" when the directory (the entries' names and
  // fields and every list record) sums to the header's directory checksum, or the header
  // has none; else why the installer is damaged. Those bytes have no other checksum: a
  // damaged name would install a file under another name.
  std::string DirectoryProblem(const InstallerHeader& header) const;

 private:
  std::string path_;
  VolumeStream stream_;
  uint8_t mode_ = 0;
  int fileEntries_ = 0;
  uint64_t blocksRead_ = 0;  // data blocks of all file entries, end records not counted
  StreamPosition listEnd_;   // the record that ended the file list
  uint32_t directory_;       // block checksum of the directory bytes read so far

  std::string ReadDirectoryRecord(const std::string& what);
};
