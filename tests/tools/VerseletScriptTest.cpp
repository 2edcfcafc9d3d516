// Tests of verselet-script, run as a program on scripts given on standard input or as a file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/TempDir.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

struct TRun {
  int Status = -1;
  std::string Out;
  std::string Err;
};

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

std::filesystem::path Driver() { return std::filesystem::path(VERSELET_BIN_DIR) / "verselet-script"; }

// Runs the driver on script, from standard input or as a file argument.
TRun RunDriver(const TTempDir& dir, const std::string& script, bool asFile = false) {
  const std::filesystem::path input = dir.WriteFile("input.vscript", script);
  const std::filesystem::path out = dir.Path() / "out.txt";
  const std::filesystem::path err = dir.Path() / "err.txt";
  const std::string command = Quoted(Driver()) + (asFile ? " " : " < ") + Quoted(input) + " > " + Quoted(out) +
                              " 2> " + Quoted(err);
  const int status = std::system(command.c_str());
  TRun run;
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Out = TTempDir::ReadFile(out);
  run.Err = TTempDir::ReadFile(err);
  return run;
}

class VerseletScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(Driver())) GTEST_SKIP() << "verselet-script is not built";
  }

  // Runs a script that must succeed, and returns its output.
  std::string Output(const std::string& script) {
    const TRun run = RunDriver(FDir, script);
    EXPECT_EQ(run.Status, 0) << run.Out << run.Err;
    EXPECT_EQ(run.Err, "");
    return run.Out;
  }

  TTempDir FDir;
};

TEST_F(VerseletScriptTest, StringEscapesGiveTheirBytes) {
  EXPECT_EQ(Output("new\ncall SetAllText \"a\\tb\\\\c\\\"d\\r\\ne\\x41\\x7f\\xFF\"\ncall GetAllText\n"),
            "result=\"a\\u0009b\\\\c\\\"d\\u000d\\u000aeA\\u007f\\u00ff\"\n");
}

TEST_F(VerseletScriptTest, Utf8TextBecomesCodePage932) {
  // あ 0x82A0, 漢 0x8ABF, half-width ｱ 0xB1, full-width space 0x8140.
  EXPECT_EQ(Output("new\ncall SetAllText \"あ漢ｱ\u3000!\"\ncall GetAllText\n"),
            "result=\"\\u0082\\u00a0\\u008a\\u00bf\\u00b1\\u0081@!\"\n");
}

TEST_F(VerseletScriptTest, FileAndFontNamesStayUtf8) {
  TTempDir files;
  const std::filesystem::path source = files.WriteFile("歌詞.txt", "one\ntwo\n");
  const std::filesystem::path target = files.Path() / "保存.lrc";
  const std::string out = Output("new\ncall LoadFromFile \"" + source.string() + "\"\ncall SaveToFile \"" +
                                 target.string() + "\"\nset FontName \"ＭＳ ゴシック\"\nget FontName\n");
  EXPECT_EQ(out, "result=1\nresult=1\nFontName=\"ＭＳ ゴシック\"\n");
  EXPECT_EQ(TTempDir::ReadFile(target), "one\r\ntwo\r\n");
}

TEST_F(VerseletScriptTest, CommentsAndBlankLinesAreSkipped) {
  EXPECT_EQ(Output("# a script\n\n   \nnew # make one\n\t# indented comment\ncall SetAllText \"a#b\" # not text\n"
                   "call GetAllText\n"),
            "result=\"a#b\"\n");
}

TEST_F(VerseletScriptTest, ScriptFaultsNameTheirLinesAndNothingRuns) {
  const TRun run = RunDriver(FDir,
                       "new\n# comment\nget TabCount\nfrobnicate 1\nset TabCount \"x\"\nnew 100\n"
                       "call SetAllText \"bad \\q escape\"\ncall SetAllText \"open\nkey Ctrl+Nope\n");
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Out, "");
  for (const char* line : {":4: unknown command", ":5: ", ":6: ", ":7: unknown escape", ":8: string is not closed",
                           ":9: unknown key"})
    EXPECT_THAT(run.Err, HasSubstr(line));
  EXPECT_THAT(run.Err, Not(HasSubstr(":3:")));
}

