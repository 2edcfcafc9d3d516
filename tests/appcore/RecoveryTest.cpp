// Tests of the recovery files: their layout read back, torn and foreign files, atomic replacement, the write schedule on a fake clock, the writer thread, the locks.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <fstream>
#include <vector>

#include "app/core/RecoveryFile.h"
#include "app/core/RecoveryFolder.h"
#include "app/core/RecoveryListing.h"
#include "app/core/RecoverySchedule.h"
#include "app/core/RecoveryWriter.h"
#include "editor/Ryxstrings.h"
#include "platform/Exceptions.h"
#include "tests/TempDir.h"

namespace {

namespace fs = std::filesystem;

// A store's text as the editor holds it: the lines from text, then edits, so
// that some lines own their bytes and others lie in a shared buffer.
TStoredText StoredText(const std::string& text, int putLine = -1, const std::string& put = {}) {
  TRyxStrings store(4);
  store.SetText(text + std::string(2, '\0'));
  if (putLine >= 0) store.Put(putLine, put);
  return store.CopyText();
}

std::vector<std::string> NamesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string MessageOf(const std::function<void()>& read) {
  try {
    read();
  } catch (const EInOutError& e) {
    return e.Message();
  }
  return "(no error)";
}

TRecoveryHeader SomeHeader() {
  TRecoveryHeader header;
  header.FileName = "/music/\x89\xcc.lrc";  // 歌 in Shift-JIS: any byte may be in a name
  header.Caret = {1, 2};
  header.Disk = FileStampOf("/");
  header.Disk.Exists = true;
  header.Disk.Size = 12345;
  header.WrittenAt = 1765000000;
  return header;
}

TEST(RecoveryFileTest, ReadsBackWhatWasWrittenWithMode0600) {
  TTempDir dir;
  const fs::path file = dir.Path() / "a.recovery";
  struct TCase {
    std::string FileName;
    std::string Text;
    int PutLine;
    std::string Put;
  };
  const std::vector<TCase> cases = {
      {"", "", -1, ""},
      {"/a/b.txt", "A\r\nB", -1, ""},
      {"/x\nname with\nbreaks", "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix\r\n", 2, "\x82\xa0\x82\xa2\r\n"},
      {"/a", std::string(5000, 'x') + "\r\n" + std::string(3, '\t'), 0, "edited\r\n"},
  };
  for (const TCase& c : cases) {
    TRecoveryHeader header = SomeHeader();
    header.FileName = c.FileName;
    TRyxStrings store(4);
    store.SetText(c.Text + std::string(2, '\0'));
    if (c.PutLine >= 0) store.Put(c.PutLine, c.Put);
    WriteRecoveryFile(file, header, store.CopyText());
    const TRecoveredText read = ReadRecoveryFile(file);
    EXPECT_EQ(read.Header, header) << c.FileName;
    EXPECT_EQ(read.Text, store.GetText()) << c.FileName;
    EXPECT_EQ(ReadRecoveryHeader(file), header);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
  }
  // Replaced each time as a whole: no temporary file is left beside it.
  EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"a.recovery"});
}

TEST(RecoveryFileTest, TheCopyKeepsItsTextWhileTheStoreChanges) {
  TRyxStrings store(2);
  store.SetText(std::string("a\r\nb\r\nc\r\nd\r\ne") + std::string(2, '\0'));
  store.Put(1, "B\r\n");
  const TStoredText copy = store.CopyText();
  const std::string before = store.GetText();
  store.Put(1, "changed\r\n");
  store.Delete(0);
  store.Insert(0, "new\r\n");
  TTempDir dir;
  WriteRecoveryFile(dir.Path() / "r", {}, copy);
  EXPECT_EQ(ReadRecoveryFile(dir.Path() / "r").Text, before);
}

TEST(RecoveryFileTest, EveryCutOrChangedByteIsRefusedWithAMessage) {
  TTempDir dir;
  const fs::path good = dir.Path() / "good";
  WriteRecoveryFile(good, SomeHeader(), StoredText("line\r\nmore \x82\xa0", 0, "x\r\n"));
  const std::string bytes = TTempDir::ReadFile(good);
  const fs::path bad = dir.Path() / "bad";
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    dir.WriteFile("bad", bytes.substr(0, size));
    const std::string message = MessageOf([&] { ReadRecoveryFile(bad); });
    EXPECT_NE(message.find("途中で切れています"), std::string::npos) << size << ": " << message;
  }
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    std::string changed = bytes;
    changed[at] = static_cast<char>(changed[at] ^ 0x04);
    dir.WriteFile("bad", changed);
    EXPECT_NE(MessageOf([&] { ReadRecoveryFile(bad); }), "(no error)") << at;
  }
  dir.WriteFile("bad", bytes + "x");
  EXPECT_NE(MessageOf([&] { ReadRecoveryHeader(bad); }).find("途中で切れています"), std::string::npos);
  // A changed text byte keeps every length right: only the check finds it.
  std::string text = bytes;
  text[text.find("more")] = 'M';
  dir.WriteFile("bad", text);
  EXPECT_NO_THROW(ReadRecoveryHeader(bad));
  EXPECT_NE(MessageOf([&] { ReadRecoveryFile(bad); }).find("チェックサム"), std::string::npos);
}

