// TTimingStudio: the menus, keys, clock and settings of timing a lyrics text to its song.
#include "app/UnitTimingStudio.h"

#include <QAction>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "app/core/ReactionDelay.h"
#include "app/core/TimeTags.h"
#include "app/UnitCommonDialogs.h"
#include "app/UnitReactionDialog.h"
#include "app/UnitTransportBar.h"
#include "editor/RyxEdit.h"
#include "platform/IniFile.h"

namespace {

constexpr const char* kTimingSection = "Timing";
constexpr const char* kReactionDelayKey = "ReactionDelay";
// The clock of the transport and the sung line: about thirty times a second.
constexpr int kTickMilliseconds = 33;
// The view follows the song again once the user has left it alone this long.
constexpr std::chrono::seconds kFollowPause{3};
// Passing messages go after a while, like those of the tools.
constexpr int kMessageMilliseconds = 5000;

QString FromFileName(const std::filesystem::path& path) { return QFile::decodeName(QByteArray::fromStdString(path.string())); }

std::string AudioFilter() {
  std::string patterns;
  for (const std::string& extension : AudioExtensions()) patterns += (patterns.empty() ? "*" : ";*") + extension;
  return "音声ファイル (" + patterns + ")|" + patterns + "|すべてのファイル (*.*)|*";
}

}  // namespace

TTimingStudio::TTimingStudio(QMainWindow& window, TRyxEdit& edit, QWidget& editorHost, TCommonDialogs& dialogs,
                             std::filesystem::path settingsFile, TPlayerFactory makePlayer)
    : QObject(&window),
      FWindow(window),
      FEdit(edit),
      FEditorHost(editorHost),
      FDialogs(dialogs),
      FSettingsFile(std::move(settingsFile)),
      FMakePlayer(std::move(makePlayer)),
      FPlayer(FMakePlayer()),
      FSession(edit, *FPlayer),
      FWords(FSession, edit) {
  ReadSettings();
  Transport = new TTransportBar(&window);
  window.addDockWidget(Qt::TopDockWidgetArea, Transport);
  Transport->hide();
  connect(Transport, &TTransportBar::PlayPauseClicked, this, &TTimingStudio::PlayPause);
  connect(Transport, &TTransportBar::SeekRequested, this, [this](TMillis at) {
    FPlayer->Seek(at);
    UpdateTransport();
  });
  connect(Transport, &TTransportBar::RateChosen, this, [this](double rate) { FPlayer->SetRate(rate); });
  connect(Transport, &TTransportBar::VolumeChosen, this, [this](double volume) { FPlayer->SetVolume(volume); });

  SyncIndicator = new QLabel("同期モード");
  SyncIndicator->setStyleSheet("QLabel { color: white; background: #c0392b; padding: 0 6px; }");
  window.statusBar()->addPermanentWidget(SyncIndicator);
  SyncIndicator->hide();

  FClock = new QTimer(this);
  FClock->setInterval(kTickMilliseconds);
  connect(FClock, &QTimer::timeout, this, &TTimingStudio::Tick);

  // Every change of the text, typed, stamped, undone or loaded, comes through here.
  auto linesChangedBefore = FEdit.OnLinesChanged;
  FEdit.OnLinesChanged = [this, linesChangedBefore](TObject* sender, int first, int oldLast, int newLast) {
    if (linesChangedBefore) linesChangedBefore(sender, first, oldLast, newLast);
    if (!FPlayer->IsOpen() || FSungLinesStale) return;
    // The report comes in the middle of an edit: nothing may be raised from here.
    try {
      FSungLines.Changed(FEdit.Lines(), first, oldLast, newLast);
    } catch (const std::exception&) {
      // Read anew from the whole text at the next tick.
      FSungLinesStale = true;
    }
  };

  // The mark of the sung line is drawn after the rows, like the display guides.
  auto drawBefore = FEdit.OnUserClientDraw;
  FEdit.OnUserClientDraw = [this, drawBefore](TObject* sender, int x1, int x2, int L1, int L2) {
    if (drawBefore) drawBefore(sender, x1, x2, L1, L2);
    DrawSungMark(L1, L2);
    // Read at each paint: an edit that leaves the caret where it was may still move the unit's bytes.
    if (FMarkedUnit) {
      if (const auto unit = FWords.CaretUnit()) {
        FMarkedUnit = TMarkedUnit{unit->Line, unit->Start, unit->End};
        DrawMarkedUnit(FEdit.Canvas(), FEdit, *FMarkedUnit, L1, L2);
      }
    }
  };
  // Word mode's mark follows the caret.
  auto moveCaretBefore = FEdit.OnMoveCaret;
  FEdit.OnMoveCaret = [this, moveCaretBefore](TObject* sender) {
    if (moveCaretBefore) moveCaretBefore(sender);
    // A word action moves the caret several times; the mark is placed once after it.
    if (FSyncMode && FWordMode && !FWordActionRunning) RepaintUnitMark();
  };
  editorHost.installEventFilter(this);
}

