// Writing the installation file and its volumes. Volume 0 is the stub followed by its
// volume length word and the first package bytes; volume k (SETUP.001, SETUP.002, ...) is
// its own volume length word followed by the package bytes that continue where volume k-1
// ended. Each volume length word holds the length of its own file: for a single-file
// installation that is the offset just past the package's last byte.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

// The path of volume `number` (1 and up): `installer` with everything from its last '.'
// replaced by "." and the number as at least three digits, as the installer looks for it.
std::string VolumePath(const std::string& installer, unsigned number);

// Every volume carries at least this many package bytes (the last one excepted), so that a
// tiny volume size cannot spread a package over a needless multitude of files.
constexpr uint64_t kMinimumVolumePayload = 16;

// Throws a usage error unless `volumeSize` is 0 (no volumes) or leaves room for the stub,
// the volume length word and kMinimumVolumePayload package bytes, and is at most 4 GiB - 1.
void CheckVolumeSize(uint64_t volumeSize, uint64_t stubLength);

// How many files VolumeWriter writes for `packageLength` package bytes after a stub of
// `stubLength` bytes: 1 without volumes, otherwise the installation file and its volumes.
// `volumeSize` must pass CheckVolumeSize.
unsigned VolumeFileCount(uint64_t packageLength, uint64_t stubLength, uint64_t volumeSize);

class VolumeWriter {
 public:
  // Starts volume 0 with `stub`. `volumeSize` 0 means one file without volumes (of at most
  // 0xFFFFFFFF bytes); otherwise no file grows beyond `volumeSize` bytes, which must pass
  // CheckVolumeSize. Files are written under temporary names until Commit.
  VolumeWriter(const std::string& installer, uint64_t volumeSize, const std::vector<uint8_t>& stub);
  ~VolumeWriter();  // removes every temporary file unless Commit succeeded

  VolumeWriter(const VolumeWriter&) = delete;
  VolumeWriter& operator=(const VolumeWriter&) = delete;

  // Appends package bytes, opening the next volume only when the current one is full and
  // bytes remain, so that no volume is empty. Throws an output error when a write fails.
  void Write(const uint8_t* data, size_t length);

  // Completes the volume length words, closes the files and gives them their names.
  // Returns the paths written, volume 0 first.
  std::vector<std::string> Commit();

 private:
  struct Volume {
    std::string path;
    std::string temporaryPath;
    uint64_t wordOffset = 0;  // where its volume length word is
    uint64_t length = 0;      // bytes written so far
  };

  void StartVolume(const uint8_t* prefix, size_t prefixLength);
  void FinishVolume();
  void WriteRaw(const uint8_t* data, size_t length);

  std::string installer_;
  uint64_t limit_;
  std::vector<Volume> volumes_;
  FILE* file_ = nullptr;
  bool committed_ = false;
};
