// Tests of verselet-tool, run as a program over files in a temporary folder.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/core/LyricTools.h"
#include "platform/CodePage.h"
#include "platform/LookAlikeFolds.h"
#include "tests/LookAlikeText.h"
#include "tests/SilentMp3.h"
#include "tests/TempDir.h"
#include "tests/TestData.h"

namespace fs = std::filesystem;

namespace {

struct TRun {
  int Code = -1;
  std::string Out;
  std::string Err;
};

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class VerseletTool : public ::testing::Test {
 protected:
  void SetUp() override {
    // Open to other users as a folder made by hand is: a step may run as another user.
    fs::permissions(FRoot.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
    fs::create_directories(FRoot.Path() / "io");
    fs::create_directories(Work());
  }

  fs::path Work() const { return FRoot.Path() / "work"; }

  std::string Put(const std::string& name, const std::string& bytes) const {
    return FRoot.WriteFile((fs::path("work") / name).string(), bytes).string();
  }

  // Runs the tool with args, or, with tool false, the command args names.
  TRun Run(const std::vector<std::string>& args, bool tool = true) const {
    // From the work folder, so that tests may name files relative to it.
    std::string command = "cd " + Quote(Work().string()) + " && ";
    if (tool) command += Quote(std::string(VERSELET_BIN_DIR) + "/verselet-tool");
    for (const std::string& arg : args) command += (command.back() == ' ' ? "" : " ") + Quote(arg);
    command += " >" + Quote((FRoot.Path() / "io/out").string()) + " 2>" + Quote((FRoot.Path() / "io/err").string());
    const int status = std::system(command.c_str());
    TRun run;
    run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = testdata::ReadBytes(FRoot.Path() / "io/out");
    run.Err = testdata::ReadBytes(FRoot.Path() / "io/err");
    return run;
  }

 private:
  // A fresh folder for each test, removed with everything in it.
  TTempDir FRoot;
};

TEST_F(VerseletTool, HelpDescribesCommandsAndOptions) {
  for (const auto& args : {std::vector<std::string>{"--help"}, std::vector<std::string>{"to-utf8", "-x", "-h"}}) {
    const TRun run = Run(args);
    EXPECT_EQ(run.Code, 0);
    EXPECT_EQ(run.Err, "");
    for (const char* word : {"delete-time-tags", "delete-karaoke-tags", "delete-blank-lines", "to-utf8", "to-sjis",
                             "--in-place", "--output", "--from-utf8", "終了コード"}) {
      EXPECT_TRUE(Contains(run.Out, word)) << word;
    }
    // Every line fits an 80-column terminal, a Japanese character taking two columns.
    std::size_t columns = 0;
    for (const char c : run.Out) {
      const auto b = static_cast<unsigned char>(c);
      if (c == '\n') {
        columns = 0;
        continue;
      }
      columns += b < 0x80 ? 1 : b >= 0xE0 ? 2 : 0;
      EXPECT_LE(columns, 80u) << run.Out.substr(0, run.Out.find('\n', &c - run.Out.data()));
      if (columns > 80) break;
    }
  }
}

// 0 for success, 1 for a file that failed, 2 for any faulty command line;
// standard error says why in Japanese, system errors included.
TEST_F(VerseletTool, ExitCodesTellSuccessFailedFilesAndUsageErrors) {
  const std::string a = Put("a.txt", "A\n");
  const std::string b = Put("b.txt", "B\n");
  fs::create_directories(Work() / "folder");
  Put("folder/c.lrc", "C\n");
  const std::string folder = (Work() / "folder").string();
  const std::string missing = (Work() / "missing.txt").string();
  const std::string newFolder = (Work() / "new/out").string();
  const struct {
    std::vector<std::string> Args;
    int Code;
    const char* Says;  // part of standard error
  } cases[] = {
      {{}, 2, "--help"},
      {{"delete-all"}, 2, "--help"},
      {{"to-utf8"}, 2, "--help"},
      {{"to-utf8", "--bogus", a}, 2, "--help"},
      {{"to-utf8", a, b}, 2, "--help"},
      {{"to-utf8", "-i", "-o", Work().string(), a}, 2, "--help"},
      {{"to-utf8", a, "-o"}, 2, "--help"},
      {{"to-sjis", "--from-utf8", a}, 2, "--help"},
      {{"convert", a}, 2, "--to"},
      {{"convert", "--to", "half", a}, 2, "--to"},
      {{"to-utf8", "--to", "katakana", a}, 2, "--to は convert にだけ"},
      {{"delete-all-time-tags", folder}, 2, "-i か -o"},
      {{"to-utf8", missing}, 1, "ファイルまたはフォルダがありません"},
      {{"check", folder, missing}, 1, "ファイルまたはフォルダがありません"},
      {{"to-utf8", "-o", a, b}, 1, "出力フォルダを作れません"},
      {{"to-utf8", "-o", newFolder, a, b}, 0, ""},
      {{"check", folder}, 0, ""},
  };
  for (const auto& c : cases) {
    const TRun run = Run(c.Args);
    EXPECT_EQ(run.Code, c.Code) << ::testing::PrintToString(c.Args) << run.Err;
    EXPECT_TRUE(Contains(run.Err, c.Says)) << run.Err;
    EXPECT_FALSE(Contains(run.Err, "No such")) << run.Err;
    if (c.Code == 2) {
      EXPECT_EQ(run.Out, "");
    }
  }
  EXPECT_EQ(testdata::ReadBytes(a), "A\n");
  EXPECT_EQ(testdata::ReadBytes(Work() / "new/out/b.txt"), "B\r\n");
}

TEST_F(VerseletTool, OneFileGoesToStandardOutputWithCrLf) {
  const std::string file = Put("song.lrc", "[00:01:00]A[00:02:00]\nB[00:03:00]");
  const TRun run = Run({"delete-time-tags", file});
  EXPECT_EQ(run.Code, 0);
  EXPECT_EQ(run.Out, "A\r\nB");
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(testdata::ReadBytes(file), "[00:01:00]A[00:02:00]\nB[00:03:00]");
  // "--" ends the options, so a file may look like one.
  Put("-i", "[00:01:00]x[00:02:00]\r\n");
  EXPECT_EQ(Run({"delete-karaoke-tags", "--", "-i"}).Out, "[00:01:00]x\r\n");
}

TEST_F(VerseletTool, InPlaceRewritesEveryFileQuietly) {
  std::vector<std::string> args = {"delete-blank-lines", "--in-place"};
  for (int i = 0; i < 6; ++i) args.push_back(Put("f" + std::to_string(i) + ".txt", "A\n \n\x81\x40\nB" + std::to_string(i)));
  const TRun run = Run(args);
  EXPECT_EQ(run.Code, 0);
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Err, "");  // no progress line when standard error is no terminal
  for (int i = 0; i < 6; ++i) EXPECT_EQ(testdata::ReadBytes(args[2 + i]), "A\r\nB" + std::to_string(i) + "\r\n");
}

TEST_F(VerseletTool, ProgressLineOnATerminal) {
  if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1) to provide a terminal";
  std::string command = "script -qc '" + std::string(VERSELET_BIN_DIR) + "/verselet-tool delete-time-tags -i";
  for (int i = 0; i < 5; ++i) command += " " + Put("p" + std::to_string(i) + ".txt", "x");
  command += "' /dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string terminal;
  for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) terminal.push_back(static_cast<char>(c));
  EXPECT_EQ(::pclose(pipe), 0);
  EXPECT_TRUE(Contains(terminal, "\r[1/5] p0.txt")) << terminal;
  EXPECT_TRUE(Contains(terminal, "\r[5/5] p4.txt")) << terminal;
}

