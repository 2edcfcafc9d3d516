// TOwnerDrawComboBox: a read-only drop-down list whose items, closed or dropped down, are painted by the subclass.
#pragma once

#include <QComboBox>

class QPainter;

// Items are ItemHeight pixels high. Setting ItemHeight below the font's
// height makes the font Max(height, 12) pixels high; bounds taller than 6
// pixels set ItemHeight to the height - 6; a font taller than ItemHeight
// raises ItemHeight to it. The selection survives all of these.
class TOwnerDrawComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit TOwnerDrawComboBox(QWidget* parent = nullptr);

  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int value);

  // Paints item index (or nothing, for -1) into rect.
  virtual void DrawItem(QPainter& painter, const QRect& rect, int index, bool selected) const = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  // The font's pixel height.
  int FontHeight() const;

 private:
  int FItemHeight = 16;
};