TEST(RecoveryFileTest, ForeignFilesAreNamedAsSuch) {
  TTempDir dir;
  const struct {
    std::string Bytes;
    const char* Says;
  } cases[] = {
      {"\x89PNG\r\n\x1a\n" + std::string(100, '\0'), "復元ファイルではありません"},
      {"hello world\n", "復元ファイルではありません"},
      {"VERSELET-RECOVERY 2\nname 0\n\n", "新しい版"},
      {"VERSELET-RECOVERY 1\nname 99999999\n", "復元ファイルではありません"},
      {"VERSELET-RECOVERY 1\nname 0\n\ncaret -1 0\ndisk 0 0 0\nwritten 0\ntext 0\n\ncrc 00000000\n",
       "復元ファイルではありません"},
      {std::string(70000, 'V'), "復元ファイルではありません"},
  };
  for (const auto& c : cases) {
    const fs::path file = dir.WriteFile("f.recovery", c.Bytes);
    EXPECT_NE(MessageOf([&] { ReadRecoveryHeader(file); }).find(c.Says), std::string::npos) << c.Bytes.substr(0, 30);
    EXPECT_NE(MessageOf([&] { ReadRecoveryFile(file); }).find(c.Says), std::string::npos) << c.Bytes.substr(0, 30);
  }
  EXPECT_NE(MessageOf([&] { ReadRecoveryFile(dir.Path() / "missing"); }).find("missing を読めません"),
            std::string::npos);
  EXPECT_NE(MessageOf([&] { WriteRecoveryFile(dir.Path() / "no" / "r", {}, StoredText("a")); }).find("no/r"),
            std::string::npos);
}

// The times (ms) of the writes that the schedule asks for, given the times
// the text changes: a write due no later than the next change comes first.
std::vector<int> WritesFor(const std::vector<int>& changes, int end) {
  TRecoverySchedule schedule;
  std::vector<int> writes;
  auto next = changes.begin();
  for (;;) {
    const auto due = schedule.DueAt();
    const int nextChange = next == changes.end() ? end : *next;
    if (due && due->count() <= nextChange) {
      EXPECT_TRUE(schedule.Due(*due));
      EXPECT_FALSE(schedule.Due(*due - std::chrono::milliseconds(1)));
      writes.push_back(static_cast<int>(due->count()));
      schedule.Taken();
      continue;
    }
    if (next == changes.end()) return writes;
    schedule.Changed(std::chrono::milliseconds(*next++));
  }
}

std::vector<int> Every(int step, int from, int to) {
  std::vector<int> times;
  for (int t = from; t <= to; t += step) times.push_back(t);
  return times;
}

TEST(RecoveryScheduleTest, WritesAfterTwoSecondsStillAndAtLeastEveryThirtyWhileTyping) {
  const struct {
    const char* Name;
    std::vector<int> Changes;
    std::vector<int> Writes;
  } cases[] = {
      {"nothing changed", {}, {}},
      {"one keystroke", {0}, {2000}},
      {"a burst, then still", {0, 100, 200, 1900}, {3900}},
      {"pauses just under the delay", {0, 1999, 3998}, {5998}},
      {"a pause of exactly the delay", {0, 2000}, {2000, 4000}},
      {"two bursts", {0, 500, 10000, 10100}, {2500, 12100}},
      {"steady typing", Every(1000, 0, 65000), {30000, 60000, 67000}},
      {"fast typing", Every(50, 5000, 40000), {35000, 42000}},
  };
  for (const auto& c : cases) EXPECT_EQ(WritesFor(c.Changes, 1000000), c.Writes) << c.Name;
}

TEST(RecoveryWriterTest, WritesAndRemovesInTheOrderGiven) {
  TTempDir dir;
  const fs::path file = dir.Path() / "w.recovery";
  TRecoveryWriter writer(file);
  writer.Write(SomeHeader(), StoredText("first"));
  writer.Write(SomeHeader(), StoredText("second\r\n", 0, "second!\r\n"));
  writer.Flush();
  EXPECT_EQ(ReadRecoveryFile(file).Text, "second!\r\n");
  EXPECT_EQ(writer.LastError(), "");
  writer.Remove();
  writer.Flush();
  EXPECT_FALSE(fs::exists(file));
  writer.Write(SomeHeader(), StoredText("third"));
  writer.Remove();
  writer.Flush();
  EXPECT_FALSE(fs::exists(file));
  {
    TRecoveryWriter last(file);
    last.Write(SomeHeader(), StoredText("at the end"));
  }
  EXPECT_EQ(ReadRecoveryFile(file).Text, "at the end");
  TRecoveryWriter failing(dir.Path() / "missing" / "w.recovery");
  failing.Write(SomeHeader(), StoredText("x"));
  failing.Flush();
  EXPECT_NE(failing.LastError().find("書き込めません"), std::string::npos);
}

