// The program's start: the application object, the main window and the About box, then the event loop.
#include <QFile>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/core/ProgramVersion.h"
#include "app/core/RecoveryListing.h"
#include "app/core/Settings.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/UnitApplication.h"
#include "app/UnitCommonDialogs.h"
#include "app/UnitEndSignals.h"
#include "app/UnitRecoveryKeeper.h"

namespace {

constexpr char kUsage[] =
    "使い方: verselet [ファイル] [--audio 曲]\n"
    "       verselet --recover\n"
    "\n"
    "Shift-JIS の歌詞ファイル (.txt、.lrc、.kra) を開いて編集します。ファイルが\n"
    "まだないときは、その名前の空のテキストで始めます。保存されないまま終わった\n"
    "テキストは、次に起動したときに復元できます。\n"
    "\n"
    "  --audio 曲     歌詞にタイムタグを付けるための曲 (MP3、FLAC、Ogg、Opus、\n"
    "                 WAV) も開きます\n"
    "  --recover      保存されないまま終わったテキストを端末に一覧し、選んだものを開きます\n"
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

// verselet --recover: lists the recovery files no window owns and asks for
// one on the terminal. Nothing when none was chosen; the others go free.
std::optional<TOrphanRecovery> ChooseRecoveryOnTerminal() {
  std::vector<TOrphanRecovery> orphans = TakeOrphanRecoveries(RecoveryFolder());
  if (orphans.empty()) {
    std::printf("復元できるテキストはありません (%s)。\n", RecoveryFolder().c_str());
    return std::nullopt;
  }
  for (std::size_t i = 0; i < orphans.size(); ++i) {
    const TRecoveryListing row = ListingOf(orphans[i]);
    std::printf("%3zu  %s  %s%s%s\n     %s\n", i + 1, row.Time.c_str(), row.Name.c_str(), row.Note.empty() ? "" : "  ",
                row.Note.c_str(), orphans[i].File.c_str());
  }
  std::printf("開く番号 (1-%zu、Enter で終わります): ", orphans.size());
  std::fflush(stdout);
  std::string answer;
  std::getline(std::cin, answer);
  const std::size_t chosen = std::strtoul(answer.c_str(), nullptr, 10);
  if (chosen < 1 || chosen > orphans.size()) return std::nullopt;
  return std::move(orphans[chosen - 1]);
}

}  // namespace

int main(int argc, char** argv) {
  if (AnsweredOnTerminal(argc, argv)) return 0;
  const bool recoverAsked = argc == 2 && std::strcmp(argv[1], "--recover") == 0;
  std::optional<TOrphanRecovery> recover;
  if (recoverAsked) {
    recover = ChooseRecoveryOnTerminal();
    if (!recover) return 0;
  }
  TApplication application(argc, argv);
  TApplication::setOrganizationName("verselet");
  TApplication::setApplicationName("verselet");
  // Ties the windows to the installed menu entry, whose icon the desktop then shows.
  TApplication::setDesktopFileName("org.verselet.Verselet");

  // The arguments as the shell passed them, so that file names keep their bytes.
  std::vector<std::string> params(argv + (recoverAsked ? 2 : 1), argv + argc);
  TQtCommonDialogs dialogs;
  TForm1 form1(std::move(params), SettingsPath(QFile::encodeName(TApplication::applicationFilePath()).toStdString()), dialogs);
  TForm2 form2(form1.DeviceSettings(), &form1);
  form1.SetSettingsDialog(form2);
  TForm3 form3(&form1);
  form1.SetAboutBox(form3);
  // Ending by a signal keeps the unsaved text in its recovery file first.
  const TEndSignals endSignals([&form1](int signal) {
    form1.Recovery().WriteNow();
    EndBySignal(signal);
  });
  if (recover) {
    form1.RestoreRecovery(*recover);
  } else {
    form1.OfferRecoveriesAtStart();
  }
  form1.show();
  return TApplication::exec();
}
