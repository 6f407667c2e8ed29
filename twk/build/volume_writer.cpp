// Spreading the package over the installation file and its volumes.
#include "twk/build/volume_writer.h"

#include <cstdio>

#include "base/little_endian.h"
#include "host/host_file.h"
#include "package/format.h"
#include "twk/common/build_error.h"
#include "twk/common/exit_codes.h"
#include "twk/common/temporary_file.h"

namespace {

constexpr uint64_t kMaxVolumeLength = 0xFFFFFFFFu;  // the volume length word is 32 bits

}  // namespace

void CheckVolumeSize(uint64_t volumeSize, uint64_t stubLength) {
  const uint64_t minimum = stubLength + kVolumeLengthWordSize + kMinimumVolumePayload;
  if (volumeSize > kMaxVolumeLength) {
    throw CommandError(kExitUsage, "a volume size over 4 GiB does not fit a volume length word");
  }
  if (volumeSize != 0 && volumeSize < minimum) {
    throw CommandError(kExitUsage, "a volume size of " + std::to_string(volumeSize) +
                                       " bytes leaves no room for the package: at least " +
                                       std::to_string(minimum) +
                                       " bytes are needed with this stub");
  }
}

unsigned VolumeFileCount(uint64_t packageLength, uint64_t stubLength, uint64_t volumeSize) {
  if (volumeSize == 0) return 1;
  const uint64_t first = volumeSize - stubLength - kVolumeLengthWordSize;
  if (packageLength <= first) return 1;
  const uint64_t each = volumeSize - kVolumeLengthWordSize;
  return static_cast<unsigned>(1 + (packageLength - first + each - 1) / each);
}

std::string VolumePath(const std::string& installer, unsigned number) {
  char suffix[16];
  std::snprintf(suffix, sizeof(suffix), kVolumeSuffixFormat, number);
  const size_t dot = installer.rfind('.');
  return (dot == std::string::npos ? installer : installer.substr(0, dot)) + suffix;
}

VolumeWriter::VolumeWriter(const std::string& installer, uint64_t volumeSize,
                           const std::vector<uint8_t>& stub)
    : installer_(installer), limit_(volumeSize == 0 ? kMaxVolumeLength : volumeSize) {
  CheckVolumeSize(volumeSize, stub.size());
  StartVolume(stub.data(), stub.size());
}

VolumeWriter::~VolumeWriter() {
  if (file_ != nullptr) std::fclose(file_);
  if (committed_) return;
  for (const Volume& volume : volumes_) {
    if (!volume.temporaryPath.empty()) std::remove(volume.temporaryPath.c_str());
  }
}

void VolumeWriter::StartVolume(const uint8_t* prefix, size_t prefixLength) {
  Volume volume;
  volume.path = volumes_.empty() ? installer_ : VolumePath(installer_, static_cast<unsigned>(volumes_.size()));
  volume.wordOffset = prefixLength;
  host::Failure failure;
  file_ = CreateTemporaryBeside(volume.path, &volume.temporaryPath, &failure);
  if (file_ == nullptr) ThrowOutputError(volume.path, "cannot create: " + failure.reason);
  volumes_.push_back(volume);
  std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
  const uint8_t placeholder[kVolumeLengthWordSize] = {0, 0, 0, 0};
  WriteRaw(prefix, prefixLength);
  WriteRaw(placeholder, sizeof(placeholder));
}

void VolumeWriter::WriteRaw(const uint8_t* data, size_t length) {
  Volume& volume = volumes_.back();
  if (length != 0 && std::fwrite(data, 1, length, file_) != length) {
    ThrowOutputError(volume.path, "cannot write: " + ErrnoText());
  }
  volume.length += length;
}

void VolumeWriter::Write(const uint8_t* data, size_t length) {
  while (length > 0) {
    if (volumes_.back().length == limit_) {
      if (volumes_.size() == 1 && limit_ == kMaxVolumeLength) {
        throw CommandError(kExitUsage, installer_ + ": the installation file would be larger "
                                                    "than 4 GiB: split it into volumes with "
                                                    "--volume-size");
      }
      FinishVolume();
      StartVolume(nullptr, 0);
    }
    const uint64_t room = limit_ - volumes_.back().length;
    const size_t part = room < length ? static_cast<size_t>(room) : length;
    WriteRaw(data, part);
    data += part;
    length -= part;
  }
}

void VolumeWriter::FinishVolume() {
  const Volume& volume = volumes_.back();
  uint8_t word[kVolumeLengthWordSize];
  StoreLe32(word, static_cast<uint32_t>(volume.length));
  const bool ok = std::fseek(file_, static_cast<long>(volume.wordOffset), SEEK_SET) == 0 &&
                  std::fwrite(word, 1, sizeof(word), file_) == sizeof(word);
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!ok || !closed) ThrowOutputError(volume.path, "cannot write: " + ErrnoText());
}

std::vector<std::string> VolumeWriter::Commit() {
  FinishVolume();
  std::vector<std::string> paths;
  for (Volume& volume : volumes_) {
    // A symbolic link standing there is replaced, and the file it points to left alone.
    host::Failure failure;
    if (!host::RenameReplacing(volume.temporaryPath, volume.path, &failure)) {
      ThrowOutputError(volume.path, "cannot rename the finished file into place: " + failure.reason);
    }
    volume.temporaryPath.clear();
    paths.push_back(volume.path);
  }
  committed_ = true;
  return paths;
}
