// TURLLabel: a text label that lights up under the mouse and opens its caption as a link.
#pragma once

#include <QLabel>
#include <QUrl>
#include <functional>

#include "platform/Colors.h"

// Hands a link to the desktop; false when nothing could open it.
using TURLOpener = std::function<bool(const QUrl& url)>;

// The font colour moves between the normal colour (saved when the mouse
// enters), HotColor while the mouse is over the label and PushedColor while a
// button is pressed on it; with HotTrack off it never changes. With
// Executable on, a press of any button opens the caption.
class TURLLabel : public QLabel {
  Q_OBJECT

 public:
  explicit TURLLabel(QWidget* parent = nullptr);

  bool Executable() const { return FExecutable; }
  void SetExecutable(bool value) { FExecutable = value; }
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool value) { FHotTrack = value; }
  TColor HotColor() const { return FHotColor; }
  void SetHotColor(TColor value) { FHotColor = value; }
  TColor PushedColor() const { return FPushedColor; }
  void SetPushedColor(TColor value) { FPushedColor = value; }
  // The colour the text is drawn in.
  TColor FontColor() const;
  void SetFontColor(TColor value);
  // The desktop's URL opener unless replaced, as tests do.
  void SetOpener(TURLOpener opener) { FOpener = std::move(opener); }

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool FExecutable = false;
  bool FHotTrack = true;
  TColor FHotColor = clAqua;
  TColor FPushedColor = clRed;
  TColor FNormalColor = clBlack;
  TURLOpener FOpener;
};
