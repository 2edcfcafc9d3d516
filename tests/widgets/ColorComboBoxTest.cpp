// Tests of TColorComboBox: its list, Value and the custom entry, the custom-colour button, drawing and item height.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <filesystem>

#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "widgets/ColorComboBox.h"

namespace {

std::string Sjis(const char* utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }
std::string Utf8(const std::string& sjis) { return UnicodeToUtf8(AnsiToUnicode(sjis)); }

TEST(ZenKakuKanaTest, TurnsHalfWidthKanaIntoFullWidthAndJoinsTheMarks) {
  struct Case {
    const char* In;
    const char* Out;
  };
  const Case cases[] = {
      {"(ｶｽﾀﾑ)", "(カスタム)"},
      {"ｶﾞｷﾞｸﾞ", "ガギグ"},
      {"ﾊﾞﾋﾟﾌﾞﾍﾟﾎﾞ", "バピブペボ"},
      {"ﾄﾞﾀﾞｺﾞ", "ドダゴ"},
      // Kana that take no mark keep it as a character of its own.
      {"ｱﾞｶﾟﾏﾟ", "ア゛カ゜マ゜"},
      {"ﾞﾟ", "゛゜"},
      {"｡｢｣､･ｦｯｰﾝ", "。「」、・ヲッーン"},
      {"ｽｸﾛｰﾙﾊﾞｰの色", "スクロールバーの色"},
      {"漢字とABC", "漢字とABC"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8(ZenKakuKana(Sjis(c.In))), c.Out) << c.In;
  }
  // A trail byte in the kana range belongs to its lead byte; a lone lead byte at the end stays.
  EXPECT_EQ(ZenKakuKana("\x83\xB6"), "\x83\xB6");
  EXPECT_EQ(ZenKakuKana("\xB1\x83"), "\x83\x41\x83");
}

TEST(ColorListTest, ShowsTheGroupsInOrderInEitherLanguage) {
  const std::vector<TUserColor> users = {{0x00010203, Sjis("ﾕｰｻﾞｰ"), "User"}, {0x00040506, Sjis("色"), ""}};
  struct Case {
    TColorListOptions Options;
    std::size_t Count;
    const char* First;
    const char* Last;
  };
  TColorListOptions all;
  all.ShowDefaultColor = all.ShowSysColor = all.ShowExtraColor = true;
  TColorListOptions english;
  english.JapaneseText = false;
  TColorListOptions narrow;
  narrow.ZenKakuKana = false;
  TColorListOptions noUsers;
  noUsers.ShowUserColor = false;
  noUsers.ShowCustomColor = false;
  const Case cases[] = {
      {TColorListOptions{}, 19, "黒", "(カスタム)"},
      {all, 1 + 16 + 25 + 129 + 2 + 1, "(標準)", "(カスタム)"},
      {english, 19, "Black", "(Custom)"},
      {narrow, 19, "黒", "(ｶｽﾀﾑ)"},
      {noUsers, 16, "黒", "白"},
  };
  for (const Case& c : cases) {
    const std::vector<TColorItem> items = BuildColorList(c.Options, users);
    ASSERT_EQ(items.size(), c.Count);
    EXPECT_EQ(Utf8(items.front().Text), c.First);
    EXPECT_EQ(Utf8(items.back().Text), c.Last);
  }

  const std::vector<TColorItem> mixed = BuildColorList(all, users);
  // Groups follow each other: default, basic, system, extra, user, custom.
  EXPECT_EQ(Utf8(mixed[1 + 16].Text), "スクロールバーの色");
  EXPECT_EQ(mixed[1 + 16 + 2].Color, 0xFF00000Cu);
  EXPECT_EQ(Utf8(mixed[1 + 16 + 25].Text), "アリスブルー");
  EXPECT_EQ(Utf8(mixed[1 + 16 + 25 + 128].Text), "黄緑");
  EXPECT_EQ(mixed[1 + 16 + 25 + 128].Color, 0x0032CD9Au);
  EXPECT_EQ(Utf8(mixed[1 + 16 + 25 + 129].Text), "ユーザー");
  // A user colour without an English name shows its display name in English too.
  EXPECT_EQ(Utf8(BuildColorList(english, users)[17].Text), "色");
}

TEST(ColorListTest, TellsTheOtherLanguageAndRefusesAnIndexOutsideTheList) {
  const std::vector<TUserColor> users = {{0x00010203, Sjis("ﾕｰｻﾞｰ"), "User"}};
  TColorListOptions english;
  english.JapaneseText = false;
  const auto japaneseItems = BuildColorList({}, users);
  const auto englishItems = BuildColorList(english, users);
  EXPECT_EQ(Utf8(OtherLanguageText(japaneseItems, 1, {}, users)), "Red");
  EXPECT_EQ(Utf8(OtherLanguageText(japaneseItems, 16, {}, users)), "User");
  EXPECT_EQ(Utf8(OtherLanguageText(englishItems, 2, english, users)), "ライム");
  EXPECT_EQ(Utf8(OtherLanguageText(englishItems, 16, english, users)), "ユーザー");
  for (const int index : {-1, 18, 1000}) {
    try {
      OtherLanguageText(japaneseItems, index, {}, users);
      ADD_FAILURE() << "no error for index " << index;
    } catch (const EListError& e) {
      EXPECT_STREQ(e.what(), "Index が有効範囲にありません");
    }
  }
}

// The settings dialog's configuration: basic colours and the custom entry.
class ColorComboBoxTest : public ::testing::Test {
 protected:
  ColorComboBoxTest() {
    FBox.setGeometry(28, 120, 109, 21);
    FBox.SetValue(clBlack);
    FBox.SetCustomColor(clBlack);
    FBox.show();
  }
  ~ColorComboBoxTest() override { TColorComboBox::SetColorDialogRunner(nullptr); }