// The event filter goes with this object; the editor and its host may already be gone.
TTimingStudio::~TTimingStudio() { FPlayer->Close(); }

void TTimingStudio::AddMenus(QMenu& fileMenu, QAction* fileBefore, QMenu& toolsMenu, QMenu& helpMenu,
                             QAction* helpBefore) {
  OpenAudioAction = new QAction("音声を開く(&U)...", this);
  fileMenu.insertAction(fileBefore, OpenAudioAction);
  connect(OpenAudioAction, &QAction::triggered, this, [this] {
    std::string name;
    if (!FDialogs.ExecuteOpen(&FWindow, AudioFilter(), name) || !OpenSong(name)) return;
    // The next time this lyrics file opens, its song comes with it.
    if (const std::string lyrics = CurrentLyrics ? CurrentLyrics() : std::string(); !lyrics.empty()) {
      FSongs.Remember(lyrics, std::filesystem::absolute(name).string());
      WriteSettings();
    }
  });

  toolsMenu.addSeparator();
  SyncModeAction = toolsMenu.addAction("同期モード(&Y)");
  SyncModeAction->setCheckable(true);
  SyncModeAction->setShortcut(QKeySequence(Qt::Key_F9));
  connect(SyncModeAction, &QAction::triggered, this, [this](bool on) { SetSyncMode(on); });
  WordModeAction = toolsMenu.addAction("単語ごと(&W)");
  WordModeAction->setCheckable(true);
  WordModeAction->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F9));
  connect(WordModeAction, &QAction::triggered, this, [this](bool on) { SetWordMode(on); });
  MeasureDelayAction = toolsMenu.addAction("反応の遅れを測る(&R)...");
  connect(MeasureDelayAction, &QAction::triggered, this, &TTimingStudio::MeasureReactionDelay);
  SyncKeysAction = new QAction("同期モードのキー(&K)...", this);
  helpMenu.insertAction(helpBefore, SyncKeysAction);
  connect(SyncKeysAction, &QAction::triggered, this, &TTimingStudio::ShowSyncKeys);

  // Window-wide keys of the song, wherever the focus is.
  PlayPauseAction = new QAction("再生 / 一時停止", this);
  PlayPauseAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Space));
  PlayPauseAction->setEnabled(false);
  connect(PlayPauseAction, &QAction::triggered, this, &TTimingStudio::PlayPause);
  SeekToTagAction = new QAction("行のタグへ移動", this);
  SeekToTagAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
  SeekToTagAction->setEnabled(false);
  connect(SeekToTagAction, &QAction::triggered, this, &TTimingStudio::SeekToCaretLine);
  FWindow.addAction(PlayPauseAction);
  FWindow.addAction(SeekToTagAction);
}

void TTimingStudio::ReadSettings() {
  const TIniFile ini(FSettingsFile);
  FSession.SetReactionDelay(TMillis{ini.ReadInteger(kTimingSection, kReactionDelayKey, 0)});
  FKeys = ReadSyncKeys(ini);
  FSongs.Read(ini);
  QStringList unreadable;
  for (const TSyncKey& key : FKeys) {
    const QKeySequence sequence = QKeySequence::fromString(QString::fromStdString(key.Keys), QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown) {
      unreadable << QString("%1=%2").arg(key.Name, QString::fromStdString(key.Keys));
      continue;
    }
    FKeyMap.emplace_back(sequence, key.Action);
  }
  if (!unreadable.isEmpty())
    FDialogs.ShowError(&FWindow, "設定ファイルの [SyncKeys] に読めないキーがあります (使われません):\n" + unreadable.join("\n"));
}

