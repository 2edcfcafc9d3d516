// TForm1: the timing studio in the main window: made with the menus, on GStreamer, told of the lyrics files opened.
#include <memory>

#include "app/Unit1.h"
#include "app/UnitPreviewPanel.h"
#include "app/UnitTimingStudio.h"
#include "platform/gstreamer/GstAudioPlayer.h"
#include "platform/qt/ControlHostWidget.h"

void TForm1::CreateTimingStudio() {
  TimingStudio = new TTimingStudio(*this, *RyxEdit1, *FRyxEditHost, FDialogs, FSettingsFile,
                                   [] { return std::make_unique<TGstAudioPlayer>(); });
  TimingStudio->AddMenus(*N1, N8, *T1, *HelpMenu, N2);
  TimingStudio->CurrentLyrics = [this] { return CurrentFileName(); };
  PreviewPanel->View()->SungLine = [this] { return TimingStudio->PlayingLine(); };
  TimingStudio->OnSungLineChanged = [this] {
    if (PreviewShown()) PreviewPanel->View()->update();
  };
}

void TForm1::LyricsFileOpened(const std::string& fileName) { TimingStudio->LyricsOpened(fileName); }
