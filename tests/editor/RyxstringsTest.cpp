// Tests of the line store: slots, splitting and joining, comma text, streams and files.
#include "editor/Ryxstrings.h"
#include "editor/RyxstringsWriter.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "editor/RyxEditSub.h"
#include "platform/Exceptions.h"
#include "tests/PlainSplit.h"
#include "tests/TestData.h"
#include "tests/TempDir.h"

using namespace std::string_literals;
using Lines = std::vector<std::string>;

namespace {

const std::string kMarker("\0\0", 2);

Lines LinesOf(const TRyxStrings& store) {
  Lines lines;
  for (int i = 0; i < store.Count(); ++i) lines.emplace_back(store.Get(i));
  return lines;
}

void Fill(TRyxStrings& store, const Lines& lines) {
  store.Clear();
  for (const std::string& line : lines) store.Add(line);
}

// What any loader must make of a file's bytes: NUL bytes dropped, every
// piece between two breaks ended by CR LF, the last piece by the marker.
Lines ExpectedLines(std::string bytes, std::string_view lineBreak) {
  if (bytes.find('\0') != std::string::npos) std::erase(bytes, '\0');
  Lines lines;
  std::size_t start = 0;
  for (std::size_t at; (at = bytes.find(lineBreak, start)) != std::string::npos; start = at + lineBreak.size())
    lines.push_back(bytes.substr(start, at - start) + "\r\n");
  lines.push_back(bytes.substr(start) + kMarker);
  return lines;
}

std::string Joined(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line;
  return text.substr(0, text.size() - 2);
}

}  // namespace

TEST(TRyxStrings, EveryIndexOutsideTheListRaisesTheListErrorAndChangesNothing) {
  const std::vector<std::function<void(TRyxStrings&)>> violations = {
      [](TRyxStrings& s) { s.Get(-1); },
      [](TRyxStrings& s) { s.Get(s.Count()); },
      [](TRyxStrings& s) { s.Put(s.Count(), "x"); },
      [](TRyxStrings& s) { s.Delete(-1); },
      [](TRyxStrings& s) { s.Delete(s.Count()); },
      [](TRyxStrings& s) { s.Insert(s.Count() + 1, "x"); },
      [](TRyxStrings& s) { s.Insert(-1, "x"); },
      [](TRyxStrings& s) { s.SetCount(-1); },
      [](TRyxStrings& s) { s.SetCount(TRyxStrings::kMaxCapacity + 1); },
      [](TRyxStrings& s) { s.SetCapacity(s.Count() - 1); },
      [](TRyxStrings& s) { s.SetCapacity(TRyxStrings::kMaxCapacity + 1); },
      [](TRyxStrings& s) { int i = s.Count() + 1; s.InsertText(i, "x"); },
  };
  const Lines lines = {"a\r\n", "b\r\n", "c\0\0"s};
  for (std::size_t i = 0; i < violations.size(); ++i) {
    TRyxStrings store;
    Fill(store, lines);
    try {
      violations[i](store);
      ADD_FAILURE() << "violation " << i << " passed";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), "インデックスがリストの範囲を超えています");
    }
    EXPECT_EQ(LinesOf(store), lines) << "violation " << i;
  }
}

TEST(TRyxStrings, InsertAndDeleteKeepTheOrderOfTheOtherLines) {
  TRyxStrings store;
  Fill(store, {"b", "d"});
  store.Insert(0, "a");
  store.Insert(2, "c");
  store.Insert(store.Count(), "e");  // at the count: appends
  EXPECT_EQ(LinesOf(store), (Lines{"a", "b", "c", "d", "e"}));
  store.Delete(1);
  store.Delete(store.Count() - 1);
  EXPECT_EQ(LinesOf(store), (Lines{"a", "c", "d"}));
  store.Put(1, "C");
  EXPECT_EQ(store.Get(1), "C");
}

TEST(TRyxStrings, CapacityGrowsByA128thOfTheCountButAtLeast32) {
  TRyxStrings store;
  store.Add("x");
  EXPECT_EQ(store.Capacity(), 32);
  store.SetCount(100);
  EXPECT_EQ(store.Capacity(), 100);
  store.Add("x");
  EXPECT_EQ(store.Capacity(), 132);  // 100 / 128 is below the minimum step
  store.SetCount(8192);
  store.Add("x");
  EXPECT_EQ(store.Capacity(), 8192 + 64);
  store.SetCapacity(8193);
  EXPECT_EQ(store.Capacity(), 8193);
  store.Clear();
  EXPECT_EQ(store.Count(), 0);
  EXPECT_EQ(store.Capacity(), 0);
}