TEST_F(VerseletTool, OutputFolderGetsCopiesUnderTheSameNames) {
  const std::string a = Put("a.kra", "\x82\xA0[00:01:00]\r\n");
  const std::string b = Put("b.kra", "ABC");
  fs::create_directory(Work() / "out");
  const TRun run = Run({"to-utf8", "-o", (Work() / "out").string(), a, b});
  EXPECT_EQ(run.Code, 0) << run.Err;
  EXPECT_EQ(testdata::ReadBytes(Work() / "out/a.kra"), "\xE3\x81\x82[00:01:00]\r\n");
  EXPECT_EQ(testdata::ReadBytes(Work() / "out/b.kra"), "ABC");
  EXPECT_EQ(testdata::ReadBytes(a), "\x82\xA0[00:01:00]\r\n");
}

TEST_F(VerseletTool, UnreadableFilesAreReportedAndTheOthersStillRun) {
  const std::string good1 = Put("good1.txt", "A[00:01:00]");
  const std::string missing = (Work() / "missing.txt").string();
  const std::string folder = (Work() / "folder.txt").string();
  fs::create_directory(folder);
  const std::string good2 = Put("good2.txt", "B[00:01:00]");
  const TRun run = Run({"delete-time-tags", "-i", good1, missing, folder, good2});
  EXPECT_EQ(run.Code, 1);
  EXPECT_TRUE(Contains(run.Err, "missing.txt")) << run.Err;
  EXPECT_TRUE(Contains(run.Err, "folder.txt")) << run.Err;
  EXPECT_EQ(testdata::ReadBytes(good1), "A");
  EXPECT_EQ(testdata::ReadBytes(good2), "B");
}

TEST_F(VerseletTool, BinaryFileIsRefused) {
  const std::string binary = Put("data.kra", std::string("A[00:01:00]\0B\n", 14));
  const TRun run = Run({"delete-time-tags", "-i", binary});
  EXPECT_EQ(run.Code, 1);
  EXPECT_TRUE(Contains(run.Err, "data.kra")) << run.Err;
  EXPECT_TRUE(Contains(run.Err, "NUL")) << run.Err;
  EXPECT_EQ(testdata::ReadBytes(binary), std::string("A[00:01:00]\0B\n", 14));
}

TEST_F(VerseletTool, FileThatIsNeitherUtf8NorShiftJisIsReportedNotGuessed) {
  const struct {
    std::string Bytes;
    std::string Line;  // "" when the file is processed
  } cases[] = {
      {"[00:01:00]\x82\xA0\n[00:02:00]\x81 x\n", "2 行目"},  // a lead byte without its trail
      {"[00:01:00]a\n\n\n\xFF" "b\n", "4 行目"},              // a byte no character starts with
      {std::string(70000, 'a') + "\n\x80", "2 行目"},            // past the first block
      {"[00:01:00]\x82\xA0\n\x81", "2 行目"},                  // cut short after a lead byte
      {"[00:01:00]\x82\xA0\xB1\n", ""},                         // Shift-JIS throughout
  };
  for (const auto& c : cases) {
    for (const char* command : {"delete-time-tags", "check", "shift-tags"}) {
      const std::string file = Put("odd.lrc", c.Bytes);
      std::vector<std::string> args{command, "-i", file};
      if (std::string(command) == "shift-tags") args.insert(args.begin() + 1, {"--by", "1"});
      if (std::string(command) == "check") args.erase(args.begin() + 1);
      const TRun run = Run(args);
      SCOPED_TRACE(std::string(command) + " " + c.Line);
      if (c.Line.empty()) {
        EXPECT_EQ(run.Code, 0) << run.Err;
        continue;
      }
      EXPECT_EQ(run.Code, 1);
      EXPECT_TRUE(Contains(run.Err, file + ": " + c.Line + "に Shift-JIS の文字でも UTF-8 の文字でもない")) << run.Err;
      EXPECT_EQ(testdata::ReadBytes(file), c.Bytes);
    }
  }
}

TEST_F(VerseletTool, InPlaceKeepsTheFileWhenItCannotBeReplaced) {
  // A read-only file is not saved over without being asked to.
  const std::string file = Put("locked.txt", "A[00:01:00]\n");
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string other = Put("other.txt", "B[00:01:00]\n");
  const TRun run = Run({"delete-time-tags", "-i", file, other});
  EXPECT_EQ(run.Code, 1);
  EXPECT_TRUE(Contains(run.Err, "locked.txt")) << run.Err;
  EXPECT_EQ(testdata::ReadBytes(file), "A[00:01:00]\n");
  EXPECT_EQ(testdata::ReadBytes(other), "B\r\n");
  for (const auto& entry : fs::directory_iterator(Work())) {
    EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
  }
}

TEST_F(VerseletTool, OutputFolderReportsTargetsItCannotWrite) {
  const fs::path out = Work() / "out";
  fs::create_directories(out / "taken.txt");  // a folder where the copy should go
  fs::create_directories(Work() / "sub");
  const std::string taken = Put("taken.txt", "A\n");
  const std::string first = Put("same.txt", "1\n");
  const std::string second = Put("sub/same.txt", "2\n");
  const TRun run = Run({"to-sjis", "-o", out.string(), taken, first, second});
  EXPECT_EQ(run.Code, 1);
  EXPECT_TRUE(Contains(run.Err, "taken.txt")) << run.Err;
  EXPECT_TRUE(Contains(run.Err, "sub/same.txt")) << run.Err;
  EXPECT_EQ(testdata::ReadBytes(out / "same.txt"), "1\r\n");
}

TEST_F(VerseletTool, EncodingFailureLeavesTheFileAsItIs) {
  const std::string sjis = Put("sjis.txt", "\x89\xCC\x8E\x8C\r\n");
  const std::string odd = Put("odd.txt", "A\x85\x40");
  const TRun run = Run({"to-sjis", "-i", sjis});
  EXPECT_EQ(run.Code, 1);
  EXPECT_TRUE(Contains(run.Err, "UTF-8 ではありません")) << run.Err;
  EXPECT_EQ(testdata::ReadBytes(sjis), "\x89\xCC\x8E\x8C\r\n");
  EXPECT_EQ(Run({"to-utf8", "-i", odd}).Code, 1);
  EXPECT_EQ(testdata::ReadBytes(odd), "A\x85\x40");
}

TEST_F(VerseletTool, ShiftJisRoundTripAndLostCharacters) {
  const std::string file = Put("lyric.txt", "\x89\xCC\x8E\x8C\x87\x40\r\n");
  EXPECT_EQ(Run({"to-utf8", "-i", file}).Code, 0);
  EXPECT_EQ(testdata::ReadBytes(file), "歌詞①\r\n");
  EXPECT_EQ(Run({"to-sjis", "-i", file}).Code, 0);
  EXPECT_EQ(testdata::ReadBytes(file), "\x89\xCC\x8E\x8C\x87\x40\r\n");

  const std::string lossy = Put("lossy.txt", "caf\xC3\xA9");
  const TRun run = Run({"to-sjis", "--lossy", lossy});
  EXPECT_EQ(run.Code, 0);
  EXPECT_EQ(run.Out, "caf?");
  EXPECT_TRUE(Contains(run.Err, "lossy.txt")) << run.Err;  // a note, not a failure
}

