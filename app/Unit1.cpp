// TForm1: construction, the document commands, unsaved changes, files changed on disk, dropped files and the title.
#include "app/Unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSessionManager>
#include <QStatusBar>
#include <QUrl>
#include <algorithm>
#include <system_error>

#include "app/core/DocumentNames.h"
#include "app/core/LogicalLines.h"
#include "app/core/OverflowLines.h"
#include "app/core/SaveEncoding.h"
#include "app/Unit3.h"
#include "app/UnitApplication.h"
#include "app/Unit1EditActions.h"
#include "app/UnitCommonDialogs.h"
#include "app/UnitManual.h"
#include "app/UnitRecoveryKeeper.h"
#include "app/UnitStatusFields.h"
#include "app/UnitTimingStudio.h"
#include "editor/RyxEdit.h"
#include "platform/AtomicFile.h"
#include "platform/qt/ControlHostWidget.h"
#include "platform/qt/QtPopupMenu.h"

namespace {

QString QStringFromFileName(const std::string& fileName) {
  return QFile::decodeName(QByteArray::fromStdString(fileName));
}

// The first local file among the dropped items; empty when there is none.
std::string FirstDroppedFile(const QMimeData* data) {
  if (!data) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return QFile::encodeName(url.toLocalFile()).toStdString();
  }
  return {};
}

// A drag of files is taken as a copy whatever the source proposes: the file
// is only opened, never taken from where it is. Without a copy to offer, or
// without a local file, the drag is refused. The file's name when taken.
std::string TakeFileDrag(QDropEvent& event) {
  std::string fileName =
      (event.possibleActions() & Qt::CopyAction) ? FirstDroppedFile(event.mimeData()) : std::string();
  if (fileName.empty()) {
    event.ignore();
    return {};
  }
  event.setDropAction(Qt::CopyAction);
  event.accept();
  return fileName;
}

}  // namespace

TForm1::TForm1(std::vector<std::string> params, std::filesystem::path settingsFile, TCommonDialogs& dialogs,
               QWidget* parent)
    : QMainWindow(parent),
      FParams(std::move(params)),
      FSettingsFile(std::move(settingsFile)),
      FDialogs(dialogs),
      FRyxEdit(std::make_unique<TRyxEdit>()),
      FRyxEditHost(std::make_unique<ControlHostWidget>(*FRyxEdit)) {
  RyxEdit1 = FRyxEdit.get();
  FRecovery = std::make_unique<TRecoveryKeeper>(*RyxEdit1, [this] {
    TRecoveryHeader header;
    header.FileName = FCurrentFileName;
    header.Disk = FDiskStamp;
    return header;
  });
  SetDesignProperties();
  CreateMenu();
  ConnectEditor();
  StatusBar1 = statusBar();
  StatusBar1->setFixedHeight(19);
  StatusFields = new TStatusFields(*StatusBar1, *RyxEdit1);
  setCentralWidget(FRyxEditHost.get());
  setWindowTitle("Verselet");
  SetClientWidth(440);
  SetClientHeight(284);
  // A failing step skips the steps after it; the window still opens.
  Run([this] { FormCreate(); });
  FRyxEditHost->createWindow();
  // Measured in the editor's own metrics, which it has once its window exists.
  if (FFirstStart) Run([this] { FitFirstStartWindow(); });
  KeepOnScreen();
}

TForm1::~TForm1() {
  Run([this] { FormDestroy(); });
}

