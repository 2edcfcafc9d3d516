// TFindBar: the non-modal find and replace bar under the editor.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "app/core/TextSearch.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TRyxEdit;

// Searches the editor's text from its selection; a match is selected and
// scrolled into view. What happened ("見つかりません", a wrap-around, the
// number replaced) goes to the status message; a replacement is one undo step.
class TFindBar : public QWidget {
  Q_OBJECT

 public:
  using TMessageSink = std::function<void(const QString&)>;
  TFindBar(TRyxEdit& edit, TMessageSink showMessage, QWidget* parent = nullptr);

  // Ctrl+F and Ctrl+H: the bar without or with its replace row, the find field focused.
  void ShowFind();
  void ShowReplace();
  // F3 and Shift+F3; true when a match was selected.
  bool FindNext(bool forward);
  // Replaces the selection when it is a match, then finds the next one.
  void ReplaceOne();
  // Every match in one undoable step; the number replaced is reported.
  std::size_t ReplaceAll();

  QLineEdit* FindEdit;
  QLineEdit* ReplaceEdit;
  QCheckBox* RegularExpression;
  QCheckBox* MatchCase;
  QCheckBox* IgnoreWidth;

 signals:
  // The owner shows and hides whatever holds the bar.
  void Opened();
  void Closed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Open(bool replace);
  void Close();
  TSearchOptions Options() const;
  // The replacement as typed, or nothing (and a message) when it has a character without a Shift-JIS form.
  std::optional<std::u16string> Replacement();
  // The selection as byte offsets into the whole text.
  TTextMatch Selection() const;
  void Select(const TTextMatch& match);
  // Runs a search step; a pattern that does not compile is reported, not raised.
  bool Guarded(const std::function<void()>& step);

  TRyxEdit& FEdit;
  TMessageSink FShowMessage;
  QLabel* FReplaceLabel;
  QPushButton* FReplaceButton;
  QPushButton* FReplaceAllButton;
};
