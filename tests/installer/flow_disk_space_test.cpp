// The folder page's disk-space estimate.
#include <gtest/gtest.h>

#include <string>

#include "installer/disk_space_estimate.h"

namespace {

std::string Estimate(const uint32_t (&table)[8], uint32_t cluster, const char* product) {
  char text[kEstimateTextSize];
  EstimateDiskSpace(table, cluster, 73728, "C:\\P", product, text, sizeof text);
  return text;
}

std::string Text(unsigned long here, unsigned long elsewhere) {
  return "This installation may require up to " + std::to_string(here) +
         "Kb on this drive. It may require up to " + std::to_string(elsewhere) +
         "Kb on other drives depending on their formats.";
}

TEST(FlowDiskSpace, CountsTheClusterSizesWordAndOneStubPerMaintenanceProgram) {
  const uint32_t table[8] = {2000, 1010, 520, 270, 140, 75, 40, 16};
  EXPECT_EQ(Estimate(table, 512, "K"), Text(1144, 1472));
  EXPECT_EQ(Estimate(table, 4096, "K"), Text(1224, 1472));
  EXPECT_EQ(Estimate(table, 32768, "K"), Text(1472, 1472));
  EXPECT_EQ(Estimate(table, 65536, "K"), Text(1271, 1472));
  EXPECT_EQ(Estimate(table, 4096, ""), Text(1152, 1376));  // no uninstaller
  EXPECT_EQ(Estimate(table, 0, "K"), "Size requirements unavailable.");
  // Sums beyond 32 bits stay large instead of wrapping round to a small figure.
  const uint32_t huge[8] = {0xFFFFFFFFu, 0, 0, 0, 0, 0, 0xFFFFFFFFu, 0};
  EXPECT_EQ(Estimate(huge, 512, "K"), Text(2147483791ul, 4294967295ul));
}

}  // namespace