TEST_F(VerseletScriptTest, StringsThatCannotBeEncodedAreScriptFaults) {
  for (const char* bad : {"\\x4", "\\xZZ", "\xFF\xFE", "\xF0\x9F\x98\x80", "tail\\"}) {
    const TRun run = RunDriver(FDir, std::string("new\ncall SetAllText \"") + bad + "\"\n");
    EXPECT_EQ(run.Status, 2) << bad;
    EXPECT_THAT(run.Err, HasSubstr(":2: ")) << bad;
  }
}

TEST_F(VerseletScriptTest, WrongArgumentsAreScriptFaults) {
  for (const char* line : {"get", "get TabCount 1", "set TabCount", "msg", "msg EM_NOPE", "call", "call GetAllText 1",
                           "call SetAllText", "mouse down 1", "mouse drag 1 2", "mouse down 1 2 left right",
                           "set CaretLine 3", "set LineSpaceUnit uInches", "set WordWrap 2", "set Color -1",
                           "tick x", "focus maybe", "msg EM_GETLINE 0 70000", "set Inyostr 5"}) {
    const TRun run = RunDriver(FDir, std::string("new\n") + line + "\n");
    EXPECT_EQ(run.Status, 2) << line;
    EXPECT_THAT(run.Err, HasSubstr(":2: ")) << line;
  }
}

TEST_F(VerseletScriptTest, ControlErrorsPrintAnErrorLineAndTheScriptGoesOn) {
  const TRun run = RunDriver(FDir, "get TabCount\nnew\nmsg EM_LINELENGTH -1\nget TabCount\n");
  EXPECT_EQ(run.Status, 1);
  EXPECT_THAT(run.Out, StartsWith("error: line 1: no control yet"));
  EXPECT_THAT(run.Out, HasSubstr("\nerror: line 3: "));
  EXPECT_THAT(run.Out, HasSubstr("\nTabCount=6\n"));
}

TEST_F(VerseletScriptTest, ScriptFileArgumentMatchesStandardInput) {
  const std::string script = "new\ncall SetAllText \"x\"\ndump\n";
  const TRun fromFile = RunDriver(FDir, script, true);
  EXPECT_EQ(fromFile.Status, 0);
  EXPECT_EQ(fromFile.Out, Output(script));
  const int missing = std::system((Quoted(Driver()) + " " + Quoted(FDir.Path() / "none") + " 2>/dev/null").c_str());
  EXPECT_EQ(WEXITSTATUS(missing), 2);
}

TEST_F(VerseletScriptTest, FreshControlAnswersTheEditMessages) {
  EXPECT_EQ(Output("new\nmsg WM_GETTEXTLENGTH\nmsg EM_GETLINECOUNT\nmsg EM_GETLINE 0 10\nmsg EM_LINELENGTH 0\n"
                   "msg WM_GETTEXT 10\nmsg EM_GETSEL\nmsg WM_TRYXEDIT_GETCARETPOS\n"),
            "result=0\nresult=1\nresult=0 text=\"\"\nresult=0\nresult=0 text=\"\"\n"
            "result=0 start=0:0 end=0:0\nresult=0 pos=0:0\n");
}