TEST(RecoveryFolderTest, OffersOnlyTheFilesOfWindowsThatEnded) {
  TTempDir dir;
  const fs::path folder = dir.Path() / "recovery";
  TRecoverySlot live(folder);
  struct stat st {};
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  WriteRecoveryFile(live.File(), SomeHeader(), StoredText("live"));
  TRecoveryHeader older = SomeHeader();
  older.WrittenAt -= 100;
  WriteRecoveryFile(folder / "1-dead.recovery", older, StoredText("dead"));
  WriteRecoveryFile(folder / "2-dead.recovery", SomeHeader(), StoredText("newer"));
  std::ofstream(folder / "3-foreign.recovery") << "not ours";
  // What ended windows left: a lock without a file, a half-written file.
  std::ofstream(folder / "4-done.lock") << "";
  std::ofstream(folder / "5-killed.recovery.tmp-abcdef") << "VERSELET-RECOVERY 1\n";
  std::vector<TOrphanRecovery> orphans = TakeOrphanRecoveries(folder);
  ASSERT_EQ(orphans.size(), 3u);
  EXPECT_EQ(orphans[0].File.filename(), "2-dead.recovery");
  EXPECT_EQ(orphans[1].File.filename(), "1-dead.recovery");
  EXPECT_EQ(orphans[1].Header, older);
  EXPECT_EQ(orphans[2].File.filename(), "3-foreign.recovery");
  EXPECT_NE(orphans[2].Error.find("復元ファイルではありません"), std::string::npos);
  // A second window starting now finds them taken.
  EXPECT_TRUE(TakeOrphanRecoveries(folder).empty());

  DiscardRecovery(orphans[0]);
  DiscardRecovery(orphans[1]);
  orphans.clear();
  const std::string liveName = live.File().filename().string();
  const std::string liveLock = live.File().stem().string() + ".lock";
  std::vector<std::string> left{"3-foreign.recovery", liveLock, liveName};
  std::sort(left.begin(), left.end());
  EXPECT_EQ(NamesIn(folder), left);
  EXPECT_EQ(ReadRecoveryFile(live.File()).Text, "live");
}

TEST(RecoveryListingTest, SaysWhatBecameOfTheFileOnDisk) {
  TTempDir dir;
  const fs::path song = dir.WriteFile("song.lrc", "old");
  TOrphanRecovery orphan;
  orphan.Header.FileName = song.string();
  orphan.Header.Disk = FileStampOf(song);
  orphan.Header.WrittenAt = 0;
  EXPECT_EQ(ListingOf(orphan).Name, "song.lrc");
  EXPECT_EQ(ListingOf(orphan).Note, "");
  EXPECT_EQ(DiskStateOf(orphan.Header), TDiskState::Unchanged);
  dir.WriteFile("song.lrc", "changed by another program");
  EXPECT_EQ(DiskStateOf(orphan.Header), TDiskState::Changed);
  EXPECT_NE(ListingOf(orphan).Note.find("変更されています"), std::string::npos);
  fs::remove(song);
  EXPECT_EQ(DiskStateOf(orphan.Header), TDiskState::Missing);
  // A text never saved has no file to change.
  orphan.Header = {};
  EXPECT_EQ(DiskStateOf(orphan.Header), TDiskState::Unchanged);
  EXPECT_EQ(ListingOf(orphan).Name, "新しいテキスト");
  orphan.Error = "x は Verselet の復元ファイルではありません。";
  orphan.File = "/state/3-x.recovery";
  EXPECT_EQ(ListingOf(orphan).Name, "3-x.recovery");
  EXPECT_EQ(ListingOf(orphan).Note, orphan.Error);
}

TEST(RecoveryListingTest, RecoveredNamesTakeNoExistingFile) {
  TTempDir dir;
  const std::string d = dir.Path().string();
  EXPECT_EQ(RecoveredFileName(d + "/song.lrc"), d + "/song (復元).lrc");
  EXPECT_EQ(RecoveredFileName(d + "/.hidden"), d + "/.hidden (復元)");
  EXPECT_EQ(RecoveredFileName(d + "/a.b/noext"), d + "/a.b/noext (復元)");
  dir.WriteFile("song (復元).lrc", "");
  dir.WriteFile("song (復元 2).lrc", "");
  EXPECT_EQ(RecoveredFileName(d + "/song.lrc"), d + "/song (復元 3).lrc");
}

}  // namespace
