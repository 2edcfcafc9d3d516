// Tests of TFontNameComboBox: reports, filters, name lists, Value, icons and the installed fonts.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "widgets/FontNameComboBox.h"

namespace {

constexpr std::uint32_t kJapanese = std::uint32_t{kShiftJisCharset} << kFontCharsetShift;
constexpr std::uint32_t kSymbol = std::uint32_t{kSymbolCharset} << kFontCharsetShift;

// A system's fonts as the global list holds them, sorted by name.
std::vector<TFontEntry> SampleFonts() {
  return {
      {"@Mincho", kTrueTypeFontType | kFixedPitchFontFlag | kJapanese},
      {"Courier", kRasterFontType | kFixedPitchFontFlag},
      {"DejaVu Sans", kTrueTypeFontType},
      {"Gothic", kTrueTypeFontType | kFixedPitchFontFlag | kJapanese},
      {"Mincho", kTrueTypeFontType | kFixedPitchFontFlag | kJapanese},
      {"PGothic", kTrueTypeFontType | kJapanese},
      {"Symbols", kTrueTypeFontType | kSymbol},
      {"Terminal", kRasterFontType | kFixedPitchFontFlag | kJapanese},
  };
}

std::vector<std::string> Names(std::initializer_list<const char*> names) { return {names.begin(), names.end()}; }

TEST(FontListTest, AFamilyReportedTwiceInARowIsListedOnceWithItsFirstFlags) {
  std::vector<TFontEntry> list;
  AddFontReport(list, "Gothic", kTrueTypeFontType | kJapanese);
  AddFontReport(list, "GOTHIC", kTrueTypeFontType);
  AddFontReport(list, "Mincho", kTrueTypeFontType);
  AddFontReport(list, "Gothic", kRasterFontType);
  const std::vector<TFontEntry> expected = {
      {"Gothic", kTrueTypeFontType | kJapanese}, {"Mincho", kTrueTypeFontType}, {"Gothic", kRasterFontType}};
  EXPECT_EQ(list, expected);
}

TEST(FontListTest, OtherRegionsOfACjkFamilyGoWhenItsJapaneseVariantIsThere) {
  std::vector<TFontEntry> list;
  for (const char* name : {"Noto Sans Mono CJK HK", "Noto Sans Mono CJK JP", "Noto Sans Mono CJK KR",
                           "Noto Sans Mono CJK SC", "Noto Sans Mono CJK TC", "Noto Serif CJK KR", "IPAGothic",
                           "Some TC"})
    list.push_back({name, 0});
  LeaveOutOtherCjkRegions(list);
  std::vector<std::string> names;
  for (const TFontEntry& font : list) names.push_back(font.Name);
  // Without its JP variant a family stays: it is the only one of its shapes.
  EXPECT_EQ(names, (std::vector<std::string>{"Noto Sans Mono CJK JP", "Noto Serif CJK KR", "IPAGothic", "Some TC"}));
}

TEST(FontListTest, FiltersFollowTheFlagsAndTheName) {
  struct Case {
    TFontEntry Font;
    TFontNameFilters Expected;
  };
  const Case cases[] = {
      {{"Gothic", kTrueTypeFontType | kFixedPitchFontFlag | kJapanese}, {fnfTrueType, fnfFixedPitch, fnfJapanese}},
      {{"@Gothic", kTrueTypeFontType | kJapanese}, {fnfTrueType, fnfJapanese, fnfLyingFont}},
      {{"Symbols", kTrueTypeFontType | kSymbol}, {fnfTrueType, fnfSymbolFont}},
      {{"Roman", kVectorFontFlag}, {fnfVector}},
      {{"Printer", kDeviceFontType | kPrinterFontFlag | kPrinterOnlyFontFlag}, {fnfDevice, fnfPrinter}},
      {{"Courier", kRasterFontType}, {fnfRaster}},
  };
  for (const Case& c : cases) EXPECT_EQ(FontFilterProperties(c.Font), c.Expected) << c.Font.Name;
}

TEST(FontListTest, ANewTypeInExclusiveFiltersReplacesTheOldOne) {
  struct Case {
    TFontNameFilters Old;
    TFontNameFilters New;
    TFontNameFilters Stored;
  };
  const Case cases[] = {
      {{}, {fnfTrueType}, {fnfTrueType}},
      {{fnfTrueType}, {fnfTrueType, fnfRaster}, {fnfRaster}},
      {{}, {fnfDevice, fnfVector, fnfJapanese}, {fnfDevice, fnfJapanese}},
      // No type added: stored as given, even with two types.
      {{fnfRaster, fnfTrueType}, {fnfRaster, fnfTrueType, fnfFixedPitch}, {fnfRaster, fnfTrueType, fnfFixedPitch}},
      {{fnfJapanese}, {fnfFixedPitch}, {fnfFixedPitch}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplaceTypeFilters(c.Old, c.New), c.Stored);
}

class FontNameComboBoxTest : public ::testing::Test {
 protected:
  FontNameComboBoxTest() { TFontNameComboBox::SetGlobalFontList(SampleFonts()); }
  ~FontNameComboBoxTest() override { TFontNameComboBox::SetGlobalFontList(ReadInstalledFonts()); }
};

TEST_F(FontNameComboBoxTest, ListsTheFontsThatPassTheFilters) {
  struct Case {
    TFontNameFilters Collect;
    TFontNameFilters Exclusive;
    std::vector<std::string> Listed;
  };
  const TFontNameFilters dialog = {fnfDevice, fnfVector, fnfRaster, fnfTrueType, fnfJapanese, fnfFixedPitch};
  TFontNameFilters withLying = kDefaultCollectFilters;
  withLying.Include(fnfLyingFont);
  const Case cases[] = {
      {kDefaultCollectFilters,
       {},
       Names({"Courier", "DejaVu Sans", "Gothic", "Mincho", "PGothic", "Symbols", "Terminal"})},
      {withLying,
       {},
       Names({"@Mincho", "Courier", "DejaVu Sans", "Gothic", "Mincho", "PGothic", "Symbols", "Terminal"})},
      {dialog, {fnfJapanese, fnfFixedPitch}, Names({"Gothic", "Mincho", "Terminal"})},
      {dialog, {fnfTrueType, fnfJapanese, fnfFixedPitch}, Names({"Gothic", "Mincho"})},
      {{fnfRaster, fnfFixedPitch, fnfJapanese}, {}, Names({"Courier", "Terminal"})},
      {{fnfTrueType}, {}, Names({"DejaVu Sans"})},
  };
  for (const Case& c : cases) {
    TFontNameComboBox box;
    box.SetCollectFilters(c.Collect);
    box.SetExclusiveFilters(c.Exclusive);
    EXPECT_EQ(box.Items(), c.Listed);
    EXPECT_EQ(box.count(), static_cast<int>(c.Listed.size()));
  }
}

TEST_F(FontNameComboBoxTest, TheBoxKeepsOneTypeInExclusiveFilters) {
  TFontNameComboBox box;
  box.SetExclusiveFilters({fnfTrueType});
  EXPECT_EQ(box.Items(), Names({"DejaVu Sans", "Gothic", "Mincho", "PGothic", "Symbols"}));
  box.SetExclusiveFilters({fnfTrueType, fnfRaster});
  EXPECT_EQ(box.ExclusiveFilters(), TFontNameFilters({fnfRaster}));
  EXPECT_EQ(box.Items(), Names({"Courier", "Terminal"}));
}

TEST_F(FontNameComboBoxTest, ANameMovesBetweenTheVisibleAndInvisibleLists) {
  TFontNameComboBox box;
  box.SetCollectFilters({fnfTrueType, fnfJapanese, fnfFixedPitch});
  box.SetExclusiveFilters({fnfJapanese, fnfFixedPitch});
  ASSERT_EQ(box.Items(), Names({"Gothic", "Mincho"}));

  // Shown against the filters.
  box.SetVisibleFontNames(Names({"Symbols", "mincho"}));
  EXPECT_EQ(box.Items(), Names({"Gothic", "Mincho", "Symbols"}));

  box.SetInvisibleFontNames(Names({"MINCHO", "Gothic"}));
  EXPECT_EQ(box.VisibleFontNames(), Names({"Symbols"}));
  EXPECT_EQ(box.Items(), Names({"Symbols"}));

  box.SetVisibleFontNames(Names({"Symbols", "Gothic"}));
  EXPECT_EQ(box.InvisibleFontNames(), Names({"MINCHO"}));
  EXPECT_EQ(box.Items(), Names({"Gothic", "Symbols"}));
}

TEST_F(FontNameComboBoxTest, ValueSelectsTheNamedFontOrTheFirst) {
  TFontNameComboBox box;
  QLabel target;
  int changes = 0;
  QObject::connect(&box, &TFontNameComboBox::Change, [&changes] { ++changes; });
  box.SetChangeControl(&target);
  struct Case {
    const char* Written;
    const char* Selected;
    int Changes;
  };
  const Case cases[] = {
      {"mincho", "Mincho", 1},
      {"Mincho", "Mincho", 1},
      {"FixedSys", "Courier", 2},
      {"TERMINAL", "Terminal", 3},
  };
  for (const Case& c : cases) {
    box.SetValue(c.Written);
    EXPECT_EQ(box.Value(), c.Selected) << c.Written;
    EXPECT_EQ(changes, c.Changes) << c.Written;
    EXPECT_EQ(target.font().family().toStdString(), c.Selected);
  }

  // A rebuild keeps the chosen name.
  box.SetCollectFilters({fnfRaster, fnfJapanese, fnfFixedPitch});
  EXPECT_EQ(box.Value(), "Terminal");

  // An empty list selects nothing.
  box.SetCollectFilters({fnfVector});
  box.SetValue("Gothic");
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_EQ(box.Value(), "");
}

// The item painted on white; the icon's pixels are XORed over it.
QImage PaintedItem(const TFontNameComboBox& box, int index) {
  QImage image(160, 20, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  box.DrawItem(painter, image.rect(), index, false);
  return image;
}

TEST_F(FontNameComboBoxTest, TrueTypeFontsGetTheirIconByXor) {
  TFontNameComboBox box;
  box.setPalette(QPalette(Qt::black, Qt::white));
  ASSERT_EQ(box.Items()[0], "Courier");
  ASSERT_EQ(box.Items()[2], "Gothic");
  // The icon lies at (2, 2); its row 6 holds the front letter's bar from x 7 on.
  struct Case {
    int Index;
    bool Icons;
    QRgb At9x8;
  };
  const Case cases[] = {
      {2, true, qRgb(0, 0, 0x80)},
      {0, true, qRgb(0xFF, 0xFF, 0xFF)},
      {2, false, qRgb(0xFF, 0xFF, 0xFF)},
  };
  for (const Case& c : cases) {
    box.SetIconVisible(c.Icons);
    const QImage image = PaintedItem(box, c.Index);
    EXPECT_EQ(image.pixel(9, 8), c.At9x8) << c.Index;
    // Black icon pixels leave the background white.
    EXPECT_EQ(image.pixel(2, 2), qRgb(0xFF, 0xFF, 0xFF));
  }
}

TEST(FontNameSystemTest, TheInstalledJapaneseFixedFacesAreListedForTheDialog) {
  if (!QFontDatabase::hasFamily("IPAGothic")) GTEST_SKIP() << "IPAGothic is not installed";
  const std::vector<TFontEntry> fonts = ReadInstalledFonts();
  EXPECT_TRUE(std::is_sorted(fonts.begin(), fonts.end(),
                             [](const TFontEntry& a, const TFontEntry& b) { return FontNameLess(a.Name, b.Name); }));
  const auto find = [&fonts](const std::string& name) {
    const auto it = std::find_if(fonts.begin(), fonts.end(), [&name](const TFontEntry& f) { return f.Name == name; });
    return it == fonts.end() ? TFontNameFilters() : FontFilterProperties(*it);
  };
  EXPECT_EQ(find("IPAGothic"), TFontNameFilters({fnfTrueType, fnfJapanese, fnfFixedPitch}));
  if (QFontDatabase::hasFamily("IPAPGothic")) {
    EXPECT_EQ(find("IPAPGothic"), TFontNameFilters({fnfTrueType, fnfJapanese}));
  }

  TFontNameComboBox::SetGlobalFontList(fonts);
  TFontNameComboBox box;
  box.SetCollectFilters({fnfDevice, fnfVector, fnfRaster, fnfTrueType, fnfJapanese, fnfFixedPitch});
  box.SetExclusiveFilters({fnfJapanese, fnfFixedPitch});
  const std::vector<std::string> listed = box.Items();
  EXPECT_NE(std::find(listed.begin(), listed.end(), "IPAGothic"), listed.end());
  for (const std::string& name : listed) {
    EXPECT_TRUE(QFontDatabase::writingSystems(QString::fromStdString(name)).contains(QFontDatabase::Japanese)) << name;
  }
  TFontNameComboBox::SetGlobalFontList(fonts);
}

}  // namespace
