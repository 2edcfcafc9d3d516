// Tests of TRegExp: matching conventions, global replacement and the replacement string.
#include "platform/RegExp.h"

#include <gtest/gtest.h>

#include "platform/Exceptions.h"

namespace {

std::u16string Replace(const std::u16string& pattern, const std::u16string& source,
                       const std::u16string& replacement, bool global = true) {
  TRegExp re;
  re.SetIgnoreCase(true);
  re.SetGlobal(global);
  re.SetPattern(pattern);
  return re.Replace(source, replacement);
}

constexpr const char16_t* kTag = u"\\[[0-9][0-9]:[0-5][0-9]:[0-9][0-9]\\]";
constexpr const char16_t* kTagAfterCharacter = u"(.)\\[[0-9][0-9]:[0-5][0-9]:[0-9][0-9]\\]+";

TEST(RegExp, PropertiesKeepTheirValues) {
  TRegExp re;
  EXPECT_FALSE(re.IgnoreCase());
  EXPECT_FALSE(re.Global());
  re.SetPattern(u"a+");
  re.SetIgnoreCase(true);
  re.SetGlobal(true);
  EXPECT_EQ(re.Pattern(), u"a+");
  EXPECT_TRUE(re.IgnoreCase());
  EXPECT_TRUE(re.Global());
}

TEST(RegExp, GlobalReplacesEveryMatchOtherwiseTheFirst) {
  EXPECT_EQ(Replace(u"a", u"banana", u"o"), u"bonono");
  EXPECT_EQ(Replace(u"a", u"banana", u"o", false), u"bonana");
  EXPECT_EQ(Replace(u"x", u"banana", u"o"), u"banana");
  EXPECT_EQ(Replace(u"a*", u"bc", u"-"), u"-b-c-");  // empty matches move on by one
}

TEST(RegExp, IgnoreCaseAppliesAfterACompiledPatternToo) {
  TRegExp re;
  re.SetGlobal(true);
  re.SetPattern(u"abc");
  EXPECT_EQ(re.Replace(u"ABC abc", u"x"), u"ABC x");
  re.SetIgnoreCase(true);
  EXPECT_EQ(re.Replace(u"ABC abc", u"x"), u"x x");
}

TEST(RegExp, DotMatchesCarriageReturnButNotLineFeed) {
  EXPECT_EQ(Replace(u"a.b", u"a\rb a\nb a\u3042b", u"X"), u"X a\nb X");
  EXPECT_EQ(Replace(kTagAfterCharacter, u"A\r\n[00:01:00]B\r[00:02:00]C", u"$1"), u"A\r\n[00:01:00]B\rC");
}

TEST(RegExp, DotMatchesASupplementaryCharacterWhole) {
  EXPECT_EQ(Replace(u"(.)!", u"\U000F855B!", u"<$1>"), u"<\U000F855B>");
}

TEST(RegExp, ReplacementDollarForms) {
  EXPECT_EQ(Replace(u"(b)(c)", u"abcd", u"[$2$1]"), u"a[cb]d");
  EXPECT_EQ(Replace(u"b", u"abc", u"[$&|$`|$']"), u"a[b|a|c]c");
  EXPECT_EQ(Replace(u"b", u"abc", u"$$1"), u"a$1c");
  EXPECT_EQ(Replace(u"(b)", u"abc", u"$3$0$x$"), u"a$3$0$x$c");  // no such group: literal
  EXPECT_EQ(Replace(u"(b)", u"abc", u"$12"), u"ab2c");          // no group 12: group 1 then "2"
  EXPECT_EQ(Replace(u"(x)?b", u"abc", u"[$1]"), u"a[]c");        // group that did not take part
  EXPECT_EQ(Replace(u"b", u"abc", u"\\n"), u"a\\nc");            // backslash is not special
  EXPECT_EQ(Replace(u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", u"abcdefghijk", u"$11$10"), u"kj");
}

TEST(RegExp, TimeTagPatternRespectsItsDigitRanges) {
  EXPECT_EQ(Replace(kTag, u"[00:12:34]歌詞[00:13:00]です", u""), u"歌詞です");
  EXPECT_EQ(Replace(kTag, u"[00:60:00][0:12:34][60:00:00]", u""), u"[00:60:00][0:12:34]");
}

TEST(RegExp, BadPatternRaisesConvertErrorNamingIt) {
  TRegExp re;
  re.SetPattern(u"(abc");
  try {
    re.Replace(u"abc", u"");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_NE(e.Message().find("(abc"), std::string::npos) << e.Message();
  }
  re.SetPattern(u"abc");
  EXPECT_EQ(re.Replace(u"abc", u"x"), u"x");  // usable again after a fix
}

}  // namespace

namespace {

// Forty "a"s and a "b": "(a+)+$" tries every way to split the "a"s before it fails.
const std::u16string kRunaway = std::u16string(40, u'a') + u"b";

TEST(RegExp, TimeLimitStopsRunawayBacktrackingAndInterruptStopsTheSearch) {
  TRegExp re;
  re.SetGlobal(true);
  re.SetPattern(u"(a+)+$");
  re.SetTimeLimit(50);
  try {
    re.Matches(kRunaway, nullptr);
    ADD_FAILURE() << "the search was not stopped";
  } catch (const ERegExpTimeOut& e) {
    EXPECT_EQ(std::string(e.what()), "検索に時間がかかりすぎたため中止しました");
  }
  // The matcher is usable again for a line that ends well.
  EXPECT_EQ(re.Matches(u"aaa", nullptr).size(), 1u);

  re.SetTimeLimit(0);
  int asked = 0;
  re.SetInterrupt([&asked] { return ++asked < 3; });
  EXPECT_THROW(re.Matches(kRunaway, nullptr), EAbort);
  EXPECT_EQ(asked, 3);
}

}  // namespace
