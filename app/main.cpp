// The program's start: the application object, the main window and the About box, then the event loop.
#include <QFile>
#include <string>
#include <vector>

#include "app/core/Settings.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/UnitApplication.h"
#include "app/UnitCommonDialogs.h"

int main(int argc, char** argv) {
  TApplication application(argc, argv);
  TApplication::setOrganizationName("verselet");
  TApplication::setApplicationName("verselet");

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
