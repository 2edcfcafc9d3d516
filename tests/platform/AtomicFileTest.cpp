// Tests of the safe save: what stands in the way of a save, and what a save leaves behind.
#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <set>

#include "platform/AtomicFileBackup.h"
#include "platform/AtomicFileFolder.h"
#include "platform/AtomicFileText.h"
#include "platform/Exceptions.h"
#include "tests/TempDir.h"
#include "tests/platform/LockedFolder.h"

namespace fs = std::filesystem;

namespace {

struct stat StatOf(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

// Every name under folder (links not followed), relative to it.
std::set<std::string> NamesUnder(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    names.insert(entry.path().lexically_relative(folder).string());
  }
  return names;
}

enum class TWay { Created, Replaced, InPlace, Refused };

// What a case builds: the name saved to, the file that must receive the
// bytes, names that must stay symbolic links or other names of the file.
struct TTarget {
  fs::path SaveTo;
  fs::path File;
  std::vector<fs::path> Links;
  std::vector<fs::path> OtherNames;
  std::shared_ptr<TUndo> Undo;
};

struct TTargetCase {
  const char* Name;
  std::function<std::optional<TTarget>(const fs::path&)> Make;  // nothing: not possible here
  bool OverwriteReadOnly;
  TWay Way;
  const char* Message;  // part of the error of a refused save
};

fs::path Write(const fs::path& path, const std::string& bytes, mode_t mode = 0644) {
  std::ofstream(path, std::ios::binary) << bytes;
  ::chmod(path.c_str(), mode);
  return path;
}

const std::string kOld = "old text\r\n";
const std::string kNew = std::string(100000, 'n') + "\r\nnew";

// A text of several blocks whose every line differs, so that a block
// written at the wrong place shows.
std::string LongText() {
  std::string text;
  for (int line = 0; text.size() < (std::size_t{3} << 20); ++line) text += std::to_string(line) + " line\r\n";
  return text;
}
const std::string kLongNew = LongText();

// Whether the file holds text; tells where they part rather than printing megabytes.
testing::AssertionResult Holds(const fs::path& path, const std::string& text) {
  const std::string bytes = TTempDir::ReadFile(path);
  if (bytes == text) return testing::AssertionSuccess();
  const auto parted = std::mismatch(bytes.begin(), bytes.end(), text.begin(), text.end()).first - bytes.begin();
  return testing::AssertionFailure() << path << " holds " << bytes.size() << " bytes for " << text.size()
                                     << ", parting at byte " << parted;
}

// Writes text as a producer does, in pieces of every size from none to
// larger than a block; stops at stopAt, as a producer that fails, and then
// destroys the file without Commit.
void SaveInPieces(const fs::path& path, const std::string& text, bool overwriteReadOnly,
                  std::size_t stopAt = std::string::npos) {
  TAtomicFile file(path, overwriteReadOnly);
  std::mt19937 random(20261210);
  std::uniform_int_distribution<std::size_t> size(0, 3000);
  for (std::size_t at = 0; at < text.size();) {
    if (at >= stopAt) return;
    const std::size_t n = random() % 64 == 0 ? 400000 : size(random);
    file.Write(std::string_view(text).substr(at, n));
    at += n;
  }
  file.Commit();
}

// The ways the bytes of a save arrive, and what the target then holds.
enum class TArrival { Whole, InPieces, Abandoned };
struct TWayOfSaving {
  const char* Name;
  TArrival Arrival;
  const std::string& Text;

