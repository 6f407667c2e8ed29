// Reading an installation file for `twk list`.
#include "twk/installer_listing.h"

#include "package/format.h"
#include "pe/version_resource.h"
#include "twk/reader/reader_block_record.h"
#include "twk/reader/reader_error.h"

namespace {

// Larger files are not looked into for a version resource, as twk build does not either;
// no program the installer is meant for comes near it.
constexpr uint64_t kMaxInspectedImage = 1ull << 30;

// Expands every block of the file to learn its size, keeping the bytes of what may be a
// Windows program to look for the self-registration marker.
void ReadFileBlocks(InstallerReader& reader, ListedFile* file, InstallerListing* listing) {
  BlockRecord record;
  std::vector<uint8_t> expanded;
  std::vector<uint8_t> image;
  bool program = true;  // so far, the bytes may be a program's
  for (file->blocks = 0; reader.NextBlock(file->entry, file->blocks + 1, &record); ++file->blocks) {
    if (!file->sizeKnown) continue;
    const BlockVerdict verdict = ExpandBlockRecord(record, kFileBlockCapacity, &expanded);
    if (verdict != BlockVerdict::kOk) {
      listing->problems.push_back(reader.stream().Describe(record.where) + ": block " +
                                  std::to_string(file->blocks + 1) + " of " +
                                  file->entry.Label() + " is damaged: " +
                                  DescribeBlockVerdict(verdict, record));
      file->sizeKnown = false;
      continue;
    }
    file->size += expanded.size();
    if (file->blocks == 0 && (expanded.size() < 2 || expanded[0] != 'M' || expanded[1] != 'Z')) {
      program = false;
    }
    if (program && file->size <= kMaxInspectedImage) {
      image.insert(image.end(), expanded.begin(), expanded.end());
    }
  }
  // Bytes that are no program's, as far as they could be read, settle it.
  if (!program) return;
  if (!file->sizeKnown || file->size > kMaxInspectedImage) {
    file->selfRegisters = Knowledge::kUnknown;
    return;
  }
  file->selfRegisters = SelfRegistrationOf(image);
}

void ReadFiles(InstallerReader& reader, InstallerListing* listing) {
  ListedFile file;
  while (reader.NextFileEntry(&file.entry)) {
    ReadFileBlocks(reader, &file, listing);
    listing->files.push_back(file);
    file = ListedFile();
  }
  listing->filesComplete = true;
}

void ReadVolumes(const VolumeStream& stream, InstallerListing* listing) {
  listing->volumes.clear();
  for (int v = 0; v < stream.volumesOpened(); ++v) {
    listing->volumes.push_back({stream.volumePath(v), stream.volumeSize(v), stream.volumeLengthWord(v)});
  }
  listing->end = stream.DescribeHere();
}

void ReadPackage(InstallerReader& reader, InstallerListing* listing) {
  std::string problem;
  listing->haveHeader = reader.DecodeHeader(reader.ReadHeaderRecord(), &listing->header, &problem);
  if (!listing->haveHeader) listing->problems.push_back(problem);
  ReadFiles(reader, listing);
  listing->shortcuts = reader.ReadShortcutList();
  listing->registry = reader.ReadRegistryList().lines;
  listing->runAfter = reader.ReadRunAfter();
  listing->haveLists = true;
  ReadVolumes(reader.stream(), listing);
  const std::string directory = reader.DirectoryProblem(listing->header);
  if (!directory.empty()) listing->problems.push_back(directory);
}

}  // namespace

Knowledge SelfRegistrationOf(const std::vector<uint8_t>& image) {
  const SelfRegistrationMarks marks = CountSelfRegistrationMarks(image);
  if (marks.marked != 0) return Knowledge::kYes;
  return marks.complete ? Knowledge::kNo : Knowledge::kUnknown;
}

InstallerListing ReadInstallerListing(const std::string& path) {
  InstallerListing listing;
  listing.path = path;
  try {
    InstallerReader reader(path);
    reader.RequireInstallMode();
    listing.packageOffset = reader.stream().location().packageOffset;
    listing.opened = true;
    listing.texts = ReadInstallerTexts(path);
    try {
      ReadPackage(reader, &listing);
    } catch (const ReadError&) {
      ReadVolumes(reader.stream(), &listing);
      throw;
    }
  } catch (const ReadError& error) {
    listing.problems.push_back(error.what());
    listing.exitCode = error.exitCode();
    return listing;
  }
  listing.exitCode = listing.problems.empty() ? kExitOk : kExitDamaged;
  return listing;
}
