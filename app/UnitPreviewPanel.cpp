// TPreviewPanel: the caret's logical line taken from the editor and painted through the preview's canvas.
#include "app/UnitPreviewPanel.h"

#include <QCloseEvent>
#include <QPainter>
#include <algorithm>

#include "app/core/DeviceSettings.h"
#include "app/core/LogicalLines.h"
#include "app/core/OverflowLines.h"
#include "app/core/PlayerPreview.h"
#include "editor/RyxEdit.h"
#include "platform/qt/QtCanvas.h"

namespace {

constexpr int kWidestPanel = 480;
// The longest sung line whose units are coloured.
constexpr std::size_t kLongestKaraokeLine = 64 * 1024;

}  // namespace

TPreviewView::TPreviewView(const TRyxEdit& edit, const TDeviceSettings& device,
                           std::function<std::optional<int>()> overflowLines, QWidget* parent)
    : QWidget(parent),
      FEdit(edit),
      FDevice(device),
      FOverflowLines(std::move(overflowLines)),
      FCanvas(std::make_unique<QtCanvas>()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TPreviewView::~TPreviewView() = default;

QSize TPreviewView::sizeHint() const {
  // Room for the heading and two pages of the display in the editor's font,
  // which the canvas takes now: the window's first size is measured before any paint.
  FCanvas->SetFont(FEdit.LogFont());
  const TPreviewGeometry at(*FCanvas, TRect{}, TPlayerDisplay{FDevice.HalfCount, FDevice.LineCount});
  return QSize(std::clamp(at.GridWidth() + 16, 160, 640), std::clamp(at.HeadingHeight + 2 * at.PageHeight, 120, 480));
}

void TPreviewView::paintEvent(QPaintEvent*) {
  // The preview fills its whole area: the pixmap is made again only for a new size.
  if (FCanvas->size() != size() || FCanvas->pixmap().devicePixelRatio() != devicePixelRatioF())
    FCanvas->resize(size(), devicePixelRatioF(), palette().window().color());
  FCanvas->SetFont(FEdit.LogFont());
  int row = FEdit.CaretLine();
  const std::optional<int> sung = SungLine ? SungLine() : std::nullopt;
  if (sung)
    row = FEdit.Lines().FirstIndexOfLogicalLine(*sung);
  const int lineNumber = TLogicalLines(FEdit.Lines(), FEdit.TabCount(), FEdit.WordWrap()).LineOf(row);
  int first = 0;
  int last = 0;
  const std::string_view line = LogicalLineView(FEdit.Lines(), row, first, last, FJoinedLine);
  const TPlayerDisplay display{FDevice.HalfCount, FDevice.LineCount};
  if (!FPreview || display.HalfCount != FPreviewDisplay.HalfCount || display.LineCount != FPreviewDisplay.LineCount) {
    FPreview.emplace(line, display);
    FPreviewDisplay = display;
  } else {
    FPreview->ShowLine(line);
  }
  // Only the sung line is coloured, read again at each paint: a line of
  // lyrics is short, and a longer one is not read for it on every keystroke.
  if (sung && line.size() <= kLongestKaraokeLine)
    FKaraoke.emplace(line);
  else
    FKaraoke.reset();
  const TPlayerPreview& preview = *FPreview;
  const TPreviewHeading heading{lineNumber, FOverflowLines()};
  // Wide enough for a whole grid in the editor's font, up to a width that leaves the editor its room.
  const int wanted = std::min(preview.Width(*FCanvas), kWidestPanel);
  if (wanted > minimumWidth()) setMinimumWidth(wanted);
  FDrawnSungLine = sung;
  FSungBytes = sung ? SungBytesNow() : 0;
  preview.Draw(*FCanvas, TRect{0, 0, width(), height()}, heading, FSungBytes);
  QPainter(this).drawPixmap(0, 0, FCanvas->pixmap());
}

std::size_t TPreviewView::SungBytesNow() const {
  const std::optional<TMillis> time = SongTime ? SongTime() : std::nullopt;
  return time && FKaraoke ? FKaraoke->SungBytes(*time) : 0;
}

void TPreviewView::FollowSong() {
  const std::optional<int> sung = SungLine ? SungLine() : std::nullopt;
  if (sung != FDrawnSungLine || (sung && SungBytesNow() != FSungBytes)) update();
}

TPreviewPanel::TPreviewPanel(const TRyxEdit& edit, const TDeviceSettings& device,
                             std::function<std::optional<int>()> overflowLines, QWidget* parent)
    : QDockWidget("プレビュー", parent), FView(new TPreviewView(edit, device, std::move(overflowLines), this)) {
  setObjectName("PreviewPanel");
  setWidget(FView);
}

void TPreviewPanel::closeEvent(QCloseEvent* event) {
  QDockWidget::closeEvent(event);
  emit closedByUser();
}