  void Save(const fs::path& path, bool overwriteReadOnly) const {
    if (Arrival == TArrival::Whole) {
      WriteFileAtomically(path, Text, overwriteReadOnly);
    } else {
      SaveInPieces(path, Text, overwriteReadOnly, Arrival == TArrival::Abandoned ? Text.size() / 2 : std::string::npos);
    }
  }
};
const TWayOfSaving kWaysOfSaving[] = {
    {"whole", TArrival::Whole, kNew},
    {"in pieces", TArrival::InPieces, kLongNew},
    {"producer fails half-way", TArrival::Abandoned, kLongNew},
};

std::vector<TTargetCase> TargetCases() {
  const std::string longName(255, 'L');
  return {
      {"plain file keeps its mode", [](const fs::path& d) -> std::optional<TTarget> {
         return TTarget{Write(d / "a.txt", kOld, 0640), d / "a.txt", {}, {}, {}};
       }, false, TWay::Replaced, ""},
      {"new file", [](const fs::path& d) -> std::optional<TTarget> {
         return TTarget{d / "new.txt", d / "new.txt", {}, {}, {}};
       }, false, TWay::Created, ""},
      {"symbolic link", [](const fs::path& d) -> std::optional<TTarget> {
         Write(d / "a.txt", kOld);
         fs::create_symlink("a.txt", d / "link");
         return TTarget{d / "link", d / "a.txt", {d / "link"}, {}, {}};
       }, false, TWay::Replaced, ""},
      {"chain of links across folders", [](const fs::path& d) -> std::optional<TTarget> {
         fs::create_directory(d / "sub");
         Write(d / "a.txt", kOld);
         fs::create_symlink("../a.txt", d / "sub" / "link1");
         fs::create_symlink(d / "sub" / "link1", d / "link2");
         return TTarget{d / "link2", d / "a.txt", {d / "link2", d / "sub" / "link1"}, {}, {}};
       }, false, TWay::Replaced, ""},
      {"link to a missing file", [](const fs::path& d) -> std::optional<TTarget> {
         fs::create_symlink("new.txt", d / "link");
         return TTarget{d / "link", d / "new.txt", {d / "link"}, {}, {}};
       }, false, TWay::Created, ""},
      {"hard link", [](const fs::path& d) -> std::optional<TTarget> {
         Write(d / "a.txt", kOld);
         fs::create_hard_link(d / "a.txt", d / "b.txt");
         return TTarget{d / "a.txt", d / "a.txt", {}, {d / "b.txt"}, {}};
       }, false, TWay::InPlace, ""},
      {"writable file in a locked folder", [](const fs::path& d) -> std::optional<TTarget> {
         fs::create_directory(d / "sub");
         Write(d / "sub" / "a.txt", kOld);
         std::shared_ptr<TUndo> undo = LockFolder(d / "sub");
         if (!undo) return std::nullopt;
         return TTarget{d / "sub" / "a.txt", d / "sub" / "a.txt", {}, {}, undo};
       }, false, TWay::InPlace, ""},
      {"read-only file", [](const fs::path& d) -> std::optional<TTarget> {
         return TTarget{Write(d / "a.txt", kOld, 0444), d / "a.txt", {}, {}, {}};
       }, false, TWay::Refused, "読み取り専用"},
      {"read-only file, overwrite asked", [](const fs::path& d) -> std::optional<TTarget> {
         return TTarget{Write(d / "a.txt", kOld, 0444), d / "a.txt", {}, {}, {}};
       }, true, TWay::Replaced, ""},
      {"named pipe", [](const fs::path& d) -> std::optional<TTarget> {
         ::mkfifo((d / "fifo").c_str(), 0666);
         return TTarget{d / "fifo", d / "fifo", {}, {}, {}};
       }, true, TWay::Refused, "通常のファイルではない"},
      {"link to a device", [](const fs::path& d) -> std::optional<TTarget> {
         fs::create_symlink("/dev/null", d / "link");
         return TTarget{d / "link", "/dev/null", {d / "link"}, {}, {}};
       }, true, TWay::Refused, "通常のファイルではない"},
      {"folder", [](const fs::path& d) -> std::optional<TTarget> {
         fs::create_directory(d / "sub");
         return TTarget{d / "sub", d / "sub", {}, {}, {}};
       }, true, TWay::Refused, "通常のファイルではない"},
      {"255-byte name", [longName](const fs::path& d) -> std::optional<TTarget> {
         return TTarget{Write(d / longName, kOld), d / longName, {}, {}, {}};
       }, false, TWay::Replaced, ""},
      {"new 255-byte name", [longName](const fs::path& d) -> std::optional<TTarget> {
         return TTarget{d / longName, d / longName, {}, {}, {}};
       }, false, TWay::Created, ""},
      {"another user's file saved by root", [](const fs::path& d) -> std::optional<TTarget> {
         const fs::path p = Write(d / "a.txt", kOld, 0664);
         if (!IsRoot() || ::chown(p.c_str(), 4321, 4322) != 0) return std::nullopt;
         return TTarget{p, p, {}, {}, {}};
       }, false, TWay::Replaced, ""},
  };
}

TEST(AtomicFile, SavesEachKindOfTargetTheWayItNeeds) {
  std::set<std::string> skipped;
  for (const TWayOfSaving& way : kWaysOfSaving) for (const TTargetCase& c : TargetCases()) {
    SCOPED_TRACE(std::string(c.Name) + ", " + way.Name);
    TTempDir dir;
    std::optional<TTarget> target = c.Make(dir.Path());
    if (!target) {
      skipped.insert(c.Name);
      continue;
    }
    const bool existed = fs::exists(target->File);
    struct stat before {};
    if (existed) before = StatOf(target->File);
    std::vector<fs::path> links;
    for (const fs::path& link : target->Links) links.push_back(fs::read_symlink(link));
    const std::set<std::string> namesBefore = NamesUnder(dir.Path());

    if (c.Way == TWay::Refused) {
      try {
        way.Save(target->SaveTo, c.OverwriteReadOnly);
        ADD_FAILURE() << "saved";
      } catch (const EInOutError& e) {
        EXPECT_NE(e.Message().find(c.Message), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find(target->SaveTo.string()), std::string::npos) << e.Message();
      }
      const struct stat after = StatOf(target->File);
      EXPECT_EQ(after.st_mode, before.st_mode);
      EXPECT_EQ(after.st_ino, before.st_ino);
      if (S_ISREG(after.st_mode)) {
        EXPECT_EQ(TTempDir::ReadFile(target->File), kOld);
      }
    } else if (way.Arrival == TArrival::Abandoned) {
      way.Save(target->SaveTo, c.OverwriteReadOnly);
      EXPECT_EQ(fs::exists(target->File), existed);
      if (existed) {
        EXPECT_TRUE(Holds(target->File, kOld));
        EXPECT_EQ(StatOf(target->File).st_ino, before.st_ino);
      }
    } else {
      way.Save(target->SaveTo, c.OverwriteReadOnly);
      EXPECT_TRUE(Holds(target->File, way.Text));
      const struct stat after = StatOf(target->File);
      EXPECT_TRUE(S_ISREG(after.st_mode));
      if (c.Way == TWay::Created) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        EXPECT_EQ(after.st_mode & 07777, 0666 & ~mask);
      } else {
        EXPECT_EQ(after.st_ino != before.st_ino, c.Way == TWay::Replaced);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(after.st_nlink, before.st_nlink);
      }
      for (const fs::path& name : target->OtherNames) {
        EXPECT_EQ(StatOf(name).st_ino, after.st_ino) << name;
        EXPECT_TRUE(Holds(name, way.Text));
      }
    }
    for (std::size_t i = 0; i < links.size(); ++i) {
      EXPECT_TRUE(fs::is_symlink(target->Links[i])) << target->Links[i];
      EXPECT_EQ(fs::read_symlink(target->Links[i]), links[i]);
    }
    // Nothing but a created file appears: no temporary file is left.
    std::set<std::string> expectedNames = namesBefore;
    if (c.Way == TWay::Created && way.Arrival != TArrival::Abandoned) {
      expectedNames.insert(target->File.lexically_relative(dir.Path()).string());
    }
    EXPECT_EQ(NamesUnder(dir.Path()), expectedNames);
  }
  if (!skipped.empty()) {
    std::string list;
    for (const std::string& name : skipped) list += " [" + name + "]";
    GTEST_SKIP() << "cannot be set up here:" << list;
  }
}

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


