// TForm2: the settings dialog: player model and display size, display marks, tab width, margin, font and colours.
#pragma once

#include <QDialog>

#include "app/core/DeviceSettings.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TColorComboBox;
class TFontNameComboBox;
class TRyxEdit;

// Lives for the whole run and keeps its controls between showings. The
// player model changes as soon as one is picked and goes back on Cancel;
// everything else reaches the editor and the device settings only on OK.
class TForm2 : public QDialog {
  Q_OBJECT

 public:
  // device must outlive the dialog; its values fill the model controls now.
  explicit TForm2(TDeviceSettings& device, QWidget* parent = nullptr);

  // Fills the controls from the editor and the device settings, shows the
  // dialog modally at the owner's top + 80 and left + 30, and applies the
  // values on OK (then Redesign and RefreshView). True when closed with OK.
  bool Execute(TRyxEdit& edit, const QWidget& owner);

  // A model picked from the list: the presets fill the size fields, which
  // only the custom model lets the user edit.
  void ComboBox1Select();

  QGroupBox* GroupBox3;                  // "基本設定": the player
  QLabel* Label7;                        // "機種"
  QComboBox* ComboBox1;                  // the player model, from the presets or the custom entry
  QLabel* Label2;                        // "半角"
  QLineEdit* Edit2;                      // half-width characters per display line
  QLabel* Label3;                        // "文字 ×"
  QLineEdit* Edit3;                      // display lines
  QLabel* Label4;                        // "行"
  QGroupBox* GroupBox2;                  // "フォント": the editor's font
  TFontNameComboBox* FontNameComboBox1;  // its face, Japanese fixed-pitch ones
  QComboBox* ComboBox2;                  // its size in points, 9 to 32
  TColorComboBox* ColorComboBox2;        // its colour
  QGroupBox* GroupBox1;                  // "表示": the marks and the layout of the text
  QCheckBox* CheckBox5;                  // "行番号": line numbers
  QCheckBox* CheckBox1;                  // "EOF": the end-of-text mark
  QCheckBox* CheckBox2;                  // "TAB": tab marks
  QCheckBox* CheckBox3;                  // "改行": line-break marks
  QCheckBox* CheckBox4;                  // "全角スペース": full-width space marks
  QLabel* Label6;                        // "色"
  TColorComboBox* ColorComboBox1;        // the colour of the marks
  QLabel* Label1;                        // "TAB幅"
  QLineEdit* Edit1;                      // the tab width in half-width characters
  QLabel* Label5;                        // "左マージン"
  QLineEdit* Edit4;                      // the left margin in pixels
  QPushButton* Button1;                  // "OK"
  QPushButton* Button2;                  // "キャンセル"

 private:
  void CreateControls();
  void SetTabOrder();
  void FormCreate();
  void EnableSizeFields();
  void Fill(const TRyxEdit& edit);
  void Apply(TRyxEdit& edit);

  TDeviceSettings& FDevice;
};
