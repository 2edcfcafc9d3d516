// TForm1: construction, the document commands, dropped files and the window title.
#include "app/Unit1.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>
#include <system_error>

#include "app/DocumentNames.h"
#include "app/Unit3.h"
#include "app/UnitApplication.h"
#include "app/UnitCommonDialogs.h"
#include "editor/RyxEdit.h"
#include "platform/qt/ControlHostWidget.h"

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
  SetDesignProperties();
  CreateMenu();
  StatusBar1 = statusBar();
  StatusBar1->setFixedHeight(19);
  setCentralWidget(FRyxEditHost.get());
  setWindowTitle("Verselet");
  SetClientWidth(440);
  SetClientHeight(284);
  // A failing step skips the steps after it; the window still opens.
  Run([this] { FormCreate(); });
  KeepOnScreen();
  FRyxEditHost->createWindow();
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
  edit.SetHorzScrollBar(false);
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
  setWindowTitle(ApplicationTitle);
  setAcceptDrops(true);
  if (!FParams.empty()) OpenFile(FParams.front());
}

void TForm1::FormDestroy() { WriteSettingsFile(); }

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

void TForm1::SetCurrentFileName(const std::string& fileName) {
  FCurrentFileName = fileName;
  // Qt reads "[*]" in a title as the modified mark; doubled it shows as itself.
  setWindowTitle(QStringFromFileName(WindowTitle(fileName)).replace("[*]", "[*][*]"));
}

void TForm1::OpenFile(const std::string& fileName) {
  RyxEdit1->ClearAll();
  std::error_code error;
  const bool isNew = !std::filesystem::exists(fileName, error) && !error;
  if (isNew || RyxEdit1->LoadFromFile(fileName)) {
    SetCurrentFileName(fileName);
    return;
  }
  // Keeping the name would let a later Save write an empty text over the
  // file that could not be read.
  SetCurrentFileName({});
  FDialogs.ShowError(this, QStringFromFileName(fileName) + " を開けませんでした。\n" +
                               QString::fromStdString(RyxEdit1->LastFileError()));
}

bool TForm1::SaveFile(const std::string& fileName) {
  if (RyxEdit1->SaveToFile(fileName)) return true;
  FDialogs.ShowError(this, QStringFromFileName(fileName) + " に保存できませんでした。\n" +
                               QString::fromStdString(RyxEdit1->LastFileError()));
  return false;
}

void TForm1::SaveAs() {
  std::string fileName = FCurrentFileName;
  if (!FDialogs.ExecuteSave(this, SaveFilter, fileName, FSaveFilterIndex)) return;
  const std::string target = ChangeFileExtForFilter(fileName, FSaveFilterIndex);
  if (SaveFile(target)) SetCurrentFileName(target);
}

void TForm1::N7Click() {
  RyxEdit1->ClearAll();
  SetCurrentFileName({});
}

void TForm1::N6Click() {
  std::string fileName = FCurrentFileName;
  if (FDialogs.ExecuteOpen(this, OpenFilter, fileName)) OpenFile(fileName);
}

void TForm1::N5Click() {
  std::error_code error;
  if (!FCurrentFileName.empty() && std::filesystem::is_regular_file(FCurrentFileName, error)) {
    SaveFile(FCurrentFileName);
  } else {
    SaveAs();
  }
}

void TForm1::N4Click() { SaveAs(); }

void TForm1::E1Click() { close(); }

void TForm1::N2Click() {
  if (FForm3) FForm3->exec();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (!FirstDroppedFile(event->mimeData()).empty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const std::string fileName = FirstDroppedFile(event->mimeData());
  if (fileName.empty()) return;
  event->acceptProposedAction();
  Run([this, &fileName] { OpenFile(fileName); });
}
