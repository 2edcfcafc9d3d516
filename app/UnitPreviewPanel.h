// TPreviewPanel: the dockable player preview of the caret's line, drawn by TPlayerPreview on a Qt canvas.
#pragma once

#include <QDockWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/core/KaraokeUnits.h"
#include "app/core/PlayerPreview.h"

class QtCanvas;
class TRyxEdit;
struct TDeviceSettings;

// Draws the caret's logical line in the editor's font whenever it paints;
// the owner calls update() when the caret or the text moved, so that a
// keystroke only marks the panel for the next paint.
class TPreviewView : public QWidget {
  Q_OBJECT

 public:
  TPreviewView(const TRyxEdit& edit, const TDeviceSettings& device, std::function<std::optional<int>()> overflowLines,
               QWidget* parent = nullptr);
  ~TPreviewView() override;
  QSize sizeHint() const override;

  // While a song plays: the logical line being sung (from 0), shown in place of the caret's.
  std::function<std::optional<int>()> SungLine;
  // While a song plays: the time heard now; the sung line's units up to it are coloured.
  std::function<std::optional<TMillis>()> SongTime;
  // One step of the song's clock: painted again only when the colour reaches another unit.
  void FollowSong();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TRyxEdit& FEdit;
  const TDeviceSettings& FDevice;
  std::function<std::optional<int>()> FOverflowLines;
  std::unique_ptr<QtCanvas> FCanvas;
  // The preview last drawn, on that display: it keeps its line, so that a
  // repaint for a caret move on the same line does not lay a long line out
  // again, and an edit of it lays out only what follows the edit.
  TPlayerDisplay FPreviewDisplay;
  // The rows of a soft-wrapped line joined.
  std::string FJoinedLine;
  std::optional<TPlayerPreview> FPreview;
  std::optional<TKaraokeUnits> FKaraoke;
  // The sung line and its coloured bytes last drawn.
  std::optional<int> FDrawnSungLine;
  std::size_t FSungBytes = 0;
  std::size_t SungBytesNow() const;
};

class TPreviewPanel : public QDockWidget {
  Q_OBJECT

 public:
  TPreviewPanel(const TRyxEdit& edit, const TDeviceSettings& device, std::function<std::optional<int>()> overflowLines,
                QWidget* parent = nullptr);
  TPreviewView* View() const { return FView; }

 signals:
  // The user closed the panel with its own close button.
  void closedByUser();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  TPreviewView* FView;
};