// The lines of text that hold more than blanks, each followed by CR LF; every break style ends a line.
std::string NonBlankLines(const std::string& text) {
  std::string out;
  std::string line;
  auto flush = [&] {
    if (line.find_first_not_of(" \t") != std::string::npos) out += line + "\r\n";
    line.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      flush();
    } else {
      line += text[i];
    }
  }
  flush();
  return out;
}

TEST_F(VerseletTool, BlankLinesOfRealFilesInEveryBreakStyle) {
  VERSELET_REQUIRE_TESTDATA();
  // The files with a UTF-8 byte-order mark go through to-sjis, which drops
  // the mark; so does the UTF-16 one, decoded first.
  std::vector<std::string> args = {"delete-blank-lines", "--from-utf8", "-o", Work().string()};
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(testdata::Dir() / "linebreaks")) files.push_back(entry.path());
  ASSERT_GE(files.size(), 5u);
  for (const fs::path& file : files) args.push_back(file.string());
  const TRun run = Run(args);
  EXPECT_EQ(run.Code, 0) << run.Err;
  for (const fs::path& file : files) {
    std::string original = testdata::ReadBytes(file);
    if (file.filename() == "dos2unix_utf16.txt") {
      // Its text is ASCII: every other byte, after the byte-order mark.
      std::string ascii;
      for (std::size_t i = 2; i < original.size(); i += 2) ascii += original[i];
      original = ascii;
    }
    if (original.starts_with("\xEF\xBB\xBF")) original.erase(0, 3);
    EXPECT_EQ(testdata::ReadBytes(Work() / file.filename()), NonBlankLines(original)) << file;
  }
}

TEST_F(VerseletTool, RealKaraokeFilesLoseEveryTagAfterConversion) {
  VERSELET_REQUIRE_TESTDATA();
  const std::vector<std::string> names = {"lrc2exopy_2_shining-star.kra", "lrc2exopy_3_shining-star_part.kra"};
  std::vector<std::string> args = {"to-sjis", "-o", Work().string()};
  for (const std::string& name : names) args.push_back((testdata::Dir() / "real-kra" / name).string());
  ASSERT_EQ(Run(args).Code, 0);
  args = {"delete-time-tags", "-i"};
  for (const std::string& name : names) args.push_back((Work() / name).string());
  ASSERT_EQ(Run(args).Code, 0);
  for (const std::string& name : names) {
    const std::string result = testdata::ReadBytes(Work() / name);
    const std::string original = testdata::ReadBytes(testdata::Dir() / "real-kra" / name);
    EXPECT_FALSE(Contains(result, ":")) << name;  // the only colons were inside tags
    EXPECT_TRUE(Contains(result, "@TimeRatio=1")) << name;
    EXPECT_EQ(std::count(result.begin(), result.end(), '\n'), std::count(original.begin(), original.end(), '\n'));
  }
}

TEST_F(VerseletTool, UnwritableCharactersAreRefusedNamingFileLineAndCharacter) {
  const std::string text = "A\r\n\xE3\x81\x82" "caf\xC3\xA9\n\xF0\x9F\x98\x80\r\n";
  const std::string file = Put("song.txt", text);
  for (const auto& args : {std::vector<std::string>{"to-sjis", file}, std::vector<std::string>{"to-sjis", "-i", file},
                           std::vector<std::string>{"to-sjis", "-o", (Work() / "out").string(), file}}) {
    fs::create_directories(Work() / "out");
    const TRun run = Run(args);
    EXPECT_EQ(run.Code, 1) << ::testing::PrintToString(args);
    EXPECT_EQ(run.Out, "");
    EXPECT_TRUE(Contains(run.Err, file + ":2: 文字 'é' (U+00E9)")) << run.Err;
    EXPECT_TRUE(Contains(run.Err, file + ":3: 文字 '😀' (U+1F600)")) << run.Err;
    EXPECT_TRUE(Contains(run.Err, "--lossy")) << run.Err;
    EXPECT_EQ(testdata::ReadBytes(file), text);
    EXPECT_FALSE(fs::exists(Work() / "out/song.txt"));
  }
  EXPECT_TRUE(Contains(Run({"--help"}).Out, "--lossy"));
  const TRun lossy = Run({"to-sjis", "--lossy", "-i", file});
  EXPECT_EQ(lossy.Code, 0);
  EXPECT_EQ(testdata::ReadBytes(file), "A\r\n\x82\xA0" "caf?\n?\r\n");
}

TEST_F(VerseletTool, ReadOnlyFilesAreReplacedOnlyWithForce) {
  const std::string file = Put("ro.lrc", "A[00:01:00]\n");
  fs::create_directories(Work() / "out");
  const std::string copy = Put("out/ro.lrc", "old");
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
  fs::permissions(copy, fs::perms::owner_read);
  for (const auto& args : {std::vector<std::string>{"delete-time-tags", "-i", file},
                           std::vector<std::string>{"delete-time-tags", "-o", (Work() / "out").string(), file}}) {
    const TRun run = Run(args);
    EXPECT_EQ(run.Code, 1) << ::testing::PrintToString(args);
    EXPECT_TRUE(Contains(run.Err, "読み取り専用")) << run.Err;
  }
  EXPECT_EQ(testdata::ReadBytes(file), "A[00:01:00]\n");
  EXPECT_EQ(testdata::ReadBytes(copy), "old");
  EXPECT_TRUE(Contains(Run({"--help"}).Out, "--force"));
  EXPECT_EQ(Run({"delete-time-tags", "--force", "-i", file}).Code, 0);
  EXPECT_EQ(Run({"delete-time-tags", "-f", "-o", (Work() / "out").string(), file}).Code, 0);
  EXPECT_EQ(testdata::ReadBytes(file), "A\r\n");
  EXPECT_EQ(testdata::ReadBytes(copy), "A\r\n");
  EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::group_read);
}

