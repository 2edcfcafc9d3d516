// TColorComboBox: a drop-down list of named colours with swatches and a custom colour from the colour dialog.
#pragma once

#include <QPointer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Colors.h"
#include "widgets/ColorComboBoxList.h"
#include "widgets/ColorComboBoxTables.h"
#include "widgets/OwnerDrawComboBox.h"

class QAbstractButton;

// Where the colour dialog's 16 custom colours are kept between runs: the INI
// file beside the executable, or the per-user settings store.
enum class TSaveToColorFile { scfIniFile = 0, scfRegistry = 1 };

struct TColorSaveSetting {
  TSaveToColorFile RegIni = TSaveToColorFile::scfIniFile;
  std::string Section = "CustomColors";
};

// Shows the colour dialog starting at a colour; the chosen colour, or none on cancel.
using TColorDialogRunner = std::function<std::optional<TColor>(QWidget* parent, TColor initial)>;

// Items are built from the tables and the user colours by the Show flags.
// The custom entry stands for CustomColor; a colour written to Value that no
// entry has becomes the custom colour. A small button at the right edge,
// shown only while the custom entry is selected, opens the colour dialog.
class TColorComboBox : public TOwnerDrawComboBox {
  Q_OBJECT

 public:
  explicit TColorComboBox(QWidget* parent = nullptr);
  ~TColorComboBox() override;

  // The dialog that every box shares; tests put a scripted one here.
  static void SetColorDialogRunner(TColorDialogRunner runner);

  const TColorListOptions& Options() const { return FOptions; }
  void SetOptions(const TColorListOptions& options);
  bool ShowText() const { return FShowText; }
  void SetShowText(bool value);
  const std::vector<TUserColor>& Items() const { return FUserColors; }
  void SetItems(std::vector<TUserColor> colors);

  int ItemCount() const { return static_cast<int>(FItems.size()); }
  // The custom entry answers CustomColor, the default entry the default marker.
  TColor ItemColor(int index) const;
  int ItemIndex() const { return currentIndex(); }
  void SetItemIndex(int index);
  // The item's name in the language the list does not show; raises
  // EListError for an index outside the list.
  std::string OtherLanguageText(int index) const;

  // The selected item's colour; the custom marker when nothing is selected.
  TColor Value() const;
  void SetValue(TColor value);
  TColor CustomColor() const { return FCustomColor; }
  void SetCustomColor(TColor value);
  TColor DefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor value);

  bool HintIsOtherLanguage() const { return FHintIsOtherLanguage; }
  void SetHintIsOtherLanguage(bool value) { FHintIsOtherLanguage = value; }
  bool CustomColorSave() const { return FCustomColorSave; }
  void SetCustomColorSave(bool value) { FCustomColorSave = value; }
  TColorSaveSetting& CustomColorSaveOption() { return FCustomColorSaveOption; }

  // The control that the selected colour is applied to: its text colour
  // with ChangeControlFont, else its background.
  QWidget* ChangeControl() const { return FChangeControl; }
  void SetChangeControl(QWidget* control);
  bool ChangeControlFont() const { return FChangeControlFont; }
  void SetChangeControlFont(bool value);

  // The button that opens the colour dialog.
  QAbstractButton* CustomButton() const { return FCustomButton; }
  // Runs the colour dialog for the custom entry, as a click on the button does.
  void CustomButtonClick();

  // Paints item index into rect, as the list and the closed box show it.
  void DrawItem(QPainter& painter, const QRect& rect, int index, bool selected) const override;

 signals:
  // A colour was chosen by the user, in the list or in the colour dialog.
  void Click();
  void Change();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Rebuild();
  void ItemActivated(int index);
  void PlaceCustomButton();
  void ApplyToChangeControl(TColor color);
  TColor ControlColor() const;
  bool CustomSelected() const;
  void LoadCustomColors() const;
  void SaveCustomColors() const;

  TColorListOptions FOptions;
  std::vector<TUserColor> FUserColors;
  std::vector<TColorItem> FItems;
  bool FShowText = true;
  TColor FCustomColor = clBlack;
  TColor FDefaultColor = clBtnFace;
  bool FHintIsOtherLanguage = false;
  bool FCustomColorSave = false;
  TColorSaveSetting FCustomColorSaveOption;
  QPointer<QWidget> FChangeControl;
  bool FChangeControlFont = false;
  QAbstractButton* FCustomButton = nullptr;
};
