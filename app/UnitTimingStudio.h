// TTimingStudio: timing a lyrics text to its song in the main window: the song, the transport bar, sync mode and the sung-line mark.
#pragma once

#include <QKeySequence>
#include <QObject>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/core/SongFiles.h"
#include "app/core/SungLines.h"
#include "app/core/SyncKeys.h"
#include "app/core/SyncSession.h"
#include "app/core/WordSession.h"
#include "app/core/WordUnitMark.h"
#include "platform/AudioPlayer.h"

class QAction;
class QKeyEvent;
class QLabel;
class QMainWindow;
class QMenu;
class QStatusBar;
class QTimer;
class TCommonDialogs;
class TRyxEdit;
class TTransportBar;

class TTimingStudio : public QObject {
  Q_OBJECT

 public:
  using TPlayerFactory = std::function<std::unique_ptr<IAudioPlayer>()>;

  // editorHost is the widget whose keys sync mode takes; the settings file
  // keeps the reaction delay ([Timing]), the keys ([SyncKeys]) and the song
  // of each lyrics file ([RecentAudio]).
  TTimingStudio(QMainWindow& window, TRyxEdit& edit, QWidget& editorHost, TCommonDialogs& dialogs,
                std::filesystem::path settingsFile, TPlayerFactory makePlayer);
  ~TTimingStudio() override;

  // Puts "音声を開く..." into the file menu before `fileBefore`, the sync
  // commands at the end of the tools menu and the list of their keys into
  // the help menu before `helpBefore`.
  void AddMenus(QMenu& fileMenu, QAction* fileBefore, QMenu& toolsMenu, QMenu& helpMenu, QAction* helpBefore);

  // Opens a song; a failure is shown and leaves the text and the song open before as they were.
  bool OpenSong(const std::filesystem::path& song);
  // The song open now, if any.
  const std::optional<std::filesystem::path>& SongFile() const { return FSongFile; }
  // "--audio SONG" taken out of the command line before the lyrics file
  // opens; the song opens after it, in place of the offer of one beside it.
  void TakeSongArgument(std::vector<std::string>& params);
  void OpenSongArgument();
  // A lyrics file was opened: the song remembered for it, or the offer of one of its name beside it.
  void LyricsOpened(const std::string& lyrics);
  void SetSyncMode(bool on);
  bool SyncMode() const { return FSyncMode; }
  // Word mode (Shift+F9): sync mode's keys act on the caret's unit of a karaoke line; switching it on starts sync mode.
  void SetWordMode(bool on);
  bool WordMode() const { return FWordMode; }
  void PlayPause();
  // Seeks to the caret line's tag (Ctrl+Return).
  void SeekToCaretLine();
  void MeasureReactionDelay();
  void ShowSyncKeys();
  // One step of the clock: the transport, the sung line, the end of a replay, errors of playback.
  void Tick();

  IAudioPlayer& Player() { return *FPlayer; }
  TSyncSession& Session() { return FSession; }
  TWordSession& Words() { return FWords; }
  std::optional<int> SungLine() const { return FSungLine; }
  const std::vector<TSyncKey>& Keys() const { return FKeys; }

  // The lyrics file being edited, for which a song opened from the menu is remembered.
  std::function<std::string()> CurrentLyrics;
  // The sung line changed (the preview follows it).
  std::function<void()> OnSungLineChanged;
  // A song was opened, or the song open before is gone after a failed open; each step of the clock.
  std::function<void(const std::filesystem::path&)> OnSongOpened;
  std::function<void()> OnSongClosed;
  std::function<void()> OnTicked;
  // The song's length where the player cannot tell it yet (an MP3 without a
  // length header, before it plays): the length its whole decoding found.
  std::function<std::optional<TMillis>()> DecodedLength;
  // The line being sung while the song plays; none while it is paused.
  std::optional<int> PlayingLine() const { return FPlayer->Playing() ? FSungLine : std::nullopt; }

  QAction* OpenAudioAction = nullptr;
  QAction* SyncModeAction = nullptr;
  QAction* WordModeAction = nullptr;
  QAction* MeasureDelayAction = nullptr;
  QAction* SyncKeysAction = nullptr;
  QAction* PlayPauseAction = nullptr;
  QAction* SeekToTagAction = nullptr;
  TTransportBar* Transport = nullptr;
  QLabel* SyncIndicator = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ReadSettings();
  void WriteSettings();
  void Say(const QString& text);
  std::optional<TSyncAction> SyncActionOf(const QKeyEvent& event) const;
  void RunSyncAction(TSyncAction action);
  // The action on the caret's unit; false for those that act as in line mode.
  bool RunWordAction(TSyncAction action, std::string& said);
  void ShowSyncIndicator();
  // Paints the rows of the unit mark that was drawn and of the one to draw now.
  void RepaintUnitMark();
  void UpdateTransport();
  void UpdateSungLine();
  void DrawSungMark(int L1, int L2);
  // Has the row that carries line's mark painted again, when it is in view.
  void InvalidateSungRow(std::optional<int> line);
  // A click that put the caret inside the line's tag seeks there.
  void SeekIfCaretInTag();
  // Scrolls the sung line into view unless the user moved the view or typed lately.
  void FollowSungLine(int line);

  QMainWindow& FWindow;
  TRyxEdit& FEdit;
  QWidget& FEditorHost;
  TCommonDialogs& FDialogs;
  std::filesystem::path FSettingsFile;
  TPlayerFactory FMakePlayer;
  std::unique_ptr<IAudioPlayer> FPlayer;
  TSyncSession FSession;
  TWordSession FWords;
  std::optional<TMarkedUnit> FMarkedUnit;
  std::vector<TSyncKey> FKeys;
  std::vector<std::pair<QKeySequence, TSyncAction>> FKeyMap;
  TSongMemory FSongs;
  TSungLines FSungLines;
  bool FSungLinesStale = true;
  std::optional<int> FSungLine;
  std::optional<std::filesystem::path> FSongArgument;
  std::optional<std::filesystem::path> FSongFile;
  bool FSyncMode = false;
  bool FWordMode = false;
  bool FWordActionRunning = false;
  bool FSaidSilent = false;
  std::chrono::steady_clock::time_point FLastUserInput{};
  QTimer* FClock = nullptr;
};
