// The installation file's package, read in the stub's order.
#include "twk/reader/installer_reader.h"

#include <stdio.h>

#include "package/block_checksum.h"
#include "package/header_block.h"
#include "twk/reader/reader_error.h"

namespace {

std::string SpanText(const TextSpan& span) { return std::string(span.text, span.length); }

// Where the expanded header's last field ends: after the licence text's NUL, or after
// the single 0 byte that stands for "no licence". Returns false when that byte or the
// licence's NUL is missing, so the stub would read past the block.
bool HeaderEnd(const uint8_t* data, size_t size, const HeaderFields& fields, size_t* end) {
  const TextSpan& last = fields.texts[kHeaderStartMenuFolder];
  const size_t licenceByte = static_cast<size_t>(reinterpret_cast<const uint8_t*>(last.text) -
                                                 data) +
                             last.length + 1 + kHeaderDirectoryChecksumSize + kSizeTableWords * 4;
  if (licenceByte >= size) {
    *end = size;
    return false;
  }
  if (!fields.hasLicence) {
    *end = licenceByte + 1;
    return true;
  }
  *end = static_cast<size_t>(reinterpret_cast<const uint8_t*>(fields.licence.text) - data) +
         fields.licence.length;
  if (*end == size) return false;  // no NUL: the stub would copy on past the block
  ++*end;
  return true;
}

}  // namespace

const char* ModeName(uint8_t mode) {
  switch (mode) {
    case kModeInstall:
      return "install";
    case kModeUninstall:
      return "uninstall";
    case kModeFinalize:
      return "finalize";
    default:
      return "unknown";
  }
}

void CheckModeAgainstLengthWord(const std::string& path, uint8_t mode, uint32_t lengthWord,
                                uint64_t modeAt) {
  const bool maintenance = mode == kModeUninstall || mode == kModeFinalize;
  if (lengthWord != 0 ? mode == kModeInstall : maintenance) return;
  const std::string modeText = "the mode byte at offset " + std::to_string(modeAt) + " is " +
                               std::to_string(mode) + " (" + ModeName(mode) + ")";
  throw ReadError(ReadFailure::kDamaged,
                  lengthWord != 0
                      ? path + ": damaged: " + modeText + ", but the volume length word is " +
                            std::to_string(lengthWord) +
                            ", as only an installation file's is (a maintenance program's is 0)"
                      : path + ": damaged: the volume length word is 0, as only a maintenance "
                               "program's is, but " + modeText);
}

std::string FileEntry::Label() const {
  return "file entry " + std::to_string(number) + " (" + name + ")";
}

InstallerReader::InstallerReader(const std::string& path)
    : path_(path), stream_(path), directory_(kChecksumStart) {
  mode_ = stream_.ReadByte("the mode byte");
}

void InstallerReader::RequireInstallMode() const {
  const uint64_t modeAt = stream_.location().packageOffset + kVolumeLengthWordSize;
  CheckModeAgainstLengthWord(path_, mode_, stream_.volumeLengthWord(0), modeAt);
  if (mode_ == kModeUninstall || mode_ == kModeFinalize) {
    throw ReadError(ReadFailure::kNotInstaller,
                    path_ + ": not an installation file but a maintenance program (mode " +
                        std::to_string(mode_) + ", " + ModeName(mode_) +
                        "); 'twk log' shows it");
  }
}

BlockRecord InstallerReader::ReadHeaderRecord() {
  return ReadBlockRecord(stream_, "the header block");
}

bool InstallerReader::DecodeHeader(const BlockRecord& record, InstallerHeader* header,
                                   std::string* problem) const {
  const std::string where = stream_.Describe(record.where) + ": the header block";
  if (record.storedLength == 0) {
    *problem = where + " is an end record (stored length 0)";
    return false;
  }
  std::vector<uint8_t> bytes;
  const BlockVerdict verdict = ExpandBlockRecord(record, kHeaderBlockCapacity, &bytes);
  if (verdict != BlockVerdict::kOk) {
    *problem = where + " is damaged: " + DescribeBlockVerdict(verdict, record);
    return false;
  }
  HeaderFields fields{};
  size_t end = 0;
  if (!ParseHeaderBlock(bytes.data(), bytes.size(), &fields) ||
      !HeaderEnd(bytes.data(), bytes.size(), fields, &end)) {
    *problem = where + " is cut short: its " + std::to_string(bytes.size()) +
               " expanded bytes lack a text's NUL, the size table or the licence text";
    return false;
  }
  header->title = SpanText(fields.texts[kHeaderTitle]);
  header->bottomText = SpanText(fields.texts[kHeaderBottomText]);
  header->productKey = SpanText(fields.texts[kHeaderProductKey]);
  header->programFolder = SpanText(fields.texts[kHeaderProgramFolder]);
  header->startMenuFolder = SpanText(fields.texts[kHeaderStartMenuFolder]);
  for (size_t i = 0; i < kSizeTableWords; ++i) header->sizeTable[i] = fields.sizeTable[i];
  header->directoryChecksum = fields.directoryChecksum;
  header->hasLicence = fields.hasLicence;
  header->licence = fields.hasLicence ? SpanText(fields.licence) : std::string();
  header->expandedLength = bytes.size();
  header->bytesAfterLicence = bytes.size() - end;
  return true;
}

