// The forward package stream over the installation file and its volumes.
#include "twk/reader/volume_stream.h"

#include <errno.h>
#include <string.h>

#include <algorithm>
#include <cstdio>

#include "base/little_endian.h"
#include "base/pe_image.h"
#include "host/host_process.h"
#include "package/format.h"
#include "package/signed_volume.h"
#include "twk/common/input_file.h"
#include "twk/reader/reader_error.h"

namespace {

constexpr size_t kSearchChunk = 1 << 20;

std::string SystemError() { return strerror(errno); }

// A regular file and its size, or nullptr with *problem saying why not. A FIFO or device
// in the place of an installer or a volume would block the reader or never end.
FILE* OpenForReading(const std::string& path, uint64_t* size, std::string* problem) {
  InputFile file;
  FILE* stream = file.Open(path) == InputStatus::kOk ? file.ReleaseAsStream() : nullptr;
  *problem = file.problem();
  *size = file.size();
  return stream;
}

// The offset of the first marker in the file, or -1.
int64_t FindMarker(FILE* file, const std::string& path) {
  std::string window;
  uint64_t windowStart = 0;
  std::vector<char> chunk(kSearchChunk);
  for (;;) {
    const size_t got = std::fread(chunk.data(), 1, chunk.size(), file);
    if (got == 0) {
      if (std::ferror(file)) {
        throw ReadError(ReadFailure::kUnreadable, path + ": cannot read: " + SystemError());
      }
      return -1;
    }
    window.append(chunk.data(), got);
    const size_t found = window.find(kPackageMarker, 0, kPackageMarkerLength);
    if (found != std::string::npos) return static_cast<int64_t>(windowStart + found);
    // Keep a marker's length less one, so a marker across two chunks is still found.
    const size_t keep = kPackageMarkerLength - 1;
    if (window.size() > keep) {
      windowStart += window.size() - keep;
      window.erase(0, window.size() - keep);
    }
  }
}

}  // namespace

PackageLocation FindPackageLocation(const std::string& path) {
  uint64_t size = 0;
  std::string problem;
  FILE* file = OpenForReading(path, &size, &problem);
  if (file == nullptr) throw ReadError(ReadFailure::kUnreadable, path + ": " + problem);
  PackageLocation location;
  uint8_t word[kPackageOffsetWordSize] = {};
  const int64_t marker = FindMarker(file, path);
  const bool haveWord = marker >= 0 &&
                        fseeko(file, marker + kPackageMarkerLength, SEEK_SET) == 0 &&
                        std::fread(word, 1, sizeof word, file) == sizeof word;
  std::fclose(file);
  if (!haveWord) {
    throw ReadError(ReadFailure::kNotInstaller,
                    path + ": not an installer: no \"" + kPackageMarker + "\" marker");
  }
  location.markerOffset = static_cast<uint64_t>(marker);
  location.packageOffset = LoadLe32(word);
  if (location.packageOffset == 0) {
    throw ReadError(ReadFailure::kNotInstaller,
                    path + ": not an installer: its package offset is 0 (a stub without a "
                           "package)");
  }
  const uint64_t markerEnd = location.markerOffset + kPackageMarkerLength + sizeof word;
  if (location.packageOffset < markerEnd) {
    throw ReadError(ReadFailure::kNotInstaller,
                    path + ": not an installer: its package offset " +
                        std::to_string(location.packageOffset) +
                        " lies inside the stub, before the end of its marker at " +
                        std::to_string(markerEnd));
  }
  return location;
}

std::string VolumePath(const std::string& path, int number) {
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, kVolumeSuffixFormat, number);
  const size_t nameStart = host::NameStart(path);
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return path + suffix;
  return path.substr(0, dot) + suffix;
}

VolumeStream::VolumeStream(const std::string& path, bool followVolumes)
    : followVolumes_(followVolumes) {
  location_ = FindPackageLocation(path);
  try {
    OpenVolume(path, location_.packageOffset, "the volume length word");
  } catch (...) {
    // No destructor runs for a stream whose constructor throws: a file too short for its
    // volume length word would keep its descriptor open.
    if (file_ != nullptr) std::fclose(file_);
    throw;
  }
}

