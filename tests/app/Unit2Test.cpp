// Tests of the settings dialog: controls, player presets, and "設定" filling, cancelling and applying.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <optional>

#include "app/Unit2.h"
#include "tests/WindowDump.h"
#include "tests/app/FormFixture.h"
#include "widgets/ColorComboBox.h"
#include "widgets/FontNameComboBox.h"

namespace {

constexpr std::uint32_t kJapaneseFixed = kTrueTypeFontType | kFixedPitchFontFlag | (std::uint32_t{128} << 16);

class SettingsDialogTest : public FormTest {
 protected:
  SettingsDialogTest() {
    // The same faces on every machine: two Japanese fixed-pitch ones and one the dialog leaves out.
    TFontNameComboBox::SetGlobalFontList(
        {{"Courier", kRasterFontType | kFixedPitchFontFlag}, {"Gothic", kJapaneseFixed}, {"Mincho", kJapaneseFixed}});
  }
  ~SettingsDialogTest() override {
    Form2.reset();
    TFontNameComboBox::SetGlobalFontList(ReadInstalledFonts());
  }

  // The main window with the device settings it read, then the dialog, as the program starts them.
  TForm2& CreateDialog(const TDeviceSettings& device = {}) {
    TForm1& form = Create();
    form.DeviceSettings() = device;
    Form2 = std::make_unique<TForm2>(form.DeviceSettings(), &form);
    form.SetSettingsDialog(*Form2);
    return *Form2;
  }

  // Chooses "設定", lets actions work on the shown dialog, then presses OK or Cancel.
  void Run(const std::function<void(TForm2&)>& actions, bool ok) {
    bool shown = false;
    QTimer::singleShot(0, [&] {
      shown = QApplication::activeModalWidget() == Form2.get();
      if (!shown) return;
      actions(*Form2);
      (ok ? Form2->Button1 : Form2->Button2)->click();
    });
    Form->N11->trigger();
    ASSERT_TRUE(shown) << "the dialog was not shown modally";
    EXPECT_FALSE(Form2->isVisible());
  }

  // A user's pick from the model list.
  static void PickModel(TForm2& dialog, int index) {
    dialog.ComboBox1->setCurrentIndex(index);
    emit dialog.ComboBox1->activated(index);
  }

  TRyxEdit& Edit() { return *Form->RyxEdit1; }
  TDeviceSettings& Device() { return Form->DeviceSettings(); }

