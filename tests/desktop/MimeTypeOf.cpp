// Prints the MIME type Qt gives each file named, one a line, as the desktop's file dialogs and launchers see it.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const QMimeDatabase types;
  for (int i = 1; i < argc; ++i) {
    std::printf("%s\n", qPrintable(types.mimeTypeForFile(QString::fromLocal8Bit(argv[i])).name()));
  }
  return 0;
}
