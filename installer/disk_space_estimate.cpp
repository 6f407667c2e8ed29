// The disk-space estimate of the folder page: a pure computation from the size table,
// and the page's use of it.
#include "installer/disk_space_estimate.h"

#include <string.h>

#include "base/format_text.h"
#include "engine/path_macros.h"
#include "platform/file_system.h"
#include "platform/wizard.h"
#include "runtime/messages.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"

namespace {

constexpr int kEstimateControl = 1006;
constexpr uint32_t kLargestTabledCluster = 32768;
constexpr uint64_t kBlockBytes = 65000;  // the builder's piece size, not 65536


// The bytes the package's files need on a drive with `clusterSize`-byte clusters: the
// word of the first allocation unit (512, 1024, ... 32768) that holds a cluster.
uint64_t FileBytesFor(const uint32_t sizeTable[kSizeTableWords], uint32_t clusterSize) {
  uint64_t unit = kSmallestAllocationUnit;
  for (size_t word = 0; word < kSizeTableBlockCountWord; ++word, unit *= 2) {
    if (clusterSize <= unit) return sizeTable[word] * unit;
  }
  return sizeTable[kSizeTableBlockCountWord] * kBlockBytes;
}

// In 32-bit steps: a 64-bit division would bring its helper functions into the stub.
uint64_t RoundUpToClusters(uint32_t bytes, uint32_t clusterSize) {
  const uint32_t clusters = bytes / clusterSize + (bytes % clusterSize != 0 ? 1 : 0);
  return static_cast<uint64_t>(clusters) * clusterSize;
}

// 64-bit sums, cut at the largest 32-bit count: a package too large for 32 bits of
// bytes must not wrap around to a small figure.
unsigned long Kilobytes(uint64_t bytes) {
  const uint64_t kb = bytes / 1024;
  return static_cast<unsigned long>(kb > 0xFFFFFFFFu ? 0xFFFFFFFFu : kb);
}

}  // namespace

void DiskRootOf(const char* folder, char* out, size_t size) {
  const char* colon = strchr(folder, ':');
  if (colon == nullptr) {
    FormatText(out, size, "%s", folder);
    return;
  }
  FormatText(out, size, "%.*s:\\", static_cast<int>(colon - folder), folder);
}

void EstimateDiskSpace(const uint32_t sizeTable[kSizeTableWords], uint32_t clusterSize,
                       uint32_t stubLength, const char* programFolder, const char* productKeyName,
                       char* out, size_t size) {
  if (clusterSize == 0) {
    FormatText(out, size, "%s", Text(MSG_DISK_SPACE_UNAVAILABLE));
    return;
  }
  uint64_t programs = 0;
  if (programFolder != nullptr && programFolder[0] != '\0') ++programs;
  if (productKeyName != nullptr && productKeyName[0] != '\0') ++programs;
  const uint64_t here =
      FileBytesFor(sizeTable, clusterSize) + programs * RoundUpToClusters(stubLength, clusterSize);
  const uint64_t elsewhere = FileBytesFor(sizeTable, kLargestTabledCluster) +
                             programs * RoundUpToClusters(stubLength, kLargestTabledCluster);
  FormatText(out, size, Text(MSG_DISK_SPACE_LINE), Kilobytes(here), Kilobytes(elsewhere));
}

void ShowDiskSpaceEstimate(platform::Window page) {
  const char* folder = TextOrEmpty(g_setup.programFolder);
  char root[kPathBufferSize];
  DiskRootOf(folder, root, sizeof root);
  uint32_t sectorsPerCluster = 0;
  uint32_t bytesPerSector = 0;
  uint32_t freeClusters = 0;
  uint32_t totalClusters = 0;
  char text[kEstimateTextSize];
  if (platform::GetDiskGeometry(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                &totalClusters)) {
    const uint64_t cluster = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
    const uint32_t clusterSize =
        cluster > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(cluster);
    EstimateDiskSpace(g_setup.sizeTable, clusterSize, PackageOffset(), folder,
                      TextOrEmpty(g_setup.productKeyName), text, sizeof text);
  } else {
    FormatText(text, sizeof text, "%s", Text(MSG_DISK_SPACE_UNAVAILABLE));
  }
  platform::SetPageText(page, kEstimateControl, text);
}
