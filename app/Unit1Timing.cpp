// TForm1: the timing studio in the main window: made with the menus, on GStreamer, told of the lyrics files opened; the word tag tools.
#include <QAction>
#include <QMenu>
#include <memory>

#include "app/core/WordTagTools.h"

#include "app/Unit1.h"
#include "app/UnitPreviewPanel.h"
#include "app/UnitTimingStudio.h"
#include "platform/gstreamer/GstAudioPlayer.h"
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
  TimingStudio->OnSungLineChanged = [this] {
    if (PreviewShown()) PreviewPanel->View()->update();
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