// A file of many blocks whose breaks, characters and tags fall across the
// reader's block edges wherever they may: every command must give what it
// gives on the same text whole.
TEST_F(VerseletTool, LargeFilesGiveTheWholeTextResultInEveryBreakStyle) {
  std::string lyric;
  for (int i = 0; lyric.size() < 140000; ++i) {
    lyric += (i % 7 == 0 ? "[00:0" + std::to_string(i % 10) + ":00]" : std::string()) + "\x82\xA0" +
             std::string(static_cast<std::size_t>(i % 5), 'x') + "[00:01:00]]\x81[00:02:00]" +
             (i % 3 == 0 ? "\x81\x40 " : "") + "\n" + (i % 4 == 0 ? " \t\n" : "");
  }
  struct TStyle {
    const char* Name;
    std::string Break;
  };
  for (const TStyle& style : {TStyle{"lf", "\n"}, TStyle{"crlf", "\r\n"}, TStyle{"cr", "\r"}}) {
    std::string bytes;
    std::string crlf;
    for (const char c : lyric) {
      bytes += c == '\n' ? style.Break : std::string(1, c);
      crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    const std::string file = Put(std::string(style.Name) + ".txt", bytes);
    const struct {
      const char* Command;
      std::string Expected;
    } cases[] = {
        {"delete-time-tags", DeleteTimeTags(crlf)},
        {"delete-karaoke-tags", DeleteKaraokeTags(crlf)},
        {"delete-blank-lines", DeleteUselessLines(crlf)},
        {"to-utf8", ConvertToUtf8(crlf)},
    };
    for (const auto& c : cases) {
      const TRun run = Run({c.Command, file});
      EXPECT_EQ(run.Code, 0) << c.Command << " " << style.Name << run.Err;
      EXPECT_TRUE(run.Out == c.Expected) << c.Command << " " << style.Name;
    }
  }
}

TEST_F(VerseletTool, LateFailuresWriteNothingToStandardOutput) {
  const std::string binary = Put("late.txt", std::string(200000, 'A') + std::string("\0", 1));
  const std::string odd = Put("odd.txt", "A\n" + std::string(200000, 'A') + "\n\x85\x40");
  for (const auto& args : {std::vector<std::string>{"delete-time-tags", binary},
                           std::vector<std::string>{"to-utf8", odd}}) {
    const TRun run = Run(args);
    EXPECT_EQ(run.Code, 1) << ::testing::PrintToString(args);
    EXPECT_EQ(run.Out.size(), 0u);
  }
  EXPECT_TRUE(Contains(Run({"to-utf8", odd}).Err, "3 行目"));
}

TEST_F(VerseletTool, TheFirstBreakDecidesTheStyleWhereverItLies) {
  const std::string line(65535, 'a');  // the first block's last byte comes next
  const struct {
    std::string File;
    std::string Text;
  } cases[] = {
      {std::string(2000, 'a') + "\r\nb\nc", std::string(2000, 'a') + "\r\nb\nc"},
      {std::string(3000, 'a') + "\nb\r\nc", std::string(3000, 'a') + "\r\nb\r\r\nc"},
      {line + "\r\nb\rc", line + "\r\nb\rc"},
      {line + "\rb\r\nc", line + "\r\nb\r\n\nc"},
      {line + "\r", line + "\r\n"},
      {"no break", "no break"},
  };
  for (const auto& c : cases) {
    const std::string file = Put("style.txt", c.File);
    const TRun run = Run({"delete-time-tags", file});
    EXPECT_EQ(run.Code, 0);
    EXPECT_TRUE(run.Out == c.Text) << ::testing::PrintToString(c.File.substr(c.File.size() - 8));
  }
}

TEST_F(VerseletTool, TimeTagCommandsRewriteOnlyTheTags) {
  const std::string text = "[ti:x]\n[00:01:00]a<00:01.50>b[00:02.000]\n\x81[00:03.00]\n[1:2:3]";
  const std::string file = Put("song.lrc", text);
  const struct {
    std::vector<std::string> Args;
    std::string Out;
    std::string Err;  // a part of the report
  } cases[] = {
      {{"shift-tags", "--by", "1.25", file},
       "[ti:x]\r\n[00:02:25]a<00:02.75>b[00:03.250]\r\n\x81[00:03.00]\r\n[1:2:3]", ""},
      {{"shift-tags", "--by=-1.5", file},
       "[ti:x]\r\n[00:00:00]a<00:00.00>b[00:00.500]\r\n\x81[00:03.00]\r\n[1:2:3]", "1 個のタグは 0 秒より前"},
      {{"normalize-tags", "--form", "dot", file},
       "[ti:x]\r\n[00:01.00]a<00:01.50>b[00:02.00]\r\n\x81[00:03.00]\r\n[1:2:3]", ""},
      {{"normalize-tags", "--form=colon", file},
       "[ti:x]\r\n[00:01:00]a<00:01.50>b[00:02:00]\r\n\x81[00:03.00]\r\n[1:2:3]", ""},
      {{"delete-all-time-tags", file}, "[ti:x]\r\nab\r\n\x81[00:03.00]\r\n[1:2:3]", ""},
      // The older command keeps removing only "[mm:ss:xx]".
      {{"delete-time-tags", file}, "[ti:x]\r\na<00:01.50>b[00:02.000]\r\n\x81[00:03.00]\r\n[1:2:3]", ""},
  };
  for (const auto& c : cases) {
    const TRun run = Run(c.Args);
    EXPECT_EQ(run.Code, 0) << ::testing::PrintToString(c.Args);
    EXPECT_EQ(run.Out, c.Out) << ::testing::PrintToString(c.Args);
    EXPECT_TRUE(c.Err.empty() ? run.Err.empty() : Contains(run.Err, c.Err)) << run.Err;
  }
  EXPECT_EQ(testdata::ReadBytes(file), text);
  const std::string help = Run({"--help"}).Out;
  for (const char* word : {"check", "shift-tags", "normalize-tags", "delete-all-time-tags", "--by", "--form"}) {
    EXPECT_TRUE(Contains(help, word)) << word;
  }
}

TEST_F(VerseletTool, CheckReportsFileAndLineLikeACompiler) {
  const std::string bad = Put("bad.lrc", "[00:02.00]a\n[00:01.00]b\n[00:61.00]c\nuntagged\n");
  const std::string good = Put("good.lrc", "[offset:-100]\n[00:01.00]a\n\n[00:02.00]b\n");
  TRun run = Run({"check", good, bad});
  EXPECT_EQ(run.Code, 1);
  EXPECT_EQ(run.Err, "");
  std::vector<std::string> lines;
  for (std::size_t from = 0, end; (end = run.Out.find('\n', from)) != std::string::npos; from = end + 1) {
    lines.push_back(run.Out.substr(0, run.Out.find(": ", from) + 2).substr(from));
  }
  EXPECT_EQ(lines, (std::vector<std::string>{bad + ":2: ", bad + ":3: ", bad + ":4: "}));
  run = Run({"check", good});
  EXPECT_EQ(run.Code, 0);
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(testdata::ReadBytes(bad), "[00:02.00]a\n[00:01.00]b\n[00:61.00]c\nuntagged\n");
}

TEST_F(VerseletTool, CheckFindsWordTimingProblems) {
  // Word tags going back in line 1, a unit without a time in line 3; line 2 is timed unit by unit in the .kra form.
  const std::string file = Put("song.kra",
                               "[00:01:00]ab [00:03:00]cd [00:02:00]ef\r\n[00:04:00]gh [00:05:00]ij\r\n"
                               "[00:06.00]kl mn<00:06.50>op\r\n[00:07.00]x\r\n");
  const TRun run = Run({"check", file});
  EXPECT_EQ(run.Code, 1);
  EXPECT_EQ(run.Out, file + ":1: ワードタグ [00:02:00] が前のワードタグ [00:03:00] より前に戻っています\n" + file +
                         ":3: 「mn」にワードタグがありません\n");
}

TEST_F(VerseletTool, CheckWithADisplayReportsLinesThatNeedMoreThanAPage) {
  // 27 cells without the tags: 3 rows of 13 or of 12 (the last one "aあ"), 2 rows of 14.
  const std::string lyric = "[00:01.00]" + std::string(25, 'a') + "<00:02.00>\x82\xA0\n[00:02.00]ab\n";
  const std::string file = Put("song.lrc", lyric);
  const struct {
    std::vector<std::string> Args;
    int Code;
  } cases[] = {
      {{"check", "--player", "iMP-150", file}, 1},
      {{"check", "--player", "N10", file}, 0},
      {{"check", "--half", "14", "--lines", "2", file}, 0},
      {{"check", "--half=13", "--lines=2", file}, 1},
      {{"check", file}, 0},
  };
  for (const auto& c : cases) {
    const TRun run = Run(c.Args);
    EXPECT_EQ(run.Code, c.Code) << ::testing::PrintToString(c.Args);
    EXPECT_EQ(run.Out.empty(), c.Code == 0) << run.Out;
    if (c.Code != 0) {
      EXPECT_TRUE(run.Out.starts_with(file + ":1: ")) << run.Out;
    }
  }
}

TEST_F(VerseletTool, TimeTagOptionsAreCheckedBeforeAnyFile) {
  const std::string file = Put("a.lrc", "[00:01.00]a\n");
  const std::vector<std::vector<std::string>> cases = {
      {"shift-tags", file},
      {"shift-tags", "--by", "1.2345", file},
      {"shift-tags", "--by", "1.", file},
      {"shift-tags", "--by", "x", file},
      {"shift-tags", file, "--by"},
      {"normalize-tags", file},
      {"normalize-tags", "--form", "slash", file},
      {"to-utf8", "--by", "1", file},
      {"shift-tags", "--by", "1", "--form", "dot", file},
      {"check", "-i", file},
      {"check", "-o", Work().string(), file},
      {"check", "--half", "16", file},
      {"check", "--half", "0", "--lines", "3", file},
      {"check", "--half", "16x", "--lines", "3", file},
      {"check", "--player", "iMP-150", "--half", "16", "--lines", "3", file},
      {"check", "--player", "nothing", file},
      {"delete-all-time-tags", "--player", "N10", file},
  };
  for (const auto& args : cases) {
    const TRun run = Run(args);
    EXPECT_EQ(run.Code, 2) << ::testing::PrintToString(args);
    EXPECT_EQ(run.Out, "");
    EXPECT_TRUE(Contains(run.Err, "--help")) << run.Err;
  }
  EXPECT_EQ(testdata::ReadBytes(file), "[00:01.00]a\n");
}

TEST_F(VerseletTool, ShiftingRealFilesThereAndBackInPlaceGivesThemBack) {
  VERSELET_REQUIRE_TESTDATA();
  // The UTF-8 files become Shift-JIS on the way and UTF-8 again at the end,
  // without their byte-order mark.
  std::vector<std::string> forward = {"shift-tags", "--from-utf8", "-i", "--by", "1.5"};
  std::vector<std::string> back = {"shift-tags", "-i", "--by", "-1.5"};
  std::vector<std::string> unicode = {"to-utf8", "-i"};
  std::vector<std::pair<std::string, std::string>> files;
  for (const char* folder : {"real-lrc", "real-kra"}) {
    for (const auto& entry : fs::directory_iterator(testdata::Dir() / folder)) {
      std::string original = testdata::ReadBytes(entry.path());
      if (original.starts_with("\xEF\xBB\xBF")) original.erase(0, 3);
      // The tool writes CR LF breaks; these files have LF ones.
      std::string expected;
      for (char c : original) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
      const std::string copy = Put(entry.path().filename().string(), original);
      forward.push_back(copy);
      back.push_back(copy);
      unicode.push_back(copy);
      files.emplace_back(copy, expected);
    }
  }
  ASSERT_GE(files.size(), 6u);
  ASSERT_EQ(Run(forward).Code, 0);
  EXPECT_NE(testdata::ReadBytes(files.front().first), files.front().second);
  ASSERT_EQ(Run(back).Code, 0);
  ASSERT_EQ(Run(unicode).Code, 0);
  for (const auto& [copy, expected] : files) EXPECT_EQ(testdata::ReadBytes(copy), expected) << copy;
}

TEST_F(VerseletTool, FoldersAreWalkedForLyricsFiles) {
  fs::create_directories(Work() / "lyrics/sub");
  const std::string tagged = "[00:01.00]a[00:02:00]\n";
  Put("lyrics/a.lrc", tagged);
  Put("lyrics/sub/B.KRA", tagged);
  Put("lyrics/sub/c.txt", "[00:02.00]x\n[00:01.00]y\n");
  Put("lyrics/skip.mp3", tagged);
  const std::string folder = (Work() / "lyrics").string();

  TRun run = Run({"check", folder});
  EXPECT_EQ(run.Code, 1);
  EXPECT_EQ(run.Out.substr(0, run.Out.find(": ", run.Out.find(".txt")) + 2), folder + "/sub/c.txt:2: ") << run.Out;
  EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), 1) << run.Out;

  fs::create_directories(Work() / "out");
  run = Run({"delete-all-time-tags", "-o", (Work() / "out").string(), folder});
  EXPECT_EQ(run.Code, 0) << run.Err;
  EXPECT_EQ(testdata::ReadBytes(Work() / "out/a.lrc"), "a\r\n");
  EXPECT_EQ(testdata::ReadBytes(Work() / "out/sub/B.KRA"), "a\r\n");
  EXPECT_EQ(testdata::ReadBytes(Work() / "out/sub/c.txt"), "x\r\ny\r\n");
  EXPECT_FALSE(fs::exists(Work() / "out/skip.mp3"));

  run = Run({"normalize-tags", "--form", "dot", "-i", folder});
  EXPECT_EQ(run.Code, 0) << run.Err;
  EXPECT_EQ(testdata::ReadBytes(Work() / "lyrics/sub/B.KRA"), "[00:01.00]a[00:02.00]\r\n");
  EXPECT_EQ(testdata::ReadBytes(Work() / "lyrics/skip.mp3"), tagged);

  // A rewritten folder cannot go to standard output.
  run = Run({"delete-all-time-tags", folder});
  EXPECT_EQ(run.Code, 2);
  EXPECT_EQ(run.Out, "");
  EXPECT_TRUE(Contains(run.Err, "-i")) << run.Err;
}


