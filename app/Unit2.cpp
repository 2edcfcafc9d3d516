// TForm2: the settings dialog's controls, the player presets, filling from the editor and applying on OK.
#include "app/Unit2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <optional>

#include "app/core/PlayerModels.h"
#include "editor/RyxEdit.h"
#include "platform/IntegerText.h"
#include "platform/qt/QtConvert.h"
#include "widgets/ColorComboBox.h"
#include "widgets/FontNameComboBox.h"

namespace {

QFont DialogFont(int height) {
  TLogFont font;
  font.lfHeight = height;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfFaceName = "ＭＳ Ｐゴシック";
  return QFontFromLogFont(font);
}

template <typename T>
T* Place(T* widget, int left, int top) {
  widget->move(left, top);
  return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* text, int left, int top) {
  auto* label = Place(new QLabel(QString::fromUtf8(text), parent), left, top);
  label->adjustSize();
  return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* text, int left, int top, int width) {
  auto* edit = new QLineEdit(QString::fromUtf8(text), parent);
  edit->setGeometry(left, top, width, 21);
  return edit;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* text, int top) {
  auto* box = Place(new QCheckBox(QString::fromUtf8(text), parent), 8, top);
  box->setChecked(true);
  box->adjustSize();
  return box;
}

TColorComboBox* MakeColorBox(QWidget* parent, int left, int top, int width) {
  auto* box = new TColorComboBox(parent);
  box->SetItemHeight(15);
  box->setGeometry(left, top, width, 15 + 6);
  box->SetChangeControlFont(false);
  box->SetValue(clBlack);
  box->SetCustomColor(clBlack);
  box->SetCustomColorSave(false);
  box->CustomColorSaveOption().Section = "CustomColors";
  return box;
}

// The text as an integer, or none when it is not one.
std::optional<int> IntegerOf(const QString& text) { return ParseInteger(text.toStdString()); }

// Selects the first entry of that colour, else makes it the custom colour.
void SelectColor(TColorComboBox& box, TColor color) {
  for (int i = 0; i < box.ItemCount(); ++i) {
    if (box.ItemColor(i) == color) {
      box.SetItemIndex(i);
      return;
    }
  }
  box.SetCustomColor(color);
  box.SetItemIndex(box.ItemCount() - 1);
}

}  // namespace

