// TForm1: the settings file read at creation and written at destruction, and the client area it sizes.
#include <QAction>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/core/DisplayGuides.h"
#include "app/core/Settings.h"
#include "app/UnitPreviewPanel.h"
#include "app/Unit1.h"
#include "app/UnitApplication.h"
#include "editor/RyxEdit.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"

namespace {

// Qt adds a window's size to its position in int arithmetic. Within
// +-QWIDGETSIZE_MAX the sum cannot overflow for any size Qt takes, and a
// position that far out is brought back on the screen anyway.
int WidgetPosition(int value) { return std::clamp(value, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX); }

// The main window's own key: whether the player preview is shown.
constexpr char kShowPreviewKey[] = "ShowPreview";
// And whether the guides and the wrap pass over time tags ("タグを数えない").
constexpr char kSkipTagsKey[] = "SkipTags";
constexpr int kMinFontSize = 1;
constexpr int kMaxFontSize = 200;
constexpr int kMinWindowWidth = 200;
constexpr int kMinWindowHeight = 120;

// The main window and its editor as the settings file sees them. Positions
// and outer sizes are the frame's, as pos() gives them for a window.
class TForm1Settings final : public TSettingsTarget {
 public:
  explicit TForm1Settings(TForm1& form) : F(form), E(*form.RyxEdit1) {}

  int ClientWidth() const override { return F.ClientWidth(); }
  void SetClientWidth(int value) override { F.SetClientWidth(value); }
  int ClientHeight() const override { return F.ClientHeight(); }
  void SetClientHeight(int value) override { F.SetClientHeight(value); }
  int Width() const override { return F.frameGeometry().width(); }
  int Height() const override { return F.frameGeometry().height(); }
  int Top() const override { return F.y(); }
  void SetTop(int value) override { F.move(F.x(), WidgetPosition(value)); }
  int Left() const override { return F.x(); }
  void SetLeft(int value) override { F.move(WidgetPosition(value), F.y()); }
  int ScreenWidth() const override { return F.screen()->geometry().width(); }
  int ScreenHeight() const override { return F.screen()->geometry().height(); }

  int TabCount() const override { return E.TabCount(); }
  void SetTabCount(int value) override { E.SetTabCount(value); }
  int LeftMargin() const override { return E.LeftMargin(); }
  void SetLeftMargin(int value) override { E.SetLeftMargin(value); }
  std::string FontName() const override { return E.Font().Name(); }
  void SetFontName(const std::string& value) override {
    TFont font = E.Font();
    font.SetName(value);
    E.SetFont(font);
  }
  int FontSize() const override { return E.Font().Size(); }
  void SetFontSize(int points) override {
    TFont font = E.Font();
    // A size of 0 has no glyphs to show and a huge one no line to fit in.
    font.SetSize(std::clamp(points, kMinFontSize, kMaxFontSize));
    E.SetFont(font);
  }
  TColor FontColor() const override { return E.Font().Color(); }
  void SetFontColor(TColor value) override {
    TFont font = E.Font();
    font.SetColor(value);
    E.SetFont(font);
  }
  TColor CREOFcolor() const override { return E.CREOFcolor(); }
  void SetCREOFcolor(TColor value) override { E.SetCREOFcolor(value); }
  bool ShowEOF() const override { return E.ShowEOF(); }
  void SetShowEOF(bool value) override { E.SetShowEOF(value); }
  bool ShowCR() const override { return E.ShowCR(); }
  void SetShowCR(bool value) override { E.SetShowCR(value); }
  bool ShowDblSpace() const override { return E.ShowDblSpace(); }
  void SetShowDblSpace(bool value) override { E.SetShowDblSpace(value); }
  bool ShowTAB() const override { return E.ShowTAB(); }
  void SetShowTAB(bool value) override { E.SetShowTAB(value); }
  bool ShowLineNumber() const override { return E.ShowLineNumber(); }
  void SetShowLineNumber(bool value) override { E.SetShowLineNumber(value); }
  // The menu items hold the choices; the editor wraps by both together.
  bool WordWrap() const override { return F.N18->isChecked(); }
  void SetWordWrap(bool value) override {
    F.N18->setChecked(value);
    F.ApplyWrapChoice();
  }
  bool AutoWrap() const override { return F.N19->isChecked(); }
  void SetAutoWrap(bool value) override {
    F.N19->setChecked(value);
    F.ApplyWrapChoice();
  }

  TDeviceSettings& DeviceSettings() override { return F.DeviceSettings(); }
  const TDeviceSettings& DeviceSettings() const override { return F.DeviceSettings(); }
  void SetTagLineChecked(bool value) override { F.N13->setChecked(value); }