void TTimingStudio::WriteSettings() {
  try {
    TIniFile ini(FSettingsFile);
    ini.WriteInteger(kTimingSection, kReactionDelayKey, static_cast<int>(FSession.ReactionDelay().count()));
    FSongs.Write(ini);
    ini.UpdateFile();
  } catch (const std::exception& e) {
    Say(QString("設定ファイルに書けません: ") + QString::fromUtf8(e.what()));
  }
}

void TTimingStudio::Say(const QString& text) {
  if (!text.isEmpty()) FWindow.statusBar()->showMessage(text, kMessageMilliseconds);
}

bool TTimingStudio::OpenSong(const std::filesystem::path& song) {
  // The text is never touched; a failed open leaves no song open.
  try {
    FPlayer->Open(song);
  } catch (const EAudioError& e) {
    FDialogs.ShowError(&FWindow, "音声を開けませんでした。\n" + QString::fromUtf8(e.what()));
    Transport->setVisible(false);
    PlayPauseAction->setEnabled(false);
    SeekToTagAction->setEnabled(false);
    FClock->stop();
    FSongFile.reset();
    if (OnSongClosed) OnSongClosed();
    return false;
  }
  FSongFile = song;
  Transport->setWindowTitle("再生: " + FromFileName(song.filename()) +
                            (FPlayer->Silent() ? QString(" (音声の出力がないため音は出ません)") : QString()));
  Transport->show();
  PlayPauseAction->setEnabled(true);
  SeekToTagAction->setEnabled(true);
  FSungLinesStale = true;
  FClock->start();
  if (FPlayer->Silent() && !FSaidSilent) {
    FSaidSilent = true;
    FWindow.statusBar()->showMessage("音声の出力を開けないため、音を出さずに時計だけで再生します");
  }
  UpdateTransport();
  if (OnSongOpened) OnSongOpened(song);
  return true;
}

void TTimingStudio::TakeSongArgument(std::vector<std::string>& params) {
  try {
    if (const auto song = TakeAudioArgument(params)) FSongArgument = *song;
  } catch (const std::invalid_argument& e) {
    FDialogs.ShowError(&FWindow, QString::fromUtf8(e.what()));
  }
}

void TTimingStudio::OpenSongArgument() {
  if (!FSongArgument) return;
  const std::filesystem::path song = *FSongArgument;
  FSongArgument.reset();
  OpenSong(song);
}

void TTimingStudio::LyricsOpened(const std::string& lyrics) {
  if (FSongArgument) return;
  if (const TSongMemory::TEntry* known = FSongs.Find(lyrics)) {
    if (!known->Song.empty() && std::filesystem::exists(known->Song)) OpenSong(known->Song);
    return;
  }
  const auto beside = AudioBeside(lyrics);
  if (!beside) return;
  const int answer = FDialogs.Ask(&FWindow, TQuestion{"同じ名前の音声ファイルがあります:\n" + FromFileName(beside->filename()) +
                                                          "\nいっしょに開きますか?",
                                                      {"開く", "開かない"}, 0, 1});
  const bool open = answer == 0 && OpenSong(*beside);
  FSongs.Remember(lyrics, open ? beside->string() : "");
  WriteSettings();
}

void TTimingStudio::SetSyncMode(bool on) {
  FSyncMode = on;
  SyncModeAction->setChecked(on);
  ShowSyncIndicator();
  if (on) {
    FSession.ReadFileForm();
    FWords.ReadFileForm(CurrentLyrics ? CurrentLyrics() : std::string());
    Say(!FPlayer->IsOpen() ? "同期モード: 先に音声を開いてください (ファイル → 音声を開く...)"
        : FWordMode        ? "同期モード (単語ごと): Space で単語に時刻を付けます (Esc で終わり)"
                           : "同期モード: Space で行に時刻を付けます (Esc で終わり)");
  } else {
    Say("同期モードを終えました");
  }
  RepaintUnitMark();
}