TEST_F(VerseletScriptTest, LineMessagesCountTheLineBreak) {
  EXPECT_EQ(Output("new\ncall SetAllText \"ab\\r\\nc\"\nmsg EM_LINELENGTH 0\nmsg EM_LINELENGTH 1\n"
                   "msg EM_LINELENGTH 2\nmsg EM_GETLINE 0 10\nmsg EM_GETLINE 0 3\nmsg EM_GETLINE 1 10\n"
                   "msg EM_GETLINE 0 0\nmsg EM_GETLINECOUNT\nmsg WM_GETTEXTLENGTH\nmsg WM_GETTEXT 3\n"
                   "msg WM_GETTEXT 0\n"),
            "result=4\nresult=1\nresult=0\nresult=4 text=\"ab\\u000d\\u000a\"\nresult=3 text=\"ab\\u000d\"\n"
            "result=1 text=\"c\"\nresult=0 text=\"\"\nresult=2\nresult=5\nresult=2 text=\"ab\"\nresult=0 text=\"\"\n");
}

TEST_F(VerseletScriptTest, PositionsArePackedAsLineColon) {
  EXPECT_EQ(Output("new\ncall SetAllText \"ab\\r\\nc\"\nmsg EM_SETSEL 0:1 1:1\nmsg EM_GETSEL\n"
                   "msg WM_TRYXEDIT_SETCARETPOS 0 9:0\nmsg WM_TRYXEDIT_GETCARETPOS\n"),
            "result=0\nresult=4 start=0:1 end=1:1\nresult=0\nresult=65536 pos=1:0\n");
}

TEST_F(VerseletScriptTest, PropertiesGoThroughTheControlsSetters) {
  EXPECT_EQ(Output("new\nset TabCount 20\nget TabCount\nset tabcount 0\nget TabCount\nset TopMargin -5\n"
                   "get TopMargin\nset LineSpaceUnit uPixel\nget LineSpaceUnit\nset LineSpaceUnit 0\n"
                   "get LineSpaceUnit\nset BorderStyle bsSingle\nget BorderStyle\nset WordWrap false\n"
                   "get WordWrap\nset Color 0xFF000005\nget Color\nset Inyostr \">＞\"\nget Inyostr\n"
                   "get DragMode\nget Version\n"),
            "TabCount=8\nTabCount=1\nTopMargin=0\nLineSpaceUnit=uPixel\nLineSpaceUnit=uPercent\n"
            "BorderStyle=bsSingle\nWordWrap=0\nColor=16777215\nInyostr=\">\\u0081\\u0084\"\n"
            "DragMode=dmAutomatic\nVersion=\"TRyxEdit Ver1.24\"\n");
}

TEST_F(VerseletScriptTest, FontPartsChangeOnlyTheirPart) {
  EXPECT_EQ(Output("new\nset FontHeight -24\nset FontColor 255\nget FontHeight\nget FontName\nget FontColor\n"),
            "FontHeight=-24\nFontName=\"FixedSys\"\nFontColor=255\n");
}

TEST_F(VerseletScriptTest, DumpWritesEveryOtherByteEscaped) {
  const std::string out = Output("new\ncall SetAllText \"q\\\"\\\\\\x01\\x80\\x82\\xa0~\"\ndump\n");
  EXPECT_THAT(out, HasSubstr("\"lines\":[\"q\\\"\\\\\\u0001\\u0080\\u0082\\u00a0~\\u0000\\u0000\"]"));
  EXPECT_THAT(out, HasSubstr("\"text\":\"q\\\"\\\\\\u0001\\u0080\\u0082\\u00a0~\""));
  for (const char* key : {"\"caret\":[0,0]", "\"caretX\":0", "\"top\":0", "\"scrollX\":0",
                          "\"sel\":{\"active\":false,\"all\":false,\"anchor\":[0,0],\"end\":[0,0]}",
                          "\"modified\":false", "\"insert\":true", "\"focused\":true"})
    EXPECT_THAT(out, HasSubstr(key));
  EXPECT_EQ(out.find('\n'), out.size() - 1);
}