// A link planted in a folder that others may write could have a private file
// rewritten: in a folder walk only links to files inside the folder are
// taken, unless --follow-links is given.
TEST_F(VerseletTool, FolderWalksTakeLinksOutOfTheFolderOnlyWhenAsked) {
  fs::create_directories(Work() / "shared/sub");
  const std::string tagged = "[00:01.00]a\n";
  Put("private.lrc", tagged);
  Put("shared/own.lrc", tagged);
  fs::create_symlink("../own.lrc", Work() / "shared/sub/inside.lrc");
  fs::create_symlink(Work() / "private.lrc", Work() / "shared/planted.lrc");
  const std::string folder = (Work() / "shared").string();

  TRun run = Run({"delete-all-time-tags", "-i", folder});
  EXPECT_EQ(run.Code, 1);
  EXPECT_TRUE(Contains(run.Err, "shared/planted.lrc")) << run.Err;
  EXPECT_TRUE(Contains(run.Err, "--follow-links")) << run.Err;
  EXPECT_FALSE(Contains(run.Err, "inside.lrc")) << run.Err;
  EXPECT_EQ(testdata::ReadBytes(Work() / "private.lrc"), tagged);
  EXPECT_EQ(testdata::ReadBytes(Work() / "shared/own.lrc"), "a\r\n");
  EXPECT_TRUE(fs::is_symlink(Work() / "shared/sub/inside.lrc"));

  run = Run({"delete-all-time-tags", "--follow-links", "-i", folder});
  EXPECT_EQ(run.Code, 0) << run.Err;
  EXPECT_EQ(testdata::ReadBytes(Work() / "private.lrc"), "a\r\n");
  EXPECT_TRUE(fs::is_symlink(Work() / "shared/planted.lrc"));
  EXPECT_TRUE(Contains(Run({"--help"}).Out, "--follow-links"));
}

