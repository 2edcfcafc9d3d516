// TPreviewPanel: the dockable player preview of the caret's line, drawn by TPlayerPreview on a Qt canvas.
#pragma once

#include <QDockWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/core/KaraokeUnits.h"
#include "app/core/PlayerPreview.h"
#include "platform/Font.h"

class QtCanvas;
class TRyxEdit;
struct TDeviceSettings;

// Draws the caret's logical line in the editor's font. The owner calls
// Refresh() when the caret, the text or the song moved: the panel is
// painted again only when what it shows changed, so that a key typed on
// another line than the one shown (the sung line, while a song plays)
// leaves it as it is.
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
  // Asks for a paint when what the panel shows is no longer what it drew.
  void Refresh();
  // The same once the events at hand are done: for a change reported in the
  // middle of an edit, when the caret may not stand on the text yet.
  void RefreshSoon();
  // The same for the editor's font and the display alone, which is all a
  // repaint of the editor's rows may have changed: no line is read for it.
  void RefreshLook();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TRyxEdit& FEdit;
  const TDeviceSettings& FDevice;
  std::function<std::optional<int>()> FOverflowLines;
  std::unique_ptr<QtCanvas> FCanvas;
  // What a paint shows, read from the editor, the song and the settings.
  struct TShown {
    std::optional<int> SungLine;
    int LineNumber = 0;
    // A copy of the line, unless it is too long to keep one for each key:
    // such a line is drawn again at every paint.
    std::optional<std::string> Line;
    std::optional<int> OverflowLines;
    std::size_t SungBytes = 0;
    TPlayerDisplay Display;
    TLogFont Font;
    QSize Size;
    qreal PixelRatio = 1;
    friend bool operator==(const TShown&, const TShown&) = default;
  };
  // What would be shown now; FLine and FKaraoke are taken from the line.
  TShown ShownNow();
  bool DrawnIsCurrent(const TShown& now) const { return FDrawn && now.Line && *FDrawn == now; }
  std::optional<TShown> FDrawn;
  bool FRefreshPosted = false;
  // The line shown: a view into the store or into FJoinedLine.
  std::string_view FLine;
  // The preview last drawn, on that display: it keeps its line, so that a
  // repaint of a long line laid out before does not lay it out again, and
  // an edit of it lays out only what follows the edit.
  TPlayerDisplay FPreviewDisplay;
  // The rows of a soft-wrapped line joined.
  std::string FJoinedLine;
  std::optional<TPlayerPreview> FPreview;
  std::optional<TKaraokeUnits> FKaraoke;
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
