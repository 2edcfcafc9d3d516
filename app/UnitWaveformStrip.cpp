// TWaveformStrip: decoding polled on the studio's clock; TWaveformView: the picture, the markers and the mouse.
#include "app/UnitWaveformStrip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPaintEvent>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/core/SyncSession.h"
#include "app/core/TimeTags.h"
#include "editor/RyxEdit.h"

namespace {

const QColor kBackdrop(24, 30, 38);
const QColor kWave(84, 190, 160);
const QColor kRuler(120, 132, 146);
const QColor kLineTag(240, 140, 40);
const QColor kWordTag(110, 170, 255);
const QColor kDragged(255, 255, 255);
const QColor kPlayHead(235, 60, 60);
constexpr int kRulerHeight = 14;
constexpr int kFlagHeight = 12;
// Flag labels kept laid out, for the lines in view and those recently passed.
constexpr qsizetype kMostFlagLabels = 512;
// How near the pointer must be to a marker to take it, in pixels.
constexpr int kGrabReach = 4;
// A wheel notch zooms by this much.
constexpr double kZoomStep = 0.8;
// Ruler steps, in seconds: the first that leaves at least kLabelSpace pixels between labels.
constexpr int kRulerSteps[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1800, 3600};
constexpr int kLabelSpace = 70;

QString Clock(TMillis time) {
  const long long seconds = time.count() / 1000;
  return QString("%1:%2").arg(seconds / 60, 2, 10, QChar('0')).arg(seconds % 60, 2, 10, QChar('0'));
}

}  // namespace

TWaveformView::TWaveformView(TRyxEdit& edit, TSyncSession& session, IAudioPlayer& player, QWidget* parent)
    : QWidget(parent), FEdit(edit), FSession(session), FPlayer(player), FDrag(edit, session) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setMinimumHeight(60);
  setToolTip("クリックで再生位置へ移動、目印のドラッグでタグの時刻を変更、ホイールで拡大・縮小 (Shift+ホイールで移動)");
}

QSize TWaveformView::sizeHint() const { return QSize(600, 96); }

TMillis TWaveformView::SongLength() const { return std::max(FPlayer.Duration().value_or(TMillis{0}), FEnvelope.Covered()); }

void TWaveformView::Respan() {
  if (FFitted)
    FScale.Fit(SongLength(), width());
  else
    FScale.SetSpan(SongLength(), width());
}

void TWaveformView::Reset() {
  FEnvelope.Clear();
  FDrag.End();
  FFitted = true;
  Respan();
  FDrawn = {};
  FMarkersStale = true;
  update();
}

void TWaveformView::EnvelopeGrew() {
  Respan();
  update();
}

void TWaveformView::TextChanged() {
  // Most keys change no tag of the lines in view: the strip stays as it
  // is. A stamp paints again only where a marker came, went or moved.
  const std::vector<TTagMarker> before = std::move(FMarkers);
  ReadMarkers();
  QRegion changed;
  const QFont flagFont = FlagFont();
  const auto missingFrom = [&](const std::vector<TTagMarker>& markers, const std::vector<TTagMarker>& in) {
    for (const TTagMarker& marker : markers)
      if (std::find(in.begin(), in.end(), marker) == in.end()) changed += MarkerArea(marker, flagFont);
  };
  missingFrom(before, FMarkers);
  missingFrom(FMarkers, before);
  if (!changed.isEmpty()) update(changed);
}

QFont TWaveformView::FlagFont() const {
  QFont flagFont = font();
  flagFont.setPixelSize(10);
  return flagFont;
}

QRect TWaveformView::MarkerArea(const TTagMarker& marker, const QFont& flagFont) {
  const int x = FScale.XOf(marker.Time);
  // The line is up to two pixels wide, around x.
  if (marker.Word) return QRect(x - 1, height() / 2, 3, height() - height() / 2);
  const QRect line(x - 1, kRulerHeight, 3, height() - kRulerHeight);
  return line | QRect(x, kRulerHeight, FlagLabel(marker.Line, flagFont).size().toSize().width() + 4, kFlagHeight);
}

void TWaveformView::ShowPosition(TMillis position, bool playing) {
  const TWaveformScale before = FScale;
  const bool moved = FScale.XOf(position) != FScale.XOf(FPosition);
  FPosition = position;
  if (playing && !FDrag.Active() && !FScrubbing && !FFitted) FScale.Follow(position);
  // The editor scrolled: other lines, other markers.
  const bool viewMoved = FEdit.TopLine() != FMarkersTop || FEdit.VisibleLines() != FMarkersRows;
  if (viewMoved) FMarkersStale = true;
  if (moved || viewMoved || FScale.Start() != before.Start()) update();
}

const std::vector<TTagMarker>& TWaveformView::Markers() {
  if (FMarkersStale) ReadMarkers();
  return FMarkers;
}

void TWaveformView::ReadMarkers() {
  FMarkers.clear();
  FMarkersStale = false;
  FMarkersTop = FEdit.TopLine();
  FMarkersRows = FEdit.VisibleLines();
  AppendRowMarkers(FEdit.Lines(), FMarkersTop, FMarkersTop + FMarkersRows, FMarkers);
}

