// The application's cursor table on Qt: the stock cursors and our own drag cursors.
#include "platform/qt/QtCursors.h"

#include <QImage>

#include "platform/qt/QtConvert.h"

#include "platform/qt/DragCur1.xpm"
#include "platform/qt/DragCur2.xpm"

QPixmap CursorPixmap(TCursor cursor) {
  switch (cursor) {
    case crDragMove: return QPixmap::fromImage(QImage(DragCur1));
    case crDragCopy: return QPixmap::fromImage(QImage(DragCur2));
    default: return {};
  }
}

QCursor CursorFromCursor(TCursor cursor) {
  const QPixmap image = CursorPixmap(cursor);
  if (!image.isNull()) return QCursor(image, image.width() / 2, image.height() / 2);
  return QCursor(CursorShapeFromCursor(cursor));
}
