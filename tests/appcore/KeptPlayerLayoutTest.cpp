// Tests of the player layout kept between edits of a line, against a fresh layout after every edit.
#include <gtest/gtest.h>

#include <random>

#include "app/core/KeptPlayerLayout.h"
#include "app/core/LineStartRules.h"
#include "app/core/TimeTags.h"
#include "platform/CodePage.h"

namespace {

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

// Pieces that meet every rule of the layout: line and word tags, malformed
// and unclosed ones, a tag inside a malformed one, brackets that are trail
// bytes, lone lead bytes, kept-off characters, tabs, and the starts of ID tag lines.
std::vector<std::string> Pieces() {
  return {"[00:01.00]", "<01:02.345>", "[12:<00:00.00>]", "[99:99.99]", "[00:0", "]", "<", "[",
          "\x81[00:02.00]", "\x81", "ab", "\t", Sjis("あい"), Sjis("。"), Sjis("ー"), Sjis("ｯ"),
          "[ar:x]", "@Title=", " ", "0123456789abcdef"};
}

std::string RandomLine(std::mt19937& random, std::size_t bytes) {
  const std::vector<std::string> pieces = Pieces();
  std::string line;
  while (line.size() < bytes) line += pieces[random() % pieces.size()];
  return line;
}

void ExpectSameAsFresh(const TKeptPlayerLayout& kept, const std::string& line, int halfCount, int step) {
  // An ID tag line is not shown: its layout is that of an empty line.
  const TPlayerLayout fresh = LayOutForPlayer(ParseIdTag(line) ? std::string_view() : line, halfCount);
  ASSERT_EQ(kept.Layout().Text, fresh.Text) << "step " << step;
  ASSERT_EQ(kept.Layout().Rows.size(), fresh.Rows.size()) << "step " << step;
  for (std::size_t r = 0; r < fresh.Rows.size(); ++r) {
    ASSERT_EQ(kept.Layout().Rows[r].Start, fresh.Rows[r].Start) << "step " << step << " row " << r;
    ASSERT_EQ(kept.Layout().Rows[r].Length, fresh.Rows[r].Length) << "step " << step << " row " << r;
    ASSERT_EQ(kept.Layout().Rows[r].Cells, fresh.Rows[r].Cells) << "step " << step << " row " << r;
  }
  ASSERT_EQ(kept.KeptOffRows(), RowsStartingKeptOff(fresh)) << "step " << step;
}

void EditRandomly(std::size_t spacing);

// Random edits of a long line, most near its end as typing is, some
// anywhere, at any byte (also inside a character or a tag); now and then a
// new width or a fresh line. After each the kept layout equals a fresh one.
// Resume points every few bytes put every edit right after one, as well as
// the usual spacing.
TEST(KeptPlayerLayoutTest, EveryEditGivesTheLayoutOfTheWholeLine) {
  for (const std::size_t spacing : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
    SCOPED_TRACE(spacing);
    EditRandomly(spacing);
  }
}

void EditRandomly(std::size_t spacing) {
  std::mt19937 random(22);
  const std::vector<std::string> pieces = Pieces();
  TKeptPlayerLayout kept(spacing);
  int halfCount = 16;
  std::string line = RandomLine(random, spacing < 16 ? 3000 : 30000);
  for (int step = 0; step < 400; ++step) {
    const unsigned kind = random() % 20;
    const std::size_t at = kind < 12 ? line.size() - std::min<std::size_t>(line.size(), random() % 40)
                                     : random() % (line.size() + 1);
    if (kind % 3 == 0) {
      line.erase(at, random() % 12);
    } else if (kind == 19) {
      halfCount = 1 + static_cast<int>(random() % 40);
    } else if (kind == 17) {
      line = RandomLine(random, random() % (spacing < 16 ? 3000 : 20000));
    } else if (kind == 16) {
      line.insert(0, pieces[random() % pieces.size()]);
    } else {
      line.insert(at, pieces[random() % pieces.size()]);
    }
    kept.Update(line, halfCount);
    ExpectSameAsFresh(kept, line, halfCount, step);
  }
}

TEST(KeptPlayerLayoutTest, ALineThatBecomesAnIdTagLineAndBackIsLaidOutAnew) {
  TKeptPlayerLayout kept;
  std::string line = "[ar:x]" + std::string(10000, 'a');
  const std::vector<std::string> lines = {line, "[ar:x]", "[ar:x] ", line, "@Title=[00:01.00]", "[00:01.00]"};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    kept.Update(lines[i], 8);
    ExpectSameAsFresh(kept, lines[i], 8, static_cast<int>(i));
  }
}

}  // namespace
