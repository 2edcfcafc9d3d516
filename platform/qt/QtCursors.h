// The application's cursor table on Qt: the stock cursors and our own drag cursors.
#pragma once

#include <QCursor>
#include <QPixmap>

#include "platform/ControlHost.h"

// The image of one of our own cursors (crDragMove, crDragCopy), hot spot at
// its centre as Qt's drag cursors have it; a null pixmap for the stock ones.
QPixmap CursorPixmap(TCursor cursor);
QCursor CursorFromCursor(TCursor cursor);
