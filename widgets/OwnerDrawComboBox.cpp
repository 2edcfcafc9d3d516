// TOwnerDrawComboBox: the item delegate, the closed box's painting and the item height rules.
#include "widgets/OwnerDrawComboBox.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

class TOwnerDrawDelegate : public QStyledItemDelegate {
 public:
  explicit TOwnerDrawDelegate(TOwnerDrawComboBox& box) : QStyledItemDelegate(&box), FBox(box) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    FBox.DrawItem(*painter, option.rect, index.row(), (option.state & QStyle::State_Selected) != 0);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return {option.rect.width(), FBox.ItemHeight()};
  }

 private:
  TOwnerDrawComboBox& FBox;
};

}  // namespace

TOwnerDrawComboBox::TOwnerDrawComboBox(QWidget* parent) : QComboBox(parent) {
  setItemDelegate(new TOwnerDrawDelegate(*this));
}

int TOwnerDrawComboBox::FontHeight() const {
  return font().pixelSize() > 0 ? font().pixelSize() : QFontMetrics(font()).height();
}

void TOwnerDrawComboBox::SetItemHeight(int value) {
  const int index = currentIndex();
  FItemHeight = value;
  if (value < FontHeight()) {
    QFont smaller = font();
    smaller.setPixelSize(std::max(value, 12));
    setFont(smaller);
    // The font change must not raise the height that was just asked for.
    FItemHeight = value;
  }
  view()->doItemsLayout();
  setCurrentIndex(index);
  update();
}

void TOwnerDrawComboBox::resizeEvent(QResizeEvent* event) {
  QComboBox::resizeEvent(event);
  if (height() > 6 && height() - 6 != FItemHeight) SetItemHeight(height() - 6);
}

void TOwnerDrawComboBox::changeEvent(QEvent* event) {
  QComboBox::changeEvent(event);
  if (event->type() == QEvent::FontChange) FItemHeight = std::max(FItemHeight, FontHeight());
}

void TOwnerDrawComboBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText.clear();
  option.currentIcon = QIcon();
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  DrawItem(painter, field, currentIndex(), false);
}
