// ControlHostWidget: window frame and layout, paint messages and the blit, the caret, the preedit overlay, scroll bars.
#include "platform/qt/ControlHostWidget.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleHints>
#include <QTextCharFormat>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <qdrawutil.h>
#include <utility>

#include "platform/qt/QtConvert.h"
#include "platform/qt/QtSystemColors.h"

namespace {

constexpr int kClientEdge = 2;

}  // namespace

ControlHostWidget::ControlHostWidget(TCustomControl& control, QWidget* parent) : QWidget(parent), FControl(control) {
  InstallSystemColorResolver();
  setAttribute(Qt::WA_InputMethodEnabled);
  // Every pixel is painted: the frame, the bars and the control's pixmap.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  // The platform reports mouse moves without a button held, too.
  setMouseTracking(true);
  setAcceptDrops(true);

  for (const int bar : {SB_VERT, SB_HORZ}) {
    auto* slider = new QScrollBar(bar == SB_VERT ? Qt::Vertical : Qt::Horizontal, this);
    slider->setFocusPolicy(Qt::NoFocus);
    slider->setCursor(Qt::ArrowCursor);
    // A bar without a page size has a thumb of the least size, as the platform draws it.
    slider->setPageStep(0);
    slider->hide();
    slider->installEventFilter(this);
    connect(slider, &QAbstractSlider::actionTriggered, this, [this, bar](int action) { onScrollAction(bar, action); });
    // "Scroll here" of the bar's own menu sets the value without an action.
    connect(slider, &QAbstractSlider::valueChanged, this, [this, bar](int value) {
      if (FSyncingBars || value == barState(bar).Pos || !attached()) return;
      scrollBar(bar)->setValue(barState(bar).Pos);
      sendScroll(bar, SB_THUMBTRACK, value);
      sendScroll(bar, SB_THUMBPOSITION, value);
      sendScroll(bar, SB_ENDSCROLL, 0);
    });
    (bar == SB_VERT ? FVScrollBar : FHScrollBar) = slider;
  }

  FBlinkTimer = new QTimer(this);
  connect(FBlinkTimer, &QTimer::timeout, this, [this] {
    FBlinkOn = !FBlinkOn;
    update(caretRect().translated(FClientRect.topLeft()));
  });
  FCanvas.setOnTouched([this](const QRect& area) {
    // What a paint message draws is shown by the paint event that sent it.
    if (!FPainting) update(area.translated(FClientRect.topLeft()));
  });
  updateLayout(false);
}

ControlHostWidget::~ControlHostWidget() {
  if (attached()) FControl.DestroyWnd();
  for (auto& entry : FTimers) entry.first->SetOnStateChange({});
}

void ControlHostWidget::createWindow() {
  FFocusSent = false;
  FControl.CreateWnd(*this);
  InvalidateRect(nullptr);
  if (hasFocus()) {
    FFocusSent = true;
    FControl.Perform(WM_SETFOCUS, 0, 0);
  }
}

bool ControlHostWidget::attached() const { return FControl.HandleAllocated() && &FControl.Host() == this; }

QScrollBar* ControlHostWidget::scrollBar(int bar) const { return bar == SB_VERT ? FVScrollBar : FHScrollBar; }

QSize ControlHostWidget::sizeHint() const { return QSize(185, 89); }

std::uintptr_t ControlHostWidget::WindowHandle() const { return reinterpret_cast<std::uintptr_t>(this); }

int ControlHostWidget::frameWidth() const {
  if (FParams.ExStyle & WS_EX_CLIENTEDGE) return kClientEdge;
  return (FParams.Style & WS_BORDER) ? 1 : 0;
}

void ControlHostWidget::ApplyCreateParams(const TCreateParams& params) {
  FParams = params;
  FVBar.Visible = (params.Style & WS_VSCROLL) != 0;
  FHBar.Visible = (params.Style & WS_HSCROLL) != 0;
  updateLayout(false);
  // The control's window creation sends WM_SIZE itself, right after WM_CREATE.
  FSizePending = false;
  InvalidateRect(nullptr);
}