// One subfolder that cannot be read is named; the rest of its folder is still checked.
TEST_F(VerseletTool, AnUnreadableSubfolderIsNamedAndTheRestProcessed) {
  if (::geteuid() != 0 || std::system("command -v setpriv >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "running a step as another user needs root and setpriv";
  }
  fs::create_directories(Work() / "lyrics/locked");
  Put("lyrics/a.lrc", "[00:02.00]x\n[00:01.00]y\n");
  Put("lyrics/locked/b.lrc", "[00:01.00]z\n");
  fs::permissions(Work() / "lyrics/locked", fs::perms::owner_all);
  const TRun run = Run({"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--",
                        std::string(VERSELET_BIN_DIR) + "/verselet-tool", "check", (Work() / "lyrics").string()},
                       false);
  EXPECT_EQ(run.Code, 1);
  EXPECT_TRUE(Contains(run.Out, "a.lrc:2: ")) << run.Out;
  EXPECT_TRUE(Contains(run.Err, "lyrics/locked: ")) << run.Err;
  EXPECT_TRUE(Contains(run.Err, "アクセスが許可されていません")) << run.Err;
}

// Tags shifted beyond the latest time their form holds stop there, are
// counted, and remain tags that check reads.
TEST_F(VerseletTool, ShiftingBeyondTheLatestTimeStopsThereAndSaysSo) {
  const std::string song = Put("song.lrc", "[00:01.00]a<00:02.00>b\n");
  TRun run = Run({"shift-tags", "--by", "99999999", "-i", song});
  EXPECT_EQ(run.Code, 0) << run.Err;
  EXPECT_EQ(testdata::ReadBytes(song), "[999999:59.99]a<999999:59.99>b\r\n");
  EXPECT_TRUE(Contains(run.Err, "2 個のタグ")) << run.Err;
  run = Run({"check", song});
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Code, 0);
}

// "[00:01:00]歌[00:02:00]詞", the line then a blank line, in UTF-8 and in code page 932.
const std::string kUtf8Song = "[00:01:00]\xE6\xAD\x8C[00:02:00]\xE8\xA9\x9E\n \n";
const std::string kShiftJisSong = "[00:01:00]\x89\xCC[00:02:00]\x8E\x8C\n \n";

// The song in UTF-16 with its byte-order mark.
std::string Utf16Song(bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : std::u16string(u"[00:01:00]歌[00:02:00]詞\n \n")) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

TEST_F(VerseletTool, Utf8FilesAreProcessedAsUtf8AndUtf16FilesRefusedOrConvertedFirst) {
  struct TCase {
    std::vector<std::string> Command;
    // What the file holds after -i, or what check prints.
    std::string Result;
  };
  const std::vector<TCase> cases = {
      {{"delete-time-tags"}, "\x89\xCC\x8E\x8C\r\n \r\n"},
      {{"delete-all-time-tags"}, "\x89\xCC\x8E\x8C\r\n \r\n"},
      {{"delete-karaoke-tags"}, "[00:01:00]\x89\xCC\x8E\x8C\r\n \r\n"},
      {{"delete-blank-lines"}, "[00:01:00]\x89\xCC[00:02:00]\x8E\x8C\r\n"},
      {{"shift-tags", "--by", "1"}, "[00:02:00]\x89\xCC[00:03:00]\x8E\x8C\r\n \r\n"},
      {{"normalize-tags", "--form", "dot"}, "[00:01.00]\x89\xCC[00:02.00]\x8E\x8C\r\n \r\n"},
      {{"check"}, ""},
  };
  const struct {
    const char* Name;
    std::string Bytes;
    const char* Encoding;
  } unicodeFiles[] = {
      {"utf8.txt", kUtf8Song, "UTF-8 "},
      {"utf16le.txt", Utf16Song(false), "UTF-16 "},
      {"utf16be.txt", Utf16Song(true), "UTF-16 "},
  };
  for (const auto& unicode : unicodeFiles) for (const TCase& test : cases) {
    const bool check = test.Command.front() == "check";
    const std::string utf8 = Put(unicode.Name, unicode.Bytes);
    const std::string sjis = Put("sjis.txt", kShiftJisSong);
    std::vector<std::string> args = test.Command;
    if (!check) args.push_back("-i");
    args.insert(args.end(), {utf8, sjis});
    const std::string trace = ::testing::PrintToString(args);

    if (std::string(unicode.Encoding) == "UTF-8 ") {
      // Processed as UTF-8 and written back as UTF-8.
      const TRun run = Run(args);
      EXPECT_EQ(run.Code, 0) << trace << run.Err;
      EXPECT_EQ(run.Err, "") << trace;
      EXPECT_EQ(check ? run.Out : testdata::ReadBytes(utf8), check ? "" : ConvertToUtf8(test.Result)) << trace;
      EXPECT_EQ(check ? run.Out : testdata::ReadBytes(sjis), test.Result) << trace;
      Put(unicode.Name, unicode.Bytes);
    } else {
      // The Shift-JIS file is done all the same; the UTF-16 one stays as it is.
      const TRun refused = Run(args);
      EXPECT_EQ(refused.Code, 1) << trace;
      EXPECT_EQ(testdata::ReadBytes(utf8), unicode.Bytes) << trace;
      EXPECT_EQ(check ? refused.Out : testdata::ReadBytes(sjis), test.Result) << trace;
      EXPECT_TRUE(Contains(refused.Err, "verselet-tool: " + utf8 + ": " + unicode.Encoding)) << refused.Err;
      EXPECT_TRUE(Contains(refused.Err, "--from-utf8")) << refused.Err;
      EXPECT_FALSE(Contains(refused.Err, "sjis.txt")) << refused.Err;
    }

    Put("sjis.txt", kShiftJisSong);
    args.insert(args.begin() + 1, "--from-utf8");
    const TRun converted = Run(args);
    EXPECT_EQ(converted.Code, 0) << trace << converted.Err;
    EXPECT_EQ(converted.Err, "") << trace;
    if (check) {
      EXPECT_EQ(converted.Out, test.Result) << trace;
    } else {
      EXPECT_EQ(testdata::ReadBytes(utf8), test.Result) << trace;
      EXPECT_EQ(testdata::ReadBytes(sjis), test.Result) << trace;
    }
  }
}

TEST_F(VerseletTool, FromUtf8RefusesWhatShiftJisCannotHoldUnlessLossy) {
  // "♥" has no code page 932 form; it sits on line 2, after a tag.
  const std::string song = "[00:01:00]\xE6\xAD\x8C\n[00:02:00]\xE2\x99\xA5\n";
  const std::string file = Put("heart.lrc", song);
  const TRun refused = Run({"delete-time-tags", "--from-utf8", "-i", file});
  EXPECT_EQ(refused.Code, 1);
  EXPECT_TRUE(Contains(refused.Err, file + ":2: ")) << refused.Err;
  EXPECT_TRUE(Contains(refused.Err, "U+2665")) << refused.Err;
  EXPECT_EQ(testdata::ReadBytes(file), song);

  const TRun lossy = Run({"delete-time-tags", "--from-utf8", "--lossy", file});
  EXPECT_EQ(lossy.Code, 0);
  EXPECT_EQ(lossy.Out, "\x89\xCC\r\n?\r\n");
  EXPECT_TRUE(Contains(lossy.Err, "1 文字")) << lossy.Err;
}

