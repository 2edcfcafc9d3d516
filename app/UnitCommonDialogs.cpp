// TCommonDialogs: the file dialogs and message boxes the main window shows, behind one interface.
#include "app/UnitCommonDialogs.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "app/core/DocumentNames.h"
#include "app/UnitPrepareDialog.h"

namespace {

QStringList QtNameFilters(const std::string& filter) {
  QStringList nameFilters;
  for (const std::string& nameFilter : NameFiltersFromFilter(filter)) nameFilters << QString::fromStdString(nameFilter);
  return nameFilters;
}

// A dialog that starts at fileName, or in the current folder without one.
void StartAt(QFileDialog& dialog, const std::string& fileName) {
  if (!fileName.empty()) dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(fileName)));
}

std::string ChosenFile(const QFileDialog& dialog) {
  return QFile::encodeName(dialog.selectedFiles().value(0)).toStdString();
}

}  // namespace

bool TQtCommonDialogs::ExecuteOpen(QWidget* parent, const std::string& filter, std::string& fileName) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A name that does not exist yet starts a new text under that name.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(QtNameFilters(filter));
  StartAt(dialog, fileName);
  if (dialog.exec() != QDialog::Accepted) return false;
  fileName = ChosenFile(dialog);
  return true;
}

bool TQtCommonDialogs::ExecuteSave(QWidget* parent, const std::string& filter, std::string& fileName,
                                   int& filterIndex, TSaveEncoding& encoding) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  // The dialog of our own toolkit, so that the encoding list can join its rows.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  auto* encodings = new QComboBox(&dialog);
  for (TSaveEncoding each : kSaveEncodings) encodings->addItem(SaveEncodingName(each));
  encodings->setCurrentIndex(static_cast<int>(encoding));
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
    const int row = grid->rowCount();
    grid->addWidget(new QLabel("文字コード:", &dialog), row, 0);
    grid->addWidget(encodings, row, 1);
  }
  const QStringList nameFilters = QtNameFilters(filter);
  dialog.setNameFilters(nameFilters);
  dialog.selectNameFilter(nameFilters.value(filterIndex - 1));
  StartAt(dialog, fileName);
  if (dialog.exec() != QDialog::Accepted) return false;
  fileName = ChosenFile(dialog);
  filterIndex = static_cast<int>(nameFilters.indexOf(dialog.selectedNameFilter())) + 1;
  encoding = kSaveEncodings[static_cast<std::size_t>(encodings->currentIndex())];
  return true;
}

void TQtCommonDialogs::ShowError(QWidget* parent, const QString& text) {
  QMessageBox::warning(parent, ApplicationTitle, text);
}

int TQtCommonDialogs::Ask(QWidget* parent, const TQuestion& question) {
  QMessageBox box(QMessageBox::Question, ApplicationTitle, question.Text, QMessageBox::NoButton, parent);
  std::vector<QAbstractButton*> buttons;
  for (std::size_t i = 0; i < question.Buttons.size(); ++i) {
    const int index = static_cast<int>(i);
    // The roles only order the buttons as the platform's style expects.
    const QMessageBox::ButtonRole role = index == question.CancelButton ? QMessageBox::RejectRole
                                         : index == 0                   ? QMessageBox::AcceptRole
                                                                        : QMessageBox::DestructiveRole;
    buttons.push_back(box.addButton(question.Buttons[i], role));
  }
  if (question.DefaultButton >= 0 && question.DefaultButton < static_cast<int>(buttons.size()))
    box.setDefaultButton(static_cast<QPushButton*>(buttons[static_cast<std::size_t>(question.DefaultButton)]));
  if (question.CancelButton >= 0 && question.CancelButton < static_cast<int>(buttons.size()))
    box.setEscapeButton(buttons[static_cast<std::size_t>(question.CancelButton)]);
  box.exec();
  const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
  return chosen == buttons.end() ? question.CancelButton : static_cast<int>(chosen - buttons.begin());
}

bool TQtCommonDialogs::AskNumber(QWidget* parent, const QString& title, const QString& label, int min, int max,
                                 int& value) {
  // The static helper would caption its buttons in English; the rest of the program speaks Japanese.
  QInputDialog dialog(parent);
  dialog.setWindowTitle(title);
  dialog.setLabelText(label);
  dialog.setInputMode(QInputDialog::IntInput);
  dialog.setIntRange(min, max);
  dialog.setIntValue(std::clamp(value, min, max));
  dialog.setOkButtonText("OK");
  dialog.setCancelButtonText("キャンセル");
  if (dialog.exec() != QDialog::Accepted) return false;
  value = dialog.intValue();
  return true;
}

bool TQtCommonDialogs::AskSeconds(QWidget* parent, const QString& title, const QString& label, double& value) {
  // Tags count minutes in two or more digits: a shift of a day is far beyond any song.
  constexpr double kLimit = 86400;
  QInputDialog dialog(parent);
  dialog.setWindowTitle(title);
  dialog.setLabelText(label);
  dialog.setInputMode(QInputDialog::DoubleInput);
  dialog.setDoubleDecimals(2);
  dialog.setDoubleRange(-kLimit, kLimit);
  dialog.setDoubleValue(std::clamp(value, -kLimit, kLimit));
  dialog.setOkButtonText("OK");
  dialog.setCancelButtonText("キャンセル");
  if (dialog.exec() != QDialog::Accepted) return false;
  value = dialog.doubleValue();
  return true;
}

TRecoveryChoice TQtCommonDialogs::ChooseRecovery(QWidget* parent, const std::vector<TRecoveryListing>& rows,
                                                 const std::vector<bool>& readable, int& selected) {
  TRecoveryDialog dialog(rows, readable, parent);
  dialog.exec();
  selected = dialog.Selected();
  return selected < 0 ? TRecoveryChoice::Later : dialog.Choice();
}

bool TQtCommonDialogs::ExecutePrepare(TPrepareDialog& dialog) { return dialog.exec() == QDialog::Accepted; }