VolumeStream::~VolumeStream() {
  if (file_ != nullptr) std::fclose(file_);
}

void VolumeStream::OpenVolume(const std::string& path, uint64_t start, const std::string& what) {
  uint64_t size = 0;
  std::string problem;
  FILE* file = OpenForReading(path, &size, &problem);
  if (file == nullptr) {
    if (volume_ < 0) throw ReadError(ReadFailure::kUnreadable, path + ": " + problem);
    throw ReadError(ReadFailure::kMissingVolume,
                    Describe(position()) + ": the package goes on past the end of this file (in " +
                        what + "), but its next volume " + path + " " + problem +
                        ": a volume is missing or the installer is truncated");
  }
  if (file_ != nullptr) std::fclose(file_);
  file_ = file;
  ++volume_;
  paths_.push_back(path);
  sizes_.push_back(size);
  ends_.push_back(0);
  offset_ = start;
  // The installation file (a start offset) may be signed: its package bytes end where the
  // certificate table begins, as the stub reads them.
  uint32_t certificate = 0;
  if (start != 0) {
    uint8_t head[kSignatureHeadSize];
    const size_t headLength = std::fread(head, 1, sizeof head, file_);
    certificate = CertificateTableOffset(head, static_cast<uint32_t>(headLength));
  }
  uint8_t word[kVolumeLengthWordSize] = {};
  const bool seeked =
      start <= sizes_.back() && fseeko(file_, static_cast<off_t>(start), SEEK_SET) == 0;
  const size_t got = seeked ? std::fread(word, 1, sizeof word, file_) : 0;
  if (got != sizeof word) {
    throw ReadError(volume_ == 0 ? ReadFailure::kTruncated : ReadFailure::kDamaged,
                    Describe(position()) + ": the file ends before its 4-byte volume length word");
  }
  offset_ += got;
  lengthWords_.push_back(LoadLe32(word));
  ends_.back() = SignedVolumeEnd(static_cast<uint32_t>(start), lengthWords_.back(), certificate);
}

void VolumeStream::OpenNextVolume(const std::string& what) {
  OpenVolume(VolumePath(paths_[0], volume_ + 1), 0, what);
}

void VolumeStream::Read(uint8_t* dest, size_t count, const std::string& what) {
  while (count > 0) {
    // Up to a signature, or to whatever end the file has by now.
    const uint64_t end = ends_.back();
    const uint64_t left = end == 0 ? count : offset_ < end ? end - offset_ : 0;
    const size_t got =
        std::fread(dest, 1, static_cast<size_t>(std::min<uint64_t>(count, left)), file_);
    offset_ += got;
    dest += got;
    count -= got;
    if (count == 0) return;
    if (std::ferror(file_)) {
      throw ReadError(ReadFailure::kUnreadable,
                      DescribeHere() + ": read error in " + what + ": " + SystemError());
    }
    if (!followVolumes_) {
      throw ReadError(ReadFailure::kTruncated,
                      DescribeHere() + ": the file ends in the middle of " + what);
    }
    OpenNextVolume(what);
  }
}

uint8_t VolumeStream::ReadByte(const std::string& what) {
  uint8_t byte = 0;
  Read(&byte, 1, what);
  return byte;
}

uint16_t VolumeStream::ReadLe16(const std::string& what) {
  uint8_t bytes[2];
  Read(bytes, sizeof bytes, what);
  return LoadLe16(bytes);
}

uint32_t VolumeStream::ReadLe32(const std::string& what) {
  uint8_t bytes[4];
  Read(bytes, sizeof bytes, what);
  return LoadLe32(bytes);
}

std::string VolumeStream::ReadStringRecord(const std::string& what) {
  const uint8_t length = ReadByte(what);
  std::string text(length, '\0');
  if (length != 0) Read(reinterpret_cast<uint8_t*>(&text[0]), length, what);
  return text;
}

std::string VolumeStream::Describe(const StreamPosition& at) const {
  const std::string& path = at.volume >= 0 && static_cast<size_t>(at.volume) < paths_.size()
                                ? paths_[at.volume]
                                : paths_.empty() ? std::string("?") : paths_.back();
  return path + " at offset " + std::to_string(at.offset);
}