TEST(TRyxStrings, SetCountDropsLinesAndAddsEmptyOnes) {
  TRyxStrings store;
  Fill(store, {"a\r\n", "b\r\n", "c\0\0"s});
  const int capacity = store.Capacity();
  store.SetCount(1);
  store.SetCount(3);
  EXPECT_EQ(LinesOf(store), (Lines{"a\r\n", "", ""}));
  EXPECT_EQ(store.Capacity(), capacity);
}

TEST(TRyxStrings, SetTextSplitsAfterEachTerminatorAndGetTextJoins) {
  struct Case {
    std::string text;
    Lines lines;
  };
  const Case cases[] = {
      {"A\r\nB\0\0"s, {"A\r\n", "B\0\0"s}},
      {"A\r\n\0\0"s, {"A\r\n", "\0\0"s}},  // a final break leaves an empty last line
      {"\0\0"s, {"\0\0"s}},
      {"AB", {"AB"}},                      // no terminator: the piece runs to the end
      {"A\r\r\nB\0\0"s, {"A\r\r\n", "B\0\0"s}},
      {"A\rB\r\nC\0\0"s, {"A\rB\r\n", "C\0\0"s}},
      {"eol\r\0\0"s, {"eol\r\0\0"s}},      // a CR before the marker is content
      {"A\0BC\0\0"s, {"A\0B"s, "C\0\0"s}}, // a NUL cuts the line with the byte after it
      {"A\r", {"A\r"}},
      {"\x82\xA0\r\n\x82\0\0"s, {"\x82\xA0\r\n", "\x82\0\0"s}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    TRyxStrings store;
    Fill(store, {"old\r\n", "old\0\0"s});
    store.SetText(c.text);
    EXPECT_EQ(LinesOf(store), c.lines);
    EXPECT_EQ(store.Capacity(), store.Count());
    // The text round-trips: what GetText gives, SetText with the marker restores.
    store.SetText(store.GetText() + kMarker);
    if (HasEndMarker(c.text)) {
      EXPECT_EQ(LinesOf(store), c.lines);
    }
  }
  TRyxStrings store;
  store.SetText("");
  EXPECT_EQ(store.Count(), 0);
  EXPECT_EQ(store.GetText(), "");
}

TEST(TRyxStrings, GetTextDropsOnlyARealEndMarker) {
  TRyxStrings store;
  Fill(store, {"A\r\n", "B\0\0"s});
  EXPECT_EQ(store.GetText(), "A\r\nB");
  Fill(store, {"A\r\n", "B"});  // a scratch list without the marker keeps every byte
  EXPECT_EQ(store.GetText(), "A\r\nB");
}

TEST(TRyxStrings, InsertTextPutsThePiecesInPlaceAndLeavesIndexOnTheLast) {
  TRyxStrings store;
  Fill(store, {"x\r\n", "y\0\0"s});
  int index = 1;
  store.InsertText(index, "1\r\n2\r\n3");
  EXPECT_EQ(LinesOf(store), (Lines{"x\r\n", "1\r\n", "2\r\n", "3", "y\0\0"s}));
  EXPECT_EQ(index, 3);
  EXPECT_EQ(store.Capacity(), store.Count());
  index = store.Count();
  store.InsertText(index, "z");
  EXPECT_EQ(store.Get(index), "z");
  EXPECT_EQ(index, 5);
  store.InsertText(index, "");
  EXPECT_EQ(index, 5);
  EXPECT_EQ(store.Count(), 6);
}

TEST(TRyxStrings, AssignAndAddStringsCopyEvenFromThemselves) {
  TRyxStrings a, b;
  Fill(a, {"1\r\n", "2\0\0"s});
  Fill(b, {"old"});
  b.Assign(a);
  EXPECT_EQ(LinesOf(b), LinesOf(a));
  b.Assign(b);
  EXPECT_EQ(LinesOf(b), LinesOf(a));
  b.AddStrings(b);
  EXPECT_EQ(LinesOf(b), (Lines{"1\r\n", "2\0\0"s, "1\r\n", "2\0\0"s}));
}

TEST(TRyxStrings, IndexOfComparesWholeStoredLines) {
  TRyxStrings store;
  Fill(store, {"A\r\n", "B\r\n", "A\r\n", "A\0\0"s});
  EXPECT_EQ(store.IndexOf("A"), -1);
  EXPECT_EQ(store.IndexOf("A\r\n"), 0);
  EXPECT_EQ(store.IndexOf("A\0\0"s), 3);
  EXPECT_EQ(store.IndexOf(""), -1);
}

TEST(TRyxStrings, CommaTextQuotesItemsWithSpacesOrCommas) {
  TRyxStrings store;
  Fill(store, {"a", "b c", "d,e", "", "q\"x"});
  EXPECT_EQ(store.GetCommaText(), "a,\"b c\",\"d,e\",,q\"x");
  struct Case {
    std::string text;
    Lines items;
  };
  const Case cases[] = {
      {"a,\"b c\",\"d,e\",,f", {"a", "b c", "d,e", "", "f"}},
      {"\"x y\"", {"x y"}},
      {"a\rb", {"a", "b"}},
      {"a\0b"s, {"a", "b"}},
      {"\"open", {"open"}},
      {"ab\"cd\"", {"ab", "cd"}},  // a quote also ends an unquoted item
      {"", {}},
  };
  for (const Case& c : cases) {
    store.SetCommaText(c.text);
    EXPECT_EQ(LinesOf(store), c.items) << testing::PrintToString(c.text);
  }
}

TEST(TRyxStrings, StreamsReadFromTheirPositionAndWriteTheText) {
  std::istringstream in("skip|A\r\nB\0\0"s);
  in.seekg(5);
  TRyxStrings store;
  store.LoadFromStream(in);
  EXPECT_EQ(LinesOf(store), (Lines{"A\r\n", "B\0\0"s}));
  std::ostringstream out;
  store.SaveToStream(out);
  EXPECT_EQ(out.str(), "A\r\nB");
  std::istringstream empty("");
  store.LoadFromStream(empty);
  EXPECT_EQ(store.Count(), 0);
  std::ostringstream broken;
  broken.setstate(std::ios::badbit);
  EXPECT_THROW(store.SaveToStream(broken), EInOutError);
}

TEST(TRyxStrings, LoadsEachBreakStyleIntoCRLFLinesAndSavesGetText) {
  struct Case {
    std::string file;
    Lines lines;
    std::string saved;
    bool nul;
  };
  const std::string x1023(1023, 'x');
  const Case cases[] = {
      {"", {"\0\0"s}, "", false},
      {"A\r\nB\r\n", {"A\r\n", "B\r\n", "\0\0"s}, "A\r\nB\r\n", false},
      {"A\nB", {"A\r\n", "B\0\0"s}, "A\r\nB", false},
      {"A\rB\r", {"A\r\n", "B\r\n", "\0\0"s}, "A\r\nB\r\n", false},
      {"single", {"single\0\0"s}, "single", false},
      {"X\nA\r\n", {"X\r\n", "A\r\r\n", "\0\0"s}, "X\r\nA\r\r\n", false},  // the CR stays content
      {"no\r\neol\r", {"no\r\n", "eol\r\0\0"s}, "no\r\neol\r", false},
      {"\x82\xA0\x82", {"\x82\xA0\x82\0\0"s}, "\x82\xA0\x82", false},       // lone lead byte at the end
      {"A\r\n\x82", {"A\r\n", "\x82\0\0"s}, "A\r\n\x82", false},
      {x1023 + "\r\nB", {x1023 + "\r\n", "B\0\0"s}, x1023 + "\r\nB", false},  // CR at byte 1024, LF after it
      {"A\r\nB\0C"s, {"A\r\n", "BC\0\0"s}, "A\r\nBC", true},
      {"A\0B\r\nC"s, {"AB\r\n", "\nC\0\0"s}, "AB\r\n\nC", true},  // a NUL first sends it to the CR loader
      {"A\n\0B"s, {"A\r\n", "B\0\0"s}, "A\r\nB", true},
      {"\0A\rB"s, {"A\r\n", "B\0\0"s}, "A\r\nB", true},
      {"\0\0\0"s, {"\0\0"s}, "", true},
  };
  TTempDir folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.file).substr(0, 60));
    TRyxStrings store;
    store.LoadFromFile(folder.WriteFile("in.txt", c.file));
    EXPECT_EQ(LinesOf(store), c.lines);
    EXPECT_EQ(store.LoadedNulBytes(), c.nul);
    const std::filesystem::path out = folder.Path() / "out.txt";
    store.SaveToFile(out);
    EXPECT_EQ(testdata::ReadBytes(out), c.saved);
    EXPECT_EQ(store.GetText(), c.saved);
  }
}