void ControlHostWidget::updateLayout(bool notify) {
  const int edge = frameWidth();
  const QRect inner = rect().adjusted(edge, edge, -edge, -edge);
  const int vExtent = FVBar.Visible ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FVScrollBar) : 0;
  const int hExtent = FHBar.Visible ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FHScrollBar) : 0;
  const QRect client(inner.topLeft(),
                     QSize(std::max(0, inner.width() - vExtent), std::max(0, inner.height() - hExtent)));
  FVScrollBar->setGeometry(client.left() + client.width(), client.top(), vExtent, client.height());
  FHScrollBar->setGeometry(client.left(), client.top() + client.height(), client.width(), hExtent);
  FVScrollBar->setVisible(FVBar.Visible);
  FHScrollBar->setVisible(FHBar.Visible);

  const bool resized = client.size() != FClientRect.size() || FCanvas.size() != client.size();
  FClientRect = client;
  if (resized) {
    FCanvas.resize(client.size(), devicePixelRatioF(), QColorFromColor(clWindow));
    // The whole client is repainted after a size change, as for a window class with CS_HREDRAW and CS_VREDRAW.
    FInvalid = QRegion(QRect(QPoint(0, 0), client.size()));
    FSizePending = true;
  }
  update();
  if (notify) deliverPendingSize();
}

void ControlHostWidget::deliverPendingSize() {
  if (!FSizePending || !attached()) return;
  FSizePending = false;
  FControl.Perform(WM_SIZE, 0,
                   static_cast<LPARAM>(MakeLong(static_cast<WORD>(ClientWidth()), static_cast<WORD>(ClientHeight()))));
}

void ControlHostWidget::resizeEvent(QResizeEvent*) { updateLayout(true); }

void ControlHostWidget::changeEvent(QEvent* event) {
  if (event->type() == QEvent::StyleChange) updateLayout(true);
  QWidget::changeEvent(event);
}

void ControlHostWidget::InvalidateRect(const TRect* rect) {
  const QRect client(QPoint(0, 0), FClientRect.size());
  const QRect area = rect ? QRectFromRect(*rect) & client : client;
  if (area.isEmpty()) return;
  FInvalid += area;
  update(area.translated(FClientRect.topLeft()));
}

void ControlHostWidget::ScrollWindow(int dx, int dy, const TRect* scroll, const TRect* clip) {
  const QRect client(QPoint(0, 0), FClientRect.size());
  const QRect area = scroll ? QRectFromRect(*scroll) & client : client;
  const QRect limit = clip ? QRectFromRect(*clip) & client : client;
  // What was waiting to be repainted moves with the pixels.
  const QRegion moving = FInvalid & (area & limit);
  FInvalid = (FInvalid - moving) + (moving.translated(dx, dy) & limit);
  FInvalid += FCanvas.scroll(dx, dy, area, limit);
  // The window's pixels move the same way, with what waits to be painted
  // there: only the part no moved pixel covers is painted and shown anew.
  const QPoint origin = FClientRect.topLeft();
  if (area == limit)
    QWidget::scroll(dx, dy, area.translated(origin));
  else
    update(((area | area.translated(dx, dy)) & limit).translated(origin));
}

void ControlHostWidget::sendPaint() {
  if (FInvalid.isEmpty() || !attached()) return;
  const QRegion region = std::exchange(FInvalid, QRegion());
  FCanvas.setClipRegion(region);
  FPainting = true;
  std::exception_ptr error;
  try {
    FControl.Perform(WM_PAINT, 0, 0);
  } catch (...) {
    // Unwinding through Qt's painting would leave the window's backing store
    // half painted for good; the exception goes on to the application from
    // the event loop instead, right after this paint.
    error = std::current_exception();
  }
  FPainting = false;
  FCanvas.clearClipRegion();
  if (error)
    QMetaObject::invokeMethod(QCoreApplication::instance(), [error] { std::rethrow_exception(error); },
                              Qt::QueuedConnection);
}

void ControlHostWidget::paintEvent(QPaintEvent*) {
  sendPaint();
  QPainter painter(this);
  const int edge = frameWidth();
  if (edge == kClientEdge) {
    qDrawWinPanel(&painter, rect(), palette(), true);
  } else if (edge == 1) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  if (FVBar.Visible && FHBar.Visible) {
    const QRect corner(FVScrollBar->geometry().left(), FHScrollBar->geometry().top(), FVScrollBar->width(),
                       FHScrollBar->height());
    painter.fillRect(corner, palette().color(QPalette::Window));
  }
  painter.drawPixmap(FClientRect.topLeft(), FCanvas.pixmap());
  painter.setClipRect(FClientRect);
  drawCaret(painter);
  drawPreedit(painter);
}