pid_t FinishedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST(AtomicFile, TellsItsOwnStaleTemporariesFromEverythingElse) {
  const pid_t gone = FinishedProcess();
  const std::string goneId = std::to_string(gone);
  const struct {
    std::string Name;
    bool Stale;
  } cases[] = {
      {TSaveFolder::TemporaryName(gone), true},
      {".verselet-" + goneId + "-Ab3dEf9h.tmp", true},
      {TSaveFolder::TemporaryName(::getpid()), false},  // a save still running
      {".verselet-" + goneId + "-Ab3dEf9.tmp", false},  // one random letter short
      {".verselet-" + goneId + "-Ab3dE_9h.tmp", false},
      {".verselet-" + goneId + "-Ab3dEf9h.txt", false},
      {".verselet-x" + goneId + "-Ab3dEf9h.tmp", false},
      {".verselet-0-Ab3dEf9h.tmp", false},
      {".verselet--Ab3dEf9h.tmp", false},
      {"verselet-" + goneId + "-Ab3dEf9h.tmp", false},
      {".song.txt.Ab3dEf", false},
      {".verselet-.tmp", false},
  };
  for (const auto& c : cases) EXPECT_EQ(TSaveFolder::IsStaleTemporary(c.Name), c.Stale) << c.Name;
}