TEST_F(VerseletScriptTest, EventsAreReportedOnceWithTheirArguments) {
  const std::string out =
      Output("new\nevents\nevents\nfocus off\nfocus off\nfocus on\nevents\ncall ClearAll\nevents\n");
  EXPECT_THAT(out, StartsWith("[{\"name\":\"OnEnter\"}"));
  EXPECT_THAT(out, HasSubstr("\n[]\n[{\"name\":\"OnExit\"},{\"name\":\"OnEnter\"}]\n"));
  EXPECT_THAT(out, HasSubstr("\n[{\"name\":\"OnChangeModify\",\"modified\":false},"
                             "{\"name\":\"OnChangeRedoMode\",\"RedoEnable\":false}"));
}

TEST_F(VerseletScriptTest, ModifiersAreHeldOnlyForTheirKey) {
  const std::string out = Output("new\nevents\nkey Ctrl+Shift+A\nkey b\nkeydown Shift\nkey Down\nkeyup Shift\n"
                                 "key Down\nevents\n");
  // Each key is announced down and up with the modifiers held at that moment.
  EXPECT_THAT(out, HasSubstr("[{\"name\":\"OnKeyDown\",\"key\":65,\"shift\":[\"shift\",\"ctrl\"]},"
                             "{\"name\":\"OnKeyUp\",\"key\":65,\"shift\":[\"shift\",\"ctrl\"]},"
                             "{\"name\":\"OnKeyDown\",\"key\":66,\"shift\":[]},"
                             "{\"name\":\"OnKeyUp\",\"key\":66,\"shift\":[]},"
                             "{\"name\":\"OnKeyDown\",\"key\":16,\"shift\":[\"shift\"]},"
                             "{\"name\":\"OnKeyDown\",\"key\":40,\"shift\":[\"shift\"]},"
                             "{\"name\":\"OnKeyUp\",\"key\":40,\"shift\":[\"shift\"]},"
                             "{\"name\":\"OnKeyUp\",\"key\":16,\"shift\":[]},"
                             "{\"name\":\"OnKeyDown\",\"key\":40,\"shift\":[]},"
                             "{\"name\":\"OnKeyUp\",\"key\":40,\"shift\":[]}]"));
}

TEST_F(VerseletScriptTest, MouseButtonsStayDownFromPressToRelease) {
  const std::string out = Output("new\nevents\nmouse down 10 10 shift\nmouse move 40 12\nmouse up 40 12\n"
                                 "mouse move 50 12\ndblclick 20 5\nmouse up 20 5\nevents\n");
  EXPECT_THAT(out, HasSubstr("{\"name\":\"OnMouseDown\",\"button\":\"left\",\"shift\":[\"shift\",\"left\"],"
                             "\"x\":10,\"y\":10}"));
  EXPECT_THAT(out, HasSubstr("{\"name\":\"OnMouseMove\",\"shift\":[\"left\"],\"x\":40,\"y\":12}"));
  EXPECT_THAT(out, HasSubstr("{\"name\":\"OnMouseUp\",\"button\":\"left\",\"shift\":[],\"x\":40,\"y\":12}"));
  EXPECT_THAT(out, HasSubstr("{\"name\":\"OnMouseMove\",\"shift\":[],\"x\":50,\"y\":12}"));
  // The second press of a double click is the control's own (it selects the
  // word under the point): no OnMouseDown for it.
  const std::size_t dblClick = out.find("{\"name\":\"OnDblClick\"}");
  const std::size_t up = out.find("{\"name\":\"OnMouseUp\",\"button\":\"left\",", dblClick);
  ASSERT_NE(dblClick, std::string::npos);
  ASSERT_NE(up, std::string::npos);
  EXPECT_EQ(out.substr(dblClick, up - dblClick).find("OnMouseDown"), std::string::npos);
  EXPECT_NE(out.substr(dblClick, up - dblClick).find("OnSelectionChange"), std::string::npos);
  EXPECT_THAT(out, HasSubstr("\"x\":20,\"y\":5}"));
}