// Random bytes dense in breaks and NUL bytes, at sizes around the edges of
// the 16 KB window, must give the same lines as a plain split.
TEST(TRyxStrings, LoadersAgreeWithAPlainSplitAcrossWindowEdges) {
  std::mt19937 random(932);
  const char alphabet[] = {'a', '\r', '\n', '\0', '\x82', '\xA0'};
  std::uniform_int_distribution<int> pick(0, 5);
  TTempDir folder;
  for (const std::size_t size : {15871u, 15872u, 16383u, 16384u, 16385u, 32255u, 32256u, 32257u, 100000u}) {
    std::string bytes(size, 'a');
    for (char& b : bytes) b = alphabet[pick(random)];
    const std::filesystem::path path = folder.WriteFile("w.txt", bytes);
    struct Loader {
      void (TRyxStrings::*load)(const std::filesystem::path&);
      std::string_view lineBreak;
    };
    for (const Loader loader : {Loader{&TRyxStrings::LoadLFFile, "\n"}, Loader{&TRyxStrings::LoadCRFile, "\r"},
                                Loader{&TRyxStrings::LoadCRLFFile, "\r\n"}}) {
      TRyxStrings store;
      (store.*loader.load)(path);
      EXPECT_EQ(LinesOf(store), ExpectedLines(bytes, loader.lineBreak)) << size;
      EXPECT_TRUE(store.LoadedNulBytes());
      EXPECT_EQ(store.Capacity(), store.Count());
    }
  }
}