// Caret.

bool ControlHostWidget::caretVisible() const { return FCaret.Visible(); }

QRect ControlHostWidget::caretRect() const {
  return QRect(FCaret.X(), FCaret.Y(), std::max(1, FCaret.Width()), std::max(1, FCaret.Height()));
}

void ControlHostWidget::restartBlink() {
  FBlinkOn = true;
  const int flash = QGuiApplication::styleHints()->cursorFlashTime();
  if (caretVisible() && flash > 0)
    FBlinkTimer->start(flash / 2);
  else
    FBlinkTimer->stop();
  update(caretRect().translated(FClientRect.topLeft()));
}

void ControlHostWidget::drawCaret(QPainter& painter) const {
  if (!caretVisible() || !FBlinkOn) return;
  // The platform's caret inverts the pixels under it, so it shows on any background.
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.fillRect(caretRect().translated(FClientRect.topLeft()), Qt::white);
  painter.restore();
}

bool ControlHostWidget::CreateCaret(int width, int height) {
  DestroyCaret();
  FCaret.Create(width, height);
  return true;
}

void ControlHostWidget::SetCaretPos(int x, int y) {
  update(caretRect().translated(FClientRect.topLeft()));
  FCaret.MoveTo(x, y);
  restartBlink();
}

void ControlHostWidget::ShowCaret() {
  if (FCaret.Show()) restartBlink();
}

void ControlHostWidget::HideCaret() {
  if (FCaret.Hide()) restartBlink();
}

void ControlHostWidget::DestroyCaret() {
  if (!FCaret.Created()) return;
  update(caretRect().translated(FClientRect.topLeft()));
  FCaret.Destroy();
  FBlinkTimer->stop();
}

// Preedit overlay.

const QtCellFont& ControlHostWidget::compositionFont() const {
  if (!FCompositionCells || !(FCompositionCells->logFont() == FCompositionFont))
    FCompositionCells = std::make_unique<QtCellFont>(FCompositionFont);
  return *FCompositionCells;
}

int ControlHostWidget::preeditX(int offset) const {
  const QtCellFont& font = compositionFont();
  const std::vector<QtCellGlyph> glyphs = font.glyphsFromText(FPreedit.left(offset));
  return QtCellFont::cellsOf(glyphs) * font.cellWidth();
}

void ControlHostWidget::drawPreedit(QPainter& painter) const {
  if (FPreedit.isEmpty()) return;
  const QtCellFont& font = compositionFont();
  const QPoint origin = FClientRect.topLeft() + QPointFromPoint(FCompositionForm.ptCurrentPos);
  const std::vector<QtCellGlyph> glyphs = font.glyphsFromText(FPreedit);

  // The colours of each character: the window's, or what the input method
  // asks for (its clause being converted usually has a background).
  struct Look {
    QColor Text;
    QBrush Background;
  };
  const Look plain{palette().color(QPalette::Text), palette().brush(QPalette::Base)};
  std::vector<Look> looks(glyphs.size(), plain);
  int offset = 0;
  for (std::size_t i = 0; i < glyphs.size(); ++i) {
    for (const QInputMethodEvent::Attribute& attribute : FPreeditAttributes) {
      if (attribute.type != QInputMethodEvent::TextFormat || offset < attribute.start ||
          offset >= attribute.start + attribute.length)
        continue;
      const QTextCharFormat format = attribute.value.value<QTextFormat>().toCharFormat();
      if (format.background().style() != Qt::NoBrush) looks[i].Background = format.background();
      if (format.foreground().style() != Qt::NoBrush) looks[i].Text = format.foreground().color();
    }
    offset += glyphs[i].Char > 0xFFFF ? 2 : 1;
  }

  int x = origin.x();
  for (std::size_t i = 0; i < glyphs.size();) {
    std::size_t end = i + 1;
    while (end < glyphs.size() && looks[end].Text == looks[i].Text && looks[end].Background == looks[i].Background)
      ++end;
    const std::vector<QtCellGlyph> run(glyphs.begin() + static_cast<std::ptrdiff_t>(i),
                                       glyphs.begin() + static_cast<std::ptrdiff_t>(end));
    const int width = QtCellFont::cellsOf(run) * font.cellWidth();
    painter.fillRect(QRect(x, origin.y(), width, font.height()), looks[i].Background);
    painter.setPen(looks[i].Text);
    font.draw(painter, x, origin.y(), run, true);
    x += width;
    i = end;
  }
  if (FPreeditCursorVisible)
    painter.fillRect(QRect(origin.x() + preeditX(FPreeditCursor), origin.y(), 1, font.height()), plain.Text);
}