std::optional<TTagMarker> TWaveformView::MarkerAt(int x, int y) {
  const bool lower = y > height() / 2;
  std::optional<TTagMarker> best;
  int bestDistance = kGrabReach + 1;
  for (const TTagMarker& marker : Markers()) {
    // Where a line tag and a word tag stand together, the half of the strip decides.
    const int distance = std::abs(FScale.XOf(marker.Time) - x) + (marker.Word == lower ? 0 : 1);
    if (distance < bestDistance) {
      best = marker;
      bestDistance = distance;
    }
  }
  return best;
}

const QPixmap& TWaveformView::Background() {
  const qreal ratio = devicePixelRatioF();
  const TDrawn now{FScale.Start(), FScale.MillisPerPixel(), size() * ratio, FEnvelope.Buckets()};
  if (now == FDrawn) return FBackground;
  FDrawn = now;
  FBackground = QPixmap(now.Size);
  FBackground.setDevicePixelRatio(ratio);
  FBackground.fill(kBackdrop);
  QPainter painter(&FBackground);
  const int w = width();
  const int top = kRulerHeight;
  const double half = (height() - top) / 2.0;
  const double middle = top + half;
  std::vector<QLineF> lines;
  lines.reserve(static_cast<std::size_t>(w));
  const TMillis covered = FEnvelope.Covered();
  for (int x = 0; x < w; ++x) {
    const TMillis from = FScale.TimeAt(x);
    if (from >= covered) break;
    const TEnvelopePeak peak = FEnvelope.Over(from, std::max(from + TMillis{1}, FScale.TimeAt(x + 1)));
    lines.emplace_back(x + 0.5, middle - peak.High * half, x + 0.5, middle - peak.Low * half + 1);
  }
  painter.setPen(kWave);
  painter.drawLines(lines.data(), static_cast<int>(lines.size()));
  // The ruler: a tick and a label every step that leaves room for them.
  const double perSecond = 1000.0 / FScale.MillisPerPixel();
  int step = kRulerSteps[std::size(kRulerSteps) - 1];
  for (const int candidate : kRulerSteps) {
    if (candidate * perSecond >= kLabelSpace) {
      step = candidate;
      break;
    }
  }
  QFont font = painter.font();
  font.setPixelSize(10);
  painter.setFont(font);
  painter.setPen(kRuler);
  const long long stepMillis = step * 1000LL;
  for (long long at = (FScale.Start().count() + stepMillis - 1) / stepMillis * stepMillis;
       FScale.XOf(TMillis{at}) < w; at += stepMillis) {
    const int x = FScale.XOf(TMillis{at});
    painter.drawLine(x, 0, x, top - 2);
    painter.drawText(x + 3, top - 3, Clock(TMillis{at}));
  }
  return FBackground;
}

void TWaveformView::DrawMarkers(QPainter& painter, const QRegion& region) {
  const std::optional<TTagMarker>& dragged = FDrag.Marker();
  const QFont font = FlagFont();
  painter.setFont(font);
  for (const TTagMarker& marker : Markers()) {
    const int x = FScale.XOf(marker.Time);
    // Only the markers where the strip is painted again are drawn again.
    if (x < 0 || x >= width() || !region.intersects(MarkerArea(marker, font))) continue;
    const bool held = dragged && dragged->Line == marker.Line && dragged->Tag == marker.Tag;
    const QColor color = held ? kDragged : marker.Word ? kWordTag : kLineTag;
    if (marker.Word) {
      painter.setPen(QPen(color, held ? 2 : 1));
      painter.drawLine(x, height() / 2, x, height());
    } else {
      painter.setPen(QPen(color, 2));
      painter.drawLine(x, kRulerHeight, x, height());
      // The line's number on a flag at the top.
      const QStaticText& label = FlagLabel(marker.Line, font);
      const QSize size = label.size().toSize();
      painter.fillRect(QRect(x, kRulerHeight, size.width() + 4, kFlagHeight), color);
      painter.setPen(kBackdrop);
      painter.drawStaticText(x + 2, kRulerHeight + (kFlagHeight - size.height()) / 2, label);
    }
  }
}

const QStaticText& TWaveformView::FlagLabel(int line, const QFont& font) {
  auto label = FFlagLabels.find(line);
  if (label != FFlagLabels.end()) return *label;
  // The labels of the lines scrolled past are let go now and then.
  if (FFlagLabels.size() >= kMostFlagLabels) FFlagLabels.clear();
  label = FFlagLabels.insert(line, QStaticText(QString::number(line + 1)));
  label->setTextFormat(Qt::PlainText);
  label->prepare(QTransform(), font);
  return *label;
}

void TWaveformView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, Background());
  if (FEnvelope.Buckets() == 0) {
    painter.setPen(kRuler);
    painter.drawText(rect(), Qt::AlignCenter, "波形を読み込んでいます…");
  }
  DrawMarkers(painter, event->region());
  const int head = FScale.XOf(FPosition);
  painter.setPen(QPen(kPlayHead, 2));
  painter.drawLine(head, 0, head, height());
}