TEST(AtomicFile, ASaveRemovesOnlyTheStaleTemporariesOfItsFolder) {
  TTempDir dir;
  const pid_t gone = FinishedProcess();
  fs::create_directory(dir.Path() / "other");
  const std::string stale = TSaveFolder::TemporaryName(gone);
  const std::string running = TSaveFolder::TemporaryName(::getpid());
  for (const fs::path& name : {dir.Path() / stale, dir.Path() / running, dir.Path() / ".a.txt.Ab3dEf",
                               dir.Path() / "other" / stale}) {
    Write(name, "left behind");
  }
  const std::string folder = TSaveFolder::TemporaryName(gone);
  fs::create_directory(dir.Path() / folder);  // only files are removed
  WriteFileAtomically(dir.Path() / "a.txt", kNew);
  EXPECT_EQ(NamesUnder(dir.Path()), (std::set<std::string>{"a.txt", running, ".a.txt.Ab3dEf", "other",
                                                           "other/" + stale, folder}));
}

// A file-size limit stands in for a full disk: the write fails with EFBIG.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) : FHandler(::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &FSaved);
    rlimit small = FSaved;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &FSaved);
    ::signal(SIGXFSZ, FHandler);
  }

 private:
  rlimit FSaved{};
  sighandler_t FHandler;
};

TEST(AtomicFile, AFullDiskKeepsTheOldFileAndSaysSo) {
  const struct {
    const char* Name;
    bool HardLink;  // written in place
    const char* Message;
  } cases[] = {
      {"replaced", false, "元のファイルはそのままです"},
      {"in place", true, "元の内容に戻しました"},
  };
  for (const TWayOfSaving& way : kWaysOfSaving) for (const auto& c : cases) {
    if (way.Arrival == TArrival::Abandoned) continue;
    SCOPED_TRACE(std::string(c.Name) + ", " + way.Name);
    TTempDir dir;
    const fs::path path = Write(dir.Path() / "a.txt", kOld);
    if (c.HardLink) fs::create_hard_link(path, dir.Path() / "b.txt");
    const std::set<std::string> names = NamesUnder(dir.Path());
    try {
      TFileSizeLimit limit(4096);
      way.Save(path, false);
      ADD_FAILURE() << "saved past the limit";
    } catch (const EInOutError& e) {
      EXPECT_NE(e.Message().find("ディスクの空きが足りません"), std::string::npos) << e.Message();
      EXPECT_NE(e.Message().find(c.Message), std::string::npos) << e.Message();
    }
    EXPECT_EQ(TTempDir::ReadFile(path), kOld);
    EXPECT_EQ(NamesUnder(dir.Path()), names);
  }
}

TEST(AtomicFile, AKilledSaveLeavesTheWholeOldOrTheWholeNewFile) {
  TTempDir dir;
  const std::string first(1 << 18, 'a');
  const std::string second(3 << 17, 'b');
  const fs::path path = Write(dir.Path() / "a.txt", first);
  std::mt19937 random(20261208);
  std::uniform_int_distribution<useconds_t> delay(0, 30000);
  for (int round = 0; round < 20; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      try {
        for (;;) {
          WriteFileAtomically(path, second);
          WriteFileAtomically(path, first);
        }
      } catch (...) {
        ::_exit(1);
      }
    }
    ::usleep(delay(random));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the saving process stopped by itself";
    const std::string now = TTempDir::ReadFile(path);
    EXPECT_TRUE(now == first || now == second) << "round " << round << ": " << now.size() << " bytes";
  }
  // Whatever a killed save left behind goes with the next one.
  WriteFileAtomically(path, first);
  EXPECT_EQ(NamesUnder(dir.Path()), std::set<std::string>{"a.txt"});
}