  std::unique_ptr<TForm2> Form2;
};

TEST_F(SettingsDialogTest, OpensWithTheFocusOnThePlayerList) {
  CreateDialog();
  QWidget* focused = nullptr;
  Run([&](TForm2& dialog) { focused = dialog.focusWidget(); }, false);
  EXPECT_EQ(focused, Form2->ComboBox1);
}

TEST_F(SettingsDialogTest, HasItsControlsCaptionsAndTabOrder) {
  TForm2& dialog = CreateDialog();
  EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(DumpWindow(dialog),
            R"("設定" 407x261 fixed
QGroupBox 4,4 241x93 "基本設定"
  QLabel 16,32 sized "機種"
  QComboBox 52,28 165x20 "iFP-100～1000"
  QLabel 52,64 sized "半角"
  QLineEdit 80,57 37x21 disabled "16"
  QLabel 120,64 sized "文字 ×"
  QLineEdit 168,57 37x21 disabled "3"
  QLabel 205,64 sized "行"
QGroupBox 4,104 241x101 "フォント"
  TFontNameComboBox 44,24 189x25 "Gothic"
  QComboBox 44,60 45x20 "9"
  TColorComboBox 96,60 137x21 "黒"
QGroupBox 252,4 149x201 "表示"
  QCheckBox 8,16 sized [x] "行番号"
  QCheckBox 8,36 sized [x] "EOF"
  QCheckBox 8,56 sized [x] "TAB"
  QCheckBox 8,76 sized [x] "改行"
  QCheckBox 8,96 sized [x] "全角スペース"
  QLabel 8,124 sized "色"
  TColorComboBox 28,120 109x21 "黒"
  QLabel 12,153 sized "TAB幅"
  QLineEdit 96,149 41x21 "4"
  QLabel 12,177 sized "左マージン"
  QLineEdit 96,173 41x21 "2"
QPushButton 126,220 75x25 "OK"
QPushButton 206,220 75x25 "キャンセル"
)");

  std::vector<std::string> models;
  for (int i = 0; i < dialog.ComboBox1->count(); ++i) models.push_back(dialog.ComboBox1->itemText(i).toStdString());
  EXPECT_EQ(models, (std::vector<std::string>{"iFP-100～1000", "PMP-100、H100、H300", "iMP-350～550", "iMP-150", "N10",
                                              "カスタム"}));
  ASSERT_EQ(dialog.ComboBox2->count(), 24);
  EXPECT_EQ(dialog.ComboBox2->itemText(0), "9");
  EXPECT_EQ(dialog.ComboBox2->itemText(23), "32");
  EXPECT_EQ(dialog.ComboBox2->currentIndex(), -1);
  EXPECT_EQ(dialog.ComboBox2->currentText(), "9");
  EXPECT_TRUE(dialog.ComboBox2->isEditable());
  for (const TColorComboBox* box : {dialog.ColorComboBox1, dialog.ColorComboBox2}) {
    EXPECT_EQ(box->ItemCount(), 17);
    EXPECT_EQ(box->Value(), clBlack);
    EXPECT_FALSE(box->CustomColorSave());
  }
  EXPECT_EQ(dialog.FontNameComboBox1->Items(), (std::vector<std::string>{"Gothic", "Mincho"}));
  EXPECT_TRUE(dialog.FontNameComboBox1->TextFontFace());

  const std::vector<QWidget*> order = {
      dialog.Button1,   dialog.Button2,   dialog.CheckBox5,      dialog.CheckBox1,
      dialog.CheckBox2, dialog.CheckBox3, dialog.CheckBox4,      dialog.ColorComboBox1,
      dialog.Edit1,     dialog.Edit4,     dialog.ColorComboBox2, dialog.FontNameComboBox1,
      dialog.ComboBox2, dialog.Edit2,     dialog.Edit3,          dialog.ComboBox1};
  for (std::size_t i = 0; i + 1 < order.size(); ++i) {
    QWidget* next = order[i]->nextInFocusChain();
    // Labels and the parts of a combo box (its line edit, the custom-colour
    // button) are passed over by Tab.
    while (next && (!(next->focusPolicy() & Qt::TabFocus) || next->parentWidget() == order[i])) {
      next = next->nextInFocusChain();
    }
    EXPECT_EQ(next, order[i + 1]) << "after " << i;
  }
}

TEST_F(SettingsDialogTest, APickedModelFillsTheSizeFieldsThatOnlyCustomUnlocks) {
  struct Case {
    int Index;
    const char* Half;
    const char* Lines;
    bool Enabled;
  };
  const Case cases[] = {{3, "13", "2", false}, {4, "12", "3", false}, {0, "16", "3", false},
                        {5, "16", "3", true},  {1, "16", "3", false}, {2, "16", "3", false}};
  TForm2& dialog = CreateDialog();
  for (const Case& c : cases) {
    PickModel(dialog, c.Index);
    EXPECT_EQ(Device().Model, c.Index);
    EXPECT_EQ(dialog.Edit2->text().toStdString(), c.Half) << c.Index;
    EXPECT_EQ(dialog.Edit3->text().toStdString(), c.Lines) << c.Index;
    EXPECT_EQ(dialog.Edit2->isEnabled(), c.Enabled) << c.Index;
    EXPECT_EQ(dialog.Edit3->isEnabled(), c.Enabled) << c.Index;
  }
}

TEST_F(SettingsDialogTest, CreationFollowsTheDeviceSettings) {
  struct Case {
    TDeviceSettings Device;
    int Selected;
    bool Enabled;
  };
  const Case cases[] = {
      {{20, 4, 5, false}, 5, true},
      {{13, 2, 3, false}, 3, false},
      // A model that the list lacks selects nothing and locks the fields.
      {{16, 3, 6, false}, -1, false},
      {{16, 3, -1, false}, -1, false},
  };
  for (const Case& c : cases) {
    TForm2& dialog = CreateDialog(c.Device);
    EXPECT_EQ(dialog.ComboBox1->currentIndex(), c.Selected);
    EXPECT_EQ(dialog.Edit2->text(), QString::number(c.Device.HalfCount));
    EXPECT_EQ(dialog.Edit3->text(), QString::number(c.Device.LineCount));
    EXPECT_EQ(dialog.Edit2->isEnabled(), c.Enabled);
    EXPECT_EQ(dialog.Edit3->isEnabled(), c.Enabled);
    Form2.reset();
  }
}

TEST_F(SettingsDialogTest, ModelsApplyOnOkAndGoBackOnCancel) {
  struct Step {
    int Model;
    const char* Half;
    const char* Lines;
    bool Ok;
    TDeviceSettings After;
    bool EnabledAfter;
  };
  const Step steps[] = {
      {3, nullptr, nullptr, true, {13, 2, 3, false}, false},
      {5, "20", "4", true, {20, 4, 5, false}, true},
      // Cancel puts the model back, and with it the fields' state.
      {0, nullptr, nullptr, false, {20, 4, 5, false}, true},
      {4, nullptr, nullptr, true, {12, 3, 4, false}, false},
      {5, "30", "5", false, {12, 3, 4, false}, false},
  };
  TForm2& dialog = CreateDialog();
  for (const Step& s : steps) {
    Run(
        [&](TForm2& d) {
          PickModel(d, s.Model);
          if (s.Half) d.Edit2->setText(s.Half);
          if (s.Lines) d.Edit3->setText(s.Lines);
        },
        s.Ok);
    EXPECT_EQ(Device(), s.After) << "model " << s.Model;
    EXPECT_EQ(dialog.ComboBox1->currentIndex(), s.After.Model);
    EXPECT_EQ(dialog.Edit2->isEnabled(), s.EnabledAfter);
  }
  std::optional<bool> enabledAtShowing;
  Run([&](TForm2& d) { enabledAtShowing = d.Edit2->isEnabled(); }, false);
  EXPECT_EQ(enabledAtShowing, false);
}

TEST_F(SettingsDialogTest, FieldsThatAreNoIntegersKeepTheirValues) {
  struct Case {
    const char* Tab;
    const char* Margin;
    const char* Half;
    const char* Lines;
    int TabAfter;
    int MarginAfter;
    int HalfAfter;
    int LinesAfter;
  };
  const Case cases[] = {
      {"abc", "5", "20", "4", 4, 5, 20, 4},
      {"6", "x", " 18", "2x", 6, 5, 18, 4},
      {"$3", "0x0A", "", "-1", 3, 10, 18, -1},
  };
  CreateDialog({16, 3, 5, false});
  for (const Case& c : cases) {
    Run(
        [&](TForm2& d) {
          d.Edit1->setText(c.Tab);
          d.Edit4->setText(c.Margin);
          d.Edit2->setText(c.Half);
          d.Edit3->setText(c.Lines);
        },
        true);
    EXPECT_EQ(Edit().TabCount(), c.TabAfter) << c.Tab;
    EXPECT_EQ(Edit().LeftMargin(), c.MarginAfter) << c.Margin;
    EXPECT_EQ(Device().HalfCount, c.HalfAfter) << c.Half;
    EXPECT_EQ(Device().LineCount, c.LinesAfter) << c.Lines;
  }
}

TEST_F(SettingsDialogTest, FillsFromTheEditorAndAppliesOnOk) {
  struct Case {
    const char* FontName;
    int FontSize;
    TColor MarkColor;
    TColor FontColor;
    int PickSize;  // index in the size list, -1 for none
    // What the dialog shows.
    const char* ShownFont;
    int ShownSize;
    const char* ShownMark;
    // What OK leaves in the editor.
    const char* FontAfter;
    int SizeAfter;
  };
  const Case cases[] = {
      {"Mincho", 12, clRed, clBlack, -1, "Mincho", 3, "赤", "Mincho", 12},
      // A size outside the list is kept while no size was ever picked.
      {"Mincho", 40, clTeal, clBlack, -1, "Mincho", -1, "青緑", "Mincho", 40},
      // An unknown or differently spelt face shows the first face, which OK applies.
      {"FixedSys", 9, 0x00123456, clNavy, 11, "Gothic", 0, "(カスタム)", "Gothic", 20},
      {"mincho", 20, clWhite, clBlack, -1, "Gothic", 11, "白", "Gothic", 20},
  };
  CreateDialog();
  for (const Case& c : cases) {
    TFont font = Edit().Font();
    font.SetName(c.FontName);
    font.SetSize(c.FontSize);
    font.SetColor(c.FontColor);
    Edit().SetFont(font);
    Edit().SetCREOFcolor(c.MarkColor);
    Form2->ComboBox2->setCurrentIndex(-1);
    Run(
        [&](TForm2& d) {
          EXPECT_EQ(d.FontNameComboBox1->Value(), c.ShownFont) << c.FontName;
          EXPECT_EQ(d.ComboBox2->currentIndex(), c.ShownSize) << c.FontSize;
          EXPECT_EQ(d.ColorComboBox1->currentText().toStdString(), c.ShownMark);
          EXPECT_EQ(d.ColorComboBox2->Value(), c.FontColor);
          if (c.PickSize >= 0) d.ComboBox2->setCurrentIndex(c.PickSize);
        },
        true);
    EXPECT_EQ(Edit().Font().Name(), c.FontAfter);
    EXPECT_EQ(Edit().Font().Size(), c.SizeAfter);
    EXPECT_EQ(Edit().Font().Color(), c.FontColor);
    EXPECT_EQ(Edit().CREOFcolor(), c.MarkColor);
    // Redesign has run: the editor draws with the new face at once.
    EXPECT_EQ(Edit().LogFont().lfFaceName, c.FontAfter);
  }
}

TEST_F(SettingsDialogTest, CheckBoxesShowTheMarksAndOkAppliesThem) {
  CreateDialog();
  Edit().SetShowEOF(true);
  Edit().SetShowTAB(false);
  Edit().SetShowCR(true);
  Edit().SetShowDblSpace(false);
  Edit().SetShowLineNumber(true);
  Run(
      [](TForm2& d) {
        EXPECT_EQ((std::vector<bool>{d.CheckBox1->isChecked(), d.CheckBox2->isChecked(), d.CheckBox3->isChecked(),
                                     d.CheckBox4->isChecked(), d.CheckBox5->isChecked()}),
                  (std::vector<bool>{true, false, true, false, true}));
        for (QCheckBox* box : {d.CheckBox1, d.CheckBox2, d.CheckBox3, d.CheckBox4, d.CheckBox5}) box->toggle();
        d.ColorComboBox1->SetValue(clPurple);
      },
      true);
  EXPECT_EQ((std::vector<bool>{Edit().ShowEOF(), Edit().ShowTAB(), Edit().ShowCR(), Edit().ShowDblSpace(),
                               Edit().ShowLineNumber()}),
            (std::vector<bool>{false, true, false, true, false}));
  EXPECT_EQ(Edit().CREOFcolor(), clPurple);

  // Cancel changes nothing of the editor.
  Run(
      [](TForm2& d) {
        d.CheckBox1->toggle();
        d.Edit1->setText("8");
      },
      false);
  EXPECT_FALSE(Edit().ShowEOF());
  EXPECT_EQ(Edit().TabCount(), 4);
}

TEST_F(SettingsDialogTest, ShowsBelowAndRightOfTheMainWindowsCorner) {
  CreateDialog();
  Form->show();
  Form->move(100, 60);
  QPoint offset;
  // Both windows have the same frame here, so their client areas lie as far apart as their frames.
  Run([&](TForm2& d) { offset = d.geometry().topLeft() - Form->geometry().topLeft(); }, false);
  EXPECT_EQ(offset, QPoint(30, 80));
}

}  // namespace