  std::string Text() const { return FBox.currentText().toStdString(); }

  TColorComboBox FBox;
};

TEST_F(ColorComboBoxTest, ListsTheBasicColoursAndTheCustomEntryInFullWidth) {
  ASSERT_EQ(FBox.ItemCount(), 17);
  EXPECT_EQ(FBox.count(), 17);
  EXPECT_EQ(FBox.itemText(16).toStdString(), "(カスタム)");
  EXPECT_EQ(FBox.ItemColor(15), clWhite);
  EXPECT_EQ(FBox.ItemIndex(), 0);
  EXPECT_EQ(FBox.ItemHeight(), 15);
}

TEST_F(ColorComboBoxTest, ValueSelectsItsEntryOrBecomesTheCustomColour) {
  struct Case {
    bool ShowSysColor;
    bool ShowCustomColor;
    TColor Written;
    const char* Selected;
    TColor Read;
  };
  const Case cases[] = {
      {false, true, clRed, "赤", clRed},
      {false, true, 0x00123456, "(カスタム)", 0x00123456},
      {false, true, 0xFF000005, "(カスタム)", 0xFF000005},
      {true, true, 0xFF000005, "ウィンドウ背景", 0xFF000005},
      // Without a custom entry a colour that is not listed changes nothing.
      {false, false, 0x00123456, "青", clBlue},
  };
  for (const Case& c : cases) {
    TColorListOptions options;
    options.ShowSysColor = c.ShowSysColor;
    options.ShowCustomColor = c.ShowCustomColor;
    FBox.SetOptions(options);
    FBox.SetValue(clBlue);
    FBox.SetValue(c.Written);
    EXPECT_EQ(Text(), c.Selected) << std::hex << c.Written;
    EXPECT_EQ(FBox.Value(), c.Read) << std::hex << c.Written;
  }
  FBox.SetItemIndex(-1);
  EXPECT_EQ(FBox.Value(), clCustomColorMarker);
}

TEST_F(ColorComboBoxTest, RebuildingKeepsTheChosenColour) {
  FBox.SetValue(clTeal);
  TColorListOptions options;
  options.ShowDefaultColor = true;
  options.ShowExtraColor = true;
  FBox.SetOptions(options);
  EXPECT_EQ(FBox.ItemCount(), 1 + 16 + 129 + 1);
  EXPECT_EQ(Text(), "青緑");
  EXPECT_EQ(FBox.Value(), clTeal);
}

TEST_F(ColorComboBoxTest, TheCustomButtonShowsOnlyOnTheCustomEntry) {
  QAbstractButton* button = FBox.CustomButton();
  const int scrollBar = FBox.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &FBox);
  struct Case {
    TColor Value;
    bool Visible;
  };
  for (const Case& c :
       {Case{0x00123456, true}, Case{clRed, false}, Case{clCustomColorMarker, true}, Case{clBlack, false}}) {
    if (c.Value == clCustomColorMarker) {
      FBox.SetItemIndex(FBox.ItemCount() - 1);
    } else {
      FBox.SetValue(c.Value);
    }
    EXPECT_EQ(button->isVisible(), c.Visible) << std::hex << c.Value;
    if (c.Visible) {
      EXPECT_EQ(button->geometry(), QRect(109 - scrollBar - 21, 2, 19, 21 - 4));
    } else {
      EXPECT_LE(button->geometry().right(), 0);
    }
  }
}

TEST_F(ColorComboBoxTest, TheColourDialogSetsTheCustomColourAndTheChangeControl) {
  QLabel target;
  FBox.SetChangeControlFont(true);
  FBox.SetChangeControl(&target);
  std::vector<TColor> shownWith;
  std::optional<TColor> answer = 0x00ABCDEF;
  TColorComboBox::SetColorDialogRunner([&](QWidget*, TColor initial) {
    shownWith.push_back(initial);
    return answer;
  });
  int clicks = 0;
  int changes = 0;
  QObject::connect(&FBox, &TColorComboBox::Click, [&] { ++clicks; });
  QObject::connect(&FBox, &TColorComboBox::Change, [&] { ++changes; });

  FBox.SetValue(0x00123456);
  FBox.CustomButton()->click();
  EXPECT_EQ(shownWith, std::vector<TColor>{0x00123456});
  EXPECT_EQ(FBox.Value(), 0x00ABCDEFu);
  EXPECT_EQ(FBox.CustomColor(), 0x00ABCDEFu);
  EXPECT_EQ(target.palette().color(target.foregroundRole()), QColor(0xEF, 0xCD, 0xAB));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 1);

  // The same colour again, or a cancel, fires nothing.
  FBox.CustomButton()->click();
  answer.reset();
  FBox.CustomButton()->click();
  EXPECT_EQ(FBox.Value(), 0x00ABCDEFu);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 1);
}