void TTimingStudio::SetWordMode(bool on) {
  FWordMode = on;
  WordModeAction->setChecked(on);
  if (on && !FSyncMode) {
    SetSyncMode(true);
    return;
  }
  ShowSyncIndicator();
  Say(on ? "同期モード: 単語ごとに時刻を付けます" : "同期モード: 行ごとに時刻を付けます");
  RepaintUnitMark();
}

void TTimingStudio::ShowSyncIndicator() {
  SyncIndicator->setText(FWordMode ? "同期モード: 単語ごと" : "同期モード");
  SyncIndicator->setVisible(FSyncMode);
}

void TTimingStudio::RepaintUnitMark() {
  const auto invalidate = [this](const TMarkedUnit& unit) {
    if (!FEdit.HandleAllocated()) return;
    const auto [first, last] = MarkedUnitRows(FEdit, unit);
    const int from = std::max(first, FEdit.TopLine());
    const int to = std::min(last, FEdit.TopLine() + FEdit.VisibleLines() - 1);
    if (from > to) return;
    const TRect band{0, FEdit.TopMargin() + (from - FEdit.TopLine()) * FEdit.LineHeight(), FEdit.ClientWidth(),
                     FEdit.TopMargin() + (to + 1 - FEdit.TopLine()) * FEdit.LineHeight()};
    FEdit.Host().InvalidateRect(&band);
  };
  if (FMarkedUnit) invalidate(*FMarkedUnit);
  FMarkedUnit.reset();
  if (!FSyncMode || !FWordMode) return;
  if (const auto unit = FWords.CaretUnit()) {
    FMarkedUnit = TMarkedUnit{unit->Line, unit->Start, unit->End};
    invalidate(*FMarkedUnit);
  }
}

void TTimingStudio::PlayPause() {
  if (!FPlayer->IsOpen()) return;
  if (FPlayer->Playing())
    FPlayer->Pause();
  else
    FPlayer->Play();
  UpdateTransport();
}

void TTimingStudio::SeekToCaretLine() {
  if (!FPlayer->IsOpen()) return;
  if (const auto time = LineTagTime(FSession.LogicalLineText(FSession.CaretLogicalLine()))) {
    FPlayer->Seek(*time);
    UpdateTransport();
  } else {
    Say("この行にはタイムタグがありません");
  }
}

void TTimingStudio::SeekIfCaretInTag() {
  if (!FPlayer->IsOpen() || FEdit.SelActive()) return;
  const TLogicalPos caret = FEdit.ToLogical({FEdit.CaretLine(), FEdit.CaretCol()});
  const std::string text = FSession.LogicalLineText(caret.Line);
  const std::optional<TLineEdit> tag = RemoveTagEdit(text);
  if (!tag || caret.Col <= static_cast<int>(tag->Start) || caret.Col >= static_cast<int>(tag->Start + tag->Length)) return;
  if (const auto time = LineTagTime(text)) {
    FPlayer->Seek(*time);
    UpdateTransport();
  }
}

std::optional<TSyncAction> TTimingStudio::SyncActionOf(const QKeyEvent& event) const {
  const QKeyCombination pressed(event.modifiers() & ~Qt::KeypadModifier, static_cast<Qt::Key>(event.key()));
  for (const auto& [sequence, action] : FKeyMap) {
    if (sequence[0] == pressed) return action;
  }
  return std::nullopt;
}

bool TTimingStudio::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::KeyPress || type == QEvent::Wheel || type == QEvent::MouseButtonPress)
    FLastUserInput = std::chrono::steady_clock::now();
  // After the editor has placed the caret.
  if (type == QEvent::MouseButtonRelease && FPlayer->IsOpen())
    QTimer::singleShot(0, this, &TTimingStudio::SeekIfCaretInTag);
  if (!FSyncMode || (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)) return QObject::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  const auto action = SyncActionOf(*key);
  if (!action) return QObject::eventFilter(watched, event);
  // The key is sync mode's: no menu shortcut takes it first.
  if (type == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (!key->isAutoRepeat() || *action != TSyncAction::Stamp) RunSyncAction(*action);
  return true;
}