// A text drag started by a press inside the selection runs until the
// release: `mouse move` drags over the control, `mouse up` drops there (Ctrl
// held: a copy), a release outside the window or Esc leaves the text; undo
// brings the file's text back.
TEST_F(VerseletScriptTest, MouseUpDropsTheDraggedTextOfAFile) {
  // Cells are 8 px wide from x 10, rows 18 px high from y 4.
  struct TCase {
    const char* Name;
    const char* File;
    std::string Steps;
    const char* Dropped;
    int UndoSteps;
  };
  const std::string selectOne = "msg EM_SETSEL 0:0 0:3\nmouse down 22 13\nmouse move 27 49\n";
  for (const TCase& c : {
           TCase{"move", "one\ntwo\nthree", selectOne + "mouse up 27 49\n",
                 "\\u000d\\u000atwo\\u000d\\u000athoneree", 2},
           TCase{"copy", "one\ntwo\nthree", selectOne + "mouse up 27 49 ctrl\n",
                 "one\\u000d\\u000atwo\\u000d\\u000athoneree", 1},
           TCase{"elsewhere", "one\ntwo\nthree", selectOne + "mouse up -20 49\n",
                 "one\\u000d\\u000atwo\\u000d\\u000athree", 0},
           TCase{"escape", "one\ntwo\nthree", selectOne + "key Escape\nmouse up 27 49\n",
                 "one\\u000d\\u000atwo\\u000d\\u000athree", 0},
           // Wrapped at 10 cells: the end of the first row is where the selection on the second starts.
           TCase{"wrapped", "abcdefghijklmno\ntwo",
                 "set WordWrap 1\nset Column 10\nmsg EM_SETSEL 1:0 1:3\nmouse down 14 31\nmouse move 200 13\n"
                 "mouse up 200 13\n",
                 "abcdefghijklmno\\u000d\\u000atwo", 0},
       }) {
    SCOPED_TRACE(c.Name);
    const std::filesystem::path file = FDir.WriteFile("lyrics.txt", c.File);
    std::string undo;
    for (int i = 0; i < c.UndoSteps; ++i) undo += "call Undo\n";
    const std::string out = Output("new\ncall LoadFromFile \"" + file.string() + "\"\ncall GetAllText\n" + c.Steps +
                                   "call GetAllText\n" + undo + "call GetAllText\n");
    std::vector<std::string> lines;
    for (std::istringstream in(out); std::getline(in, lines.emplace_back());) {
    }
    lines.pop_back();
    // The loaded text, EM_SETSEL's result, the dropped text, the text undone.
    ASSERT_EQ(lines.size(), 5u) << out;
    EXPECT_EQ(lines[3], "result=\"" + std::string(c.Dropped) + "\"");
    EXPECT_EQ(lines[4], lines[1]) << "undone";
  }
}

TEST_F(VerseletScriptTest, ImeResultIsFramedByTheCompositionEvents) {
  const std::string out = Output("new\nevents\nime \"漢字\"\nevents\n");
  EXPECT_THAT(out, HasSubstr("\n[{\"name\":\"OnIMEChanging\"},"));
  EXPECT_THAT(out, HasSubstr("{\"name\":\"OnIMEChanged\"}]\n"));
}

TEST_F(VerseletScriptTest, ClipboardHoldsCodePage932Text) {
  EXPECT_EQ(Output("new\nclipboard\nclipboard \"あa\"\nclipboard\n"), "clipboard=null\nclipboard=\"\\u0082\\u00a0a\"\n");
}