TForm2::TForm2(TDeviceSettings& device, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      FDevice(device) {
  setWindowTitle("設定");
  setFixedSize(407, 261);
  setFont(DialogFont(-12));
  CreateControls();
  SetTabOrder();
  FormCreate();
}

void TForm2::CreateControls() {
  GroupBox3 = new QGroupBox("基本設定", this);
  GroupBox3->setGeometry(4, 4, 241, 93);
  Label7 = MakeLabel(GroupBox3, "機種", 16, 32);
  ComboBox1 = new QComboBox(GroupBox3);
  for (const TPlayerModel& model : kPlayerModels) ComboBox1->addItem(QString::fromUtf8(model.Name));
  ComboBox1->setGeometry(52, 28, 165, 20);
  connect(ComboBox1, &QComboBox::activated, this, &TForm2::ComboBox1Select);
  Label2 = MakeLabel(GroupBox3, "半角", 52, 64);
  Edit2 = MakeEdit(GroupBox3, "16", 80, 57, 37);
  Label3 = MakeLabel(GroupBox3, "文字 ×", 120, 64);
  Edit3 = MakeEdit(GroupBox3, "3", 168, 57, 37);
  Label4 = MakeLabel(GroupBox3, "行", 205, 64);

  GroupBox2 = new QGroupBox("フォント", this);
  GroupBox2->setGeometry(4, 104, 241, 101);
  FontNameComboBox1 = new TFontNameComboBox(GroupBox2);
  FontNameComboBox1->setFont(DialogFont(-15));
  FontNameComboBox1->SetCollectFilters({fnfDevice, fnfVector, fnfRaster, fnfTrueType, fnfJapanese, fnfFixedPitch});
  FontNameComboBox1->SetExclusiveFilters({fnfJapanese, fnfFixedPitch});
  FontNameComboBox1->SetTextFontFace(true);
  FontNameComboBox1->SetItemHeight(19);
  FontNameComboBox1->setGeometry(44, 24, 189, 19 + 6);
  ComboBox2 = new QComboBox(GroupBox2);
  ComboBox2->setEditable(true);
  // Typed text is never taken into the list.
  ComboBox2->setInsertPolicy(QComboBox::NoInsert);
  for (int size = 9; size <= 32; ++size) ComboBox2->addItem(QString::number(size));
  ComboBox2->setCurrentIndex(-1);
  ComboBox2->setEditText("9");
  ComboBox2->setGeometry(44, 60, 45, 20);
  ColorComboBox2 = MakeColorBox(GroupBox2, 96, 60, 137);

  GroupBox1 = new QGroupBox("表示", this);
  GroupBox1->setGeometry(252, 4, 149, 201);
  CheckBox5 = MakeCheckBox(GroupBox1, "行番号", 16);
  CheckBox1 = MakeCheckBox(GroupBox1, "EOF", 36);
  CheckBox2 = MakeCheckBox(GroupBox1, "TAB", 56);
  CheckBox3 = MakeCheckBox(GroupBox1, "改行", 76);
  CheckBox4 = MakeCheckBox(GroupBox1, "全角スペース", 96);
  Label6 = MakeLabel(GroupBox1, "色", 8, 124);
  ColorComboBox1 = MakeColorBox(GroupBox1, 28, 120, 109);
  Label1 = MakeLabel(GroupBox1, "TAB幅", 12, 153);
  Edit1 = MakeEdit(GroupBox1, "4", 96, 149, 41);
  Label5 = MakeLabel(GroupBox1, "左マージン", 12, 177);
  Edit4 = MakeEdit(GroupBox1, "2", 96, 173, 41);

  Button1 = new QPushButton("OK", this);
  Button1->setGeometry(126, 220, 75, 25);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  Button2 = new QPushButton("キャンセル", this);
  Button2->setGeometry(206, 220, 75, 25);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm2::SetTabOrder() {
  QWidget* const order[] = {Button1,   Button2,        CheckBox5, CheckBox1, CheckBox2,      CheckBox3,
                            CheckBox4, ColorComboBox1, Edit1,     Edit4,     ColorComboBox2, FontNameComboBox1,
                            ComboBox2, Edit2,          Edit3,     ComboBox1};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
  Button1->setFocus();
}

void TForm2::FormCreate() {
  const bool known = FDevice.Model >= 0 && FDevice.Model < static_cast<int>(kPlayerModels.size());
  // A model from the settings file that the list lacks selects nothing.
  ComboBox1->setCurrentIndex(known ? FDevice.Model : -1);
  Edit2->setText(QString::number(FDevice.HalfCount));
  Edit3->setText(QString::number(FDevice.LineCount));
  EnableSizeFields();
}

void TForm2::EnableSizeFields() {
  const bool custom = ComboBox1->currentIndex() == kCustomModel;
  Edit2->setEnabled(custom);
  Edit3->setEnabled(custom);
}

void TForm2::ComboBox1Select() {
  const int index = ComboBox1->currentIndex();
  FDevice.Model = index;
  if (index >= 0 && index < kCustomModel) {
    Edit2->setText(QString::number(kPlayerModels[static_cast<std::size_t>(index)].HalfCount));
    Edit3->setText(QString::number(kPlayerModels[static_cast<std::size_t>(index)].LineCount));
  }
  EnableSizeFields();
}

void TForm2::Fill(const TRyxEdit& edit) {
  CheckBox1->setChecked(edit.ShowEOF());
  CheckBox2->setChecked(edit.ShowTAB());
  CheckBox3->setChecked(edit.ShowCR());
  CheckBox4->setChecked(edit.ShowDblSpace());
  CheckBox5->setChecked(edit.ShowLineNumber());
  Edit1->setText(QString::number(edit.TabCount()));
  Edit4->setText(QString::number(edit.LeftMargin()));
  SelectColor(*ColorComboBox1, edit.CREOFcolor());

  // The name must match exactly; otherwise the first face is offered.
  const std::vector<std::string> names = FontNameComboBox1->Items();
  const auto found = std::find(names.begin(), names.end(), edit.Font().Name());
  FontNameComboBox1->SetItemIndex(found != names.end() ? static_cast<int>(found - names.begin()) : 0);

  SelectColor(*ColorComboBox2, edit.Font().Color());
  for (int i = 0; i < ComboBox2->count(); ++i) {
    if (IntegerOf(ComboBox2->itemText(i)) == edit.Font().Size()) {
      ComboBox2->setCurrentIndex(i);
      break;
    }
  }
  Edit2->setText(QString::number(FDevice.HalfCount));
  Edit3->setText(QString::number(FDevice.LineCount));
}

bool TForm2::Execute(TRyxEdit& edit, const QWidget& owner) {
  Fill(edit);
  const int model = FDevice.Model;
  move(owner.x() + 30, owner.y() + 80);
  // The player model is what the dialog is opened for most often.
  ComboBox1->setFocus();
  if (exec() != QDialog::Accepted) {
    const bool known = model >= 0 && model < static_cast<int>(kPlayerModels.size());
    ComboBox1->setCurrentIndex(known ? model : -1);
    FDevice.Model = model;
    EnableSizeFields();
    return false;
  }
  Apply(edit);
  return true;
}

void TForm2::Apply(TRyxEdit& edit) {
  edit.SetShowEOF(CheckBox1->isChecked());
  edit.SetShowTAB(CheckBox2->isChecked());
  edit.SetShowCR(CheckBox3->isChecked());
  edit.SetShowDblSpace(CheckBox4->isChecked());
  edit.SetShowLineNumber(CheckBox5->isChecked());
  // A box without a selection answers the custom marker, which is no colour.
  if (ColorComboBox1->ItemIndex() >= 0) edit.SetCREOFcolor(ColorComboBox1->Value());
  TFont font = edit.Font();
  if (ColorComboBox2->ItemIndex() >= 0) font.SetColor(ColorToRGB(ColorComboBox2->Value()));
  if (!FontNameComboBox1->Value().empty()) font.SetName(FontNameComboBox1->Value());
  // Only a size chosen from the list counts, never typed text.
  const int sizeIndex = ComboBox2->currentIndex();
  const QString sizeText = sizeIndex >= 0 ? ComboBox2->itemText(sizeIndex) : QString();
  if (const std::optional<int> size = IntegerOf(sizeText)) font.SetSize(*size);
  edit.SetFont(font);
  if (const std::optional<int> value = IntegerOf(Edit1->text())) edit.SetTabCount(*value);
  if (const std::optional<int> value = IntegerOf(Edit2->text())) FDevice.HalfCount = *value;
  if (const std::optional<int> value = IntegerOf(Edit3->text())) FDevice.LineCount = *value;
  if (const std::optional<int> value = IntegerOf(Edit4->text())) edit.SetLeftMargin(*value);
  edit.Redesign();
  edit.RefreshView();
}
