// The program's start: the application object, the main window and the About box, then the event loop.
#include <QFile>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/core/ProgramVersion.h"
#include "app/core/Settings.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/UnitApplication.h"
#include "app/UnitCommonDialogs.h"

namespace {

constexpr char kUsage[] =
    "使い方: verselet [ファイル] [--audio 曲]\n"
    "\n"
    "Shift-JIS の歌詞ファイル (.txt、.lrc、.kra) を開いて編集します。ファイルが\n"
    "まだないときは、その名前の空のテキストで始めます。\n"
    "\n"
    "  --audio 曲     歌詞にタイムタグを付けるための曲 (MP3、FLAC、Ogg、Opus、\n"
    "                 WAV) も開きます\n"
    "  -h, --help     この説明を表示します\n"
    "  --version      バージョンを表示します\n";

// --help and --version answer on the terminal before any window or display is needed.
bool AnsweredOnTerminal(int argc, char** argv) {
  if (argc != 2) return false;
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(kUsage, stdout);
    return true;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("verselet %s\n", kProgramVersion);
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnsweredOnTerminal(argc, argv)) return 0;
  TApplication application(argc, argv);
  TApplication::setOrganizationName("verselet");
  TApplication::setApplicationName("verselet");
  // Ties the windows to the installed menu entry, whose icon the desktop then shows.
  TApplication::setDesktopFileName("org.verselet.Verselet");

  // The arguments as the shell passed them, so that file names keep their bytes.
  std::vector<std::string> params(argv + 1, argv + argc);
  TQtCommonDialogs dialogs;
  TForm1 form1(std::move(params), SettingsPath(QFile::encodeName(TApplication::applicationFilePath()).toStdString()), dialogs);
  TForm2 form2(form1.DeviceSettings(), &form1);
  form1.SetSettingsDialog(form2);
  TForm3 form3(&form1);
  form1.SetAboutBox(form3);
  form1.show();
  return TApplication::exec();
}
