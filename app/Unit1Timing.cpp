// TForm1: the timing studio in the main window: made with the menus, on GStreamer, told of the lyrics files opened.
#include <QStatusBar>
#include <memory>

#include "app/Unit1.h"
#include "app/UnitPreviewPanel.h"
#include "app/UnitTimingStudio.h"
#include "app/UnitWaveformStrip.h"
#include "platform/gstreamer/GstAudioPlayer.h"
#include "platform/gstreamer/GstEnvelopeDecoder.h"
#include "platform/qt/ControlHostWidget.h"

void TForm1::CreateTimingStudio() {
  TimingStudio = new TTimingStudio(*this, *RyxEdit1, *FRyxEditHost, FDialogs, FSettingsFile,
                                   [] { return std::make_unique<TGstAudioPlayer>(); });
  TimingStudio->AddMenus(*N1, N8, *T1, *HelpMenu, N2);
  TimingStudio->CurrentLyrics = [this] { return CurrentFileName(); };
  PreviewPanel->View()->SungLine = [this] { return TimingStudio->PlayingLine(); };
  PreviewPanel->View()->SongTime = [this]() -> std::optional<TMillis> {
    if (!TimingStudio->Player().Playing()) return std::nullopt;
    return TimingStudio->Player().Position();
  };
  TimingStudio->OnSungLineChanged = [this] {
    if (PreviewShown()) PreviewPanel->View()->update();
  };
  WaveformStrip = new TWaveformStrip(*RyxEdit1, TimingStudio->Session(), TimingStudio->Player(),
                                     [] { return std::make_unique<TGstEnvelopeDecoder>(); }, this);
  addDockWidget(Qt::BottomDockWidgetArea, WaveformStrip);
  WaveformStrip->hide();
  connect(WaveformStrip, &TWaveformStrip::Said, this, [this](const QString& text) { statusBar()->showMessage(text, 5000); });
  TimingStudio->OnSongOpened = [this](const std::filesystem::path& song) { WaveformStrip->SongOpened(song); };
  TimingStudio->OnSongClosed = [this] { WaveformStrip->SongClosed(); };
  TimingStudio->OnTicked = [this] {
    WaveformStrip->Tick();
    if (PreviewShown()) PreviewPanel->View()->FollowSong();
  };
}

void TForm1::LyricsFileOpened(const std::string& fileName) { TimingStudio->LyricsOpened(fileName); }
