// Tests of the measured font properties and of the Japanese face that stands in for a missing fixed face.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>

#include "platform/qt/FontFaces.h"
#include "platform/qt/QtConvert.h"

namespace {

TEST(FontFaces, PitchAndJapaneseCellsAreMeasured) {
  struct Case {
    const char* Family;
    bool FixedPitch;
    bool JapaneseCells;
  };
  const Case cases[] = {
      {"IPAGothic", true, true},
      {"IPAPGothic", false, false},
      {"DejaVu Sans Mono", true, false},
      {"DejaVu Sans", false, false},
  };
  int measured = 0;
  for (const Case& c : cases) {
    if (!QFontDatabase::hasFamily(c.Family)) continue;
    ++measured;
    EXPECT_EQ(IsFixedPitchFamily(c.Family), c.FixedPitch) << c.Family;
    EXPECT_EQ(IsJapaneseCellFamily(c.Family), c.JapaneseCells) << c.Family;
  }
  if (measured == 0) GTEST_SKIP() << "none of the sample faces is installed";
}

TEST(FontFaces, AMissingFixedFaceGivesWayToTheJapaneseOne) {
  const QString japanese = JapaneseMonospaceFamily();
  if (japanese.isEmpty()) GTEST_SKIP() << "no Japanese fixed-pitch face is installed";
  EXPECT_TRUE(IsFixedPitchFamily(japanese));
  EXPECT_TRUE(IsJapaneseCellFamily(japanese));
  if (QFontDatabase::hasFamily("IPAGothic")) {
    EXPECT_EQ(japanese, "IPAGothic");
  }

  TLogFont logFont;
  logFont.lfHeight = -19;
  logFont.lfPitchAndFamily = FIXED_PITCH;
  struct Case {
    const char* Face;
    bool Replaced;
  };
  for (const Case& c : {Case{"FixedSys", true}, Case{"", true}, Case{"DejaVu Sans Mono", false}}) {
    if (!c.Replaced && !QFontDatabase::hasFamily(c.Face)) continue;
    logFont.lfFaceName = c.Face;
    const QFont font = QFontFromLogFont(logFont);
    EXPECT_EQ(QFontInfo(font).family() == japanese, c.Replaced) << c.Face;
    if (c.Replaced) {
      // Kanji take exactly two half-width cells.
      const QFontMetricsF metrics(font);
      EXPECT_NEAR(metrics.horizontalAdvance(QChar(u'\u6F22')), 2 * metrics.horizontalAdvance(QLatin1Char('0')), 0.01);
    }
  }

  // A proportional face that is missing keeps the ordinary fallbacks.
  logFont.lfPitchAndFamily = 0;
  logFont.lfFaceName = "ＭＳ Ｐゴシック";
  EXPECT_EQ(QFontFromLogFont(logFont).families().indexOf(japanese),
            QFontFromLogFont(logFont).families().lastIndexOf(QString::fromLatin1(kJapaneseFallbackFamily)));
}

}  // namespace