void TWaveformView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Respan();
}

void TWaveformView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !FPlayer.IsOpen()) return;
  const int x = static_cast<int>(event->position().x());
  if (const auto marker = MarkerAt(x, static_cast<int>(event->position().y()))) {
    FGrabOffset = x - FScale.XOf(marker->Time);
    FDrag.Begin(*marker, FPlayer.Duration());
    update();
    return;
  }
  FScrubbing = true;
  FPlayer.Seek(FScale.TimeAt(x));
  ShowPosition(FPlayer.Position(), false);
}

void TWaveformView::mouseMoveEvent(QMouseEvent* event) {
  const int x = static_cast<int>(event->position().x());
  if (FDrag.Active()) {
    const std::string said = FDrag.MoveTo(FScale.TimeAt(x - FGrabOffset));
    if (!said.empty()) emit Said(QString::fromStdString(said));
    update();
  } else if (FScrubbing) {
    FPlayer.Seek(FScale.TimeAt(std::clamp(x, 0, width())));
    ShowPosition(FPlayer.Position(), false);
  } else {
    setCursor(MarkerAt(x, static_cast<int>(event->position().y())) ? Qt::SizeHorCursor : Qt::ArrowCursor);
  }
}

void TWaveformView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  FDrag.End();
  FScrubbing = false;
  update();
}

void TWaveformView::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  const int x = static_cast<int>(event->position().x());
  if (delta.x() != 0 || (event->modifiers() & Qt::ShiftModifier)) {
    // A notch (120) scrolls a tenth of the strip; a touchpad's finer steps a part of that.
    const int turned = delta.x() != 0 ? delta.x() : delta.y();
    FScale.ScrollBy(-turned * width() / 1200);
  } else {
    FScale.ZoomAround(x, std::pow(kZoomStep, delta.y() / 120.0));
  }
  FFitted = false;
  event->accept();
  update();
}

TWaveformStrip::TWaveformStrip(TRyxEdit& edit, TSyncSession& session, IAudioPlayer& player, TDecoderFactory makeDecoder,
                               QWidget* parent)
    : QDockWidget("波形", parent), FMakeDecoder(std::move(makeDecoder)), FPlayer(player) {
  setObjectName("WaveformStrip");
  setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  auto* body = new QWidget;
  auto* column = new QVBoxLayout(body);
  column->setContentsMargins(2, 0, 2, 2);
  column->setSpacing(2);
  FProgressRow = new QWidget;
  auto* row = new QHBoxLayout(FProgressRow);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(new QLabel("波形を読み込み中:"));
  FProgress = new QProgressBar;
  FProgress->setRange(0, 100);
  row->addWidget(FProgress, 1);
  column->addWidget(FProgressRow);
  FView = new TWaveformView(edit, session, player);
  column->addWidget(FView, 1);
  setWidget(body);
  FProgressRow->hide();
  connect(FView, &TWaveformView::Said, this, &TWaveformStrip::Said);

  // Every change of the text, typed, stamped, dragged or undone: the markers are read again.
  auto linesChangedBefore = edit.OnLinesChanged;
  edit.OnLinesChanged = [view = QPointer<TWaveformView>(FView), linesChangedBefore](TObject* sender, int first,
                                                                                    int oldLast, int newLast) {
    if (linesChangedBefore) linesChangedBefore(sender, first, oldLast, newLast);
    if (view) view->TextChanged();
  };
}

TWaveformStrip::~TWaveformStrip() = default;

void TWaveformStrip::SongOpened(const std::filesystem::path& song) {
  FDecoder = FMakeDecoder();
  FView->Reset();
  show();
  try {
    FDecoder->Start(song, FView->Envelope().Bucket());
  } catch (const EAudioError& e) {
    FDecoder.reset();
    FDecoding = false;
    FProgressRow->hide();
    emit Said("波形を作れません: " + QString::fromUtf8(e.what()));
    return;
  }
  FDecoding = true;
  FProgress->setValue(0);
  FProgressRow->show();
}

void TWaveformStrip::SongClosed() {
  FDecoder.reset();
  FDecoding = false;
  FProgressRow->hide();
  FView->Reset();
  hide();
}

void TWaveformStrip::Tick() {
  if (FDecoding && FDecoder) {
    const TEnvelopeProgress progress = FDecoder->TakeProgress();
    FView->Envelope().Append(progress.Peaks);
    if (!progress.Peaks.empty()) FView->EnvelopeGrew();
    if (const auto length = progress.Duration.value_or(FPlayer.Duration().value_or(TMillis{0})); length.count() > 0)
      FProgress->setValue(static_cast<int>(std::min<long long>(100, progress.Decoded.count() * 100 / length.count())));
    if (progress.Done) {
      FDecoding = false;
      FDecoder.reset();
      FProgressRow->hide();
      if (!progress.Error.empty()) emit Said("波形を作れません: " + QString::fromUtf8(progress.Error.c_str()));
    }
  }
  if (FPlayer.IsOpen()) FView->ShowPosition(FPlayer.Position(), FPlayer.Playing());
}