bool InstallerReader::NextFileEntry(FileEntry* entry) {
  const int number = fileEntries_ + 1;
  entry->number = number;
  entry->where = stream_.position();
  entry->name = ReadDirectoryRecord("the name of file entry " + std::to_string(number));
  if (entry->name.empty()) {
    listEnd_ = entry->where;
    return false;
  }
  ++fileEntries_;
  uint8_t fixed[kFileEntryFixedSize];
  stream_.Read(fixed, sizeof fixed, "the fields of " + entry->Label());
  directory_ = BlockChecksum(fixed, sizeof fixed, directory_);
  ParseFileEntryFields(fixed, &entry->fields);
  return true;
}

bool InstallerReader::NextBlock(const FileEntry& entry, int number, BlockRecord* record) {
  *record = ReadBlockRecord(stream_, "block " + std::to_string(number) + " of " + entry.Label());
  if (record->storedLength == 0) return false;
  ++blocksRead_;
  return true;
}

std::string InstallerReader::BlockLabel(const FileEntry& entry, int number,
                                        const BlockRecord& record) const {
  return stream_.Describe(record.where) + ": block " + std::to_string(number) + " of " +
         entry.Label();
}

std::string InstallerReader::FileListProblem(const InstallerHeader& header) const {
  const uint32_t counted = header.sizeTable[kSizeTableBlockCountWord];
  // The builder stops the count at its largest value rather than let it wrap.
  const bool saturated = counted == 0xFFFFFFFFu;
  if (blocksRead_ == counted || (saturated && blocksRead_ > counted)) return std::string();
  const std::string where = stream_.Describe(listEnd_) + ": the file list ends after " +
                            std::to_string(fileEntries_) +
                            (fileEntries_ == 1 ? " file entry" : " file entries") + " holding " +
                            std::to_string(blocksRead_) + " data blocks, but the size table " +
                            "counts " + std::to_string(counted);
  if (blocksRead_ < counted) {
    return where + ": file entries are lost (a damaged name length ends the list early)";
  }
  return where + ": the file list does not belong to this header";
}

RecordList InstallerReader::ReadShortcutList() {
  RecordList list;
  for (;;) {
    list.end = stream_.position();
    std::string line = ReadDirectoryRecord("shortcut line " + std::to_string(list.lines.size() + 1));
    if (line.empty()) return list;
    if (line.find(kShortcutSeparator) == std::string::npos) {
      list.endedByEmpty = false;
      list.ender = line;
      return list;
    }
    list.lines.push_back(std::move(line));
  }
}

RecordList InstallerReader::ReadRegistryList() {
  RecordList list;
  for (;;) {
    list.end = stream_.position();
    std::string line = ReadDirectoryRecord("registry line " + std::to_string(list.lines.size() + 1));
    if (line.empty()) return list;
    list.lines.push_back(std::move(line));
  }
}

std::string InstallerReader::ReadRunAfter() { return ReadDirectoryRecord("the run-after command"); }

std::string InstallerReader::ReadDirectoryRecord(const std::string& what) {
  std::string record = stream_.ReadStringRecord(what);
  const uint8_t length = static_cast<uint8_t>(record.size());
  directory_ = BlockChecksum(&length, 1, directory_);
  directory_ = BlockChecksum(reinterpret_cast<const uint8_t*>(record.data()), record.size(),
                             directory_);
  return record;
}

std::string InstallerReader::DirectoryProblem(const InstallerHeader& header) const {
  if (header.directoryChecksum == kNoDirectoryChecksum || directory_ == header.directoryChecksum) {
    return std::string();
  }
  char sums[64];
  snprintf(sums, sizeof sums, "0x%08X, the header says 0x%08X", directory_,
           header.directoryChecksum);
  return path_ + ": the file entries and lists are damaged: their directory checksum is " +
         sums + " (a name, a file's fields or a list line has changed)";
}