void TForm1::SetDesignProperties() {
  TRyxEdit& edit = *RyxEdit1;
  edit.SetUndoRec(true);
  edit.SetCaretScrollFix(false);
  edit.SetTopMargin(4);
  edit.SetLeftMargin(2);
  edit.SetScrollStep(3);
  edit.SetCurSetMode(true);
  edit.SetSelColor(RGB(10, 36, 106));
  edit.SetCREOFcolor(clTeal);
  edit.SetTabCount(4);
  edit.SetShowEOF(true);
  edit.SetShowCR(false);
  edit.SetShowDblSpace(false);
  edit.SetShowTAB(true);
  edit.SetUndoBuf(1015808);
  edit.SetLineSpace(10);
  edit.SetLineSpaceUnit(TLineSizeUnit::uPercent);
  edit.SetShowUnderLine(false);
  edit.SetAutoIndent(false);
  edit.SetBorderStyle(TBorderStyle::bsSingle);
  edit.SetColor(clWhite);
  TFont font;
  font.SetName("FixedSys");
  font.SetHeight(-19);
  font.SetColor(clBlack);
  font.SetCharset(SHIFTJIS_CHARSET);
  edit.SetFont(font);
  edit.SetReadOnly(false);
  // Sideways the view scrolls by the bar too, enabled while a row is wider than the view.
  edit.SetHorzScrollBar(true);
  edit.SetVertScrollBar(true);
  edit.SetWordWrap(false);
  edit.SetAutoWrap(false);
  edit.SetWantTabs(true);
  edit.SetColumn(72);
  edit.SetInyostr(">");
  edit.SetColorPrintF(true);
  edit.SetURLColor(clBlue);
  edit.SetInyoColor(clGray);
  edit.SetUlineColor(clBlack);
  edit.SetShowLineNumber(false);
  edit.SetLineNoColumn(5);
  edit.SetSingleByteMode(false);
  edit.SetDragMode(TDragMode::dmAutomatic);
  edit.SetDragCursor(1);
  edit.OnUserClientDraw = [this](TObject* Sender, int x1, int x2, int L1, int L2) {
    RyxEdit1UserClientDraw(Sender, x1, x2, L1, L2);
  };
}

void TForm1::FormCreate() {
  ReadSettingsFile();
  ReadRecentFiles();
  UpdateTitle();
  setAcceptDrops(true);
  OfferLeftBackupsAtStart();
  TimingStudio->TakeSongArgument(FParams);
  if (!FParams.empty()) OpenFile(FParams.front());
  TimingStudio->OpenSongArgument();
}

void TForm1::FormDestroy() {
  // The zoom is for this session: the settings file keeps the size it gave.
  SetZoomSteps(0);
  WriteSettingsFile();
  WriteRecentFiles();
}

void TForm1::Run(const std::function<void()>& step) {
  try {
    step();
  } catch (const std::exception& e) {
    TApplication::Instance().HandleException(e);
  }
}

void TForm1::Connect(QAction* action, void (TForm1::*handler)()) {
  connect(action, &QAction::triggered, this, [this, handler] { Run([this, handler] { (this->*handler)(); }); });
}

void TForm1::ConnectEditor() {
  // The status fields exist only once the constructor made the status bar.
  auto updateFields = [this] {
    if (StatusFields) StatusFields->Update();
  };
  RyxEdit1->OnChangeModify = [this, updateFields](TObject*, bool) {
    FRecovery->DocumentChanged();
    UpdateTitle();
    EditActions->UpdateState();
    updateFields();
  };
  RyxEdit1->OnChange = [this, updateFields](TObject*) {
    FRecovery->DocumentChanged();
    FSessionAnswered = false;
    EditActions->UpdateState();
    updateFields();
  };
  RyxEdit1->OnChangeRedoMode = [this](TObject*, bool) { EditActions->UpdateState(); };
  RyxEdit1->OnSelectionChange = [this, updateFields](TObject*) {
    EditActions->UpdateState();
    updateFields();
  };
  RyxEdit1->OnChangeInsMode = [updateFields](TObject*, bool) { updateFields(); };
  FRyxEditHost->setLossyTextHandler([this](const TLossyReport& report) { return AskLossyCharacters(report); });
  FRyxEditHost->setFoldedTextHandler([this](std::size_t count) { ShowFolded(count); });
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
    // Without leave to interact nothing can be asked; the close that follows asks if it can.
    if (!manager.allowsInteraction()) return;
    bool goOn = false;
    Run([this, &goOn] { goOn = QueryEndSession(); });
    if (!goOn) manager.cancel();
    manager.release();
  });
}

void TForm1::SetCurrentFileName(const std::string& fileName) {
  FCurrentFileName = fileName;
  UpdateTitle();
  // A message of the text that was there is no news about this one.
  if (StatusBar1) StatusBar1->clearMessage();
}