TEST(TRyxStrings, LoadsAHundredMegabyteFile) {
  std::string bytes;
  bytes.reserve(100u << 20);
  for (std::size_t i = 0; bytes.size() < (100u << 20); ++i)
    bytes += std::string(1 + (i * 7919) % 3000, static_cast<char>('a' + i % 26)) + "\x82\xA0\n";
  TTempDir folder;
  TRyxStrings store;
  store.LoadFromFile(folder.WriteFile("big.txt", bytes));
  const Lines expected = ExpectedLines(bytes, "\n");
  ASSERT_EQ(store.Count(), static_cast<int>(expected.size()));
  for (int i = 0; i < store.Count(); ++i) ASSERT_EQ(store.Get(i), expected[static_cast<std::size_t>(i)]) << "line " << i;
}

TEST(TRyxStrings, AFailedLoadRaisesAndLeavesTheStoreAsItWas) {
  TTempDir folder;
  TRyxStrings store;
  Fill(store, {"keep\0\0"s});
  for (const std::filesystem::path& name : {folder.Path() / "missing.txt", folder.Path()}) {
    try {
      store.LoadFromFile(name);
      ADD_FAILURE() << name;
    } catch (const EInOutError& e) {
      EXPECT_NE(e.Message().find(name.string()), std::string::npos) << e.Message();
    }
    EXPECT_EQ(LinesOf(store), (Lines{"keep\0\0"s}));
  }
}

TEST(TRyxStrings, AFailedSaveLeavesThePreviousFileIntact) {
  TTempDir folder;
  TRyxStrings store;
  store.SetText(std::string(1 << 20, 'y') + kMarker);
  EXPECT_THROW(store.SaveToFile(folder.Path()), EInOutError);  // a folder as the target
  EXPECT_TRUE(std::filesystem::is_directory(folder.Path()));
  EXPECT_THROW(store.SaveToFile(folder.Path() / "no" / "such.txt"), EInOutError);

  // A write that fails halfway: the file-size limit stops the temporary file.
  const std::filesystem::path target = folder.WriteFile("old.txt", "previous\r\n");
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(store.SaveToFile(target), EInOutError);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(testdata::ReadBytes(target), "previous\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);  // no temporary left
}

TEST(TRyxStrings, RealFilesLoadAsAPlainSplitAndSaveWithCRLF) {
  VERSELET_REQUIRE_TESTDATA();
  struct Case {
    const char* name;
    TLineBreakStyle style;  // the first break of each file, as SOURCES.md lists its bytes
  };
  const Case cases[] = {
      {"linebreaks/dos2unix_mac.txt", lbCR},         {"linebreaks/dos2unix_mac_dbl.txt", lbCR},
      {"linebreaks/dos2unix_noeol_mac.txt", lbCR},   {"linebreaks/dos2unix_mixed.txt", lbLF},
      {"linebreaks/dos2unix_eol_dosmac.txt", lbCRLF}, {"linebreaks/dos2unix_unix_bom.txt", lbLF},
      {"linebreaks/dos2unix_dos_bom.txt", lbCRLF},   {"linebreaks/dos2unix_empty.txt", lbEmpty},
      {"linebreaks/dos2unix_utf16.txt", lbCR},       {"sjis/aozora2html_chukiichiran_kinyurei.txt", lbCRLF},
      {"sjis/kenall_import-test.csv.txt", lbCRLF},   {"sjis/gotext_rashomon-shift-jis.txt", lbLF},
      {"sjis/encodingrs_shift_jis_in.txt", lbLF},    {"sjis/encodingrs_shift_jis_out_ref.txt", lbLF},
  };
  TTempDir folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::filesystem::path path = testdata::Dir() / c.name;
    const std::string bytes = testdata::ReadBytes(path);
    ASSERT_EQ(DetectLineBreak(path), c.style);
    const std::string_view lineBreak = c.style == lbCRLF ? "\r\n" : c.style == lbLF ? "\n" : "\r";
    const Lines expected = ExpectedLines(bytes, lineBreak);

    TRyxStrings store;
    store.LoadFromFile(path);
    EXPECT_EQ(LinesOf(store), expected);
    EXPECT_EQ(store.LoadedNulBytes(), bytes.find('\0') != std::string::npos);

    const std::filesystem::path saved = folder.Path() / "saved.txt";
    store.SaveToFile(saved);
    EXPECT_EQ(testdata::ReadBytes(saved), Joined(expected));
    if (c.style == lbCRLF) {
      EXPECT_EQ(testdata::ReadBytes(saved), bytes);  // CR LF files come back unchanged
    }
    TRyxStrings reloaded;
    reloaded.LoadFromFile(saved);
    EXPECT_EQ(LinesOf(reloaded), expected);
  }
}

