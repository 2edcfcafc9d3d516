// TFontNameComboBox: a read-only drop-down list of the installed font families, filtered by their properties.
#pragma once

#include <QPointer>
#include <string>
#include <vector>

#include "widgets/FontNameComboBoxList.h"
#include "widgets/OwnerDrawComboBox.h"

// The installed families from fontconfig, sorted by name: outline fonts
// count as TrueType fonts and bitmap fonts as raster fonts; a family that
// covers Japanese has character set 128, a symbol-only one 2.
std::vector<TFontEntry> ReadInstalledFonts();

enum class TFontIconPriority { fipTrueType = 0, fipPrinter = 1 };

// Lists the families of the global font list that pass CollectFilters and
// ExclusiveFilters, plus VisibleFontNames, minus InvisibleFontNames; a name
// is never in both name lists. Items may be drawn in their own face, after
// an icon for TrueType or printer fonts.
class TFontNameComboBox : public TOwnerDrawComboBox {
  Q_OBJECT

 public:
  explicit TFontNameComboBox(QWidget* parent = nullptr);

  // The system's families, read from fontconfig once per run and shared by
  // every box. On this platform printers print with the same fonts, so no
  // family is a printer font.
  static const std::vector<TFontEntry>& GlobalFontList();
  // Replaces the shared list; boxes created later list from it.
  static void SetGlobalFontList(std::vector<TFontEntry> fonts);

  TFontNameFilters CollectFilters() const { return FCollectFilters; }
  void SetCollectFilters(TFontNameFilters value);
  TFontNameFilters ExclusiveFilters() const { return FExclusiveFilters; }
  void SetExclusiveFilters(TFontNameFilters value);
  const std::vector<std::string>& VisibleFontNames() const { return FVisibleFontNames; }
  void SetVisibleFontNames(std::vector<std::string> names);
  const std::vector<std::string>& InvisibleFontNames() const { return FInvisibleFontNames; }
  void SetInvisibleFontNames(std::vector<std::string> names);

  bool IconVisible() const { return FIconVisible; }
  void SetIconVisible(bool value);
  bool TextFontFace() const { return FTextFontFace; }
  void SetTextFontFace(bool value);
  TFontIconPriority IconPriority() const { return FIconPriority; }
  void SetIconPriority(TFontIconPriority value);

  // The listed names (UTF-8), in list order.
  std::vector<std::string> Items() const;
  const std::vector<TFontEntry>& Fonts() const { return FFonts; }
  int ItemIndex() const { return currentIndex(); }
  void SetItemIndex(int index);

  // The selected name; empty when nothing is selected.
  std::string Value() const;
  // Selects the first item of that name (ASCII case ignored), else item 0.
  void SetValue(const std::string& name);

  // The control whose font face follows the selection.
  QWidget* ChangeControl() const { return FChangeControl; }
  void SetChangeControl(QWidget* control);

  void DrawItem(QPainter& painter, const QRect& rect, int index, bool selected) const override;

 signals:
  void Change();
  void Click();

 private:
  void Rebuild();
  void ItemActivated(int index);
  void ApplyToChangeControl();

  TFontNameFilters FCollectFilters = kDefaultCollectFilters;
  TFontNameFilters FExclusiveFilters;
  std::vector<std::string> FVisibleFontNames;
  std::vector<std::string> FInvisibleFontNames;
  bool FIconVisible = true;
  bool FTextFontFace = false;
  TFontIconPriority FIconPriority = TFontIconPriority::fipTrueType;
  std::vector<TFontEntry> FFonts;
  QPointer<QWidget> FChangeControl;
};