 private:
  TForm1& F;
  TRyxEdit& E;
};

// Qt takes no size beyond this; clamping first also keeps the menu bar's
// height from overflowing a size read from the file.
int WidgetSize(int value) { return std::clamp(value, 0, QWIDGETSIZE_MAX); }

}  // namespace

int TForm1::ClientWidth() const { return width(); }

void TForm1::SetClientWidth(int value) { resize(WidgetSize(value), height()); }

int TForm1::ClientHeight() const { return height() - menuBar()->heightForWidth(width()); }

void TForm1::SetClientHeight(int value) {
  resize(width(), WidgetSize(value) + menuBar()->heightForWidth(width()));
}

void TForm1::KeepOnScreen() {
  const QRect available = screen()->availableGeometry();
  const QRect frame = frameGeometry();
  const int extraWidth = frame.width() - width();
  const int extraHeight = frame.height() - height();
  // Too small a window cannot be grabbed again; too large a one hides its edges.
  resize(std::clamp(width(), kMinWindowWidth, std::max(kMinWindowWidth, available.width() - extraWidth)),
         std::clamp(height(), kMinWindowHeight, std::max(kMinWindowHeight, available.height() - extraHeight)));
  const QSize size = frameGeometry().size();
  move(std::clamp(x(), available.left(), std::max(available.left(), available.right() + 1 - size.width())),
       std::clamp(y(), available.top(), std::max(available.top(), available.bottom() + 1 - size.height())));
}

void TForm1::ReadSettingsFile() {
  TForm1Settings target(*this);
  std::error_code error;
  FFirstStart = !std::filesystem::exists(FSettingsFile, error) && !error;
  // What could not be read is shown as an error is, and the window is built
  // on: each such key has its default.
  const TIniFile ini(FSettingsFile);
  if (const std::string report = ReadSettings(ini, target); !report.empty())
    TApplication::Instance().HandleException(Exception(report));
  // A first start shows what the program is for: line numbers and the player preview.
  if (FFirstStart) RyxEdit1->SetShowLineNumber(true);
  if (ini.ReadBool(kSettingsSection, kShowPreviewKey, FFirstStart)) SetPreviewShown(true);
  SetTagsUncounted(ini.ReadBool(kSettingsSection, kSkipTagsKey, false));
}

// The share of the screen, in per cent of each side, that a first start's window takes at least.
constexpr int kFirstStartScreenShare = 60;

void TForm1::FitFirstStartWindow() {
  // The editor shows the player's whole line (the tag column and every
  // display line) with its guides and a cell to spare, and a dozen rows.
  constexpr int kRows = 12;
  const int cells = (FDeviceSettings.ShowTagLine ? kTagColumnChars : 0) +
                    std::max(1, FDeviceSettings.HalfCount) * std::max(1, FDeviceSettings.LineCount) + 1;
  const QWidget* editor = centralWidget();
  const int editorWidth = editor->width() - RyxEdit1->TextWidth() + cells * RyxEdit1->CharWidth();
  const int editorHeight = editor->height() - RyxEdit1->TextHeight() + kRows * RyxEdit1->LineHeight();
  int width = editorWidth;
  int height = editorHeight;
  if (FPreviewShown) {
    // The preview measures itself in the editor's font, which it may not have had when its dock last asked.
    PreviewPanel->View()->updateGeometry();
    width += PreviewPanel->sizeHint().width() + style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    height = std::max(height, PreviewPanel->sizeHint().height());
  }
  // Every menu shows on the bar, none behind its extension button; on a
  // roomy screen the window takes a fair share of it, as editors do.
  const QRect available = screen()->availableGeometry();
  SetClientWidth(std::max({width, menuBar()->sizeHint().width(), available.width() * kFirstStartScreenShare / 100}));
  SetClientHeight(std::max(height + StatusBar1->height(), available.height() * kFirstStartScreenShare / 100));
  KeepOnScreen();
  const QSize frame = frameGeometry().size();
  move(available.left() + (available.width() - frame.width()) / 2,
       available.top() + (available.height() - frame.height()) / 2);
}

void TForm1::WriteSettingsFile() {
  // Opened now, so that what another running copy wrote meanwhile survives.
  // A file that cannot be read whole is left as it is; the start said so.
  TIniFile ini(FSettingsFile);
  ini.WriteBool(kSettingsSection, kShowPreviewKey, FPreviewShown);
  ini.WriteBool(kSettingsSection, kSkipTagsKey, CountTagsAction->isChecked());
  WriteSettings(ini, TForm1Settings(*this));
}
