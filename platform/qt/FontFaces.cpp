// Measured properties of installed font families and the choice of a Japanese fixed-pitch face.
#include "platform/qt/FontFaces.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <cmath>

namespace {

// Large enough that rounding cannot hide a difference of advances.
constexpr int kProbePixels = 48;

QFont ProbeFont(const QString& family) {
  QFont font(family);
  font.setPixelSize(kProbePixels);
  // Without this a missing glyph would be measured in another face.
  font.setStyleStrategy(QFont::NoFontMerging);
  return font;
}

bool Near(qreal a, qreal b) { return std::abs(a - b) < 0.5; }

}  // namespace

bool IsFixedPitchFamily(const QString& family) {
  if (QFontDatabase::isFixedPitch(family)) return true;
  const QFontMetricsF metrics(ProbeFont(family));
  const qreal advance = metrics.horizontalAdvance(QLatin1Char('0'));
  if (advance <= 0) return false;
  for (const char c : {'i', 'W', 'm', '.', 'l', 'M'}) {
    if (!metrics.inFont(QLatin1Char(c)) || !Near(metrics.horizontalAdvance(QLatin1Char(c)), advance)) return false;
  }
  return true;
}

bool IsJapaneseCellFamily(const QString& family) {
  if (!QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese)) return false;
  const QFontMetricsF metrics(ProbeFont(family));
  const qreal half = metrics.horizontalAdvance(QLatin1Char('0'));
  if (half <= 0) return false;
  // Hiragana, katakana, a kanji and the full-width space.
  for (const char16_t c : {u'\u3042', u'\u30A2', u'\u6F22', u'\u3000'}) {
    if (!metrics.inFont(QChar(c)) || !Near(metrics.horizontalAdvance(QChar(c)), 2 * half)) return false;
  }
  return true;
}

QStringList PreferredJapaneseFamilies() { return {"IPAGothic", "Noto Sans Mono CJK JP", "VL Gothic", "TakaoGothic"}; }

QString JapaneseMonospaceFamily() {
  static const QString chosen = [] {
    const auto fits = [](const QString& family) { return IsFixedPitchFamily(family) && IsJapaneseCellFamily(family); };
    for (const QString& family : PreferredJapaneseFamilies()) {
      if (QFontDatabase::hasFamily(family) && fits(family)) return family;
    }
    for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese)) {
      if (fits(family)) return family;
    }
    return QString();
  }();
  return chosen;
}
