// TPreviewPanel: the caret's logical line taken from the editor and painted through the preview's canvas.
#include "app/UnitPreviewPanel.h"

#include <QCloseEvent>
#include <QPainter>
#include <algorithm>
#include <utility>

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
// The longest line kept to tell whether the panel shows it already.
constexpr std::size_t kLongestKeptLine = 64 * 1024;

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

TPreviewView::TShown TPreviewView::ShownNow() {
  TShown now;
  now.SungLine = SungLine ? SungLine() : std::nullopt;
  const int row = now.SungLine ? FEdit.Lines().FirstIndexOfLogicalLine(*now.SungLine) : FEdit.CaretLine();
  now.LineNumber = TLogicalLines(FEdit.Lines(), FEdit.TabCount(), FEdit.WordWrap()).LineOf(row);
  int first = 0;
  int last = 0;
  FLine = LogicalLineView(FEdit.Lines(), row, first, last, FJoinedLine);
  if (FLine.size() <= kLongestKeptLine) now.Line.emplace(FLine);
  now.OverflowLines = FOverflowLines();
  // Only the sung line is coloured, read again each time: a line of lyrics
  // is short, and a longer one is not read for it on every keystroke.
  if (now.SungLine && FLine.size() <= kLongestKaraokeLine)
    FKaraoke.emplace(FLine);
  else
    FKaraoke.reset();
  // The sung line is the last whose tag the song has passed: one timed as a
  // whole is sung whole, and the song's clock is asked only for one with
  // word tags, whose units are coloured up to the time heard.
  if (FKaraoke && FKaraoke->Units() == 1) {
    now.SungBytes = FKaraoke->SungBytes(TMillis::max());
  } else if (FKaraoke && FKaraoke->Units() > 1 && SongTime) {
    if (const std::optional<TMillis> time = SongTime()) now.SungBytes = FKaraoke->SungBytes(*time);
  }
  now.Display = TPlayerDisplay{FDevice.HalfCount, FDevice.LineCount};
  now.Font = FEdit.LogFont();
  now.Size = size();
  now.PixelRatio = devicePixelRatioF();
  return now;
}

void TPreviewView::Refresh() {
  // A line too long to keep is not read twice for one key: painted again as it is.
  if (!FDrawn || !FDrawn->Line || !DrawnIsCurrent(ShownNow())) update();
}

void TPreviewView::RefreshSoon() {
  if (std::exchange(FRefreshPosted, true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        FRefreshPosted = false;
        Refresh();
      },
      Qt::QueuedConnection);
}

void TPreviewView::RefreshLook() {
  if (FDrawn && (FDrawn->Font != FEdit.LogFont() || FDrawn->Display != TPlayerDisplay{FDevice.HalfCount, FDevice.LineCount}))
    update();
}

void TPreviewView::paintEvent(QPaintEvent*) {
  TShown now = ShownNow();
  if (!DrawnIsCurrent(now)) {
    // The preview fills its whole area: the pixmap is made again only for a new size.
    if (FCanvas->size() != size() || FCanvas->pixmap().devicePixelRatio() != devicePixelRatioF())
      FCanvas->resize(size(), devicePixelRatioF(), palette().window().color());
    FCanvas->SetFont(now.Font);
    if (!FPreview || now.Display != FPreviewDisplay) {
      FPreview.emplace(FLine, now.Display);
      FPreviewDisplay = now.Display;
    } else {
      FPreview->ShowLine(FLine);
    }
    const TPlayerPreview& preview = *FPreview;
    // Wide enough for a whole grid in the editor's font, up to a width that leaves the editor its room.
    const int wanted = std::min(preview.Width(*FCanvas), kWidestPanel);
    if (wanted > minimumWidth()) setMinimumWidth(wanted);
    preview.Draw(*FCanvas, TRect{0, 0, width(), height()}, TPreviewHeading{now.LineNumber, now.OverflowLines},
                 now.SungBytes);
    FDrawn = std::move(now);
  }
  QPainter(this).drawPixmap(0, 0, FCanvas->pixmap());
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