// Only the first break decides, however long the first line: a CR LF file
// whose first line fills the first kilobyte still saves back unchanged.
TEST(TRyxStrings, TheFirstLineBreakDecidesTheStyleWhereverItLies) {
  struct Case {
    std::size_t firstLine;
    std::string rest;
    std::string_view lineBreak;
  };
  const Case cases[] = {
      {1023, "\r\nB\r\n", "\r\n"},  {1024, "\r\nB", "\r\n"},     {5000, "\r\nB\nC\rD", "\r\n"},
      {16383, "\r\nB", "\r\n"},       {16384, "\r\nB", "\r\n"},    {16383, "\rB\r\n", "\r"},
      {5000, "\nB\r\n", "\n"},        {5000, "\rB\nC", "\r"},      {5000, "\r", "\r"},
      {5000, "", "\r\n"},              {40000, "\r\n\r\n", "\r\n"},
  };
  TTempDir folder;
  for (const Case& c : cases) {
    const std::string bytes = std::string(c.firstLine, 'x') + c.rest;
    SCOPED_TRACE(std::to_string(c.firstLine) + testing::PrintToString(c.rest));
    TRyxStrings store;
    store.LoadFromFile(folder.WriteFile("long.txt", bytes));
    const Lines expected = ExpectedLines(bytes, c.lineBreak);
    EXPECT_EQ(LinesOf(store), expected);
    EXPECT_EQ(store.GetText(), Joined(expected));
    if (c.lineBreak == "\r\n") {
      EXPECT_EQ(store.GetText(), bytes);
    }
  }
}

// An owner that refuses binary files has the loaders stop at the first NUL
// byte: the rest is never read, however large.
TEST(TRyxStrings, StoppingAtANulKeepsOnlyTheTextBeforeIt) {
  using Load = void (*)(TRyxStrings&, const std::filesystem::path&);
  struct Case {
    Load load;
    std::string_view lineBreak;
  };
  constexpr auto kStop = TRyxStrings::TNulBytes::StopReading;
  const Case cases[] = {
      {[](TRyxStrings& s, const std::filesystem::path& p) { s.LoadFromFile(p, kStop); }, "\r\n"},
      {[](TRyxStrings& s, const std::filesystem::path& p) { s.LoadCRLFFile(p, kStop); }, "\r\n"},
      {[](TRyxStrings& s, const std::filesystem::path& p) { s.LoadLFFile(p, kStop); }, "\n"},
      {[](TRyxStrings& s, const std::filesystem::path& p) { s.LoadCRFile(p, kStop); }, "\r"},
  };
  const std::string text = "A\r\nB\nC\rD";
  TTempDir folder;
  for (const std::size_t at : {text.size(), std::size_t{16000}, std::size_t{(1u << 20) + 5}}) {
    std::string before = text + std::string(at - text.size(), 'x');
    const std::filesystem::path path = folder.WriteFile("nul.bin", before + "\0E\r\nF\0"s + text);
    // Far beyond the NUL the file goes on, unwritten, up to a gigabyte.
    std::filesystem::resize_file(path, 1u << 30);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(at) + " " + testing::PrintToString(std::string(c.lineBreak)));
      TRyxStrings store;
      c.load(store, path);
      EXPECT_TRUE(store.LoadedNulBytes());
      EXPECT_EQ(LinesOf(store), ExpectedLines(before, c.lineBreak));
    }
  }
}

