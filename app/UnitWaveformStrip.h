// TWaveformStrip: the dockable strip of the song under the text: its envelope, the play head and the tags of the lines in view.
#pragma once

#include <QDockWidget>
#include <QHash>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QRegion>
#include <QStaticText>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "app/core/AudioEnvelope.h"
#include "app/core/MarkerDrag.h"
#include "app/core/TagMarkers.h"
#include "app/core/WaveformScale.h"
#include "platform/AudioEnvelope.h"

class QLabel;
class QProgressBar;
class TRyxEdit;
class TSyncSession;

// The strip itself. A click seeks, dragging a marker moves its tag, the
// wheel zooms around the pointer (with Shift, or sideways, it scrolls).
// The envelope is drawn into a picture of its own whenever the stretch
// shown changes; a frame while the song plays only puts that picture, the
// markers and the play head on the screen.
class TWaveformView : public QWidget {
  Q_OBJECT

 public:
  TWaveformView(TRyxEdit& edit, TSyncSession& session, IAudioPlayer& player, QWidget* parent = nullptr);
  QSize sizeHint() const override;

  TAudioEnvelope& Envelope() { return FEnvelope; }
  // A new song: nothing decoded yet, all of it in view.
  void Reset();
  // More of the envelope arrived.
  void EnvelopeGrew();
  // One step of the clock: the play head, following it while the song plays, and the editor's view.
  void ShowPosition(TMillis position, bool playing);
  // The text changed: the markers are read again, and painted again where they changed.
  void TextChanged();
  const std::vector<TTagMarker>& Markers();
  const TWaveformScale& Scale() const { return FScale; }

 signals:
  // A line for the status bar.
  void Said(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  TMillis SongLength() const;
  // The song's length or the strip's width changed.
  void Respan();
  void ReadMarkers();
  // The marker under x (a word tag first in the strip's lower half), if any.
  std::optional<TTagMarker> MarkerAt(int x, int y);
  // The envelope and the time ruler of the stretch shown, drawn again when it changed.
  const QPixmap& Background();
  void DrawMarkers(QPainter& painter, const QRegion& region);
  // A line tag's flag label, laid out once for its line number in the flags' font.
  const QStaticText& FlagLabel(int line, const QFont& font);
  QFont FlagFont() const;
  // Where a marker is drawn, its flag's label in flagFont.
  QRect MarkerArea(const TTagMarker& marker, const QFont& flagFont);

  TRyxEdit& FEdit;
  TSyncSession& FSession;
  IAudioPlayer& FPlayer;
  TAudioEnvelope FEnvelope;
  TWaveformScale FScale;
  // The whole song in view until the user zooms or scrolls: kept so when the strip is resized.
  bool FFitted = true;
  TMarkerDrag FDrag;
  int FGrabOffset = 0;
  bool FScrubbing = false;
  TMillis FPosition{0};
  // The markers of the lines in view, and the view they were read for.
  std::vector<TTagMarker> FMarkers;
  bool FMarkersStale = true;
  int FMarkersTop = -1;
  int FMarkersRows = -1;
  QHash<int, QStaticText> FFlagLabels;
  // The background picture and what it shows.
  QPixmap FBackground;
  struct TDrawn {
    TMillis Start{-1};
    double PerPixel = 0;
    QSize Size;
    std::size_t Buckets = 0;
    bool operator==(const TDrawn&) const = default;
  } FDrawn;
};

class TWaveformStrip : public QDockWidget {
  Q_OBJECT

 public:
  using TDecoderFactory = std::function<std::unique_ptr<IEnvelopeDecoder>()>;
  TWaveformStrip(TRyxEdit& edit, TSyncSession& session, IAudioPlayer& player, TDecoderFactory makeDecoder,
                 QWidget* parent = nullptr);
  ~TWaveformStrip() override;

  // Starts decoding the song just opened in the player, and shows the strip.
  void SongOpened(const std::filesystem::path& song);
  // The song was closed: the strip goes, with what was decoded.
  void SongClosed();
  // One step of the clock: the decoding's progress and the play head.
  void Tick();
  TWaveformView* View() const { return FView; }
  bool Decoding() const { return FDecoding; }

 signals:
  void Said(const QString& text);

 private:
  TDecoderFactory FMakeDecoder;
  std::unique_ptr<IEnvelopeDecoder> FDecoder;
  IAudioPlayer& FPlayer;
  TWaveformView* FView = nullptr;
  QWidget* FProgressRow = nullptr;
  QProgressBar* FProgress = nullptr;
  bool FDecoding = false;
};