// Scroll bars.

void ControlHostWidget::syncScrollBar(int bar) {
  const ScrollBarState& state = barState(bar);
  QScrollBar* slider = scrollBar(bar);
  FSyncingBars = true;
  slider->setRange(state.Min, std::max(state.Min, state.Max));
  slider->setValue(state.Pos);
  slider->setEnabled(state.Enabled);
  FSyncingBars = false;
}

void ControlHostWidget::sendScroll(int bar, WORD code, int pos) {
  FControl.Perform(bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MakeLong(code, static_cast<WORD>(pos)), 0);
}

void ControlHostWidget::onScrollAction(int bar, int action) {
  if (!attached()) return;
  QScrollBar* slider = scrollBar(bar);
  ScrollBarState& state = barState(bar);
  const int proposed = slider->sliderPosition();
  // The control decides where the bar stands (it answers with SetScrollPos),
  // so the bar's own step is taken back before the value follows it.
  slider->setSliderPosition(state.Pos);
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      sendScroll(bar, SB_LINEUP, 0);
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      sendScroll(bar, SB_LINEDOWN, 0);
      break;
    case QAbstractSlider::SliderPageStepSub:
      sendScroll(bar, SB_PAGEUP, 0);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      sendScroll(bar, SB_PAGEDOWN, 0);
      break;
    case QAbstractSlider::SliderToMinimum:
      sendScroll(bar, SB_TOP, 0);
      break;
    case QAbstractSlider::SliderToMaximum:
      sendScroll(bar, SB_BOTTOM, 0);
      break;
    case QAbstractSlider::SliderMove:
      state.TrackPos = proposed;
      sendScroll(bar, SB_THUMBTRACK, proposed);
      break;
    default:
      break;
  }
}

void ControlHostWidget::finishScroll(int bar) {
  if (!attached()) return;
  if (scrollBar(bar)->isSliderDown()) sendScroll(bar, SB_THUMBPOSITION, barState(bar).TrackPos);
  sendScroll(bar, SB_ENDSCROLL, 0);
}

bool ControlHostWidget::eventFilter(QObject* watched, QEvent* event) {
  const int bar = watched == FVScrollBar ? SB_VERT : watched == FHScrollBar ? SB_HORZ : -1;
  if (bar < 0) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Wheel:
      // The bars belong to the window's frame: the wheel over them scrolls the window.
      wheelEvent(static_cast<QWheelEvent*>(event));
      return true;
    case QEvent::MouseButtonRelease:
      // Sent before the bar lets go of its thumb, so that the thumb position is still known.
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && scrollBar(bar)->isEnabled())
        finishScroll(bar);
      return false;
    default:
      return false;
  }
}

void ControlHostWidget::SetScrollRange(int bar, int minPos, int maxPos, bool) {
  barState(bar).SetRange(minPos, maxPos);
  syncScrollBar(bar);
}

int ControlHostWidget::SetScrollPos(int bar, int pos, bool) {
  const int old = barState(bar).SetPos(pos);
  syncScrollBar(bar);
  return old;
}

int ControlHostWidget::GetScrollPos(int bar) const { return barState(bar).Pos; }

void ControlHostWidget::EnableScrollBar(int bar, UINT arrows) {
  for (const int each : {SB_HORZ, SB_VERT}) {
    if (bar != each && bar != SB_BOTH) continue;
    barState(each).Enable(arrows);
    syncScrollBar(each);
  }
}

void ControlHostWidget::ShowScrollBar(int bar, bool show) {
  bool changed = false;
  for (const int each : {SB_HORZ, SB_VERT}) {
    if (bar != each && bar != SB_BOTH) continue;
    changed = changed || barState(each).Visible != show;
    barState(each).Visible = show;
  }
  if (changed) updateLayout(true);
}