TEST(TRyxStrings, AFileTooLargeForTheStoreIsRefusedBeforeItIsRead) {
  TTempDir folder;
  const std::filesystem::path path = folder.WriteFile("huge.txt", "A\r\n");
  const std::uint64_t size = TRyxStrings::kMaxFileBytes + 1;
  std::filesystem::resize_file(path, size);
  const std::vector<std::function<void(TRyxStrings&)>> loads = {
      [&](TRyxStrings& s) { s.LoadFromFile(path); },
      [&](TRyxStrings& s) { s.LoadCRLFFile(path); },
      [&](TRyxStrings& s) { s.LoadLFFile(path); },
      [&](TRyxStrings& s) { s.LoadCRFile(path); },
  };
  for (std::size_t i = 0; i < loads.size(); ++i) {
    TRyxStrings store;
    Fill(store, {"keep\0\0"s});
    try {
      loads[i](store);
      ADD_FAILURE() << "load " << i << " took the file";
    } catch (const EInOutError& e) {
      EXPECT_NE(e.Message().find(std::to_string(size)), std::string::npos) << e.Message();
      EXPECT_NE(e.Message().find(path.string()), std::string::npos) << e.Message();
    }
    EXPECT_EQ(LinesOf(store), (Lines{"keep\0\0"s})) << "load " << i;
  }
}

namespace {

// The store's lines and capacity, modelled by a vector and the written
// growth rules, under a fixed-seed random sequence of edits.
class TStoreModel {
 public:
  TStoreModel(TRyxStrings& store, Lines lines, int capacity) : FStore(store), FLines(std::move(lines)), FCapacity(capacity) {}

  void Step(std::mt19937& random) {
    const auto below = [&random](std::size_t n) { return static_cast<int>(random() % n); };
    const int count = static_cast<int>(FLines.size());
    const auto at = [&](int extra) { return below(static_cast<std::size_t>(count + extra)); };
    switch (below(12)) {
      case 0:
      case 1:
        if (count > 0) Put(at(0), Text(random, 6));
        break;
      case 2:
        if (count > 0) {
          // A view of the store's own bytes as the new line.
          const int i = at(0);
          const int j = at(0);
          FLines[static_cast<std::size_t>(i)] = FLines[static_cast<std::size_t>(j)];
          FStore.Put(i, FStore.Get(j));
        }
        break;
      case 3:
      case 4:
        Insert(at(1), Text(random, 6));
        break;
      case 5:
        Grow();
        FStore.Add(FLines.emplace_back(Text(random, 4)));
        break;
      case 6:
      case 7:
      case 8:
        if (count > 0) {
          const int i = at(0);
          FStore.Delete(i);
          FLines.erase(FLines.begin() + i);
        }
        break;
      case 9: {
        // Now and then a text long enough for a shared buffer of its own.
        const std::string text = Text(random, below(40) == 0 ? 20000 : 14);
        int index = at(1);
        const int first = index;
        FStore.InsertText(index, text);
        const Lines pieces = PlainSplit(text);
        FLines.insert(FLines.begin() + first, pieces.begin(), pieces.end());
        if (!pieces.empty()) {
          FCapacity = static_cast<int>(FLines.size());
          EXPECT_EQ(index, first + static_cast<int>(pieces.size()) - 1);
        }
        break;
      }
      case 10: {
        const int n = below(3) == 0 ? 0 : std::max(0, count + below(7) - 4);
        FStore.SetCount(n);
        FCapacity = std::max(FCapacity, n);
        FLines.resize(static_cast<std::size_t>(n));
        break;
      }
      default:
        if (below(8) == 0) {
          const std::string text = Text(random, below(4) == 0 ? 30000 : 40);
          FStore.SetText(text);
          FLines = PlainSplit(text);
          FCapacity = static_cast<int>(FLines.size());
        }
        break;
    }
  }

  void Check() const {
    ASSERT_EQ(LinesOf(FStore), FLines);
    ASSERT_EQ(FStore.Capacity(), FCapacity);
    std::string text;
    for (const std::string& line : FLines) text += line;
    if (!FLines.empty() && HasEndMarker(FLines.back())) text.resize(text.size() - 2);
    ASSERT_EQ(FStore.GetText(), text);
  }

