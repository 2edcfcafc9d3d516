// Tests of the main window's creation: settings file, command line, dropped files, reported errors.
#include <QAction>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QIcon>
#include <QImage>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QUrl>

#include "app/UnitApplication.h"
#include "app/UnitPreviewPanel.h"
#include "editor/RyxEdit.h"
#include "platform/Exceptions.h"
#include "tests/TestData.h"
#include "tests/app/FormFixture.h"

namespace {

using StartTest = FormTest;

TEST_F(StartTest, CommandLineOpensOnlyTheFirstName) {
  const auto first = Dir.WriteFile("first.lrc", "first\r\n");
  const auto second = Dir.WriteFile("second.lrc", "second\r\n");
  Create({first.string(), second.string()});
  EXPECT_EQ(Text(), "first\r\n");
  EXPECT_EQ(Title(), "first.lrc - Verselet 0.3");
}

TEST_F(StartTest, CommandLineOpensARealLyricsFile) {
  VERSELET_REQUIRE_TESTDATA();
  const auto file = testdata::Dir() / "real-lrc" / "lrc2exo_testsong.lrc";
  Create({file.string()});
  EXPECT_EQ(Title(), "lrc2exo_testsong.lrc - Verselet 0.3");
  EXPECT_NE(Text().find("[00:13.00]AAA"), std::string::npos);
}

TEST_F(StartTest, CommandLineNameThatDoesNotExistIsANewText) {
  Create({Path("later.kra")});
  EXPECT_EQ(Text(), "");
  EXPECT_EQ(Title(), "later.kra - Verselet 0.3");
  EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(StartTest, DroppingSeveralFilesOpensOnlyTheFirst) {
  const auto a = Dir.WriteFile("a.lrc", "A");
  const auto b = Dir.WriteFile("b.lrc", "B");
  const auto c = Dir.WriteFile("c.lrc", "C");
  TForm1& form = Create();
  ASSERT_TRUE(Drop(form, {QUrl("https://example.com/x.lrc"), FileUrl(a), FileUrl(b), FileUrl(c)}));
  EXPECT_EQ(Text(), "A");
  EXPECT_EQ(form.CurrentFileName(), a.string());
  EXPECT_EQ(Title(), "a.lrc - Verselet 0.3");
}

TEST_F(StartTest, AFileDroppedOnTheEditorOpensEvenWhenItsNameComesAsTextToo) {
  const auto a = Dir.WriteFile("a.lrc", "A");
  TForm1& form = Create();
  form.show();
  QMimeData data;
  data.setUrls({FileUrl(a)});
  data.setText(QString::fromStdString(a.string()));
  QWidget* editor = form.centralWidget();
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(editor, &enter);
  ASSERT_TRUE(enter.isAccepted()) << "the window around the editor takes it";
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(editor, &drop);
  EXPECT_EQ(Text(), "A");
  EXPECT_EQ(form.CurrentFileName(), a.string());
}

// Whatever the source proposes, a dropped file is opened as a copy and stays
// where it was; a source that offers only to move it is refused.
TEST_F(StartTest, ADroppedFileIsTakenAsACopyOnly) {
  const auto a = Dir.WriteFile("a.lrc", "A");
  struct TCase {
    Qt::DropActions Offered;
    bool Taken;
  };
  for (const TCase c : {TCase{Qt::CopyAction | Qt::MoveAction, true}, TCase{Qt::MoveAction, false}}) {
    TForm1& form = Create();
    QMimeData data;
    data.setUrls({FileUrl(a)});
    QDragEnterEvent enter(QPoint(100, 100), c.Offered, &data, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(QPoint(110, 100), c.Offered, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(110, 100), c.Offered, &data, Qt::LeftButton, Qt::NoModifier);
    for (QDropEvent* event : {static_cast<QDropEvent*>(&enter), static_cast<QDropEvent*>(&move), &drop}) {
      QApplication::sendEvent(&form, event);
      EXPECT_EQ(event->isAccepted(), c.Taken) << event->type();
      if (c.Taken) {
        EXPECT_EQ(event->dropAction(), Qt::CopyAction) << event->type();
      }
    }
    EXPECT_EQ(Text(), c.Taken ? "A" : "");
    EXPECT_TRUE(std::filesystem::exists(a));
  }
}

TEST_F(StartTest, LongDroppedPathIsNotCut) {
  std::filesystem::path folder = Dir.Path();
  for (int i = 0; i < 3; ++i) folder /= std::string(100, static_cast<char>('a' + i));
  std::filesystem::create_directories(folder);
  const auto file = Dir.WriteFile(std::filesystem::relative(folder / "track1.lrc", Dir.Path()).string(), "long");
  TForm1& form = Create();
  ASSERT_TRUE(Drop(form, {FileUrl(file)}));
  EXPECT_GT(form.CurrentFileName().size(), 300u);
  EXPECT_EQ(form.CurrentFileName(), file.string());
  EXPECT_EQ(Text(), "long");
}

TEST_F(StartTest, DragWithoutLocalFilesIsRefused) {
  TForm1& form = Create();
  EXPECT_FALSE(Drop(form, {QUrl("https://example.com/x.lrc")}));
  EXPECT_FALSE(Drop(form, {}));
  EXPECT_EQ(Title(), "新しいテキスト - Verselet 0.3");
}

TEST_F(StartTest, SettingsAreReadAtCreationAndWrittenAtDestruction) {
  Dir.WriteFile("verselet.ini",
                "[Verselet 0.3]\nClientWidth=500\nClientHeight=300\nHalfCount=13\nLineCount=2\nModel=3\n"
                "ShowTagLine=1\nTabWidth=6\nFontColor=255 0 0\n");
  TForm1& form = Create();
  EXPECT_EQ(form.ClientWidth(), 500);
  EXPECT_EQ(form.ClientHeight(), 300);
  EXPECT_EQ(form.DeviceSettings(), (TDeviceSettings{13, 2, 3, true}));
  EXPECT_TRUE(form.N13->isChecked());
  EXPECT_EQ(form.RyxEdit1->TabCount(), 6);
  EXPECT_EQ(form.RyxEdit1->Font().Color(), clRed);
  EXPECT_EQ(Title(), "新しいテキスト - Verselet 0.3");
  EXPECT_TRUE(form.acceptDrops());

  form.show();
  QApplication::processEvents();
  EXPECT_EQ(form.centralWidget()->width(), 500);
  EXPECT_EQ(form.centralWidget()->height() + 19, 300);

  form.N13->trigger();
  form.SetClientWidth(460);
  Form.reset();
  const std::string ini = TTempDir::ReadFile(IniPath());
  EXPECT_NE(ini.find("ClientWidth=460"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ClientHeight=300"), std::string::npos) << ini;
  EXPECT_NE(ini.find("HalfCount=13"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ShowTagLine=0"), std::string::npos) << ini;
  EXPECT_NE(ini.find("FontColor=255 0 0"), std::string::npos) << ini;
}

TEST_F(StartTest, ABadSettingIsShownAndCreationGoesOn) {
  Dir.WriteFile("verselet.ini", "[Verselet 0.3]\nHalfCount=20\nFontColor=0 red 0\nShowCR=1\nModel=4\n");
  const auto file = Dir.WriteFile("song.lrc", "song");
  TForm1& form = Create({file.string()});
  EXPECT_EQ(Exceptions, std::vector<std::string>{"設定ファイル " + IniPath().string() +
                                                 " の次の値は読めないため、既定値を使います:\n"
                                                 "FontColor=0 red 0 ('red' は整数ではありません)"});
  EXPECT_EQ(form.DeviceSettings().HalfCount, 20);
  EXPECT_EQ(form.DeviceSettings().Model, 4);
  EXPECT_TRUE(form.RyxEdit1->ShowCR());
  EXPECT_EQ(Title(), "song.lrc - Verselet 0.3");
  EXPECT_TRUE(form.acceptDrops());
  EXPECT_EQ(Text(), "song");

  // Every key is written afresh at exit, the bad one with its default.
  Form.reset();
  const std::string ini = TTempDir::ReadFile(IniPath());
  EXPECT_NE(ini.find("FontColor=0 0 0"), std::string::npos) << ini;
  EXPECT_NE(ini.find("HalfCount=20"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Model=4"), std::string::npos) << ini;
}

class TThrowingObject : public QObject {
 public:
  bool event(QEvent*) override { throw EConvertError("壊れた値"); }
};

TEST_F(StartTest, ExceptionsReachingTheEventLoopAreReportedAndTheProgramGoesOn) {
  TThrowingObject object;
  QEvent event(QEvent::User);
  EXPECT_FALSE(QApplication::sendEvent(&object, &event));
  QApplication::postEvent(&object, new QEvent(QEvent::User));
  QApplication::processEvents();
  EXPECT_EQ(Exceptions, (std::vector<std::string>{"壊れた値", "壊れた値"}));
}

}  // namespace

TEST_F(StartTest, AWindowPlacedOffTheScreenComesBackOnIt) {
  Dir.WriteFile("verselet.ini",
                "[Verselet 0.3]\nClientWidth=99999\nClientHeight=300\nTop=-5000\nLeft=70000\nFontSize=0\n");
  TForm1& form = Create();
  const QRect available = form.screen()->availableGeometry();
  EXPECT_TRUE(available.contains(form.frameGeometry())) << "window at " << form.x() << "," << form.y();
  EXPECT_LE(form.width(), available.width());
  EXPECT_EQ(form.ClientHeight(), 300);
  EXPECT_EQ(form.RyxEdit1->Font().Size(), 1);
}

TEST_F(StartTest, AWindowTooSmallToGrabGetsAUsableSize) {
  Dir.WriteFile("verselet.ini", "[Verselet 0.3]\nClientWidth=-100\nClientHeight=0\n");
  TForm1& form = Create();
  EXPECT_GE(form.width(), 200);
  EXPECT_GE(form.height(), 120);
}

namespace {

// Whether every item of the menu bar shows on the bar itself, none behind its extension button.
bool WholeMenuBarShows(QMenuBar& bar) {
  for (QAction* action : bar.actions()) {
    if (action->isVisible() && !bar.rect().contains(bar.actionGeometry(action))) return false;
  }
  return true;
}

TEST_F(StartTest, AFirstStartShowsTheMenusThePlayersLineAndThePreviewCentred) {
  TForm1& form = Create();
  form.show();
  QApplication::processEvents();
  TRyxEdit& edit = *form.RyxEdit1;
  EXPECT_TRUE(WholeMenuBarShows(*form.menuBar()));
  EXPECT_TRUE(form.menuBar()->actionGeometry(form.HelpMenu->menuAction()).isValid());
  EXPECT_TRUE(edit.ShowLineNumber());
  EXPECT_TRUE(form.PreviewShown());
  EXPECT_TRUE(form.PreviewPanel->isVisible());
  EXPECT_GE(form.PreviewPanel->View()->width(), form.PreviewPanel->View()->sizeHint().width());
  // The player's line: three display lines of 16 cells, every guide in view.
  const TDeviceSettings& device = form.DeviceSettings();
  EXPECT_GE(edit.TextWidth(), device.HalfCount * device.LineCount * edit.CharWidth());
  // A dozen rows, whatever docks share the window.
  EXPECT_GE(edit.TextHeight(), 12 * edit.LineHeight());
  const QRect available = form.screen()->availableGeometry();
  EXPECT_TRUE(available.contains(form.frameGeometry()));
  // Centred by its frame as far as the frame was known before the window was shown.
  const int margin = (form.frameGeometry().width() - form.width()) / 2 + 1;
  EXPECT_NEAR(form.frameGeometry().center().x(), available.center().x(), margin);
  EXPECT_NEAR(form.frameGeometry().center().y(), available.center().y(), margin);
  EXPECT_EQ(Title(), "新しいテキスト - Verselet 0.3");
  // The icon of the desktop entry, in its sizes.
  EXPECT_TRUE(form.windowIcon().availableSizes().contains(QSize(48, 48)));
  const QImage icon = form.windowIcon().pixmap(QSize(48, 48)).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage installed =
      QImage(VERSELET_SOURCE_DIR "/desktop/icons/48x48/verselet.png").convertToFormat(QImage::Format_ARGB32_Premultiplied);
  EXPECT_EQ(icon.size(), installed.size());
  EXPECT_TRUE(icon == installed);
}

TEST_F(StartTest, ASettingsFilesOwnValuesWinOverTheFirstStart) {
  Dir.WriteFile("verselet.ini", "[Verselet 0.3]\nClientWidth=300\nClientHeight=200\nShowLineNumber=0\nShowPreview=0\n");
  TForm1& form = Create();
  EXPECT_EQ(form.ClientWidth(), 300);
  EXPECT_EQ(form.ClientHeight(), 200);
  EXPECT_FALSE(form.RyxEdit1->ShowLineNumber());
  EXPECT_FALSE(form.PreviewShown());
  // A file without those keys keeps the program's usual ones.
  Form.reset();
  Dir.WriteFile("verselet.ini", "[Verselet 0.3]\nHalfCount=20\n");
  TForm1& again = Create();
  EXPECT_FALSE(again.RyxEdit1->ShowLineNumber());
  EXPECT_FALSE(again.PreviewShown());
}

}  // namespace
