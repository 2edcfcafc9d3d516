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
  QLabel* Label2;        // the title's white copy
  QLabel* Label1;        // the title
  TURLLabel* URLLabel1;  // the link, opened in the browser when pressed
  QLabel* Label3;        // the credit line

 private:
  void FormCreate();
};
