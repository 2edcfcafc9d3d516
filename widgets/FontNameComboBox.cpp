// TFontNameComboBox: the global font list from fontconfig, the box's filtering, its owner drawing and its selection.
#include "widgets/FontNameComboBox.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QSignalBlocker>
#include <algorithm>
#include <optional>

#include "platform/Colors.h"
#include "platform/qt/FontFaces.h"
#include "platform/qt/QtConvert.h"
#include "widgets/DeviceTypeIcon.xpm"
#include "widgets/TrueTypeIcon.xpm"

namespace {

constexpr int kIconSize = 16;

std::uint8_t CharsetOf(const QString& family) {
  const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
  if (systems.contains(QFontDatabase::Japanese)) return kShiftJisCharset;
  if (systems.contains(QFontDatabase::Symbol) && !systems.contains(QFontDatabase::Latin)) return kSymbolCharset;
  return 0;
}

}  // namespace

std::vector<TFontEntry> ReadInstalledFonts() {
  std::vector<TFontEntry> list;
  for (const QString& family : QFontDatabase::families()) {
    if (QFontDatabase::isPrivateFamily(family)) continue;
    // Outline fonts stand where TrueType fonts would, bitmap fonts where raster fonts would.
    const bool outline = QFontDatabase::isSmoothlyScalable(family);
    std::uint32_t flags = outline ? kTrueTypeFontType : kRasterFontType;
    if (IsFixedPitchFamily(family)) flags |= kFixedPitchFontFlag;
    flags |= static_cast<std::uint32_t>(CharsetOf(family)) << kFontCharsetShift;
    AddFontReport(list, family.toStdString(), flags);
  }
  LeaveOutOtherCjkRegions(list);
  std::stable_sort(list.begin(), list.end(),
                   [](const TFontEntry& a, const TFontEntry& b) { return FontNameLess(a.Name, b.Name); });
  return list;
}

namespace {

std::optional<std::vector<TFontEntry>>& GlobalList() {
  static std::optional<std::vector<TFontEntry>> list;
  return list;
}

const QImage& Icon(bool trueType) {
  static const QImage trueTypeIcon(TrueTypeIcon);
  static const QImage deviceTypeIcon(DeviceTypeIcon);
  return trueType ? trueTypeIcon : deviceTypeIcon;
}

enum class TFontIcon { None, TrueType, Device };

// The icon an item shows: of the kinds the font has and the box collects,
// the one that the priority puts first.
TFontIcon IconOf(TFontNameFilters properties, TFontNameFilters collect, TFontIconPriority priority) {
  const bool printer = properties.Contains(fnfPrinter) && collect.Contains(fnfPrinter);
  const bool trueType = properties.Contains(fnfTrueType) && collect.Contains(fnfTrueType);
  if (priority == TFontIconPriority::fipPrinter && printer) return TFontIcon::Device;
  if (trueType) return TFontIcon::TrueType;
  if (printer) return TFontIcon::Device;
  return TFontIcon::None;
}

}  // namespace

const std::vector<TFontEntry>& TFontNameComboBox::GlobalFontList() {
  if (!GlobalList()) GlobalList() = ReadInstalledFonts();
  return *GlobalList();
}

void TFontNameComboBox::SetGlobalFontList(std::vector<TFontEntry> fonts) { GlobalList() = std::move(fonts); }

TFontNameComboBox::TFontNameComboBox(QWidget* parent) : TOwnerDrawComboBox(parent) {
  connect(this, &QComboBox::activated, this, &TFontNameComboBox::ItemActivated);
  Rebuild();
}

void TFontNameComboBox::SetCollectFilters(TFontNameFilters value) {
  FCollectFilters = value;
  Rebuild();
}

void TFontNameComboBox::SetExclusiveFilters(TFontNameFilters value) {
  FExclusiveFilters = ReplaceTypeFilters(FExclusiveFilters, value);
  Rebuild();
}

void TFontNameComboBox::SetVisibleFontNames(std::vector<std::string> names) {
  FVisibleFontNames = std::move(names);
  RemoveFontNames(FInvisibleFontNames, FVisibleFontNames);
  Rebuild();
}

