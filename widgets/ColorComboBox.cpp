// TColorComboBox: list building, owner drawing, the custom-colour button and the shared colour dialog.
#include "widgets/ColorComboBox.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QSettings>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/IniFile.h"
#include "platform/IntegerText.h"
#include "platform/qt/QtConvert.h"

namespace {

constexpr int kCustomColorCount = 16;
constexpr int kButtonWidth = 19;

TColorDialogRunner& ColorDialogRunner() {
  static TColorDialogRunner runner = [](QWidget* parent, TColor initial) -> std::optional<TColor> {
    const QColor color = QColorDialog::getColor(QColorFromColor(initial), parent);
    if (!color.isValid()) return std::nullopt;
    return ColorFromQColor(color);
  };
  return runner;
}

// The dialog's custom colours start white, once for all boxes.
void InitCustomColors() {
  static const bool done = [] {
    for (int i = 0; i < kCustomColorCount; ++i) QColorDialog::setCustomColor(i, QColor(Qt::white));
    return true;
  }();
  (void)done;
}

std::string CustomColorKey(int i) { return std::string("Color") + static_cast<char>('A' + i); }

std::filesystem::path IniBesideExecutable() {
  std::filesystem::path path(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString());
  return path.replace_extension(".ini");
}

// The raised button with three dashes; pressed, it looks sunk and the dashes move right.
class TCustomColorButton : public QAbstractButton {
 public:
  explicit TCustomColorButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    painter.drawPrimitive(QStyle::PE_PanelButtonCommand, option);
    const int shift = isDown() ? 1 : 0;
    const int y = height() / 2 + shift;
    for (const int x : {5, 9, 13}) painter.fillRect(x + shift, y, 3, 1, Qt::black);
  }
};

}  // namespace

TColorComboBox::TColorComboBox(QWidget* parent) : TOwnerDrawComboBox(parent) {
  InitCustomColors();
  FCustomButton = new TCustomColorButton(this);
  connect(FCustomButton, &QAbstractButton::clicked, this, &TColorComboBox::CustomButtonClick);
  connect(this, &QComboBox::activated, this, &TColorComboBox::ItemActivated);
  connect(this, &QComboBox::currentIndexChanged, this, [this] { PlaceCustomButton(); });
  Rebuild();
}

TColorComboBox::~TColorComboBox() = default;

void TColorComboBox::SetColorDialogRunner(TColorDialogRunner runner) { ColorDialogRunner() = std::move(runner); }

void TColorComboBox::SetOptions(const TColorListOptions& options) {
  if (options == FOptions) return;
  FOptions = options;
  Rebuild();
}

void TColorComboBox::SetShowText(bool value) {
  FShowText = value;
  update();
}

void TColorComboBox::SetItems(std::vector<TUserColor> colors) {
  FUserColors = std::move(colors);
  if (FOptions.ShowUserColor) Rebuild();
}

void TColorComboBox::Rebuild() {
  const bool selected = currentIndex() >= 0;
  const TColor value = Value();
  {
    const QSignalBlocker blocker(this);
    clear();
    FItems = BuildColorList(FOptions, FUserColors);
    for (const TColorItem& item : FItems) addItem(QStringFromAnsi(item.Text));
    if (!selected) {
      setCurrentIndex(FItems.empty() ? -1 : 0);
    } else {
      SetValue(value);
    }
  }
  PlaceCustomButton();
  update();
}

TColor TColorComboBox::ItemColor(int index) const {
  if (index < 0 || index >= ItemCount()) return clCustomColorMarker;
  const TColorItem& item = FItems[static_cast<std::size_t>(index)];
  return item.Group == TColorGroup::Custom ? FCustomColor : item.Color;
}

void TColorComboBox::SetItemIndex(int index) { setCurrentIndex(index >= 0 && index < ItemCount() ? index : -1); }

std::string TColorComboBox::OtherLanguageText(int index) const {
  return ::OtherLanguageText(FItems, index, FOptions, FUserColors);
}

TColor TColorComboBox::Value() const { return currentIndex() < 0 ? clCustomColorMarker : ItemColor(currentIndex()); }

void TColorComboBox::SetValue(TColor value) {
  int index = FindColorItem(FItems, value, FCustomColor);
  if (index < 0 && !FItems.empty() && FItems.back().Group == TColorGroup::Custom) {
    FCustomColor = value;
    index = ItemCount() - 1;
  }
  if (index >= 0) setCurrentIndex(index);
  update();
}

void TColorComboBox::SetCustomColor(TColor value) {
  FCustomColor = value;
  update();
}

void TColorComboBox::SetDefaultColor(TColor value) {
  FDefaultColor = value;
  update();
}

void TColorComboBox::resizeEvent(QResizeEvent* event) {
  TOwnerDrawComboBox::resizeEvent(event);
  PlaceCustomButton();
}

bool TColorComboBox::CustomSelected() const {
  const int index = currentIndex();
  return index >= 0 && index < ItemCount() && FItems[static_cast<std::size_t>(index)].Group == TColorGroup::Custom;
}

void TColorComboBox::PlaceCustomButton() {
  if (!FCustomButton) return;
  if (CustomSelected()) {
    const int scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    FCustomButton->setGeometry(width() - scrollBarWidth - 21, 2, kButtonWidth, height() - 4);
    FCustomButton->show();
  } else {
    FCustomButton->setGeometry(-kButtonWidth, 2, kButtonWidth, std::max(1, height() - 4));
    FCustomButton->hide();
  }
}