void TForm1::UpdateTitle() {
  // Qt reads "[*]" in a title as the modified mark; doubled it shows as itself.
  setWindowTitle(QStringFromFileName(WindowTitle(FCurrentFileName, RyxEdit1->Modified())).replace("[*]", "[*][*]"));
}

bool TForm1::IsCurrentFile(const std::string& fileName) const {
  if (FCurrentFileName.empty()) return false;
  if (fileName == FCurrentFileName) return true;
  std::error_code error;
  return std::filesystem::equivalent(fileName, FCurrentFileName, error);
}

bool TForm1::QuerySaveChanges() {
  if (!RyxEdit1->Modified()) return true;
  switch (AskSaveChanges()) {
    case TSaveChoice::Save:
      return Save();
    case TSaveChoice::Discard:
      FRecovery->Discarded();
      return true;
    case TSaveChoice::Cancel:
      break;
  }
  return false;
}

bool TForm1::QueryEndSession() {
  FSessionAnswered = QuerySaveChanges();
  return FSessionAnswered;
}

void TForm1::OpenFile(const std::string& fileName) {
  std::error_code error;
  if (!std::filesystem::exists(fileName, error) && !error) {
    // A name that does not exist yet starts an empty text under that name.
    RyxEdit1->ClearAll();
    SetCurrentFileName(fileName);
    SetSaveEncoding(TSaveEncoding::ShiftJis);
    FDiskStamp = FIgnoredStamp = {};
    return;
  }
  if (!OfferLeftBackupOf(fileName)) return;
  std::string converted;
  std::size_t folded = 0;
  TSaveEncoding encoding = TSaveEncoding::ShiftJis;
  switch (OfferConversion(fileName, converted, folded, encoding)) {
    case TOpenChoice::Cancel:
      return;
    case TOpenChoice::Converted:
      // One change from an empty text: the converted text counts as unsaved,
      // since the file on disk is still in its own encoding.
      RyxEdit1->ClearAll();
      RyxEdit1->ReplaceAllText(converted);
      RyxEdit1->GotoDocumentStart();
      SetCurrentFileName(fileName);
      // Written back as it came, unless Save As chooses another.
      SetSaveEncoding(encoding);
      FDiskStamp = FileStampOf(fileName);
      FIgnoredStamp = {};
      NoteRecentFile(fileName);
      LyricsFileOpened(fileName);
      ShowFolded(folded);
      return;
    case TOpenChoice::AsItIs:
      break;
  }
  // The editor reads the file aside and keeps the current text, name and
  // history when that fails.
  if (!RyxEdit1->LoadFromFile(fileName)) {
    FDialogs.ShowError(this, QStringFromFileName(fileName) + " を開けませんでした。\n" +
                                 QString::fromStdString(RyxEdit1->LastFileError()));
    return;
  }
  SetCurrentFileName(fileName);
  SetSaveEncoding(TSaveEncoding::ShiftJis);
  FDiskStamp = FileStampOf(fileName);
  FIgnoredStamp = {};
  NoteRecentFile(fileName);
  LyricsFileOpened(fileName);
}

bool TForm1::SaveFile(const std::string& fileName) {
  if (IsCurrentFile(fileName) && FileStampOf(fileName) != FDiskStamp && !AskOverwriteChangedFile(fileName))
    return false;
  if (!OfferLeftBackupOf(fileName)) return false;
  // A folder or a device in the way is refused by the save itself, with a message that says why.
  const bool readOnly = CheckSaveTarget(fileName) == TSaveObstacle::ReadOnly;
  if (readOnly && !AskOverwriteReadOnly(fileName)) return false;
  // The text stays code page 932; only the bytes written are converted,
  // and a byte code page 932 does not define fails the save with its line.
  const std::unique_ptr<TBlockFilter> encoder = MakeSaveEncoder(FSaveEncoding);
  TRyxStrings::TSaveEncoder encode;
  if (encoder) {
    encode = [&encoder](std::string_view bytes, bool final, std::string& out) {
      encoder->Write(bytes, out);
      if (final) encoder->Finish(out);
    };
  }
  if (RyxEdit1->SaveToFile(fileName, readOnly, encode)) {
    FDiskStamp = FileStampOf(fileName);
    FIgnoredStamp = {};
    NoteRecentFile(fileName);
    return true;
  }
  FDialogs.ShowError(this, QStringFromFileName(fileName) + " に保存できませんでした。\n" +
                               QString::fromStdString(RyxEdit1->LastFileError()));
  return false;
}