TEST_F(VerseletScriptTest, GuidesAreDrawnInTheClientDrawEvent) {
  const std::string out = Output("new\nguides 16 3 tag\ncall RefreshView\npaint\nguides off\ncall RefreshView\n"
                                 "paint\n");
  const std::string first = out.substr(0, out.find('\n'));
  const std::string second = out.substr(first.size() + 1);
  // Text column 0 is at the left margin of 10.
  for (const int x : {89, 217, 345, 473}) {
    const std::string color = x == 89 ? "13421823" : "12303291";
    EXPECT_THAT(first, HasSubstr("{\"op\":\"line\",\"x1\":" + std::to_string(x) + ",\"y1\":4,\"x2\":" +
                                 std::to_string(x) + ",\"y2\":265,\"color\":" + color + "}"));
  }
  EXPECT_THAT(second, Not(HasSubstr("12303291")));
}

TEST_F(VerseletScriptTest, MetricsApplyToTheNextControl) {
  EXPECT_EQ(Output("metrics 6 12 12\nnew 200 100\nget CharWidth\nget ClientWidth\nget ClientHeight\nsize 300 50\n"
                   "get ClientWidth\n"),
            "CharWidth=6\nClientWidth=200\nClientHeight=100\nClientWidth=300\n");
}

TEST_F(VerseletScriptTest, ScriptFilesMayHaveCrLfBreaksAndAByteOrderMark) {
  EXPECT_EQ(Output("\xEF\xBB\xBFnew\r\nget TabCount\r\n# done\r\n"), "TabCount=6\n");
}

TEST_F(VerseletScriptTest, UsageIsCheckedBeforeAnythingRuns) {
  const auto status = [](const std::string& args) {
    const int raw = std::system((Quoted(Driver()) + " " + args + " < /dev/null > /dev/null 2>&1").c_str());
    return WEXITSTATUS(raw);
  };
  EXPECT_EQ(status("--help"), 0);
  EXPECT_EQ(status("a b"), 2);
  EXPECT_EQ(status("-"), 0);
}

TEST_F(VerseletScriptTest, NumbersTakeHexNegativesPositionsAndNames) {
  EXPECT_EQ(Output("new\nset Color 0x00FF8040\nget Color\nset LeftMargin -0x3\nget LeftMargin\n"
                   "call SetAllText \"a\\r\\nb\\r\\nc\"\nmsg WM_TRYXEDIT_SETCARETPOS 0 2:1\nget CaretLine\n"
                   "get CaretCol\nmsg WM_KEYUP VK_PRIOR\nmsg WM_VSCROLL SB_ENDSCROLL\n"),
            "Color=16744512\nLeftMargin=0\nresult=0\nCaretLine=2\nCaretCol=1\nresult=0\nresult=0\n");
  for (const char* bad : {"msg EM_SETSEL 1:70000", "msg EM_SETSEL -1:0", "msg EM_SETSEL 0x", "msg EM_SETSEL 1:",
                          "msg EM_SETSEL 0x100000000", "msg EM_SETSEL SB_SIDEWAYS"}) {
    const TRun run = RunDriver(FDir, std::string("new\n") + bad + "\n");
    EXPECT_EQ(run.Status, 2) << bad;
  }
}

TEST_F(VerseletScriptTest, AltTurnsKeysIntoSystemKeys) {
  EXPECT_THAT(Output("new\nevents\nkey Alt+F\nkey 0x70\nevents\n"),
              HasSubstr("\n[{\"name\":\"OnKeyDown\",\"key\":70,\"shift\":[\"alt\"]},"
                        "{\"name\":\"OnKeyUp\",\"key\":70,\"shift\":[\"alt\"]},"
                        "{\"name\":\"OnKeyDown\",\"key\":112,\"shift\":[]},"
                        "{\"name\":\"OnKeyUp\",\"key\":112,\"shift\":[]}]\n"));
}

TEST_F(VerseletScriptTest, FileOperationsReportFailureAndItsReason) {
  TTempDir files;
  const std::string out = Output("new\ncall LoadFromFile \"" + (files.Path() / "missing.txt").string() +
                                 "\"\ncall LastFileError\ncall SaveToFile \"" + files.Path().string() + "\"\n");
  EXPECT_THAT(out, StartsWith("result=0\nresult=\""));
  EXPECT_THAT(out, Not(HasSubstr("result=\"\"")));
  EXPECT_THAT(out, HasSubstr("\"\nresult=0\n"));
}