namespace {

// A flag set for the time of a scope, whatever leaves it.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
  ~TFlagScope() { FFlag = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& FFlag;
};

// How far a nudge key moves a tag.
std::optional<TMillis> NudgeOf(TSyncAction action) {
  switch (action) {
    case TSyncAction::NudgeEarlier:
      return TMillis{-100};
    case TSyncAction::NudgeLater:
      return TMillis{100};
    case TSyncAction::NudgeEarlierFine:
      return TMillis{-10};
    case TSyncAction::NudgeLaterFine:
      return TMillis{10};
    case TSyncAction::NudgeEarlierCoarse:
      return TMillis{-1000};
    case TSyncAction::NudgeLaterCoarse:
      return TMillis{1000};
    default:
      return std::nullopt;
  }
}

// Whether the action may move the song: the transport shows the new place
// at once. After any other action the clock's next step brings it up to date.
bool Seeks(TSyncAction action) {
  switch (action) {
    case TSyncAction::PreviousLine:
    case TSyncAction::NextLine:
    case TSyncAction::ReplayLine:
      return true;
    default:
      return NudgeOf(action).has_value();
  }
}

}  // namespace

bool TTimingStudio::RunWordAction(TSyncAction action, std::string& said) {
  if (const auto delta = NudgeOf(action)) {
    said = FWords.Nudge(*delta);
    return true;
  }
  switch (action) {
    case TSyncAction::Stamp:
      said = FWords.Stamp();
      return true;
    case TSyncAction::EndLine:
      said = FWords.StampEnd();
      return true;
    case TSyncAction::ReplayLine:
      said = FWords.Replay();
      return true;
    case TSyncAction::RemoveTag:
      said = FWords.RemoveTag();
      return true;
    case TSyncAction::JoinUnits:
      said = FWords.Join();
      return true;
    case TSyncAction::SplitUnit:
      said = FWords.Split();
      return true;
    default:
      return false;
  }
}

void TTimingStudio::RunSyncAction(TSyncAction action) {
  std::string said;
  bool word = false;
  if (FWordMode) {
    const TFlagScope running(FWordActionRunning);
    word = RunWordAction(action, said);
  }
  if (word) {
    Say(QString::fromStdString(said));
    if (Seeks(action)) UpdateTransport();
    RepaintUnitMark();
    return;
  }
  if (const auto delta = NudgeOf(action)) {
    said = FSession.Nudge(*delta);
  } else {
    switch (action) {
      case TSyncAction::Stamp:
        said = FSession.Stamp();
        break;
      case TSyncAction::EndLine:
        said = FSession.InsertEndLine();
        break;
      case TSyncAction::PreviousLine:
        said = FSession.MoveLine(-1);
        break;
      case TSyncAction::NextLine:
        said = FSession.MoveLine(1);
        break;
      case TSyncAction::ReplayLine:
        said = FSession.ReplayLine();
        break;
      case TSyncAction::RemoveTag:
        said = FSession.RemoveTag();
        break;
      case TSyncAction::JoinUnits:
      case TSyncAction::SplitUnit:
        said = "単語ごと (Shift+F9) のときに使えます";
        break;
      case TSyncAction::Leave:
        SetSyncMode(false);
        return;
      default:
        break;
    }
  }
  Say(QString::fromStdString(said));
  if (Seeks(action)) UpdateTransport();
}

void TTimingStudio::MeasureReactionDelay() {
  TReactionDialog dialog(FMakePlayer(), FSession.ReactionDelay(), &FWindow);
  if (dialog.exec() != QDialog::Accepted || !dialog.Measured()) return;
  FSession.SetReactionDelay(*dialog.Measured());
  WriteSettings();
  Say(QString("反応の遅れを %1 ミリ秒にしました").arg(dialog.Measured()->count()));
}