// A save killed after it wrote the new bytes over the old ones, before it
// cut the file to their length, leaves the new text followed by the old
// tail; the flushed backup brings the old file back, and until then the
// file is not saved again.
TEST(AtomicFile, AKilledInPlaceSaveLeavesABackupThatBringsTheOldFileBack) {
  const std::string old = kLongNew;
  const std::string shorter(1000, 'n');
  struct TCase {
    const char* Name;
    bool LockedFolder;  // else a second name: the backup goes beside the file
  } cases[] = {{"a file with two names", false}, {"a folder that refuses new names", true}};
  std::string skipped;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    TTempDir state;
    const std::string oldState = std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "";
    ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
    const TUndo restoreState([oldState] { ::setenv("XDG_STATE_HOME", oldState.c_str(), 1); });
    const fs::path folder = dir.Path() / "songs";
    fs::create_directory(folder);
    const fs::path path = Write(folder / "a.txt", old);
    const fs::path other = folder / "b.txt";
    std::shared_ptr<TUndo> unlock;
    if (c.LockedFolder) {
      unlock = LockFolder(folder);
      if (!unlock) {
        skipped += std::string(" [") + c.Name + "]";
        continue;
      }
    } else {
      fs::create_hard_link(path, other);
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SetInPlaceSaveHook([] { ::raise(SIGKILL); });
      try {
        WriteFileAtomically(path, shorter);
      } catch (...) {
        ::_exit(1);
      }
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the save was not stopped half-way";
    ASSERT_TRUE(Holds(path, shorter + old.substr(shorter.size())));

    const std::optional<TLeftBackup> left = FindLeftBackup(path);
    ASSERT_TRUE(left.has_value());
    EXPECT_TRUE(Holds(left->Backup, old));
    EXPECT_EQ(left->Backup.parent_path() == folder, !c.LockedFolder) << left->Backup;
    if (c.LockedFolder) {
      const std::vector<TLeftBackup> listed = LeftBackupsInStateFolder();
      ASSERT_EQ(listed.size(), 1u);
      EXPECT_EQ(listed[0].Target, path);
      EXPECT_EQ(listed[0].Backup, left->Backup);
    }
    EXPECT_THROW(WriteFileAtomically(path, shorter), EInOutError);
    EXPECT_TRUE(Holds(left->Backup, old));

    RestoreLeftBackup(*left);
    EXPECT_TRUE(Holds(path, old));
    EXPECT_FALSE(FindLeftBackup(path).has_value());
    EXPECT_TRUE(LeftBackupsInStateFolder().empty());
    WriteFileAtomically(path, shorter);
    EXPECT_TRUE(Holds(path, shorter));
    EXPECT_FALSE(FindLeftBackup(path).has_value());
    unlock.reset();
    const std::set<std::string> names =
        c.LockedFolder ? std::set<std::string>{"a.txt"} : std::set<std::string>{"a.txt", "b.txt"};
    EXPECT_EQ(NamesUnder(folder), names);
  }
  if (!skipped.empty()) GTEST_SKIP() << "cannot be set up here:" << skipped;
}