  void Swap(TStoreModel& other) {
    FStore.Swap(other.FStore);
    std::swap(FLines, other.FLines);
    std::swap(FCapacity, other.FCapacity);
  }

 private:
  // Bytes dense in CR, LF and NUL, so that pieces are short and many.
  static std::string Text(std::mt19937& random, int maxLength) {
    static const char kBytes[] = {'a', 'b', '\r', '\n', '\0', '\x82', '\xA0', ' '};
    std::string text(random() % static_cast<unsigned>(maxLength + 1), 'a');
    for (char& c : text) c = kBytes[random() % sizeof kBytes];
    return text;
  }

  void Grow() {
    if (static_cast<int>(FLines.size()) == FCapacity) FCapacity += std::max(static_cast<int>(FLines.size()) / 128, 32);
  }

  void Put(int i, const std::string& line) {
    FStore.Put(i, line);
    FLines[static_cast<std::size_t>(i)] = line;
  }

  void Insert(int i, const std::string& line) {
    Grow();
    FStore.Insert(i, line);
    FLines.insert(FLines.begin() + i, line);
  }

  TRyxStrings& FStore;
  Lines FLines;
  int FCapacity;
};

}  // namespace

// Tiny blocks put every edit at a block edge: splits, joins, emptied blocks
// and shared buffers freed with their last line. Two stores swap now and
// then, each with its model.
TEST(TRyxStrings, RandomEditsOnTinyBlocksMatchAPlainVector) {
  for (const int blockLines : {2, 3, 4, 7}) {
    SCOPED_TRACE(blockLines);
    std::mt19937 random(static_cast<unsigned>(932 + blockLines));
    TRyxStrings a(blockLines);
    TRyxStrings b(blockLines + 1);
    TStoreModel first(a, {}, 0);
    TStoreModel second(b, {}, 0);
    for (int step = 0; step < 3000; ++step) {
      SCOPED_TRACE(step);
      first.Step(random);
      if (random() % 50 == 0) first.Swap(second);
      ASSERT_NO_FATAL_FAILURE(first.Check());
    }
    ASSERT_NO_FATAL_FAILURE(second.Check());
  }
}

// The real files, loaded into tiny blocks, then edited at random: the
// lines of a plain split of each file are the model.
TEST(TRyxStrings, RandomEditsOnLoadedRealFilesMatchAPlainSplit) {
  VERSELET_REQUIRE_TESTDATA();
  std::mt19937 random(1024);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(testdata::Dir())) {
    if (!entry.is_regular_file() || entry.path().filename() == "SOURCES.md") continue;
    SCOPED_TRACE(entry.path().string());
    const std::string bytes = testdata::ReadBytes(entry.path());
    const std::size_t brk = bytes.find_first_of(std::string_view("\r\n\0", 3));
    if (brk != std::string::npos && bytes[brk] == '\0') continue;  // binary: the plain split does not apply
    const std::string_view lineBreak = brk == std::string::npos                                    ? "\r\n"
                                       : bytes[brk] == '\n'                                        ? "\n"
                                       : brk + 1 < bytes.size() && bytes[brk + 1] == '\n' ? "\r\n"
                                                                                           : "\r";
    TRyxStrings store(5);
    store.LoadFromFile(entry.path());
    const Lines expected = bytes.empty() ? Lines{kMarker} : ExpectedLines(bytes, lineBreak);
    TStoreModel model(store, expected, bytes.empty() ? 32 : static_cast<int>(expected.size()));
    ASSERT_NO_FATAL_FAILURE(model.Check());
    for (int step = 0; step < 300; ++step) {
      SCOPED_TRACE(step);
      model.Step(random);
      ASSERT_NO_FATAL_FAILURE(model.Check());
    }
  }
}

namespace {

// Bytes dense in breaks, double-byte characters and NUL bytes, ended by the marker.
std::string MarkedText(std::mt19937& random, std::size_t maxLength) {
  static const char kBytes[] = {'a', 'b', '\r', '\n', '\r', '\n', '\0', '\x82', '\xA0', ' '};
  std::string text(random() % (maxLength + 1), 'a');
  for (char& c : text) c = kBytes[random() % sizeof kBytes];
  return text + kMarker;
}

std::string UpToNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

}  // namespace