void TTimingStudio::ShowSyncKeys() {
  // A table, so that the actions line up whatever the width of the key names.
  auto row = [](const QString& keys, const QString& caption) {
    return "<tr><td style='padding-right:16px'><b>" + keys.toHtmlEscaped() + "</b></td><td>" + caption.toHtmlEscaped() +
           "</td></tr>";
  };
  QString text = "同期モード (ツール → 同期モード, F9) のキー:<table>";
  for (const TSyncKey& key : FKeys) text += row(QString::fromStdString(key.Keys), QString::fromUtf8(key.Caption));
  text += row("Ctrl+Space", "再生 / 一時停止") + row("Ctrl+Return", "行のタグの位置へ移動") +
          "</table><p>単語ごと (ツール → 単語ごと, Shift+F9) のときは、時刻を付けるキー、ずらすキー、"
          "もう一度再生するキーと削除するキーが行ではなくカーソルの単語に働きます。</p>"
          "<p>キーは設定ファイルの [SyncKeys] で変えられます (例: Stamp=Return)。</p>";
  QMessageBox box(QMessageBox::Information, "同期モードのキー", text, QMessageBox::Ok, &FWindow);
  box.setTextFormat(Qt::RichText);
  box.exec();
}

void TTimingStudio::Tick() {
  if (!FPlayer->IsOpen()) return;
  const TPlayerEvents events = FPlayer->TakeEvents();
  if (!events.Error.empty()) FDialogs.ShowError(&FWindow, QString::fromUtf8(events.Error.c_str()));
  FSession.Tick();
  UpdateTransport();
  UpdateSungLine();
  if (OnTicked) OnTicked();
}

void TTimingStudio::UpdateTransport() {
  if (!FPlayer->IsOpen()) return;
  std::optional<TMillis> length = FPlayer->Duration();
  if (!length && DecodedLength) length = DecodedLength();
  Transport->ShowState(FPlayer->Position(), length, FPlayer->Playing());
}

void TTimingStudio::UpdateSungLine() {
  if (FSungLinesStale) {
    FSungLines.Read(FEdit.Lines());
    FSungLinesStale = false;
  }
  const std::optional<int> sung = FSungLines.LineAt(FPlayer->Position());
  if (sung == FSungLine) return;
  // Only the rows that lose and gain the mark are painted again.
  InvalidateSungRow(std::exchange(FSungLine, sung));
  InvalidateSungRow(FSungLine);
  if (OnSungLineChanged) OnSungLineChanged();
  if (sung) FollowSungLine(*sung);
}

void TTimingStudio::FollowSungLine(int line) {
  if (FSyncMode || std::chrono::steady_clock::now() - FLastUserInput < kFollowPause) return;
  const int row = FEdit.Lines().FirstIndexOfLogicalLine(line);
  if (row >= FEdit.TopLine() && row < FEdit.TopLine() + FEdit.VisibleLines()) return;
  FEdit.MoveCaretTo(row, 0);
}

void TTimingStudio::InvalidateSungRow(std::optional<int> line) {
  if (!line || !FEdit.HandleAllocated()) return;
  const int row = FEdit.Lines().FirstIndexOfLogicalLine(*line);
  if (row < FEdit.TopLine() || row >= FEdit.TopLine() + FEdit.VisibleLines()) return;
  const int top = FEdit.TopMargin() + (row - FEdit.TopLine()) * FEdit.LineHeight();
  const TRect band{0, top, FEdit.ClientWidth(), top + FEdit.LineHeight()};
  FEdit.Host().InvalidateRect(&band);
}

void TTimingStudio::DrawSungMark(int L1, int L2) {
  if (!FSungLine || !FPlayer->IsOpen()) return;
  const int row = FEdit.Lines().FirstIndexOfLogicalLine(*FSungLine);
  if (row < std::max(L1, FEdit.TopLine()) || row > L2) return;
  ICanvas& canvas = FEdit.Canvas();
  const int top = FEdit.TopMargin() + (row - FEdit.TopLine()) * FEdit.LineHeight();
  const TColor brush = canvas.BrushColor();
  canvas.SetBrushColor(RGB(230, 120, 20));
  // A bar in the margin and a rule under the row: the text itself stays as it is drawn.
  const int bottom = top + FEdit.LineHeight();
  canvas.FillRect(TRect{0, top, std::max(4, FEdit.TextLeft() - 1), bottom});
  canvas.FillRect(TRect{FEdit.TextLeft(), bottom - 2, FEdit.TextLeft() + FEdit.TextWidth(), bottom});
  canvas.SetBrushColor(brush);
}
