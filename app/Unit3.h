// TForm3: the About box with the program's name, a link and a credit line.
#pragma once

#include <QDialog>

class QLabel;
class TURLLabel;

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* parent = nullptr);

  // The title in bold: Label1 drawn one pixel up and left over its white copy Label2.
  QLabel* Label2;
  QLabel* Label1;
  TURLLabel* URLLabel1;
  QLabel* Label3;

 private:
  void FormCreate();
};
