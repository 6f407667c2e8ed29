// The folder page's estimate of the disk space an installation needs.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "package/format.h"
#include "platform/handles.h"

// The estimate is formatted into a buffer of this size.
constexpr size_t kEstimateTextSize = 512;

// The root whose geometry the estimate asks for: `folder` up to its first ':', then
// ":\" ("D:\Apps" gives "D:\"); a folder without ':' is used whole. Writes at most
// `size` bytes to `out` (NUL included), cutting a longer folder.
void DiskRootOf(const char* folder, char* out, size_t size);

// The estimate text for a drive with clusters of `clusterSize` bytes: the bytes the
// package's files need there (the size table's word for the smallest unit that holds a
// cluster; past 32768 bytes the block count times 65000) plus one stub of `stubLength`
// bytes, rounded up to whole clusters, for each maintenance program the run writes
// (FINALIZE.EXE when `programFolder` is not empty, UNINST.EXE when `productKeyName` is
// not empty); and the same for 32768-byte clusters. Both in kilobytes, rounded down.
// A cluster size of 0 gives "Size requirements unavailable.". Writes at most `size`
// bytes to `out` (NUL included). Pure: reads nothing but its arguments.
void EstimateDiskSpace(const uint32_t sizeTable[kSizeTableWords], uint32_t clusterSize,
                       uint32_t stubLength, const char* programFolder, const char* productKeyName,
                       char* out, size_t size);

// Fills control 1006 of the folder page with the estimate for the program folder as it
// now stands, asking the platform for the geometry of its drive.
void ShowDiskSpaceEstimate(platform::Window page);