TEST_F(ColorComboBoxTest, ChangeControlGivesItsColourAndTakesTheChosenOne) {
  QLabel target;
  QPalette palette = target.palette();
  palette.setColor(target.backgroundRole(), QColor(0, 0xFF, 0));
  target.setPalette(palette);
  FBox.SetChangeControl(&target);
  EXPECT_EQ(Text(), "ライム");
  FBox.SetHintIsOtherLanguage(true);
  FBox.setCurrentIndex(1);
  emit FBox.activated(1);
  EXPECT_EQ(target.palette().color(target.backgroundRole()), QColor(0xFF, 0, 0));
  EXPECT_EQ(FBox.toolTip(), "Red");
}

TEST_F(ColorComboBoxTest, TheDialogsCustomColoursAreKeptInTheIniFileBesideTheProgram) {
  std::filesystem::path ini(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString());
  ini.replace_extension(".ini");
  ASSERT_FALSE(std::filesystem::exists(ini)) << "left over from another run: " << ini;
  {
    TIniFile file(ini);
    file.WriteString("Mine", "ColorA", "0000FF");
    file.WriteString("Mine", "ColorC", "not a colour");
    file.UpdateFile();
  }
  QColorDialog::setCustomColor(2, Qt::white);
  QColorDialog::setCustomColor(15, Qt::white);
  FBox.SetValue(0x00123456);
  FBox.SetCustomColorSave(true);
  FBox.CustomColorSaveOption().Section = "Mine";
  std::vector<QColor> seen;
  TColorComboBox::SetColorDialogRunner([&seen](QWidget*, TColor) -> std::optional<TColor> {
    seen = {QColorDialog::customColor(0), QColorDialog::customColor(2)};
    QColorDialog::setCustomColor(1, QColor(0, 0xFF, 0));
    return clNavy;
  });
  FBox.CustomButtonClick();
  // Stored as the hexadecimal colour value, blue first.
  EXPECT_EQ(seen, (std::vector<QColor>{QColor(0xFF, 0, 0), QColor(Qt::white)}));
  const TIniFile file(ini);
  const std::string saved[] = {file.ReadString("Mine", "ColorA", ""), file.ReadString("Mine", "ColorB", ""),
                               file.ReadString("Mine", "ColorC", ""), file.ReadString("Mine", "ColorP", "")};
  std::filesystem::remove(ini);
  EXPECT_EQ(saved[0], "0000FF");
  EXPECT_EQ(saved[1], "00FF00");
  EXPECT_EQ(saved[2], "FFFFFF");
  EXPECT_EQ(saved[3], "FFFFFF");
  EXPECT_EQ(FBox.Value(), clNavy);
}

// Paints one item into an image and answers the colour in the swatch's middle.
QRgb SwatchPixel(const TColorComboBox& box, int index) {
  QImage image(120, 15, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  box.DrawItem(painter, image.rect(), index, false);
  painter.end();
  return image.pixel(7, 8);
}

TEST_F(ColorComboBoxTest, DrawsTheSwatchInTheItemColourAndNoneForTheDefaultMarker) {
  TColorListOptions options;
  options.ShowDefaultColor = true;
  FBox.SetOptions(options);
  // Swatches only, so that no text lies where a missing swatch would be.
  FBox.SetShowText(false);
  const QRgb base = FBox.palette().color(QPalette::Base).rgb();
  struct Case {
    TColor DefaultColor;
    int Index;
    QRgb Expected;
  };
  const Case cases[] = {
      {clRed, 0, qRgb(0xFF, 0, 0)},
      {clDefaultColorMarker, 0, base},
      {clRed, 3, qRgb(0, 0xFF, 0)},
      {clRed, 17, qRgb(0x56, 0x34, 0x12)},
  };
  FBox.SetCustomColor(0x00123456);
  for (const Case& c : cases) {
    FBox.SetDefaultColor(c.DefaultColor);
    EXPECT_EQ(SwatchPixel(FBox, c.Index), c.Expected) << c.Index;
  }
}

TEST_F(ColorComboBoxTest, ItemHeightFollowsTheBoundsAndTheFont) {
  QFont font = FBox.font();
  font.setPixelSize(15);
  FBox.setFont(font);
  EXPECT_EQ(FBox.ItemHeight(), 15);
  FBox.SetValue(clRed);
  FBox.SetItemHeight(10);
  EXPECT_EQ(FBox.ItemHeight(), 10);
  EXPECT_EQ(FBox.font().pixelSize(), 12);
  EXPECT_EQ(Text(), "赤");
  FBox.resize(109, 31);
  EXPECT_EQ(FBox.ItemHeight(), 25);
  font.setPixelSize(30);
  FBox.setFont(font);
  EXPECT_EQ(FBox.ItemHeight(), 30);
}

}  // namespace