TEST_F(VerseletTool, UnicodeIsFoundAnywhereInTheFile) {
  // Past the first block of the reader, and with a character cut by it.
  const std::string late = std::string(65535, 'a') + "\xE6\xAD\x8C[00:01:00]\n";
  // Without its tag, in UTF-8 as it came.
  const std::string lateDone = std::string(65535, 'a') + "\xE6\xAD\x8C\r\n";
  EXPECT_EQ(Run({"delete-time-tags", Put("late.txt", late)}).Out, lateDone);
  EXPECT_EQ(Run({"delete-time-tags", Put("marked.txt", "\xEF\xBB\xBF[00:01:00]A\n")}).Out, "\xEF\xBB\xBF" "A\r\n");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {std::string("\xFF\xFE[\0A\0", 6), "UTF-16 "},
      {std::string("\xFE\xFF\0[\0A", 6), "UTF-16 "},
  };
  for (const auto& [bytes, name] : cases) {
    const std::string file = Put("unicode.txt", bytes);
    const TRun run = Run({"delete-time-tags", "-i", file});
    EXPECT_EQ(run.Code, 1) << name;
    EXPECT_TRUE(Contains(run.Err, file + ": " + name)) << run.Err;
    EXPECT_EQ(testdata::ReadBytes(file), bytes) << name;
  }
  // A UTF-8 byte-order mark is dropped with the conversion.
  const std::string marked = Put("marked.txt", "\xEF\xBB\xBF[00:01:00]A\n");
  EXPECT_EQ(Run({"delete-time-tags", "--from-utf8", marked}).Out, "A\r\n");
  // A Shift-JIS file whose bytes look like two-byte UTF-8 ("ﾃｩ") stays Shift-JIS.
  const std::string kana = Put("kana.txt", "[00:01:00]\xC3\xA9\n");
  EXPECT_EQ(Run({"delete-time-tags", kana}).Out, "\xC3\xA9\r\n");
}

// to-sjis and --from-utf8 fold the look-alikes through the editor's table and say how many on standard error.
TEST_F(VerseletTool, LookAlikeCharactersAreFoldedAndCounted) {
  const auto [from, to] = LookAlikeText();
  const std::string utf16 = Utf16LeWithMark(u"[00:01:00]" + from);
  const std::string utf8 = "\xEF\xBB\xBF[00:01:00]" + UnicodeToUtf8(from);
  const struct {
    std::vector<std::string> Args;
    std::string Out;
  } cases[] = {
      {{"to-sjis", Put("a.txt", utf8)}, "[00:01:00]" + UnicodeToAnsi(to)},
      {{"delete-time-tags", "--from-utf8", Put("b.lrc", utf8)}, UnicodeToAnsi(to)},
      {{"delete-time-tags", "--from-utf8", Put("c.lrc", utf16)}, UnicodeToAnsi(to)},
  };
  for (const auto& c : cases) {
    const TRun run = Run(c.Args);
    EXPECT_EQ(run.Code, 0) << run.Err;
    EXPECT_EQ(run.Out, c.Out);
    EXPECT_TRUE(Contains(run.Err, c.Args.back() + ": 注意: " + DescribeFolded(from.size()))) << run.Err;
  }
}

// A UTF-8 file stays UTF-8, its byte-order mark and every character Shift-JIS lacks included.
TEST_F(VerseletTool, Utf8FilesShiftThereAndBackToTheirBytes) {
  // 歌, ♥, 😀, 〜 (the wave dash, which Shift-JIS holds only as its look-alike), a full-width space.
  const std::string body =
      "[ti:\xE6\xAD\x8C]\r\n[00:01.00]\xE6\xAD\x8C<00:01.50>\xE2\x99\xA5\r\n[00:02:00]\xF0\x9F\x98\x80[00:03:00]"
      "\xE3\x80\x9C\xE3\x80\x80\r\n";
  for (const std::string mark : {"\xEF\xBB\xBF", ""}) {
    const std::string file = Put("song.lrc", mark + body);
    const TRun forward = Run({"shift-tags", "--by", "1.5", "-i", file});
    EXPECT_EQ(forward.Code, 0) << forward.Err;
    EXPECT_EQ(testdata::ReadBytes(file),
              mark + "[ti:\xE6\xAD\x8C]\r\n[00:02.50]\xE6\xAD\x8C<00:03.00>\xE2\x99\xA5\r\n[00:03:50]\xF0\x9F\x98\x80"
                     "[00:04:50]\xE3\x80\x9C\xE3\x80\x80\r\n");
    EXPECT_EQ(Run({"shift-tags", "--by", "-1.5", "-i", file}).Code, 0);
    EXPECT_EQ(testdata::ReadBytes(file), mark + body);
    EXPECT_EQ(Run({"check", "--half", "4", "--lines", "1", file}).Out,
              file + ":3: プレーヤーの表示に 2 行必要です (4 桁 1 行に収まりません)\n") << "an emoji takes two cells";
  }
  // Bytes that are no UTF-8 after a byte-order mark are reported, and the file stays.
  const std::string broken = "\xEF\xBB\xBF[00:01:00]a\r\n\xE6\xAD[00:02:00]\r\n";
  const std::string file = Put("broken.lrc", broken);
  const TRun run = Run({"delete-time-tags", "-i", file});
  EXPECT_EQ(run.Code, 1);
  EXPECT_TRUE(Contains(run.Err, file + ": テキストが UTF-8 ではありません (2 行目)")) << run.Err;
  EXPECT_EQ(testdata::ReadBytes(file), broken);
}

// convert works on Shift-JIS and on UTF-8 files alike, tags left as they are.
TEST_F(VerseletTool, ConvertChangesTheTextAndKeepsTheTags) {
  // "[00:01.00]ガＡ<00:01.50>ー" in code page 932 and in UTF-8, with ♥ that Shift-JIS lacks.
  const std::string sjis = Put("sjis.lrc", "[00:01.00]\x83\x4B\x82\x60<00:01.50>\x81\x5B\r\n");
  const std::string utf8 = Put("utf8.lrc", "\xEF\xBB\xBF[00:01.00]\xE3\x82\xAC\xEF\xBC\xA1<00:01.50>\xE2\x99\xA5\xE3\x83\xBC\n");
  const TRun run = Run({"convert", "--to", "halfwidth", "-i", sjis, utf8});
  EXPECT_EQ(run.Code, 0) << run.Err;
  EXPECT_TRUE(Contains(run.Err, sjis + ": 注意: 3 文字を変換しました")) << run.Err;
  EXPECT_EQ(testdata::ReadBytes(sjis), "[00:01.00]\xB6\xDE" "A<00:01.50>\xB0\r\n");
  EXPECT_EQ(testdata::ReadBytes(utf8),
            "\xEF\xBB\xBF[00:01.00]\xEF\xBD\xB6\xEF\xBE\x9E" "A<00:01.50>\xE2\x99\xA5\xEF\xBD\xB0\r\n");
}

