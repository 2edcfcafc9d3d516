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

  QGroupBox* GroupBox3;
  QLabel* Label7;
  QComboBox* ComboBox1;
  QLabel* Label2;
  QLineEdit* Edit2;
  QLabel* Label3;
  QLineEdit* Edit3;
  QLabel* Label4;
  QGroupBox* GroupBox2;
  TFontNameComboBox* FontNameComboBox1;
  QComboBox* ComboBox2;
  TColorComboBox* ColorComboBox2;
  QGroupBox* GroupBox1;
  QCheckBox* CheckBox5;
  QCheckBox* CheckBox1;
  QCheckBox* CheckBox2;
  QCheckBox* CheckBox3;
  QCheckBox* CheckBox4;
  QLabel* Label6;
  TColorComboBox* ColorComboBox1;
  QLabel* Label1;
  QLineEdit* Edit1;
  QLabel* Label5;
  QLineEdit* Edit4;
  QPushButton* Button1;
  QPushButton* Button2;

 private:
  void CreateControls();
  void SetTabOrder();
  void FormCreate();
  void EnableSizeFields();
  void Fill(const TRyxEdit& edit);
  void Apply(TRyxEdit& edit);

  TDeviceSettings& FDevice;
};