// A link that another user planted in a shared folder (/tmp) is not
// followed, as the kernel follows none there; the user's own links, the
// folder owner's and links elsewhere are.
TEST(AtomicFile, LinksOfOtherUsersInStickySharedFoldersAreNotFollowed) {
  if (!IsRoot()) GTEST_SKIP() << "giving a link to another user needs root";
  constexpr uid_t kOther = 4321;
  const struct {
    const char* Name;
    mode_t FolderMode;
    uid_t FolderOwner;
    uid_t LinkOwner;
    bool Followed;
  } cases[] = {
      {"another user's link in a sticky shared folder", 01777, 0, kOther, false},
      {"the user's own link there", 01777, 0, 0, true},
      {"the folder owner's link there", 01777, kOther, kOther, true},
      {"another user's link in a shared folder without the sticky bit", 0777, 0, kOther, true},
      {"another user's link in a sticky folder only its owner may write", 01755, 0, kOther, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    const fs::path shared = dir.Path() / "shared";
    fs::create_directory(shared);
    const fs::path secret = Write(dir.Path() / "secret.txt", kOld, 0600);
    const fs::path link = shared / "song.lrc";
    fs::create_symlink(secret, link);
    ASSERT_EQ(::lchown(link.c_str(), c.LinkOwner, c.LinkOwner), 0);
    ASSERT_EQ(::chown(shared.c_str(), c.FolderOwner, c.FolderOwner), 0);
    ASSERT_EQ(::chmod(shared.c_str(), c.FolderMode), 0);
    if (c.Followed) {
      WriteFileAtomically(link, kNew);
      EXPECT_TRUE(Holds(secret, kNew));
    } else {
      try {
        WriteFileAtomically(link, kNew);
        ADD_FAILURE() << "saved through the link";
      } catch (const EInOutError& e) {
        EXPECT_NE(e.Message().find("シンボリックリンク"), std::string::npos) << e.Message();
      }
      EXPECT_TRUE(Holds(secret, kOld));
    }
    EXPECT_TRUE(fs::is_symlink(link));
  }
}

TEST(AtomicFile, NamedTemporaryIsShortRecognisableAndRemovedWhenUnused) {
  TTempDir dir;
  TSaveFolder folder;
  ASSERT_EQ(folder.Open(dir.Path()), 0);
  EXPECT_TRUE(folder.GiveUpUnnamed());
  EXPECT_FALSE(folder.GiveUpUnnamed());
  std::string name;
  {
    TSaveTemporary temp = folder.CreateTemporary(0600);
    ASSERT_EQ(temp.Error, 0);
    name = temp.Name;
    EXPECT_EQ(folder.Link(temp), 0);
    EXPECT_EQ(temp.Name, name);
    EXPECT_LE(name.size(), 40u);
    EXPECT_EQ(NamesUnder(dir.Path()), std::set<std::string>{name});
    EXPECT_EQ(StatOf(dir.Path() / name).st_mode & 07777, 0600u);
    EXPECT_FALSE(TSaveFolder::IsStaleTemporary(name));  // this process still runs
  }
  EXPECT_TRUE(NamesUnder(dir.Path()).empty());
  // A name in the same form with the id of a finished process would be stale.
  const std::string id = std::to_string(::getpid());
  const pid_t gone = FinishedProcess();
  EXPECT_TRUE(TSaveFolder::IsStaleTemporary(name.replace(name.find(id), id.size(), std::to_string(gone))));
}
// The size of the largest regular file in folder that this process holds open.
std::uint64_t LargestOpenFileIn(const fs::path& folder) {
  std::uint64_t largest = 0;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const fs::path file = fs::read_symlink(entry.path(), error);
    struct stat st {};
    if (!error && file.parent_path() == folder && ::stat(entry.path().c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      largest = std::max(largest, static_cast<std::uint64_t>(st.st_size));
    }
  }
  return largest;
}

TEST(AtomicFile, TheTextGoesToDiskAsItIsWrittenAndAFailedSaveIsNeverCommitted) {
  TTempDir dir;
  const fs::path path = Write(dir.Path() / "a.txt", kOld);
  const fs::path folder = fs::canonical(dir.Path());
  {
    TAtomicFile file(path);
    for (std::size_t at = 0; at < kLongNew.size(); at += 1000) file.Write(std::string_view(kLongNew).substr(at, 1000));
    EXPECT_GE(LargestOpenFileIn(folder), kLongNew.size() / 2);  // not held in memory
    EXPECT_TRUE(Holds(path, kOld));
  }
  EXPECT_EQ(LargestOpenFileIn(folder), 0u);

  TAtomicFile file(path);
  {
    TFileSizeLimit limit(4096);
    EXPECT_THROW(file.Write(kLongNew), EInOutError);
  }
  // With room again, the text that did not reach the disk is still not saved.
  EXPECT_THROW(file.Commit(), EInOutError);
  EXPECT_TRUE(Holds(path, kOld));
  EXPECT_EQ(NamesUnder(dir.Path()), std::set<std::string>{"a.txt"});
}

// Mounts a small file system over folder, in a mount namespace of this
// process alone; false where that is not permitted.
bool MountSmallDisk(const fs::path& folder, const char* options) {
  return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
         ::mount("none", folder.c_str(), "tmpfs", 0, options) == 0;
}

// Hides /proc, so that an unnamed file can no longer be given a name.
bool HideProc() { return MountSmallDisk("/proc", "size=64k"); }

TEST(AtomicFile, ASaveThatMustChangeItsWayTakesTheWrittenTextAlong) {
  if (!IsRoot()) GTEST_SKIP() << "acting as another user needs root";
  constexpr uid_t kOwner = 4321;
  constexpr uid_t kSaver = 4322;
  const struct {
    const char* Name;
    mode_t Mode;
    bool AsSaver;  // else as root, without /proc
    bool OverwriteReadOnly;
    bool SameFile;
    uid_t Owner;
  } cases[] = {
      // The owner cannot be kept: written in place, from the temporary file.
      {"another user's file in a shared folder", 0666, true, false, true, kOwner},
      // Neither to be kept nor written: replaced after all, now the saver's.
      {"another user's read-only file, overwrite asked", 0444, true, true, false, kSaver},
      // The text moves from the unnamed temporary file into a named one.
      {"an unnamed file cannot be named", 0640, false, false, false, kOwner},
  };
  std::string skipped;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
    const fs::path path = Write(dir.Path() / "a.txt", kOld, c.Mode);
    ASSERT_EQ(::chown(path.c_str(), kOwner, kOwner), 0);
    const ino_t inode = StatOf(path).st_ino;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const bool ready = c.AsSaver ? ::setgroups(0, nullptr) == 0 && ::setgid(kSaver) == 0 && ::setuid(kSaver) == 0
                                   : HideProc();
      if (!ready) ::_exit(2);
      try {
        SaveInPieces(path, kLongNew, c.OverwriteReadOnly);
      } catch (...) {
        ::_exit(1);
      }
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) {
      skipped += std::string(" [") + c.Name + "]";
      continue;
    }
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(Holds(path, kLongNew));
    const struct stat after = StatOf(path);
    EXPECT_EQ(after.st_ino == inode, c.SameFile);
    EXPECT_EQ(after.st_uid, c.Owner);
    EXPECT_EQ(after.st_mode & 07777, c.Mode);
    EXPECT_EQ(NamesUnder(dir.Path()), std::set<std::string>{"a.txt"});
  }
  if (!skipped.empty()) GTEST_SKIP() << "cannot be set up here:" << skipped;
}
TEST(AtomicFile, TheTextOfASaveKeepsItsBytesWhereverItMoves) {
  TTempDir dir;
  TSaveFolder folder;
  ASSERT_EQ(folder.Open(dir.Path()), 0);
  const std::string_view text(kLongNew);
  const std::size_t third = text.size() / 3;
  TSaveText saved;
  const auto append = [&saved](std::string_view part) {
    for (std::size_t at = 0; at < part.size(); at += 777) ASSERT_EQ(saved.Append(part.substr(at, 777)), 0);
  };
  ASSERT_EQ(saved.MoveTo(folder.CreateTemporary(0600)), 0);
  append(text.substr(0, third));
  ASSERT_EQ(saved.MoveToMemory(), 0);  // a disk without room for the copy
  EXPECT_FALSE(saved.InFile());
  append(text.substr(third, third));
  ASSERT_EQ(saved.MoveTo(folder.CreateTemporary(0600)), 0);
  append(text.substr(2 * third));
  ASSERT_EQ(saved.MoveTo(folder.CreateTemporary(0600)), 0);  // an unnamed file that cannot be named
  EXPECT_EQ(saved.Size(), text.size());
  const fs::path out = Write(dir.Path() / "out.txt", "");
  const TFd fd(::open(out.c_str(), O_WRONLY | O_CLOEXEC));
  EXPECT_EQ(saved.CopyTo(fd.Get()), 0);
  EXPECT_TRUE(Holds(out, kLongNew));
}
TEST(AtomicFile, AFileWithSeveralNamesNeedsRoomOnlyForWhatItGrowsBy) {
  if (!IsRoot()) GTEST_SKIP() << "a small file system of its own needs root";
  TTempDir dir;
  // 1 MiB grows to 2.5 MiB on a 4 MiB disk: the copy of the text fits, but
  // beside it the growth would not.
  const std::string grown = kLongNew.substr(0, 5 << 19);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (!MountSmallDisk(dir.Path(), "size=4m")) ::_exit(2);
    const fs::path path = Write(dir.Path() / "a.txt", std::string(1 << 20, 'o'));
    fs::create_hard_link(path, dir.Path() / "b.txt");
    try {
      SaveInPieces(path, grown, false);
    } catch (...) {
      ::_exit(1);
    }
    const bool saved = TTempDir::ReadFile(dir.Path() / "b.txt") == grown;
    ::_exit(saved && NamesUnder(dir.Path()) == std::set<std::string>{"a.txt", "b.txt"} ? 0 : 3);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot mount a file system here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the save failed; 3: it left other bytes or names";
}
}  // namespace
