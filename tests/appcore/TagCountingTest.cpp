// The guides' and the wrap's counted rows of every line of the real lyrics files, against the preview's own row layout.
#include "app/core/TagCounting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/PlayerLayout.h"
#include "app/core/TimeTags.h"
#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/CodePage.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/TestData.h"

namespace {

// The lines of a file as code page 932 text, a UTF-8 file converted.
std::vector<std::string> LinesOf(std::string bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  if (IsValidUtf8(bytes)) bytes = UnicodeToAnsi(Utf8ToUnicode(bytes));
  std::vector<std::string> lines;
  for (std::size_t start = 0; start <= bytes.size();) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (line.ends_with('\r')) line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The bytes of line at which the preview's rows after the first start: just
// past the shown byte that ends the row before, the tags after it going on
// with the next row. None for a line the player does not show.
std::vector<std::size_t> PreviewBreaks(const std::string& line, int halfCount) {
  if (ParseIdTag(line)) return {};
  std::vector<std::size_t> shown;  // the line's byte of each byte of the preview's text
  std::size_t tag = 0;
  const std::vector<TTimeTag> tags = ParseTaggedLine(line).Tags;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (tag < tags.size() && i == tags[tag].Start) {
      i += tags[tag++].Length - 1;
      continue;
    }
    shown.push_back(i);
  }
  const TPlayerLayout layout = LayOutForPlayer(line, halfCount);
  EXPECT_EQ(layout.Text.size(), shown.size()) << line;
  std::vector<std::size_t> breaks;
  for (std::size_t row = 1; row < layout.Rows.size(); ++row) breaks.push_back(shown[layout.Rows[row].Start - 1] + 1);
  return breaks;
}

TEST(TagCountingTest, GuidesAndWrapBreakEveryRealLineWhereThePreviewDoes) {
  VERSELET_REQUIRE_TESTDATA();
  const TTagCounting counting;
  std::size_t broken = 0;
  for (const char* name : {"real-lrc/lrc2exo_testsong.lrc", "real-lrc/navidrome_auld-lang-syne.elrc.lrc",
                           "real-lrc/navidrome_auld-lang-syne.lrc", "real-lrc/navidrome_bom-test.lrc",
                           "real-lrc/navidrome_test-enhanced.lrc", "real-kra/lrc2exopy_2_shining-star.kra",
                           "real-kra/lrc2exopy_3_shining-star_part.kra", "sjis/gotext_rashomon-shift-jis.txt"}) {
    const std::vector<std::string> lines = LinesOf(testdata::ReadBytes(testdata::Dir() / name));
    std::string text;
    for (const std::string& line : lines) text += line + (&line == &lines.back() ? "" : "\r\n");
    for (const int halfCount : {10, 16, 23}) {
      SCOPED_TRACE(std::string(name) + " at " + std::to_string(halfCount));
      THeadlessHost host(440, 265);
      TRyxEdit edit;
      host.Attach(edit);
      edit.SetColumn(halfCount);
      edit.SetColumnCounting(&counting);
      edit.SetAllText(text);
      edit.SetWordWrap(true);
      int row = 0;
      for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        const std::vector<std::size_t> expected = PreviewBreaks(line, halfCount);
        broken += expected.size();
        const std::vector<std::size_t> guides =
            ParseIdTag(line) ? std::vector<std::size_t>{} : CountedRows(line, halfCount, counting, SIZE_MAX).Breaks;
        EXPECT_EQ(guides, expected) << "line " << n + 1 << ": " << line;
        std::vector<std::size_t> wrapped;
        std::size_t at = 0;
        for (;; ++row) {
          const std::string_view piece = edit.Lines().Get(row);
          at += piece.size();
          if (HasLineEnd(piece)) break;
          wrapped.push_back(at);
        }
        ++row;
        EXPECT_EQ(wrapped, expected) << "line " << n + 1 << ": " << line;
      }
      EXPECT_EQ(row, edit.Lines().Count());
    }
  }
  // The files do hold lines that the player breaks.
  EXPECT_GT(broken, 100u);
}

}  // namespace