bool TForm1::SaveAs() {
  std::string fileName = FCurrentFileName;
  // The current file's own type comes first, so that Save As keeps its extension.
  int filterIndex = FilterIndexForFileName(FCurrentFileName);
  if (filterIndex == 0) filterIndex = FSaveFilterIndex;
  TSaveEncoding encoding = FSaveEncoding;
  for (;;) {
    if (!FDialogs.ExecuteSave(this, SaveFilter, fileName, filterIndex, encoding)) return false;
    FSaveFilterIndex = filterIndex;
    const std::string target = ChangeFileExtForFilter(fileName, filterIndex);
    std::error_code error;
    // Keeping the other file means choosing another name, not giving the save up.
    if (!IsCurrentFile(target) && std::filesystem::exists(target, error) && !AskOverwrite(target)) {
      fileName = target;
      continue;
    }
    const TSaveEncoding before = FSaveEncoding;
    FSaveEncoding = encoding;
    if (!SaveFile(target)) {
      FSaveEncoding = before;
      return false;
    }
    SetCurrentFileName(target);
    SetSaveEncoding(encoding);
    return true;
  }
}

bool TForm1::Save() {
  std::error_code error;
  if (!FCurrentFileName.empty() && std::filesystem::is_regular_file(FCurrentFileName, error)) {
    return SaveFile(FCurrentFileName);
  }
  return SaveAs();
}

void TForm1::N7Click() {
  if (!QuerySaveChanges()) return;
  RyxEdit1->ClearAll();
  SetCurrentFileName({});
  SetSaveEncoding(TSaveEncoding::ShiftJis);
  FDiskStamp = FIgnoredStamp = {};
}

void TForm1::N6Click() {
  if (!QuerySaveChanges()) return;
  std::string fileName = FCurrentFileName;
  if (FDialogs.ExecuteOpen(this, OpenFilter, fileName)) OpenFile(fileName);
}

void TForm1::N5Click() { Save(); }

void TForm1::N4Click() { SaveAs(); }

void TForm1::E1Click() { close(); }

void TForm1::N2Click() {
  if (FForm3) FForm3->exec();
}

void TForm1::ManualClick() {
  if (!FManual) FManual = new TManualWindow(this);
  FManual->show();
  FManual->raise();
  FManual->activateWindow();
}

void TForm1::CheckFileOnDisk() {
  if (FCurrentFileName.empty() || FCheckingDisk) return;
  const TFileStamp now = FileStampOf(FCurrentFileName);
  // A file that went away is written again by the next Save; there is nothing to load.
  if (!now.Exists || now == FDiskStamp || now == FIgnoredStamp) return;
  FCheckingDisk = true;
  Run([this, &now] {
    if (AskReload(FCurrentFileName) && QuerySaveChanges()) {
      // The text loaded again keeps the user's place: the caret's line and the view.
      const TViewPlace place = RyxEdit1->Place();
      const std::string fileName = FCurrentFileName;
      OpenFile(fileName);
      if (FCurrentFileName == fileName && FileStampOf(fileName) == FDiskStamp) RyxEdit1->RestorePlace(place);
    } else {
      FIgnoredStamp = now;
    }
  });
  FCheckingDisk = false;
}

void TForm1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Not while a dialog of this window is open: it comes back here when it closes.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !QApplication::activeModalWidget())
    CheckFileOnDisk();
}

void TForm1::closeEvent(QCloseEvent* event) {
  bool goOn = false;
  // A failure while asking or saving keeps the window open: closing would lose the text.
  Run([this, &goOn] { goOn = FSessionAnswered || QuerySaveChanges(); });
  if (!goOn) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) { TakeFileDrag(*event); }

void TForm1::dragMoveEvent(QDragMoveEvent* event) { TakeFileDrag(*event); }

void TForm1::dropEvent(QDropEvent* event) {
  const std::string fileName = TakeFileDrag(*event);
  if (fileName.empty()) return;
  Run([this, &fileName] {
    if (QuerySaveChanges()) OpenFile(fileName);
  });
}
