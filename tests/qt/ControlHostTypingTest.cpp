// The editor control in the Qt host takes a typed key's text and an input-method commit into its text.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/qt/ControlHostWidget.h"

namespace {

TEST(ControlHostTyping, AKeyAndACommittedCompositionBecomeTheControlsText) {
  TRyxEdit edit;
  ControlHostWidget widget(edit);
  widget.resize(320, 200);
  widget.createWindow();
  edit.SetWordWrap(false);

  QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QCoreApplication::sendEvent(&widget, &press);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QCoreApplication::sendEvent(&widget, &release);
  QInputMethodEvent commit(QString(), {});
  commit.setCommitString(QString::fromUtf8("日本語"));
  QCoreApplication::sendEvent(&widget, &commit);

  EXPECT_EQ(StripEndMarker(edit.GetAllText()), "a\x93\xfa\x96\x7b\x8c\xea");
  EXPECT_EQ(edit.CaretCol(), 7);
  EXPECT_EQ(edit.UndoList().size(), 2u);
}

}  // namespace
