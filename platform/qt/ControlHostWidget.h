// ControlHostWidget: the Qt window of a custom-painted control: frame, bars, caret, input method, events.
#pragma once

#include <QInputMethodEvent>
#include <QList>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/ControlHost.h"
#include "platform/CustomControl.h"
#include "platform/LossyCharacters.h"
#include "platform/WindowState.h"
#include "platform/qt/QtCanvas.h"

class QDrag;
class QDropEvent;
class QMimeData;
class QScrollBar;
class QTimer;

// The widget translates Qt's events into the control's messages and
// virtuals, and serves the control's window calls. The control paints at
// once into the canvas's pixmap; paintEvent blits it and draws the caret and
// the input method's preedit on top, never into the control's pixmap.
//
// A drag that the control begins at a press becomes Qt's drag at the first
// move with the button held (a release before that drops it where it was
// pressed); it offers the text as UTF-8 to other programs, and moves or
// copies it within the control. Text dragged in from other programs, and
// the primary selection pasted with the middle button, go to the control as
// a TTextDragObject; dropped files are left to the window around.
//
// The control must outlive the widget; the widget destroys the control's
// window when it goes first. Exceptions thrown by the control while it
// handles an event leave the event handler for the application to report.
class ControlHostWidget : public QWidget, public IControlHost {
  Q_OBJECT

 public:
  explicit ControlHostWidget(TCustomControl& control, QWidget* parent = nullptr);
  ~ControlHostWidget() override;

  // Creates the control's window on this widget and sends its first WM_SIZE.
  void createWindow();

  // Asked before text that code page 932 cannot fully hold reaches the
  // control (pasted, typed, or committed by the input method); false drops
  // the text. Without a handler such characters become "?" unasked.
  using LossyTextHandler = std::function<bool(const TLossyReport& report)>;
  void setLossyTextHandler(LossyTextHandler handler) { FLossyTextHandler = std::move(handler); }
  // Told how many characters of a text taken in were folded to a look-alike that Shift-JIS holds.
  using FoldedTextHandler = std::function<void(std::size_t count)>;
  void setFoldedTextHandler(FoldedTextHandler handler) { FFoldedTextHandler = std::move(handler); }

  TCustomControl& control() const { return FControl; }
  QtCanvas& canvas() { return FCanvas; }
  // The client area in widget coordinates: inside the frame, beside the scroll bars.
  QRect clientRect() const { return FClientRect; }
  QScrollBar* scrollBar(int bar) const;
  // Shown by the show/hide counting, whatever the blink phase.
  bool caretVisible() const;
  // Client coordinates.
  QRect caretRect() const;
  const QString& preeditText() const { return FPreedit; }
  QSize sizeHint() const override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

  // IControlHost.
  std::uintptr_t WindowHandle() const override;
  int ClientWidth() const override { return FClientRect.width(); }
  int ClientHeight() const override { return FClientRect.height(); }
  int Width() const override { return width(); }
  int Height() const override { return height(); }
  ICanvas& Canvas() override { return FCanvas; }
  void ApplyCreateParams(const TCreateParams& params) override;
  void InvalidateRect(const TRect* rect) override;
  void ScrollWindow(int dx, int dy, const TRect* scroll, const TRect* clip) override;
  void SetFocus() override;
  bool Focused() const override;
  void SetCursor(TCursor cursor) override;
  TPoint ClientToScreen(TPoint client) const override;
  int GetSystemMetrics(int index) const override;
  void AttachTimer(TTimer& timer) override;
  void DetachTimer(TTimer& timer) override;
  bool CreateCaret(int width, int height) override;
  void SetCaretPos(int x, int y) override;
  void ShowCaret() override;
  void HideCaret() override;
  void DestroyCaret() override;
  void SetScrollRange(int bar, int minPos, int maxPos, bool redraw) override;
  int SetScrollPos(int bar, int pos, bool redraw) override;
  int GetScrollPos(int bar) const override;
  void EnableScrollBar(int bar, UINT arrows) override;
  void ShowScrollBar(int bar, bool show) override;
  short GetKeyState(int virtualKey) const override;
  HIMC ImmGetContext() override;
  void ImmReleaseContext(HIMC context) override;
  bool ImmSetCompositionFont(HIMC context, const TLogFont& font) override;
  bool ImmSetCompositionWindow(HIMC context, const TCompositionForm& form) override;
  std::string ImmGetCompositionString(HIMC context, LPARAM which) override;
  bool ImmNotifyIME(HIMC context, DWORD action, DWORD index) override;
  bool GetClipboardText(std::string& text) override;
  bool SetClipboardText(std::string_view text) override;
  void BeginDrag(std::string_view text) override;
  void SetDragCursor(TCursor cursor) override;
  int MessageBox(const std::string& text, const std::string& caption, UINT flags) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  // A sideways wheel, or Shift with the wheel: the text scrolls left or right a step a notch.
  void scrollSideways(int delta);
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  // Drops the input method's composition; some input methods hand its text
  // over as a commit while they reset.
  virtual void resetInputMethod();

 private:
  struct ScrollBarState : TScrollBarState {
    // Where the thumb was dragged to, for the SB_THUMBPOSITION at release.
    int TrackPos = 0;
  };