// A store's text taken out and written again, line by line and changed
// here and there, into another store: the new store holds the lines of the
// text written (up to its first NUL, then the marker), the store set back
// from the taken text holds its lines again, and both stay whole while the
// other is edited after the taken text is gone (the sanitizers watch the
// shared buffers). Long texts go into shared buffers, short ones into
// lines of their own, and some lines are replaced so that both kinds mix.
TEST(TRyxStrings, ATextTakenOutRewritesIntoAnotherStoreAndGoesBack) {
  std::mt19937 random(4096);
  for (int round = 0; round < 120; ++round) {
    SCOPED_TRACE(round);
    TRyxStrings source(3);
    source.SetText(MarkedText(random, round % 20 == 0 ? 20000 : 60));
    for (int i = 0; i + 1 < source.Count(); i += 1 + static_cast<int>(random() % 4))
      source.Put(i, source.Get(static_cast<int>(random() % static_cast<unsigned>(source.Count() - 1))));
    Lines kept = LinesOf(source);
    std::string whole;
    for (const std::string& line : kept) whole += line;

    TRyxStrings target(4);
    std::string written;
    {
      TStoredText taken = source.TakeText();
      EXPECT_EQ(source.Count(), 0);
      EXPECT_EQ(taken.Size(), whole.size());
      TRyxStringsWriter out(target, taken);
      taken.ForEachLine([&](std::string_view line) {
        std::string made(line);
        switch (random() % 4) {
          case 0:
            made.erase(0, random() % (made.size() + 1));
            break;
          case 1:
            made.insert(0, "z\r");
            break;
          case 2: {
            // Cut between two writes.
            const std::size_t half = random() % (made.size() + 1);
            out.Write(std::string_view(made).substr(0, half), line);
            written += made.substr(0, half);
            made.erase(0, half);
            break;
          }
          default:
            break;
        }
        out.Write(made, line);
        written += made;
      });
      out.Finish();
      source.SetText(taken);
    }
    EXPECT_EQ(LinesOf(source), PlainSplit(whole));
    const Lines expected = PlainSplit(UpToNul(written) + kMarker);
    ASSERT_EQ(LinesOf(target), expected);
    EXPECT_EQ(target.Capacity(), target.Count());
    // The rows written count the logical lines they end, as the lookups by block need.
    const auto ends = std::count_if(expected.begin(), expected.end(), [](const std::string& line) { return line.ends_with("\r\n"); });
    EXPECT_EQ(target.LogicalLineOf(target.Count() - 1), ends);

    Lines model = PlainSplit(whole);
    Lines targetModel = expected;
    for (int step = 0; source.Count() > 0 || target.Count() > 0; ++step) {
      if (source.Count() > 0) {
        const int i = static_cast<int>(random() % static_cast<unsigned>(source.Count()));
        source.Delete(i);
        model.erase(model.begin() + i);
      }
      if (target.Count() > 0) {
        const int i = static_cast<int>(random() % static_cast<unsigned>(target.Count()));
        target.Delete(i);
        targetModel.erase(targetModel.begin() + i);
      }
      if (step % 64 != 0) continue;
      ASSERT_EQ(LinesOf(source), model);
      ASSERT_EQ(LinesOf(target), targetModel);
    }
  }
}

// A line written as it was, or cut only at its start or end, keeps the
// bytes of the line it was written from; a changed line gets a copy.
TEST(TRyxStrings, ARewrittenLineSharesTheBytesItRepeats) {
  TRyxStrings source;
  source.SetText(std::string(20000, 'a') + "\r\n[00:01:02]lyric\r\nplain\r\nend" + kMarker);
  TRyxStrings target;
  TStoredText taken = source.TakeText();
  std::vector<std::string_view> lines;
  taken.ForEachLine([&lines](std::string_view line) { lines.push_back(line); });
  ASSERT_EQ(lines.size(), 4u);
  TRyxStringsWriter out(target, taken);
  out.Write(lines[0], lines[0]);
  out.Write(lines[1].substr(10), lines[1]);
  out.Write("pla", lines[2]);
  out.Write("in!\r\n", lines[2]);
  out.Write(lines[3].substr(0, 3), lines[3]);
  out.Finish();
  ASSERT_EQ(LinesOf(target), (Lines{std::string(20000, 'a') + "\r\n", "lyric\r\n", "plain!\r\n", "end" + kMarker}));
  EXPECT_EQ(target.Get(0).data(), lines[0].data());
  EXPECT_EQ(target.Get(1).data(), lines[1].data() + 10);
  EXPECT_NE(target.Get(2).data(), lines[2].data());
}
