// A forward byte stream over an installation file and its volumes, as the stub reads it:
// from the package offset of volume 0 on, across into SETUP.001, SETUP.002, ... whenever
// a volume ends, each volume's leading volume length word consumed on the way. Every
// position is known as (volume, file offset), so messages can name the file and offset.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

struct StreamPosition {
  int volume = 0;       // 0 = the installation file itself
  uint64_t offset = 0;  // byte offset in that volume's file
};

// The package offset that the stub carries after its marker, and where the marker is.
struct PackageLocation {
  uint64_t markerOffset = 0;
  uint32_t packageOffset = 0;
};

// Finds the first "WHERETOSTARTSTRING:" marker of the file and the word after it.
// Throws ReadError: kUnreadable when the file cannot be read, kNotInstaller when there
// is no marker or the word is 0 or points inside the marker.
PackageLocation FindPackageLocation(const std::string& path);

// The path of volume `number` (1 or more) of the installation file `path`: the file
// name's extension is replaced by ".%03d" ("SETUP.EXE" -> "SETUP.001"), or the suffix is
// appended when the file name has no extension.
std::string VolumePath(const std::string& path, int number);

class VolumeStream {
 public:
  // Opens `path` as volume 0, seeks to its package offset and reads the volume length
  // word. With `followVolumes` false (a maintenance program), the end of the file ends
  // the stream: reading past it throws kTruncated instead of opening a next volume.
  explicit VolumeStream(const std::string& path, bool followVolumes = true);
  ~VolumeStream();
  VolumeStream(const VolumeStream&) = delete;
  VolumeStream& operator=(const VolumeStream&) = delete;

  // Reads exactly `count` bytes, crossing into later volumes as needed. `what` names the
  // structure being read for the message of a ReadError (kMissingVolume, kTruncated,
  // kDamaged for a volume shorter than its length word, kUnreadable for an I/O error).
  void Read(uint8_t* dest, size_t count, const std::string& what);
  uint8_t ReadByte(const std::string& what);
  uint16_t ReadLe16(const std::string& what);
  uint32_t ReadLe32(const std::string& what);
  // One string record: a length byte, then that many bytes.
  std::string ReadStringRecord(const std::string& what);

  const PackageLocation& location() const { return location_; }
  StreamPosition position() const { return {volume_, offset_}; }
  // "SETUP.001 at offset 4660"
  std::string Describe(const StreamPosition& at) const;
  std::string DescribeHere() const { return Describe(position()); }

  int volumesOpened() const { return volume_ + 1; }
  const std::string& volumePath(int volume) const { return paths_[volume]; }
  uint64_t volumeSize(int volume) const { return sizes_[volume]; }
  // Where the volume's package bytes end: its size, or where the signature of a signed
  // installation file begins.
  uint64_t volumeEnd(int volume) const { return ends_[volume] != 0 ? ends_[volume] : sizes_[volume]; }
  uint32_t volumeLengthWord(int volume) const { return lengthWords_[volume]; }
  // Bytes of the current volume after the current position: once the package has ended,
  // the data that follows it (padding, a signature).
  // A file that grew while it was read counts only up to the size it had when opened.
  uint64_t RemainingInVolume() const {
    return offset_ < sizes_[volume_] ? sizes_[volume_] - offset_ : 0;
  }
  // The file that would be opened next; it exists when a build left more volumes than
  // the package needs.
  std::string NextVolumePath() const { return VolumePath(paths_[0], volume_ + 1); }

 private:
  void OpenVolume(const std::string& path, uint64_t start, const std::string& what);
  void OpenNextVolume(const std::string& what);

  bool followVolumes_;
  PackageLocation location_;
  FILE* file_ = nullptr;
  int volume_ = -1;
  uint64_t offset_ = 0;
  std::vector<std::string> paths_;
  std::vector<uint64_t> sizes_;
  std::vector<uint64_t> ends_;  // 0: none but the file's own
  std::vector<uint32_t> lengthWords_;
};