  // Window and painting (ControlHostWidget.cpp).
  // The control's window is on this widget.
  bool attached() const;
  int frameWidth() const;
  void updateLayout(bool notify);
  void deliverPendingSize();
  void sendPaint();
  void showClientRect(const QRect& clientArea);
  ScrollBarState& barState(int bar) { return bar == SB_VERT ? FVBar : FHBar; }
  const ScrollBarState& barState(int bar) const { return bar == SB_VERT ? FVBar : FHBar; }
  void syncScrollBar(int bar);
  void onScrollAction(int bar, int action);
  void finishScroll(int bar);
  void sendScroll(int bar, WORD code, int pos);
  void restartBlink();
  void drawCaret(QPainter& painter) const;
  const QtCellFont& compositionFont() const;
  // x of the preedit before a UTF-16 offset, relative to the composition point.
  int preeditX(int offset) const;
  void drawPreedit(QPainter& painter) const;

  // Input (ControlHostInput.cpp).
  void noteInput(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
  // Whether text may reach the control: it has a code page 932 form, or the handler lets it go.
  // Characters folded to a look-alike on the way in are told to the folded-text handler.
  bool acceptsText(const QString& text) const;
  void deliverText(const QString& text, UINT charMessage);
  // False when the text was dropped.
  bool deliverResult(const QString& commit);
  void startComposition();
  void endComposition();
  // Scrolls the text right a step at a time while the preedit runs past the
  // client area's right edge, until it fits or a step moves nothing.
  void followPreedit();
  bool wantsTab();
  bool mouseInClient(const QPointF& position) const;
  QPoint clientPoint(const QPointF& position) const;

  // Services (ControlHostServices.cpp).
  void syncTimer(TTimer& timer);
  // Text of other programs as the control's: it ends at its first NUL, its
  // line breaks become CR LF, and the lossy-text handler decides about
  // characters that code page 932 cannot hold. False when it was dropped.
  bool ansiFromPlainText(QString unicode, std::string& text) const;
  // The control's text for other programs: up to its first NUL, LF line breaks.
  static QString plainTextFromAnsi(std::string_view text);

  // Drag and drop, the primary selection and the context menu (ControlHostDrag.cpp).
  void runDrag();
  void applyDragCursor();
  // The control's own drag, text from another program, or nothing the control takes.
  TObject* dragSource(const QDropEvent& event);
  // Tells the control about a drag over it; false when it does not take the drop.
  bool dragOver(QDropEvent& event, TDragState state);
  void deliverForeignText(const QString& text, QPoint at);
  void offerPrimarySelection();
  void openContextMenuFromKeyboard();

  TCustomControl& FControl;
  QtCanvas FCanvas;
  QRect FClientRect;
  TCreateParams FParams;
  bool FSizePending = false;
  // Invalidated but not yet repainted by a paint message, client coordinates.
  QRegion FInvalid;
  bool FPainting = false;

  QScrollBar* FVScrollBar = nullptr;
  QScrollBar* FHScrollBar = nullptr;
  ScrollBarState FVBar;
  ScrollBarState FHBar;
  // Set while the bars are brought in line with the state above, so that
  // their own signals are not taken for the user's.
  bool FSyncingBars = false;

  TCaretState FCaret;
  QTimer* FBlinkTimer = nullptr;
  bool FBlinkOn = true;

  // The key state as of the input event being (or last) handled.
  Qt::KeyboardModifiers FModifiers;
  Qt::MouseButtons FButtons;
  std::set<WORD> FKeysDown;
  bool FMousePressedInClient = false;
  // When and where the last double click was: a press soon after it at the
  // same spot is the third of a triple click, which Qt reports as a plain press.
  quint64 FDoubleClickTime = 0;
  QPointF FDoubleClickAt;
  bool FDoubleClicked = false;
  int FWheelRemainder = 0;
  int FSidewaysRemainder = 0;
  bool FFocusSent = false;

  // Input method.
  bool FComposing = false;
  QString FPreedit;
  int FPreeditCursor = 0;
  bool FPreeditCursorVisible = true;
  QList<QInputMethodEvent::Attribute> FPreeditAttributes;
  std::string FResult;
  // Counts the results handed to the control, to tell whether a call into
  // the input method delivered one.
  unsigned FResultsDelivered = 0;
  // A preedit committed here because the input method did not answer the
  // request at once; it may still send the same text later, once.
  QString FCommittedPreedit;
  TLogFont FCompositionFont;
  mutable std::unique_ptr<QtCellFont> FCompositionCells;
  TCompositionForm FCompositionForm;

  std::map<TTimer*, QTimer*> FTimers;
  LossyTextHandler FLossyTextHandler;
  FoldedTextHandler FFoldedTextHandler;

  // The control's drag: begun at a press, Qt's from the first move.
  bool FDragPending = false;
  QString FDragText;
  QPoint FDragPressPoint;
  QPointer<QDrag> FDrag;
  TCursor FDragCursor = crDragMove;
  // Where and with which modifiers the control's drag was dropped on this widget.
  bool FDroppedHere = false;
  QPoint FDropPoint;
  Qt::KeyboardModifiers FDropModifiers;
  // What the drag over this widget is for the control (nullptr: none it takes).
  TObject* FDragOverSource = nullptr;
  TTextDragObject FForeignText;
  // The selection last offered as the primary selection.
  std::string FOfferedSelection;
};
