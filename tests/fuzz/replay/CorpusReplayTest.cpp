// Replays every corpus file of the fuzz targets through the same checks, as part of the ordinary tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/TempDir.h"
#include "tests/fuzz/FuzzChecks.h"

namespace {

struct TCorpus {
  const char* Name;
  std::string (*Check)(std::string_view);
};

class CorpusReplay : public ::testing::TestWithParam<TCorpus> {};

std::string CorpusName(const ::testing::TestParamInfo<TCorpus>& corpus) { return corpus.param.Name; }

TEST_P(CorpusReplay, EveryFilePassesTheCheck) {
  const std::filesystem::path folder = std::filesystem::path(VERSELET_FUZZ_CORPUS_DIR) / GetParam().Name;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty()) << "no corpus in " << folder;
  for (const auto& file : files)
    EXPECT_EQ(GetParam().Check(TTempDir::ReadFile(file)), "") << file.filename();
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplay,
                         ::testing::Values(TCorpus{"loaders", CheckLoaders}, TCorpus{"editing", CheckEditingSession},
                                           TCorpus{"drag", CheckDragSession}, TCorpus{"search", CheckSearch},
                                           TCorpus{"formats", CheckFormats}),
                         CorpusName);

}  // namespace
