// A main window under test: scripted file dialogs and questions, recorded error boxes and exceptions, a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QString>
#include <QUrl>
#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "app/Unit1EditActions.h"
#include "app/UnitApplication.h"
#include "app/UnitCommonDialogs.h"
#include "app/UnitPrepareDialog.h"
#include "editor/RyxEdit.h"
#include "tests/TempDir.h"

// Answers the file dialogs and the questions from a script and records what the form asked.
class TFakeDialogs : public TCommonDialogs {
 public:
  struct TAnswer {
    bool Ok = true;
    std::string FileName;
    int FilterIndex = 1;
    // The encoding chosen in the save dialog; none keeps the one offered.
    std::optional<TSaveEncoding> Encoding = std::nullopt;
  };
  static TAnswer Cancelled() { return {false, {}, 1}; }

  bool ExecuteOpen(QWidget*, const std::string& filter, std::string& fileName) override {
    OpenFilters.push_back(filter);
    OfferedOpenNames.push_back(fileName);
    int ignored = 0;
    return Answer(fileName, ignored);
  }
  bool ExecuteSave(QWidget*, const std::string& filter, std::string& fileName, int& filterIndex,
                   TSaveEncoding& encoding) override {
    SaveFilters.push_back(filter);
    PreselectedFilters.push_back(filterIndex);
    OfferedEncodings.push_back(encoding);
    const std::optional<TSaveEncoding> chosen = Answers.empty() ? std::nullopt : Answers.front().Encoding;
    const bool ok = Answer(fileName, filterIndex);
    if (ok && chosen) encoding = *chosen;
    return ok;
  }
  // Records the summary the dialog shows, sets the options of the next
  // reply and goes on with them, or cancels when there is none.
  bool ExecutePrepare(TPrepareDialog& dialog) override {
    PrepareSummaries.push_back(dialog.Summary());
    if (PrepareReplies.empty()) return false;
    dialog.SetOptions(PrepareReplies.front());
    PrepareReplies.pop_front();
    if (PrepareEncoding) dialog.EncodingBox->setCurrentIndex(static_cast<int>(*PrepareEncoding));
    PrepareSummaries.push_back(dialog.Summary());
    return true;
  }
  void ShowError(QWidget*, const QString& text) override { Errors.push_back(text); }
  // Answers with the button whose caption is the next reply.
  int Ask(QWidget*, const TQuestion& question) override {
    Questions.push_back(question);
    if (Replies.empty()) {
      ADD_FAILURE() << "a question was asked that the test did not expect: " << question.Text.toStdString();
      return question.CancelButton;
    }
    const QString reply = Replies.front();
    Replies.pop_front();
    const auto button = std::find(question.Buttons.begin(), question.Buttons.end(), reply);
    if (button == question.Buttons.end()) {
      ADD_FAILURE() << "no button " << reply.toStdString() << " in: " << question.Text.toStdString();
      return question.CancelButton;
    }
    return static_cast<int>(button - question.Buttons.begin());
  }

  // Answers with the next number, or cancels when there is none; records the label.
  bool AskNumber(QWidget*, const QString&, const QString& label, int, int, int& value) override {
    NumberLabels.push_back(label);
    if (Numbers.empty()) return false;
    value = Numbers.front();
    Numbers.pop_front();
    return true;
  }

  // Answers with the next seconds, or cancels when there are none.
  bool AskSeconds(QWidget*, const QString&, const QString&, double& value) override {
    if (Seconds.empty()) return false;
    value = Seconds.front();
    Seconds.pop_front();
    return true;
  }

  // Answers with the next scripted choice for the next row; without one, 後で.
  TRecoveryChoice ChooseRecovery(QWidget*, const std::vector<TRecoveryListing>& rows, const std::vector<bool>&,
                                 int& selected) override {
    RecoveryLists.push_back(rows);
    if (RecoveryChoices.empty()) return TRecoveryChoice::Later;
    const auto [choice, row] = RecoveryChoices.front();
    RecoveryChoices.pop_front();
    selected = row;
    return choice;
  }

  std::deque<std::pair<TRecoveryChoice, int>> RecoveryChoices;
  std::vector<std::vector<TRecoveryListing>> RecoveryLists;
  std::deque<TAnswer> Answers;
  std::deque<int> Numbers;
  std::deque<double> Seconds;
  std::vector<QString> NumberLabels;
  std::deque<QString> Replies;
  std::vector<TQuestion> Questions;
  std::vector<std::string> OpenFilters;
  // The name each open dialog started from.
  std::vector<std::string> OfferedOpenNames;
  std::vector<std::string> SaveFilters;
  std::vector<int> PreselectedFilters;
  std::vector<TSaveEncoding> OfferedEncodings;
  std::deque<TPrepareOptions> PrepareReplies;
  std::vector<QString> PrepareSummaries;
  // The encoding chosen in the preparation dialog; none keeps the one offered.
  std::optional<TSaveEncoding> PrepareEncoding;
  std::vector<QString> Errors;

 private:
  bool Answer(std::string& fileName, int& filterIndex) {
    if (Answers.empty()) {
      ADD_FAILURE() << "a file dialog was shown that the test did not expect";
      return false;
    }
    const TAnswer answer = Answers.front();
    Answers.pop_front();
    if (answer.Ok) {
      fileName = answer.FileName;
      filterIndex = answer.FilterIndex;
    }
    return answer.Ok;
  }
};

// Drops the files on the form as the desktop would; true when the form took the drag.
inline bool Drop(TForm1& form, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &drop);
  return drop.isAccepted();
}

inline QUrl FileUrl(const std::filesystem::path& path) { return QUrl::fromLocalFile(QString::fromStdString(path.string())); }

class FormTest : public ::testing::Test {
 protected:
  FormTest() {
    TApplication::Instance().OnException = [this](const std::exception& e) { Exceptions.push_back(e.what()); };
  }
  ~FormTest() override {
    Form.reset();
    TApplication::Instance().OnException = nullptr;
  }

  std::filesystem::path IniPath() const { return Dir.Path() / "verselet.ini"; }
  std::string Path(const std::string& name) const { return (Dir.Path() / name).string(); }

  TForm1& Create(std::vector<std::string> params = {}) {
    Form = std::make_unique<TForm1>(std::move(params), IniPath(), Dialogs);
    return *Form;
  }

  std::string Title() const { return Form->windowTitle().toStdString(); }
  std::string Text() const { return Form->RyxEdit1->GetAllText(); }

  TTempDir Dir;
  TFakeDialogs Dialogs;
  std::vector<std::string> Exceptions;
  std::unique_ptr<TForm1> Form;
};
