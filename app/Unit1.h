// TForm1: the main window: menu, document commands, dropped files, settings file and the editor.
#pragma once

#include <QMainWindow>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/DeviceSettings.h"
#include "app/core/FormatConversion.h"
#include "app/core/FileStamp.h"
#include "app/core/RecentFiles.h"
#include "app/core/SaveEncoding.h"
#include "app/core/TagCounting.h"

class ControlHostWidget;
class QtPopupMenu;
class TEditActions;
struct TLossyReport;
struct TLeftBackup;
enum class TKanaWidthTarget;
class QAction;
class QMenu;
class QStatusBar;
class QTimer;
class TCommonDialogs;
class TForm2;
class TFindBar;
class TStatusFields;
class TForm3;
class TManualWindow;
class TRyxEdit;
class TBlockFilter;
class TObject;
class TOverflowLines;
class TPreviewPanel;
class TRecoveryKeeper;
struct TOrphanRecovery;
class TTagCheckPanel;
class TTimingStudio;
class TWaveformStrip;
class TWorkProgress;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // params: the command-line arguments after the program's name; only the
  // first is used. settingsFile is read now and written when the window is
  // destroyed.
  TForm1(std::vector<std::string> params, std::filesystem::path settingsFile, TCommonDialogs& dialogs,
         QWidget* parent = nullptr);
  ~TForm1() override;

  // The box "ヘルプ(&H)" shows; it must outlive this window.
  void SetAboutBox(TForm3& form) { FForm3 = &form; }
  // The dialog "設定" runs; it must outlive this window.
  void SetSettingsDialog(TForm2& form) { FForm2 = &form; }

  // The full path of the file being edited (file-system bytes); empty for a new text.
  const std::string& CurrentFileName() const { return FCurrentFileName; }
  TDeviceSettings& DeviceSettings() { return FDeviceSettings; }

  // The client area as the settings file counts it: below the menu bar,
  // status bar included.
  int ClientWidth() const;
  void SetClientWidth(int value);
  int ClientHeight() const;
  void SetClientHeight(int value);

  // Components.
  TRyxEdit* RyxEdit1;       // the editor control, the window's central widget
  QStatusBar* StatusBar1;   // the status bar: its fields and the tools' messages
  QMenu* N1;                // "ファイル(&F)"
  QAction* N7;              // "新規(&N)"
  QAction* N6;              // "開く(&O)..."
  QAction* N5;              // "上書き保存(&S)"
  QAction* N4;              // "名前を付けて保存(&A)..."
  QAction* N14;             // the hidden separator above "文字コード指定"
  QMenu* N15;               // "文字コード指定", hidden: converts the text's bytes
  QAction* ANSI1;           // "Shift-JIS": the text's UTF-8 bytes to Shift-JIS
  QAction* UTF81;           // "UTF8": the text's Shift-JIS bytes to UTF-8
  QAction* N8;              // the separator above the recent files and "終了"
  QAction* E1;              // "終了(&E)"
  // "読み込み" and "書き出し": the lyrics formats in and out; and the lyrics inside audio files.
  QMenu* ImportMenu = nullptr;
  QMenu* ExportMenu = nullptr;
  QAction* OpenAudioLyricsAction = nullptr;
  QAction* WriteAudioLyricsAction = nullptr;
  // "編集(&E)" and its actions, which the editor's popup menu shows too.
  QMenu* EditMenu;
  TEditActions* EditActions;
  QMenu* PopupMenu1;        // the editor's context menu
  QMenu* T1;                // "ツール(&T)"
  QAction* N9;              // "タイムタグをすべて削除(&T)": the [mm:ss:xx] tags
  QAction* N16;             // "行頭以外のカラオケタグを削除(&K)"
  QAction* N17;             // the separator below the tag tools
  QAction* N10;             // "無駄な行を削除(&B)": lines of nothing but blanks
  // The time-tag tools: check, shift, one form, remove every form.
  QAction* CheckTagsAction;
  QAction* ShiftTagsAction;
  QAction* UnifyTagsAction;
  QAction* DeleteAllTagsAction;
  // "プレーヤー向けに整える...": the preparation dialog.
  QAction* PrepareAction;
  // The width and kana conversions of the selection, or of the whole text without one.
  QAction* HalfwidthAction;
  QAction* FullwidthAction;
  QAction* KatakanaAction;
  QAction* HiraganaAction;
  QMenu* N3;                // "オプション(&O)"
  QAction* N13;             // "タグあり(&T)": the guides leave room for a time tag
  // "プレビュー": the player preview panel and the overflow marks.
  QAction* PreviewAction;
  // "タグを数えない": the guides and 折り返し count what the player shows.
  QAction* CountTagsAction;
  // "折り返し": word wrap on or off.
  QAction* N18;
  // "ウィンドウ幅で折り返す": wrapped lines also break at the window's edge.
  QAction* N19;
  QAction* N12;             // the separator above "設定"
  QAction* N11;             // "設定(&S)...": the settings dialog
  // "ヘルプ(&H)": the manual and the About box.
  QMenu* HelpMenu;
  QAction* ManualAction;
  QAction* N2;              // "バージョン情報(&A)...": the About box
  // "検索(&S)": the find bar, its next and previous, and go to line.
  QMenu* SearchMenu;
  QAction* FindAction;
  QAction* FindNextAction;
  QAction* FindPreviousAction;
  QAction* ReplaceAction;
  QAction* GotoLineAction;
  // "表示(&V)": the editor's font size for this session.
  QMenu* ViewMenu;
  QAction* ZoomInAction;
  QAction* ZoomOutAction;
  QAction* ZoomResetAction;
  TFindBar* FindBar = nullptr;
  TStatusFields* StatusFields = nullptr;
  TPreviewPanel* PreviewPanel = nullptr;
  TTagCheckPanel* TagCheckPanel = nullptr;
  // The song, the transport bar and sync mode (Unit1Timing.cpp).
  TTimingStudio* TimingStudio = nullptr;
  // The song's envelope and the tags' markers under the text (Unit1Timing.cpp).
  TWaveformStrip* WaveformStrip = nullptr;
  QAction* WordTagsToLineTagsAction = nullptr;  // "ワードタグを行タグに"
  QAction* SpreadWordTagsAction = nullptr;      // "行タグからワードタグを均等に"
  // While the check panel is open, an edit checks the text again once typing
  // pauses for this long...
  QTimer* TagRecheckTimer = nullptr;
  // ...if the last check took no longer than this; a slower one would stall
  // the typing, so the panel is marked out of date instead.
  std::chrono::milliseconds LiveTagCheckLimit{50};
  // While the preview is shown and the overflowing lines of a new text are
  // not all counted yet, the count goes on a step at a time between the events.
  QTimer* OverflowWalkTimer = nullptr;

  // Menu handlers.
  void N7Click();   // 新規: an empty text of no file, after the unsaved-changes question
  void N6Click();   // 開く: the open dialog, after the unsaved-changes question
  void N5Click();   // 上書き保存
  void N4Click();   // 名前を付けて保存
  void E1Click();   // 終了: closes the window, which asks about unsaved changes
  void N2Click();   // バージョン情報: the About box
  // Shows the manual: the README, rendered, in a window of its own.
  void ManualClick();
  void N9Click();   // タイムタグをすべて削除
  void N16Click();  // 行頭以外のカラオケタグを削除
  void N10Click();  // 無駄な行を削除
  void UTF81Click();  // the text from Shift-JIS to UTF-8
  void ANSI1Click();  // the text from UTF-8 to Shift-JIS, after asking about characters it loses
  void N13Click();  // タグあり: toggles the time-tag room of the guides
  // Sets the editor's wrapping from "折り返し" and "ウィンドウ幅で折り返す" and the player's line width.
  void ApplyWrapChoice();
  // The wrap column while only the window's edge breaks the rows: wider than any window.
  static constexpr int kWindowEdgeOnlyColumn = 1 << 20;
  void N11Click();  // 設定: runs the settings dialog and wraps at the new line width
  void GotoLineClick();
  void CheckTagsClick();
  void ShiftTagsClick();
  void UnifyTagsClick();
  void DeleteAllTagsClick();
  void PrepareClick();
  void HalfwidthClick();
  void FullwidthClick();
  void KatakanaClick();
  void HiraganaClick();
  void PreviewClick();
  void WordTagsToLineTagsClick();
  void SpreadWordTagsClick();
  // Shows or hides the preview panel and the overflow marks with it.
  void SetPreviewShown(bool shown);
  bool PreviewShown() const { return FPreviewShown; }
  // Whether the guides and the wrap pass over time tags and ID lines, as the player does.
  void SetTagsUncounted(bool uncounted);
  void CountTagsClick();
  // Lines of the text that need more player rows than a page holds; 0
  // while the preview is off, none while they are still being counted.
  std::optional<int> OverflowLineCount();
  // Puts the recent files into "ファイル(&F)" above 終了, as "&1 name" to
  // "&8 name", a missing file greyed; runs when the menu opens.
  void UpdateRecentMenu();
  const TRecentFiles& RecentFiles() const { return FRecentFiles; }
  // Zoom steps away from the font size of the settings file, which is what
  // gets written back; 0 restores it.
  int ZoomSteps() const { return FZoomSteps; }
  void SetZoomSteps(int steps);

  // The session is ending (log-out): the unsaved-changes question; false
  // when the user cancelled it, so that the session manager stops the log-out.
  bool QueryEndSession();
  // Looks whether another program changed the file since it was loaded or
  // saved, and offers to load it again. Runs when the window is activated.
  void CheckFileOnDisk();

  // Recovery files (Unit1Recovery.cpp). The unsaved text's own file:
  TRecoveryKeeper& Recovery() { return *FRecovery; }
  // Offers the texts that windows left unsaved when they ended; at start.
  void OfferRecoveriesAtStart();
  // Opens the orphan's text as an unsaved change of its file, which is not
  // touched, and removes the orphan. False when it could not be read (said
  // in a message) or the user kept the current text.
  bool RestoreRecovery(TOrphanRecovery& orphan);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void SetDesignProperties();
  void CreateMenu();
  void CreateSearchAndViewMenus();
  void ReadRecentFiles();
  // Puts the name first in the recent list; the list is written with the settings when the window goes.
  void NoteRecentFile(const std::string& fileName);
  void WriteRecentFiles();
  void RemoveMissingRecentFiles();
  void FormCreate();
  void FormDestroy();
  void ReadSettingsFile();
  // Without a settings file the window opens large enough for the whole menu
  // bar, the player's line with its guides and the preview, centred.
  void FitFirstStartWindow();
  // A size or position from another screen, or typed by hand, must not hide the window.
  void KeepOnScreen();
  void WriteSettingsFile();
  // Draws the display guides and the overflow marks over the editor's rows L1..L2.
  void RyxEdit1UserClientDraw(TObject* Sender, int x1, int x2, int L1, int L2);
  // The lyrics panels and their menu items (Unit1Lyrics.cpp).
  void CreateLyricsTools();
  // The editor's lines first..oldLast became first..newLast: the find bar, the check panel and the preview follow.
  void RyxEdit1LinesChanged(int first, int oldLast, int newLast);
  // Checks the time tags and fills the panel; the number of problems found.
  // progress, when given, may stop the check (EAbort), the panel as it was.
  std::size_t RunTagCheck(TWorkProgress* progress = nullptr);
  // The overflow cache for the display now set, measured anew when the display changed; null while the preview is off.
  TOverflowLines* CurrentOverflow();
  // One step of the count of a new text's overflowing lines; the preview's heading shows the count once it is whole.
  void WalkOverflow();
  void DrawOverflowMarksOf(int L1, int L2);
  // The timing studio (Unit1Timing.cpp): made with the menus, told of each lyrics file opened.
  void CreateTimingStudio();
  void LyricsFileOpened(const std::string& fileName);

  // "読み込み", "書き出し" and the lyrics inside audio files (Unit1Formats.cpp).
  void CreateFormatMenus();
  // Opens a file of format from as a new text in format to.
  void ImportClick(TLyricsFormat from, TLyricsFormat to);
  // Writes the text, read as .lrc or .kra, as a file of format to.
  void ExportClick(TLyricsFormat to, TKaraokeFill fill);
  void OpenAudioLyricsClick();
  void WriteAudioLyricsClick();
  // The text as it becomes the new text of no file, the way 新規 starts one.
  void ShowAsNewText(const std::string& text);
  // Writes bytes to a file chosen for export, with the questions of saving; false when it was not written.
  bool WriteExport(const std::string& fileName, const std::string& bytes);
  // The audio file the lyrics came from or went to last, the song of the timing studio before it.
  std::string LyricsAudioFile() const;
  // Runs a step and reports what it raises, so that no exception crosses Qt's frames.
  void Run(const std::function<void()>& step);
  void Connect(QAction* action, void (TForm1::*handler)());
  void ConnectEditor();
  void OpenFile(const std::string& fileName);
  // Each returns true only when the text was written.
  bool Save();
  bool SaveAs();
  bool SaveFile(const std::string& fileName);
  // The encoding the text will be written in, shown in the status bar.
  void SetSaveEncoding(TSaveEncoding encoding);
  bool IsCurrentFile(const std::string& fileName) const;
  void SetCurrentFileName(const std::string& fileName);
  void UpdateTitle();
  // True when the document may be replaced or closed: it has no unsaved
  // changes, or the user saved them (successfully) or chose to drop them.
  bool QuerySaveChanges();
  void ApplyTextTool(TBlockFilter& filter);
  // The status line after a tool; the message's %1 takes count.
  void ShowToolDone(const char* doneMessage, std::size_t count);
  // Converts the selection, or the whole text, as one step; what says what it became ("半角").
  void ConvertCharacters(TKanaWidthTarget target, const char* what);

  // The questions (Unit1Questions.cpp); true means go on.
  enum class TSaveChoice { Save, Discard, Cancel };
  TSaveChoice AskSaveChanges();
  bool AskOverwrite(const std::string& fileName);
  bool AskOverwriteReadOnly(const std::string& fileName);
  bool AskOverwriteChangedFile(const std::string& fileName);
  bool AskToReplace(const QString& reason);
  bool AskReload(const std::string& fileName);
  bool AskLossyCharacters(const TLossyReport& report);

  // A UTF-8 or UTF-16 file (Unit1Encoding.cpp): the user may have it
  // converted to Shift-JIS for editing, opened as it is, or not opened.
  enum class TOpenChoice { AsItIs, Converted, Cancel };
  // folded receives the number of characters folded to a look-alike in
  // converted, and encoding the one to write the file back in.
  TOpenChoice OfferConversion(const std::string& fileName, std::string& converted, std::size_t& folded,
                              TSaveEncoding& encoding);
  // UTF-8 text as code page 932, after the question about characters it
  // cannot hold (false when the user cancelled it); folded receives the
  // number folded to a look-alike.
  bool TakeInUtf8(std::string_view utf8, std::string& converted, std::size_t& folded);
  // Tells in the status bar how many characters of a text taken in were folded to a look-alike.
  void ShowFolded(std::size_t count);

  // The backup an interrupted in-place save left behind (Unit1Backups.cpp):
  // offered before the file is opened or saved, and at start for those in
  // the state folder. False when the user chose to stop.
  bool OfferLeftBackupOf(const std::string& fileName);
  void OfferLeftBackupsAtStart();
  bool OfferLeftBackup(const TLeftBackup& left, const QString& laterButton);

  std::vector<std::string> FParams;
  std::filesystem::path FSettingsFile;
  TCommonDialogs& FDialogs;
  TForm2* FForm2 = nullptr;
  TForm3* FForm3 = nullptr;
  // Made when first asked for; a child of this window.
  TManualWindow* FManual = nullptr;
  std::string FCurrentFileName;
  std::chrono::steady_clock::duration FTagCheckCost{};
  TDeviceSettings FDeviceSettings;
  int FSaveFilterIndex = 1;
  // The encoding the text is written in: the one the file came in, or the one chosen since.
  TSaveEncoding FSaveEncoding = TSaveEncoding::ShiftJis;
  // The file as it was when loaded or saved, and a later state of it that
  // the user chose not to load.
  TFileStamp FDiskStamp;
  TFileStamp FIgnoredStamp;
  bool FCheckingDisk = false;
  // The user answered the unsaved-changes question for the ending session;
  // the close that follows does not ask again unless the text changed since.
  bool FSessionAnswered = false;
  int FZoomSteps = 0;
  // The audio file whose lyrics were opened or written last.
  std::string FLyricsAudio;
  // No settings file was there to read.
  bool FFirstStart = false;
  TRecentFiles FRecentFiles;
  // What UpdateRecentMenu put into the file menu, taken out again next time.
  std::vector<QAction*> FRecentActions;
  int FUnzoomedFontSize = 0;
  bool FPreviewShown = false;
  TTagCounting FTagCounting;
  std::unique_ptr<TOverflowLines> FOverflow;
  // The editor's popup menu outlives the editor, and the host widget must
  // go before the control it hosts, hence this order.
  std::unique_ptr<QtPopupMenu> FPopupMenu;
  std::unique_ptr<TRyxEdit> FRyxEdit;
  std::unique_ptr<ControlHostWidget> FRyxEditHost;
  // It reads the editor, so it goes first.
  std::unique_ptr<TRecoveryKeeper> FRecovery;
};