// prepare: each option against the expected file; UTF-8 comes in
// converted and goes out in the encoding asked for.
TEST_F(VerseletTool, PrepareWritesWhatThePlayerReads) {
  const std::string song =
      "[offset:+250]\n[ti:t]\n[00:01:00][00:40.00][00:20.000]La<00:01.50>la\n[00:10.00]abcdefghijklmnopqrstuvwxyz0\n";
  const std::string file = Put("song.txt", song);
  const struct {
    std::vector<std::string> Options;
    const char* Out;
    const char* Says;
  } cases[] = {
      {{"--player", "iMP-150"},
       "[ti:t]\r\n[00:00.75]Lala\r\n[00:09.75]abcdefghijklmnopqrstuvwxyz0\r\n[00:19.75]Lala\r\n[00:39.75]Lala\r\n",
       "表示に収まらない行: 1 (3 行目)"},
      {{"--half", "30", "--lines", "1", "--no-expand", "--keep-word-tags", "--keep-precision", "--remove-id-lines"},
       "[00:00:75][00:39.75][00:19.750]La<00:01.25>la\r\n[00:09.75]abcdefghijklmnopqrstuvwxyz0\r\n",
       "表示に収まらない行: 0"},
      {{"--player", "N10", "--no-expand", "--encoding", "utf8-bom"},
       "\xEF\xBB\xBF[ti:t]\r\n[00:00.75][00:39.75][00:19.75]Lala\r\n[00:09.75]abcdefghijklmnopqrstuvwxyz0\r\n",
       "ワードタグを削除: 1 個"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"prepare"};
    args.insert(args.end(), c.Options.begin(), c.Options.end());
    args.push_back(file);
    const TRun run = Run(args);
    EXPECT_EQ(run.Code, 0) << run.Err;
    EXPECT_EQ(run.Out, c.Out) << ::testing::PrintToString(c.Options);
    EXPECT_TRUE(Contains(run.Err, c.Says)) << run.Err;
  }
  EXPECT_EQ(testdata::ReadBytes(file), song);

  // A UTF-8 file with a look-alike: folded on the way in, written back as UTF-8.
  const std::string utf8 = Put("utf8.txt", "[00:02.00][00:01.00]\xE3\x81\x82\xE3\x80\x9C\n");
  const TRun converted = Run({"prepare", "--player", "N10", "--encoding", "utf8", utf8});
  EXPECT_EQ(converted.Code, 0) << converted.Err;
  EXPECT_EQ(converted.Out, "[00:01.00]\xE3\x81\x82\xEF\xBD\x9E\r\n[00:02.00]\xE3\x81\x82\xEF\xBD\x9E\r\n");

  // Named after the song beside it; without a song the file is reported and nothing written.
  Put("song.mp3", "");
  EXPECT_EQ(Run({"prepare", "--player", "N10", "--name-after-audio", "-i", file}).Code, 0);
  EXPECT_EQ(testdata::ReadBytes(Work() / "song.lrc"),
            "[ti:t]\r\n[00:00.75]Lala\r\n[00:09.75]abcdefghijklmnopqrstuvwxyz0\r\n[00:19.75]Lala\r\n[00:39.75]Lala\r\n");
  EXPECT_EQ(testdata::ReadBytes(file), song);
  const TRun alone = Run({"prepare", "--player", "N10", "--name-after-audio", "-o", "out", utf8});
  EXPECT_EQ(alone.Code, 1);
  EXPECT_TRUE(Contains(alone.Err, "音声ファイル")) << alone.Err;
  EXPECT_FALSE(fs::exists(Work() / "out/utf8.lrc"));

  const std::vector<std::string> wrong[] = {
      {"prepare", file},
      {"prepare", "--player", "N10", "--from-utf8", file},
      {"prepare", "--player", "N10", "--encoding", "latin1", file},
      {"prepare", "--player", "N10", "--name-after-audio", file},
      {"check", "--keep-word-tags", file},
  };
  for (const auto& args : wrong) EXPECT_EQ(Run(args).Code, 2) << ::testing::PrintToString(args);
}

TEST_F(VerseletTool, ConvertFormatWritesEachFormatInItsEncodingAndSaysWhatItLeftOut) {
  const std::string srt = Put("a.srt", "\xEF\xBB\xBF" "1\n00:00:12,300 --> 00:00:15,000\n<i>さざなみ</i>の〜音\n\n"
                                       "2\n00:00:15,000 --> 00:00:18,000\n二行目\n");
  const TRun lrc = Run({"convert-format", "--from", "srt", "--to", "lrc", srt});
  EXPECT_EQ(lrc.Code, 0) << lrc.Err;
  EXPECT_EQ(lrc.Out, UnicodeToAnsi(u"[00:12.30]さざなみの～音\r\n[00:15.00]二行目\r\n[00:18.00]\r\n"));
  EXPECT_TRUE(Contains(lrc.Err, "SRT の書式タグ 2 個")) << lrc.Err;
  EXPECT_TRUE(Contains(lrc.Err, DescribeFolded(1))) << lrc.Err;

  Put("b.lrc", UnicodeToAnsi(u"[00:01.00]<00:01.00>歌<00:01.50>詞\r\n"));
  const TRun ass = Run({"convert-format", "--from", "lrc", "--to", "ass", "--kf", "--last-line", "2", "-o", "out", "b.lrc"});
  EXPECT_EQ(ass.Code, 0) << ass.Err;
  EXPECT_TRUE(Contains(testdata::ReadBytes(Work() / "out/b.ass"),
                       "Dialogue: 0,0:00:01.00,0:00:03.00,Default,,0,0,0,,{\\kf50}歌{\\kf150}詞\r\n"));

  Put("bad.ass", "[Events]\nFormat: Layer, Start, End, Text\nDialogue: 0,0:00:01.00,0:0:02.00,x\n");
  const TRun bad = Run({"convert-format", "--from", "ass", "--to", "srt", "-o", "out", "bad.ass"});
  EXPECT_EQ(bad.Code, 1);
  EXPECT_TRUE(Contains(bad.Err, "bad.ass: 3 行目: ")) << bad.Err;
  EXPECT_FALSE(fs::exists(Work() / "out/bad.srt"));

  const std::vector<std::string> wrong[] = {
      {"convert-format", "--to", "lrc", srt},
      {"convert-format", "--from", "vtt", "--to", "lrc", srt},
      {"convert-format", "--from", "srt", "--to", "lrc", "--kf", srt},
      {"convert-format", "--from", "srt", "--to", "srt", "--last-line", "-1", srt},
      {"convert-format", "--from", "srt", "--to", "lrc", srt, srt},
      {"extract", "--from", "srt", srt},
      {"embed", "-o", "out", srt},
  };
  for (const auto& args : wrong) EXPECT_EQ(Run(args).Code, 2) << ::testing::PrintToString(args);
}

TEST_F(VerseletTool, EmbedAndExtractCarryLyricsIntoAndOutOfTheSongsOfAFolder) {
  fs::create_directories(Work() / "songs/sub");
  Put("songs/a.mp3", SilentMp3());
  Put("songs/a.lrc", UnicodeToAnsi(u"[00:01.00]さざなみ〜\r\n"));
  Put("songs/sub/b.mp3", SilentMp3());
  Put("songs/sub/b.kra", "\xEF\xBB\xBF[00:02:00]b\n");
  Put("songs/c.mp3", SilentMp3());  // without lyrics: passed over
  Put("songs/d.mp3", "no audio here");
  Put("songs/d.lrc", "[00:01.00]d\r\n");
  const TRun embed = Run({"embed", "songs"});
  EXPECT_EQ(embed.Code, 1);
  EXPECT_TRUE(Contains(embed.Err, "d.mp3")) << embed.Err;
  EXPECT_TRUE(Contains(embed.Err, "c.mp3: 注意: ")) << embed.Err;
  EXPECT_EQ(testdata::ReadBytes(Work() / "songs/d.mp3"), "no audio here");
  EXPECT_TRUE(testdata::ReadBytes(Work() / "songs/a.mp3").ends_with(SilentMp3()));

  const TRun extract = Run({"extract", "-o", "out", "songs/a.mp3", "songs/sub"});
  EXPECT_EQ(extract.Code, 0) << extract.Err;
  EXPECT_EQ(testdata::ReadBytes(Work() / "out/a.lrc"), UnicodeToAnsi(u"[00:01.00]さざなみ～\r\n"));
  EXPECT_EQ(testdata::ReadBytes(Work() / "out/b.lrc"), "[00:02:00]b\r\n");
  // An existing lyrics file is never overwritten.
  const TRun again = Run({"extract", "songs/a.mp3"});
  EXPECT_EQ(again.Code, 1);
  EXPECT_EQ(testdata::ReadBytes(Work() / "songs/a.lrc"), UnicodeToAnsi(u"[00:01.00]さざなみ〜\r\n"));
  EXPECT_EQ(Run({"embed", "songs/c.mp3"}).Code, 1);
}

}  // namespace
