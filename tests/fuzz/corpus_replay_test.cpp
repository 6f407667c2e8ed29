// Replays every checked-in fuzz corpus file through its target's body, so that inputs
// once found by the fuzzers keep passing in ordinary test runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"

namespace {

struct Target {
  const char* name;  // the corpus folder and the libFuzzer executable
  bool (*body)(const uint8_t*, size_t);
};

const Target kTargets[] = {
    {"fuzz_expand_block", FuzzExpandBlock},
    {"fuzz_round_trip", FuzzRoundTrip},
    {"fuzz_huffman_decoder", FuzzHuffmanDecoder},
    {"fuzz_header_block", FuzzHeaderBlock},
    {"fuzz_pe_version", FuzzPeVersion},
    {"fuzz_installer_file", FuzzInstallerFile},
    {"fuzz_build_script", FuzzBuildScript},
    {"fuzz_uninstall_log", FuzzUninstallLog},
    {"fuzz_simulate_answers", FuzzSimulateAnswers},
    {"fuzz_machine_state", FuzzMachineState},
};

void PrintTo(const Target& target, std::ostream* out) { *out << target.name; }

const std::filesystem::path kCorpus = TWK_FUZZ_CORPUS_DIR;

class FuzzCorpus : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzCorpus, EveryFileKeepsTheTargetsPromise) {
  const std::filesystem::path folder = kCorpus / GetParam().name;
  ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
    EXPECT_TRUE(GetParam().body(data.data(), data.size())) << entry.path();
    ++files;
  }
  EXPECT_GT(files, 0) << folder;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<Target>& target) {
                           return std::string(target.param.name);
                         });

// fuzz-smoke runs every folder's target: a folder without its body here would be fuzzed
// but never replayed.
TEST(FuzzCorpusFolders, EveryFolderIsReplayed) {
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
    const std::string name = entry.path().filename().string();
    bool known = false;
    for (const Target& target : kTargets) known = known || name == target.name;
    EXPECT_TRUE(known) << name << " has seeds but no replay";
  }
}

}  // namespace