TEST_F(VerseletScriptTest, WindowSizeAndFocusReachTheControl) {
  const std::string out = Output("new 300 100\nget TextHeight\nsize 300 50\nget TextHeight\nfocus off\ndump\n"
                                 "focus on\ndump\ninvalidated\ninvalidated\n");
  EXPECT_THAT(out, StartsWith("TextHeight=96\nTextHeight=46\n"));
  EXPECT_THAT(out, HasSubstr("\"focused\":false,\"syscaret\":{\"created\":false"));
  EXPECT_THAT(out, HasSubstr("\"focused\":true,\"syscaret\":{\"created\":true,\"visible\":true"));
  EXPECT_THAT(out, HasSubstr("\n[]\n"));
}

TEST_F(VerseletScriptTest, NewStartsAFreshControl) {
  EXPECT_EQ(Output("new\nset TabCount 3\ncall SetAllText \"abc\"\nnew\nget TabCount\nmsg WM_GETTEXTLENGTH\n"
                   "events\n"),
            "TabCount=6\nresult=0\n[{\"name\":\"OnEnter\"}]\n");
}

TEST_F(VerseletScriptTest, OperationsWithResultsPrintThem) {
  EXPECT_EQ(Output("new\nset TabCount 4\ncall ExpandTabs \"a\\tb\"\ncall TextXOfColumn \"a\\tb\" 2\n"),
            "result=\"a   b\"\nresult=32\n");
}

TEST_F(VerseletScriptTest, ZeroWidthGuidesAllFallAtTheTagEnd) {
  const std::string out = Output("new\nguides 0 3\ncall RefreshView\npaint\n");
  EXPECT_THAT(out, HasSubstr("{\"op\":\"line\",\"x1\":9,\"y1\":4,\"x2\":9,\"y2\":265,\"color\":12303291}"));
}

TEST_F(VerseletScriptTest, EditMessagesAtTheirEdges) {
  // A trailing break leaves an empty last line; the trail byte of あ is no caret place.
  EXPECT_EQ(Output("new\ncall SetAllText \"xあ\\r\\n\"\ncall GetAllText\nmsg EM_GETLINECOUNT\nmsg EM_GETLINE 1 10\n"
                   "msg WM_TRYXEDIT_SETCARETPOS 0 0:2\nmsg WM_TRYXEDIT_GETCARETPOS\n"
                   "msg EM_SETSEL 0:0 0:5\nmsg WM_TRYXEDIT_GETCARETPOS\nmsg WM_CLEAR\nmsg WM_GETTEXTLENGTH\n"
                   "msg WM_GETDLGCODE\nset WantTabs 0\nmsg WM_GETDLGCODE\n"),
            "result=\"x\\u0082\\u00a0\\u000d\\u000a\"\nresult=2\nresult=0 text=\"\"\nresult=0\nresult=1 pos=0:1\n"
            "result=0\nresult=65536 pos=1:0\nresult=0\nresult=0\nresult=131\nresult=129\n");
}

TEST_F(VerseletScriptTest, PaintReportsEachOperationOnce) {
  const std::string out = Output("new\npaint\ncall SetAllText \"ab\"\npaint\npaint\n");
  const std::size_t second = out.find('\n') + 1;
  const std::string drawn = out.substr(second, out.find('\n', second) - second);
  EXPECT_THAT(drawn, HasSubstr("{\"op\":\"text\",\"x\":10,\"y\":4,\"text\":\"ab\",\"color\":0,\"bk\":16777215,"
                               "\"clip\":["));
  EXPECT_THAT(drawn, HasSubstr("{\"op\":\"fill\",\"rect\":["));
  EXPECT_THAT(out, testing::EndsWith("]\n[]\n"));
}

}  // namespace