void TFontNameComboBox::SetInvisibleFontNames(std::vector<std::string> names) {
  FInvisibleFontNames = std::move(names);
  RemoveFontNames(FVisibleFontNames, FInvisibleFontNames);
  Rebuild();
}

void TFontNameComboBox::SetIconVisible(bool value) {
  FIconVisible = value;
  update();
}

void TFontNameComboBox::SetTextFontFace(bool value) {
  FTextFontFace = value;
  update();
}

void TFontNameComboBox::SetIconPriority(TFontIconPriority value) {
  FIconPriority = value;
  update();
}

void TFontNameComboBox::Rebuild() {
  const std::string selected = Value();
  {
    const QSignalBlocker blocker(this);
    clear();
    FFonts = FilterFonts(GlobalFontList(), FCollectFilters, FExclusiveFilters, FVisibleFontNames, FInvisibleFontNames);
    for (const TFontEntry& font : FFonts) addItem(QString::fromStdString(font.Name));
  }
  SetValue(selected);
}

std::vector<std::string> TFontNameComboBox::Items() const {
  std::vector<std::string> names;
  names.reserve(FFonts.size());
  for (const TFontEntry& font : FFonts) names.push_back(font.Name);
  return names;
}

void TFontNameComboBox::SetItemIndex(int index) { setCurrentIndex(index >= 0 && index < count() ? index : -1); }

std::string TFontNameComboBox::Value() const {
  const int index = currentIndex();
  return index >= 0 && index < static_cast<int>(FFonts.size()) ? FFonts[static_cast<std::size_t>(index)].Name
                                                               : std::string();
}

void TFontNameComboBox::SetValue(const std::string& name) {
  const std::string before = Value();
  const auto found = std::find_if(FFonts.begin(), FFonts.end(),
                                  [&name](const TFontEntry& font) { return SameFontName(font.Name, name); });
  const int index = found != FFonts.end() ? static_cast<int>(found - FFonts.begin()) : (FFonts.empty() ? -1 : 0);
  {
    const QSignalBlocker blocker(this);
    setCurrentIndex(index);
  }
  update();
  if (Value() != before) {
    ApplyToChangeControl();
    emit Change();
  }
}

void TFontNameComboBox::SetChangeControl(QWidget* control) {
  FChangeControl = control;
  if (control) SetValue(control->font().family().toStdString());
}

void TFontNameComboBox::ApplyToChangeControl() {
  if (!FChangeControl || currentIndex() < 0) return;
  QFont font = FChangeControl->font();
  font.setFamily(QString::fromStdString(Value()));
  FChangeControl->setFont(font);
}

void TFontNameComboBox::ItemActivated(int) {
  ApplyToChangeControl();
  emit Change();
  emit Click();
}

void TFontNameComboBox::DrawItem(QPainter& painter, const QRect& rect, int index, bool selected) const {
  const QPalette& colors = palette();
  painter.save();
  painter.fillRect(rect, selected ? colors.color(QPalette::Highlight) : colors.color(QPalette::Base));
  if (index < 0 || index >= static_cast<int>(FFonts.size())) {
    painter.restore();
    return;
  }
  const TFontEntry& entry = FFonts[static_cast<std::size_t>(index)];
  QFont face = font();
  if (FTextFontFace) face.setFamilies({QString::fromStdString(entry.Name)});
  int textLeft = rect.left() + 2;
  if (FIconVisible) {
    const TFontIcon icon = IconOf(FontFilterProperties(entry), FCollectFilters, FIconPriority);
    if (icon != TFontIcon::None) {
      // Black pixels of the icon leave the background as it is.
      painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
      painter.drawImage(QPoint(rect.left() + 2, rect.top() + (rect.height() - kIconSize) / 2),
                        Icon(icon == TFontIcon::TrueType));
      painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    textLeft = rect.left() + 20;
  }
  painter.setFont(face);
  painter.setPen(!isEnabled() ? QColorFromColor(clGrayText)
                 : selected   ? colors.color(QPalette::HighlightedText)
                              : colors.color(QPalette::Text));
  const QRect textRect(textLeft, rect.top(), rect.right() - textLeft + 1, rect.height());
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, QString::fromStdString(entry.Name));
  painter.restore();
}
