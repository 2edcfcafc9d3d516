// TKaraokeUnits: how much of a line's shown text is coloured at a time, for the forms lyrics files time words in.
#include <gtest/gtest.h>

#include "app/core/KaraokeUnits.h"
#include "app/core/PlayerLayout.h"
#include "platform/CodePage.h"

namespace {

using namespace std::chrono_literals;

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }
std::string Utf8(const std::string& sjis) { return UnicodeToUtf8(AnsiToUnicode(sjis)); }

TEST(KaraokeUnitsTest, TheUnitsWhoseTimeHasComeAreColouredInTheirOrder) {
  const struct {
    const char* Line;
    TMillis Time;
    const char* Sung;  // the coloured start of the text the player shows
  } cases[] = {
      {"[00:12.30]<00:12.30>夜<00:12.80>空<00:13.20>に", 12299ms, ""},
      {"[00:12.30]<00:12.30>夜<00:12.80>空<00:13.20>に", 12300ms, "夜"},
      {"[00:12.30]<00:12.30>夜<00:12.80>空<00:13.20>に", 13199ms, "夜空"},
      {"[00:12.30]<00:12.30>夜<00:12.80>空<00:13.20>に", 99000ms, "夜空に"},
      // An end tag after the last unit.
      {"[00:01.00]<00:01.00>きみの<00:01.80>名前<00:02.50>", 2000ms, "きみの名前"},
      // Inline square tags of a karaoke file; the first times the line.
      {"[00:03:00]音[00:03:40]が[00:03:90]", 3500ms, "音が"},
      // Text after the line tag before the first word tag goes with the line tag.
      {"[00:05.00]ああ<00:06.00>いい", 5500ms, "ああ"},
      {"[00:05.00]ああ<00:06.00>いい", 4999ms, ""},
      // A line without word tags is one unit; so is text before any tag's time.
      {"[00:20.45]遠く離れた街", 20450ms, "遠く離れた街"},
      {"あ<00:01.00>い", 1000ms, "あい"},
      // A tag out of order does not colour past a unit still to come.
      {"[00:01.00]<00:01.00>一<00:03.00>二<00:02.00>三", 2500ms, "一"},
      {"[00:01.00]<00:01.00>一<00:03.00>二<00:02.00>三", 3000ms, "一二三"},
      // Half-width words, a malformed tag kept as text, an ID tag line, no tags.
      {"[00:07.00]<00:07.00>Hello <00:07.50>world", 7600ms, "Hello world"},
      {"[00:27.1x]<00:27.10>また<00:27.60>会える", 27200ms, "[00:27.1x]また"},
      {"[ti:星のうた]", 99000ms, ""},
      {"歌を口ずさむ", 99000ms, ""},
  };
  for (const auto& c : cases) {
    const std::string line = Sjis(c.Line);
    const TKaraokeUnits units(line);
    const std::string shown = LayOutForPlayer(line, 16).Text;
    const std::size_t sung = units.SungBytes(c.Time);
    ASSERT_LE(sung, shown.size()) << c.Line;
    EXPECT_EQ(Utf8(shown.substr(0, sung)), c.Sung) << c.Line << " at " << c.Time.count();
  }
}

}  // namespace
