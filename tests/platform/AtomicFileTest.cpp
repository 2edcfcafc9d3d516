// Tests of the safe save: what stands in the way of a save, and what a save leaves behind.
#include "platform/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "platform/Exceptions.h"
#include "tests/TempDir.h"

namespace fs = std::filesystem;

namespace {

mode_t ModeOf(const fs::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

struct TObstacleCase {
  const char* Name;
  std::function<fs::path(const TTempDir&)> Make;
  TSaveObstacle Expected;
};

TEST(AtomicFile, CheckSaveTargetNamesWhatStandsInTheWay) {
  const TObstacleCase cases[] = {
      {"missing name", [](const TTempDir& d) { return d.Path() / "new.txt"; }, TSaveObstacle::None},
      {"writable file", [](const TTempDir& d) { return d.WriteFile("a.txt", "x"); }, TSaveObstacle::None},
      {"read-only file",
       [](const TTempDir& d) {
         const fs::path p = d.WriteFile("a.txt", "x");
         ::chmod(p.c_str(), 0444);
         return p;
       },
       TSaveObstacle::ReadOnly},
      {"link to a read-only file",
       [](const TTempDir& d) {
         const fs::path p = d.WriteFile("a.txt", "x");
         ::chmod(p.c_str(), 0400);
         fs::create_symlink("a.txt", d.Path() / "link");
         return d.Path() / "link";
       },
       TSaveObstacle::ReadOnly},
      {"folder", [](const TTempDir& d) { return d.Path(); }, TSaveObstacle::NotRegularFile},
      {"named pipe",
       [](const TTempDir& d) {
         const fs::path p = d.Path() / "fifo";
         ::mkfifo(p.c_str(), 0666);
         return p;
       },
       TSaveObstacle::NotRegularFile},
      {"device", [](const TTempDir&) { return fs::path("/dev/null"); }, TSaveObstacle::NotRegularFile},
  };
  for (const TObstacleCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    EXPECT_EQ(CheckSaveTarget(c.Make(dir)), c.Expected);
  }
}

TEST(AtomicFile, ReadOnlyFileIsOverwrittenOnlyWhenAskedAndStaysReadOnly) {
  TTempDir dir;
  const fs::path path = dir.WriteFile("song.txt", "old");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  try {
    WriteFileAtomically(path, "new");
    ADD_FAILURE() << "saved over a read-only file";
  } catch (const EInOutError& e) {
    EXPECT_NE(e.Message().find(path.string()), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find("読み取り専用"), std::string::npos) << e.Message();
  }
  EXPECT_EQ(TTempDir::ReadFile(path), "old");

  WriteFileAtomically(path, "new", true);
  EXPECT_EQ(TTempDir::ReadFile(path), "new");
  EXPECT_EQ(ModeOf(path), 0444u);
}

}  // namespace
