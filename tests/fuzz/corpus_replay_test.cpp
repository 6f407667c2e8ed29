// Replays every checked-in fuzz corpus file through its target's body, so that inputs
// once found by the fuzzers keep passing in ordinary test runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/fuzz_targets.h"
#include <vector>

namespace {

void ReplayCorpus(const char* target, bool (*body)(const uint8_t*, size_t)) {
  const std::filesystem::path folder = std::filesystem::path(TWK_FUZZ_CORPUS_DIR) / target;
  ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(body(data.data(), data.size())) << entry.path();
    ++files;
  }
  EXPECT_GT(files, 0) << folder;
}

TEST(FuzzCorpus, ExpandBlockSurvivesEveryFile) {
  ReplayCorpus("fuzz_expand_block", FuzzExpandBlock);
}

TEST(FuzzCorpus, RoundTripHoldsForEveryFile) { ReplayCorpus("fuzz_round_trip", FuzzRoundTrip); }

TEST(FuzzCorpus, HuffmanDecoderAgreesWithTheSlowOneOnEveryFile) {
  ReplayCorpus("fuzz_huffman_decoder", FuzzHuffmanDecoder);
}

}  // namespace

TEST(FuzzCorpus, HeaderBlockParsingStaysInsideEveryFile) {
  ReplayCorpus("fuzz_header_block", FuzzHeaderBlock);
}

TEST(FuzzCorpus, PeVersionReaderSurvivesEveryFile) {
  ReplayCorpus("fuzz_pe_version", FuzzPeVersion);
}
