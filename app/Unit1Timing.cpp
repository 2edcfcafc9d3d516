// TForm1: the timing studio in the main window: made with the menus, on GStreamer, told of the lyrics files opened; the word tag tools.
#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <memory>

#include "app/core/WordTagTools.h"

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
  WordTagsToLineTagsAction = T1->addAction("ワードタグを行タグに(&L)");
  SpreadWordTagsAction = T1->addAction("行タグからワードタグを均等に(&E)");
  Connect(WordTagsToLineTagsAction, &TForm1::WordTagsToLineTagsClick);
  Connect(SpreadWordTagsAction, &TForm1::SpreadWordTagsClick);
  TimingStudio->CurrentLyrics = [this] { return CurrentFileName(); };
  PreviewPanel->View()->SungLine = [this] { return TimingStudio->PlayingLine(); };
  PreviewPanel->View()->SongTime = [this]() -> std::optional<TMillis> {
    if (!TimingStudio->Player().Playing()) return std::nullopt;
    return TimingStudio->Player().Position();
  };
  TimingStudio->OnSungLineChanged = [this] {
    if (PreviewShown()) PreviewPanel->View()->Refresh();
  };
  WaveformStrip = new TWaveformStrip(*RyxEdit1, TimingStudio->Session(), TimingStudio->Player(),
                                     [] { return std::make_unique<TGstEnvelopeDecoder>(); }, this);
  addDockWidget(Qt::BottomDockWidgetArea, WaveformStrip);
  WaveformStrip->hide();
  connect(WaveformStrip, &TWaveformStrip::Said, this, [this](const QString& text) { statusBar()->showMessage(text, 5000); });
  TimingStudio->OnSongOpened = [this](const std::filesystem::path& song) { WaveformStrip->SongOpened(song); };
  TimingStudio->OnSongClosed = [this] { WaveformStrip->SongClosed(); };
  TimingStudio->DecodedLength = [this]() -> std::optional<TMillis> {
    if (WaveformStrip->Decoding() || WaveformStrip->View()->Envelope().Buckets() == 0) return std::nullopt;
    return WaveformStrip->View()->Envelope().Covered();
  };
  TimingStudio->OnTicked = [this] {
    WaveformStrip->Tick();
    if (PreviewShown()) PreviewPanel->View()->Refresh();
  };
}

void TForm1::LyricsFileOpened(const std::string& fileName) { TimingStudio->LyricsOpened(fileName); }

void TForm1::WordTagsToLineTagsClick() {
  TWordTagsToLineTagsFilter filter;
  ApplyTextTool(filter);
  ShowToolDone("%1 行のワードタグを行タグだけにしました", filter.Lines());
}

void TForm1::SpreadWordTagsClick() {
  // The form of the word tags: the file's own, as word mode writes them.
  TWordSession& words = TimingStudio->Words();
  words.ReadFileForm(CurrentFileName());
  TSpreadWordTagsFilter filter(words.Format());
  ApplyTextTool(filter);
  ShowToolDone("%1 行にワードタグを均等に付けました", filter.Lines());
}
