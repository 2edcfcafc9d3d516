// The editor control's properties, metrics, messages and document operations on the headless backend.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "platform/Exceptions.h"
#include "platform/RegisterWindowMessage.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/TempDir.h"

namespace {

using namespace std::string_literals;

// A control whose window lives on a headless host with the given cell height.
struct Fixture {
  explicit Fixture(int cellHeight = 16) : host(440, 265, 8, 16, cellHeight) { host.Attach(edit); }
  THeadlessHost host;
  TRyxEdit edit;
};

std::vector<std::string> StoredLines(const TRyxEdit& edit) {
  std::vector<std::string> lines;
  for (int i = 0; i < edit.Lines().Count(); ++i) lines.emplace_back(edit.Lines().Get(i));
  return lines;
}

TEST(RyxEditDefaults, ConstructorValues) {
  TRyxEdit edit;
  EXPECT_EQ(edit.Version(), "TRyxEdit Ver1.24");
  EXPECT_EQ(edit.Font().Name(), "FixedSys");
  EXPECT_EQ(edit.Font().Size(), 14);
  EXPECT_EQ(edit.TabCount(), 6);
  EXPECT_EQ(edit.LeftMargin(), 10);
  EXPECT_TRUE(edit.WordWrap());
  EXPECT_TRUE(edit.ShowCR());
  EXPECT_FALSE(edit.ShowTAB());
  EXPECT_EQ(edit.CREOFcolor(), clTeal);
  EXPECT_EQ(edit.Inyostr(), ">");
  EXPECT_EQ(edit.UndoBuf(), 0xF8000);
  EXPECT_EQ(StoredLines(edit), std::vector<std::string>{"\0\0"s});
  EXPECT_TRUE(edit.InsertMode());
  EXPECT_TRUE(edit.Timer().Enabled());
  EXPECT_EQ(edit.Timer().Interval(), 40);
}

TEST(RyxEditDefaults, SettersClampSilently) {
  TRyxEdit edit;
  const struct {
    void (TRyxEdit::*set)(int);
    int (TRyxEdit::*get)() const;
    int value;
    int stored;
  } cases[] = {
      {&TRyxEdit::SetTabCount, &TRyxEdit::TabCount, 0, 1},
      {&TRyxEdit::SetTabCount, &TRyxEdit::TabCount, 20, 8},
      {&TRyxEdit::SetTopMargin, &TRyxEdit::TopMargin, -5, 0},
      {&TRyxEdit::SetTopMargin, &TRyxEdit::TopMargin, 99, 30},
      {&TRyxEdit::SetLeftMargin, &TRyxEdit::LeftMargin, -5, 0},
      {&TRyxEdit::SetLeftMargin, &TRyxEdit::LeftMargin, 99, 30},
      {&TRyxEdit::SetColumn, &TRyxEdit::Column, 3, 10},
      {&TRyxEdit::SetLineNoColumn, &TRyxEdit::LineNoColumn, 9, 5},
      {&TRyxEdit::SetLineNoColumn, &TRyxEdit::LineNoColumn, 0, 1},
      {&TRyxEdit::SetLineSpace, &TRyxEdit::LineSpace, 250, 100},
      {&TRyxEdit::SetLineSpace, &TRyxEdit::LineSpace, -3, 0},
  };
  for (const auto& c : cases) {
    (edit.*c.set)(c.value);
    EXPECT_EQ((edit.*c.get)(), c.stored) << "value " << c.value;
  }
}

TEST(RyxEditDefaults, ColoursAreStoredAsRgb) {
  TRyxEdit edit;
  edit.SetSelColor(clWindowText);
  EXPECT_EQ(edit.SelColor(), ColorToRGB(clWindowText));
  EXPECT_EQ(edit.SelColor() & 0xFF000000, 0u);
  TFont font;
  font.SetColor(clHighlight);
  edit.SetFont(font);
  EXPECT_EQ(edit.Font().Color(), ColorToRGB(clHighlight));
}

TEST(RyxEditMetrics, LineSpacingInBothUnits) {
  Fixture f(19);
  f.edit.SetLineSpace(10);
  EXPECT_EQ(f.edit.LineHeight(), 21);  // 1.9 rounds to 2
  f.edit.SetLineSpaceUnit(TLineSizeUnit::uPixel);
  EXPECT_EQ(f.edit.LineHeight(), 29);
}

TEST(RyxEditMetrics, PercentSpacingRoundsHalfToEven) {
  Fixture f(25);
  f.edit.SetLineSpace(10);
  EXPECT_EQ(f.edit.LineHeight(), 27);  // 2.5 rounds to 2
  f.edit.SetLineSpace(30);
  EXPECT_EQ(f.edit.LineHeight(), 33);  // 7.5 rounds to 8
}

TEST(RyxEditMetrics, MarkSizesAndColumnsFromTheFont) {
  Fixture f(19);
  EXPECT_EQ(f.edit.FontHeight(), 19);
  EXPECT_EQ(f.edit.CharWidth(), 8);
  EXPECT_EQ(f.edit.MarkHeight(), 15);  // 15.2
  EXPECT_EQ(f.edit.MarkGap(), 4);      // 3.8
  EXPECT_EQ(f.edit.MaxColumns(), (32767 / 8) / 2);
  EXPECT_EQ(f.edit.ZenWidth(), 16);
  EXPECT_EQ(f.edit.HanWidth(), 8);
}

// The marks take four fifths of the cell below a fifth of it, at every cell
// height a font of the settings file can give.
TEST(RyxEditMetrics, MarkSizesFollowTallCells) {
  struct TCase {
    int CellHeight, Height, Gap;
  };
  for (const TCase c : {TCase{19, 15, 4}, TCase{319, 255, 64}, TCase{320, 256, 64}, TCase{400, 320, 80},
                        TCase{1000, 800, 200}}) {
    Fixture f(c.CellHeight);
    EXPECT_EQ(f.edit.MarkHeight(), c.Height) << c.CellHeight;
    EXPECT_EQ(f.edit.MarkGap(), c.Gap) << c.CellHeight;
  }
}

TEST(RyxEditMetrics, VisibleLinesFollowTheTextArea) {
  Fixture f;  // row pitch 16 + 2
  EXPECT_EQ(f.edit.LineHeight(), 18);
  EXPECT_EQ(f.edit.VisibleLines(), (265 - 4) / 18);
  f.host.Resize(440, 40);
  EXPECT_EQ(f.edit.VisibleLines(), 2);
}

TEST(RyxEditMetrics, GutterWidthAndTextOrigin) {
  Fixture f;
  f.edit.SetShowLineNumber(true);
  f.edit.SetLeftMargin(2);
  f.edit.SetLineNoColumn(5);
  f.edit.Redesign();
  EXPECT_EQ(f.edit.GutterWidth(), 47);
  EXPECT_EQ(f.edit.TextLeft(), 49);
  f.edit.SetShowLineNumber(false);
  f.edit.Redesign();
  EXPECT_EQ(f.edit.GutterWidth(), 0);
  EXPECT_EQ(f.edit.TextLeft(), 2);
}

TEST(RyxEditMetrics, GutterGrowsWithTheLineCount) {
  Fixture f;
  f.edit.SetShowLineNumber(true);
  f.edit.SetLeftMargin(2);
  f.edit.SetLineNoColumn(1);
  f.edit.Redesign();
  EXPECT_EQ(f.edit.TextLeft(), 2 + 8 + 7);
  std::string text;
  for (int i = 0; i < 99999; ++i) text += "x\r\n";
  f.edit.SetAllText(text);
  // "100000" is 48 px wide: the gutter grows in steps of 10 until it fits.
  EXPECT_GE(f.edit.TextLeft(), 48 + 2 + 7);
  EXPECT_EQ((f.edit.TextLeft() - 17) % 10, 0);
}

TEST(RyxEditMetrics, RedesignWithoutAWindowDoesNothing) {
  TRyxEdit edit;
  edit.SetShowLineNumber(true);
  edit.Redesign();
  EXPECT_EQ(edit.FontHeight(), 0);
  EXPECT_EQ(edit.GutterWidth(), 0);
}

TEST(RyxEditWindow, CreationParametersFollowTheProperties) {
  THeadlessHost host;
  TRyxEdit edit;
  edit.SetBorderStyle(TBorderStyle::bsSingle);
  edit.SetHorzScrollBar(true);
  host.Attach(edit);
  EXPECT_EQ(host.Params().ExStyle & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
  EXPECT_EQ(host.Params().Style & WS_BORDER, 0u);
  EXPECT_NE(host.Params().Style & WS_VSCROLL, 0u);
  EXPECT_NE(host.Params().Style & WS_HSCROLL, 0u);
  EXPECT_EQ(edit.LogFont().lfHeight, 19);
  EXPECT_EQ(edit.LogFont().lfPitchAndFamily, FIXED_PITCH);
  EXPECT_EQ(edit.LogFont().lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(host.HeadlessCanvas().Font().lfFaceName, "FixedSys");
}

TEST(RyxEditWindow, FocusCreatesTheCaretAndRunsTheTimer) {
  Fixture f;
  f.edit.Perform(WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(f.edit.Timer().Enabled());
  EXPECT_FALSE(f.host.Caret().Created());
  f.edit.Perform(WM_SETFOCUS, 0, 0);
  EXPECT_TRUE(f.edit.Timer().Enabled());
  EXPECT_TRUE(f.host.Caret().Visible());
  EXPECT_EQ(f.host.Caret().Width(), 2);
  EXPECT_EQ(f.host.Caret().Height(), 16);
  EXPECT_EQ(f.host.Caret().X(), f.edit.TextLeft());
  EXPECT_EQ(f.host.Caret().Y(), f.edit.TopMargin());
  EXPECT_EQ(f.host.CompositionForm().dwStyle, CFS_POINT);
  EXPECT_EQ(f.host.CompositionFont().lfHeight, 19);
}

TEST(RyxEditWindow, ResetStateAnnouncesACleanHistory) {
  Fixture f;
  std::vector<std::string> events;
  f.edit.OnChangeModify = [&](TObject*, bool modified) { events.push_back(modified ? "mod+" : "mod-"); };
  f.edit.OnChangeRedoMode = [&](TObject*, bool redo) { events.push_back(redo ? "redo+" : "redo-"); };
  f.edit.SetAllText("abc");
  EXPECT_EQ(events, (std::vector<std::string>{"mod-", "redo-"}));
}

TEST(RyxEditMessages, FreshControl) {
  Fixture f;
  EXPECT_EQ(f.edit.Perform(WM_GETTEXTLENGTH, 0, 0), 0);
  EXPECT_EQ(f.edit.Perform(EM_GETLINECOUNT, 0, 0), 1);
  std::array<char, 16> buffer{};
  const WORD size = 10;
  std::memcpy(buffer.data(), &size, sizeof size);
  EXPECT_EQ(f.edit.Perform(EM_GETLINE, 0, reinterpret_cast<LPARAM>(buffer.data())), 0);
  EXPECT_EQ(f.edit.Perform(EM_LINELENGTH, 0, 0), 0);
  EXPECT_EQ(f.edit.Perform(EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST(RyxEditMessages, LineLengthAndLineText) {
  Fixture f;
  f.edit.SetAllText("ab\r\nc");
  EXPECT_EQ(f.edit.Perform(EM_LINELENGTH, 0, 0), 4);
  EXPECT_EQ(f.edit.Perform(EM_LINELENGTH, 1, 0), 1);
  EXPECT_EQ(f.edit.Perform(EM_LINELENGTH, 7, 0), 0);
  std::array<char, 16> buffer{};
  buffer.fill('#');
  WORD size = 10;
  std::memcpy(buffer.data(), &size, sizeof size);
  EXPECT_EQ(f.edit.Perform(EM_GETLINE, 0, reinterpret_cast<LPARAM>(buffer.data())), 4);
  EXPECT_EQ(std::string(buffer.data(), 5), "ab\r\n#");
  size = 1;
  std::memcpy(buffer.data(), &size, sizeof size);
  EXPECT_EQ(f.edit.Perform(EM_GETLINE, 1, reinterpret_cast<LPARAM>(buffer.data())), 1);
  EXPECT_EQ(buffer[0], 'c');
  EXPECT_EQ(f.edit.Perform(EM_GETLINE, 0, 0), 0);
}

TEST(RyxEditMessages, NegativeLineIndexIsAnIndexError) {
  Fixture f;
  EXPECT_THROW(f.edit.Perform(EM_LINELENGTH, static_cast<WPARAM>(-1), 0), EListError);
}

TEST(RyxEditMessages, GetTextCopiesAtMostTheBufferLessOne) {
  Fixture f;
  f.edit.SetAllText("hello\r\nworld");
  EXPECT_EQ(f.edit.Perform(WM_GETTEXTLENGTH, 0, 0), 12);
  std::array<char, 8> small{};
  EXPECT_EQ(f.edit.Perform(WM_GETTEXT, small.size(), reinterpret_cast<LPARAM>(small.data())), 7);
  EXPECT_STREQ(small.data(), "hello\r\n");
  std::array<char, 64> large{};
  EXPECT_EQ(f.edit.Perform(WM_GETTEXT, large.size(), reinterpret_cast<LPARAM>(large.data())), 12);
  EXPECT_STREQ(large.data(), "hello\r\nworld");
}

TEST(RyxEditMessages, DialogCodeHonoursWantTabs) {
  Fixture f;
  EXPECT_EQ(f.edit.Perform(WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB);
  f.edit.SetWantTabs(false);
  EXPECT_EQ(f.edit.Perform(WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

TEST(RyxEditMessages, ClearEmptiesTheWholeDocument) {
  Fixture f;
  f.edit.SetAllText("one\r\ntwo");
  f.edit.Perform(EM_SETSEL, MakeLong(1, 0), MakeLong(2, 0));
  ASSERT_TRUE(f.edit.SelActive());
  f.edit.Perform(WM_CLEAR, 0, 0);
  EXPECT_EQ(StoredLines(f.edit), std::vector<std::string>{"\0\0"s});
  EXPECT_FALSE(f.edit.SelActive());
  EXPECT_EQ(f.edit.CaretLine(), 0);
}

TEST(RyxEditMessages, SetSelPastATerminatorMovesToTheNextLine) {
  Fixture f;
  f.edit.SetAllText("ab\r\ncd");
  // Column 4 is the whole stored length of "ab\r\n".
  f.edit.Perform(EM_SETSEL, MakeLong(0, 0), MakeLong(4, 0));
  EXPECT_EQ(f.edit.CaretLine(), 1);
  EXPECT_EQ(f.edit.CaretCol(), 0);
  EXPECT_EQ(f.edit.SelStart(), (TPoint{0, 0}));
  DWORD start = 0;
  DWORD end = 0;
  const LRESULT length =
      f.edit.Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, MakeLong(0, 0));
  EXPECT_EQ(end, MakeLong(0, 1));
  EXPECT_EQ(length, 4);
}

TEST(RyxEditMessages, SelectionWithinOneLine) {
  Fixture f;
  f.edit.SetAllText("abcdef");
  f.edit.Perform(EM_SETSEL, MakeLong(1, 0), MakeLong(4, 0));
  DWORD start = 0;
  DWORD end = 0;
  EXPECT_EQ(f.edit.Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)), 3);
  EXPECT_EQ(f.edit.CaretCol(), 4);
}

TEST(RyxEditMessages, RegisteredCaretMessages) {
  Fixture f;
  EXPECT_EQ(f.edit.MsgGetCaretPos(), RegisterWindowMessage("WM_TRYXEDIT_GETCARETPOS"));
  EXPECT_EQ(f.edit.MsgSetCaretPos(), RegisterWindowMessage("WM_TRYXEDIT_SETCARETPOS"));
  EXPECT_NE(f.edit.MsgGetCaretPos(), f.edit.MsgSetCaretPos());
  // Line 1 holds "a" and a double-byte character at columns 1..2.
  f.edit.SetAllText("xyz\r\na\x82\xA0" "b");
  EXPECT_EQ(f.edit.Perform(f.edit.MsgSetCaretPos(), 0, MakeLong(2, 1)), 0);
  EXPECT_EQ(f.edit.CaretLine(), 1);
  EXPECT_EQ(f.edit.CaretCol(), 1);  // the trail byte gives way to its lead byte
  EXPECT_EQ(f.edit.Perform(f.edit.MsgGetCaretPos(), 0, 0), MakeLong(1, 1));
  f.edit.Perform(f.edit.MsgSetCaretPos(), 0, MakeLong(3, 500));
  EXPECT_EQ(f.edit.CaretLine(), 1);
  EXPECT_EQ(f.edit.CaretCol(), 3);
}

TEST(RyxEditMessages, SetCaretPosReportsScrolling) {
  Fixture f;
  std::string text;
  for (int i = 0; i < 200; ++i) text += "line\r\n";
  f.edit.SetAllText(text);
  EXPECT_EQ(f.edit.Perform(f.edit.MsgSetCaretPos(), 0, MakeLong(0, 5)), 0);
  EXPECT_EQ(f.edit.TopLine(), 0);
  EXPECT_EQ(f.edit.Perform(f.edit.MsgSetCaretPos(), 0, MakeLong(0, 150)), 1);
  EXPECT_GT(f.edit.TopLine(), 0);
  EXPECT_LE(f.edit.TopLine(), 150);
  EXPECT_EQ(f.edit.Perform(EM_GETFIRSTVISIBLELINE, 0, 0), f.edit.TopLine());
}

TEST(RyxEditMessages, CopyPutsTheSelectionOnTheClipboard) {
  Fixture f;
  f.edit.SetAllText("ab\r\n\x82\xA0" "cd");
  f.host.SetClipboard("before");
  f.edit.Perform(WM_COPY, 0, 0);
  EXPECT_EQ(f.host.Clipboard(), "before");  // nothing selected: nothing copied
  f.edit.Perform(EM_SETSEL, MakeLong(1, 0), MakeLong(2, 1));
  f.edit.Perform(WM_COPY, 0, 0);
  EXPECT_EQ(f.host.Clipboard(), "b\r\n\x82\xA0");
  EXPECT_EQ(f.edit.GetAllText(), "ab\r\n\x82\xA0" "cd");
}

TEST(RyxEditMessages, AKeyTakenByTheOwnerIsNotActedOn) {
  Fixture f;
  f.edit.SetAllText("abc");
  std::vector<WORD> seen;
  f.edit.OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    seen.push_back(key);
    if (key == VK_RIGHT) key = 0;
  };
  f.edit.Perform(WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(f.edit.CaretCol(), 0);
  f.edit.Perform(WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(f.edit.CaretCol(), 3);
  EXPECT_EQ(seen, (std::vector<WORD>{VK_RIGHT, VK_END}));
}

TEST(RyxEditMessages, TheOwnerRedrawsOverEveryRowAnEditRepaints) {
  Fixture f;
  f.edit.SetWordWrap(false);
  f.edit.SetAllText("one\r\ntwo");
  f.edit.Perform(WM_KEYDOWN, VK_DOWN, 0);
  f.edit.Perform(WM_KEYDOWN, VK_END, 0);
  std::vector<std::pair<int, int>> rows;
  f.edit.OnUserClientDraw = [&](TObject*, int, int, int L1, int L2) { rows.emplace_back(L1, L2); };
  const auto covered = [&](int row) {
    return std::any_of(rows.begin(), rows.end(), [row](auto r) { return r.first <= row && row <= r.second; });
  };
  f.host.SetKeyDown(VK_SHIFT, true);
  f.edit.Perform(WM_KEYDOWN, VK_LEFT, 0);
  f.edit.Perform(WM_KEYDOWN, VK_LEFT, 0);
  f.host.SetKeyDown(VK_SHIFT, false);
  rows.clear();
  f.edit.Perform(WM_KEYDOWN, VK_BACK, 0);
  ASSERT_EQ(f.edit.GetAllText(), "one\r\nt");
  EXPECT_TRUE(covered(1));
  rows.clear();
  f.edit.Undo();
  ASSERT_EQ(f.edit.GetAllText(), "one\r\ntwo");
  EXPECT_TRUE(covered(1));
}

TEST(RyxEditMessages, PackPositionLimits) {
  EXPECT_EQ(PackPosition(3, 70000), MakeLong(3, 32767));
  EXPECT_EQ(PackPosition(0xFFFF, 1), MakeLong(0xFFFF, 1));
  EXPECT_THROW(PackPosition(65536, 0), ERangeError);
}

TEST(RyxEditDocument, SetAllTextNormalisesTheEnd) {
  Fixture f;
  const struct {
    std::string in;
    std::vector<std::string> lines;
    std::string back;
  } cases[] = {
      {"", {"\0\0"s}, ""},
      {"A\r\nB", {"A\r\n", "B\0\0"s}, "A\r\nB"},
      {"A\r\n", {"A\r\n", "\0\0"s}, "A\r\n"},
      {"\0abc"s, {"\0\0"s}, ""},
      {"A\0"s, {"A\0\0"s}, "A"},
      {"A\0\0"s, {"A\0\0"s}, "A"},
  };
  for (const auto& c : cases) {
    f.edit.SetAllText(c.in);
    EXPECT_EQ(StoredLines(f.edit), c.lines);
    EXPECT_EQ(f.edit.GetAllText(), c.back);
  }
}

TEST(RyxEditDocument, LoadConvertsBreaksAndSaveWritesCrLf) {
  Fixture f;
  const TTempDir folder;
  ASSERT_TRUE(f.edit.LoadFromFile(folder.WriteFile("lf.txt", "A\nB")));
  EXPECT_EQ(f.edit.GetAllText(), "A\r\nB");
  const auto out = folder.Path() / "out.txt";
  ASSERT_TRUE(f.edit.SaveToFile(out));
  EXPECT_EQ(TTempDir::ReadFile(out), "A\r\nB");
}

TEST(RyxEditDocument, FailedLoadsKeepTheDocumentAndSayWhy) {
  Fixture f;
  f.edit.SetAllText("keep");
  const TTempDir folder;
  EXPECT_FALSE(f.edit.LoadFromFile(folder.Path() / "no_such_file"));
  EXPECT_EQ(f.edit.GetAllText(), "keep");
  EXPECT_FALSE(f.edit.LastFileError().empty());
  EXPECT_FALSE(f.edit.LoadFromFile(folder.Path()));
  EXPECT_EQ(f.edit.GetAllText(), "keep");
}

TEST(RyxEditDocument, BinaryFilesAreRefused) {
  Fixture f;
  const TTempDir folder;
  EXPECT_FALSE(f.edit.LoadFromFile(folder.WriteFile("binary.bin", "PK\x03\x04\0\0\r\nrest"s)));
  EXPECT_NE(f.edit.LastFileError().find("NUL"), std::string::npos);
  EXPECT_EQ(StoredLines(f.edit), std::vector<std::string>{"\0\0"s});
}

TEST(RyxEditDocument, FailedSaveIsReported) {
  Fixture f;
  f.edit.SetAllText("text");
  const TTempDir folder;
  EXPECT_FALSE(f.edit.SaveToFile(folder.Path() / "no_such_dir" / "x.txt"));
  EXPECT_FALSE(f.edit.LastFileError().empty());
}

TEST(RyxEditDocument, ReplacingTheDocumentReturnsTheViewToTheTop) {
  Fixture f;
  std::string text;
  for (int i = 0; i < 100; ++i) text += "row\r\n";
  f.edit.SetAllText(text);
  f.edit.Perform(f.edit.MsgSetCaretPos(), 0, MakeLong(2, 90));
  ASSERT_GT(f.edit.TopLine(), 0);
  f.edit.ClearAll();
  EXPECT_EQ(f.edit.TopLine(), 0);
  EXPECT_EQ(f.edit.CaretLine(), 0);
  EXPECT_EQ(f.edit.CaretCol(), 0);
  EXPECT_EQ(f.host.ScrollBar(SB_VERT).Pos, 0);
}

}  // namespace