void TColorComboBox::ItemActivated(int index) {
  PlaceCustomButton();
  if (FHintIsOtherLanguage && index >= 0) setToolTip(QStringFromAnsi(OtherLanguageText(index)));
  if (FChangeControl) {
    const TColor color = Value();
    ApplyToChangeControl(color == clDefaultColorMarker ? FDefaultColor : color);
  }
  emit Click();
  emit Change();
}

void TColorComboBox::SetChangeControl(QWidget* control) {
  FChangeControl = control;
  if (!control) return;
  const TColor color = ControlColor();
  const bool isDefault = FOptions.ShowDefaultColor && color == ColorToRGB(FDefaultColor);
  SetValue(isDefault ? clDefaultColorMarker : color);
}

void TColorComboBox::SetChangeControlFont(bool value) {
  FChangeControlFont = value;
  if (FChangeControl) SetChangeControl(FChangeControl);
}

TColor TColorComboBox::ControlColor() const {
  const QWidget& control = *FChangeControl;
  const QPalette::ColorRole role = FChangeControlFont ? control.foregroundRole() : control.backgroundRole();
  return ColorFromQColor(control.palette().color(role));
}

void TColorComboBox::ApplyToChangeControl(TColor color) {
  if (!FChangeControl) return;
  QPalette palette = FChangeControl->palette();
  const QPalette::ColorRole role =
      FChangeControlFont ? FChangeControl->foregroundRole() : FChangeControl->backgroundRole();
  palette.setColor(role, QColorFromColor(color));
  FChangeControl->setPalette(palette);
  if (!FChangeControlFont) FChangeControl->setAutoFillBackground(true);
}

void TColorComboBox::LoadCustomColors() const {
  const std::string& section = FCustomColorSaveOption.Section;
  if (!FCustomColorSave || section.empty()) return;
  auto apply = [](int i, const std::string& text) {
    // Stored as the hexadecimal colour value, as in "ColorA=FFFFFF".
    if (const std::optional<int> value = ParseInteger("$" + text)) {
      QColorDialog::setCustomColor(i, QColorFromColor(static_cast<TColor>(*value)));
    }
  };
  if (FCustomColorSaveOption.RegIni == TSaveToColorFile::scfRegistry) {
    QSettings settings;
    settings.beginGroup(QString::fromStdString(section));
    for (int i = 0; i < kCustomColorCount; ++i) {
      const QString key = QString::fromStdString(CustomColorKey(i));
      if (settings.contains(key)) apply(i, settings.value(key).toString().toStdString());
    }
    return;
  }
  const TIniFile ini(IniBesideExecutable());
  for (int i = 0; i < kCustomColorCount; ++i) {
    const std::string text = ini.ReadString(section, CustomColorKey(i), "");
    if (!text.empty()) apply(i, text);
  }
}

void TColorComboBox::SaveCustomColors() const {
  const std::string& section = FCustomColorSaveOption.Section;
  if (!FCustomColorSave || section.empty()) return;
  auto text = [](int i) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%06X", ColorFromQColor(QColorDialog::customColor(i)));
    return std::string(buffer);
  };
  if (FCustomColorSaveOption.RegIni == TSaveToColorFile::scfRegistry) {
    QSettings settings;
    settings.beginGroup(QString::fromStdString(section));
    for (int i = 0; i < kCustomColorCount; ++i) {
      settings.setValue(QString::fromStdString(CustomColorKey(i)), QString::fromStdString(text(i)));
    }
    return;
  }
  TIniFile ini(IniBesideExecutable());
  for (int i = 0; i < kCustomColorCount; ++i) ini.WriteString(section, CustomColorKey(i), text(i));
  ini.UpdateFile();
}

void TColorComboBox::CustomButtonClick() {
  LoadCustomColors();
  const TColor before = Value();
  const std::optional<TColor> chosen = ColorDialogRunner()(this, before);
  if (!chosen) return;
  SetCustomColor(*chosen);
  SaveCustomColors();
  ApplyToChangeControl(*chosen);
  if (*chosen != before) {
    emit Click();
    emit Change();
  }
}

void TColorComboBox::DrawItem(QPainter& painter, const QRect& rect, int index, bool selected) const {
  const QPalette& colors = palette();
  painter.save();
  painter.fillRect(rect, selected ? colors.color(QPalette::Highlight) : colors.color(QPalette::Base));
  if (index < 0 || index >= ItemCount()) {
    painter.restore();
    return;
  }
  TColor brush = ItemColor(index);
  if (brush == clDefaultColorMarker) brush = FDefaultColor;
  const TColorItemLayout layout =
      LayoutColorItem(rect.left(), rect.top(), rect.width(), rect.height(), ItemHeight(), FShowText, brush);
  if (layout.Swatch) {
    const QRect swatch(layout.Left, layout.Top, layout.Right - layout.Left, layout.Bottom - layout.Top);
    painter.fillRect(swatch, QColorFromColor(brush));
    if (layout.Outline) {
      painter.setPen(Qt::black);
      painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    }
  }
  if (FShowText) {
    painter.setFont(font());
    const QColor text = !isEnabled() ? QColorFromColor(clGrayText)
                        : selected   ? colors.color(QPalette::HighlightedText)
                                     : colors.color(QPalette::Text);
    painter.setPen(text);
    const QFontMetrics metrics(font());
    const int top = rect.top() + 1 + (ItemHeight() - FontHeight()) / 2;
    painter.drawText(layout.TextX, top + metrics.ascent(), itemText(index));
  }
  painter.restore();
}
