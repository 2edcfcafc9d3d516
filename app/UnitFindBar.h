// TFindBar: the non-modal find and replace bar under the editor.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "app/core/LineSearch.h"
#include "app/core/MatchHighlights.h"
#include "app/core/TextSearch.h"

class ICanvas;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class TRyxEdit;

// Searches the editor's text from its selection; a match is selected and
// scrolled into view. What happened ("見つかりません", a wrap-around, the
// number replaced) goes to the status message; a replacement is one undo step.
//
// Typing in the find field searches at once from where the search began,
// frames every match in view and counts them ("3 / 120 件"). That work runs
// a slice at a time between events, so that typing never waits for it; it
// starts again when the field, the options or the text change. A search
// asked for by a command (Enter, F3, the buttons) that lasts shows its
// progress and can be stopped; a pattern too slow for the time limit is
// given up with a message, the text unchanged.
class TFindBar : public QWidget {
  Q_OBJECT

 public:
  using TMessageSink = std::function<void(const QString&)>;
  using TProgressFactory = std::function<std::unique_ptr<TWorkProgress>(const QString& label)>;
  TFindBar(TRyxEdit& edit, TMessageSink showMessage, QWidget* parent = nullptr);
  ~TFindBar() override;

  // Ctrl+F and Ctrl+H: the bar without or with its replace row, the find field focused.
  void ShowFind();
  void ShowReplace();
  // F3 and Shift+F3; true when a match was selected.
  bool FindNext(bool forward);
  // Replaces the selection when it is a match, then finds the next one.
  void ReplaceOne();
  // Every match in one undoable step; the number replaced is reported.
  std::size_t ReplaceAll();
  // The owner's word that the text changed: the count and the frames follow.
  void TextChanged();
  // Draws the frames of the matches over rows L1..L2 (the editor's OnUserClientDraw).
  void DrawHighlights(ICanvas& canvas, int L1, int L2);
  // Whether the search as you type or its count is still at work.
  bool LiveWorkPending() const;

  QLineEdit* FindEdit;
  QLineEdit* ReplaceEdit;
  QCheckBox* RegularExpression;
  QCheckBox* MatchCase;
  QCheckBox* IgnoreWidth;
  // "n / m 件", or how far the count got.
  QLabel* CountLabel;
  // Makes the progress of a command's long work; a dialog by default.
  TProgressFactory MakeProgress;

 signals:
  // The owner shows and hides whatever holds the bar.
  void Opened();
  void Closed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  enum class TLiveKind { None, Find, Count };

  void Open(bool replace);
  void Close();
  TSearchOptions Options() const;
  // The replacement as typed, or nothing (and a message) when it has a character without a Shift-JIS form.
  std::optional<std::u16string> Replacement();
  TLineMatch Selection() const;
  void Select(const TLineMatch& match);
  // Runs a command's search step with its progress; a pattern that does not
  // compile, one too slow and a stop by the user are reported, not raised.
  bool Guarded(const QString& label, const std::function<void(TWorkProgress*)>& step);
  std::optional<TFoundLine> FindAcrossLines(TTextSearch& search, bool forward, TWorkProgress* progress);
  void Replace(const TLineMatch& match, const std::string& bytes);
  // The work between events: the search as the find field is typed, then the count.
  void StartLiveFind();
  void StartCount(std::optional<TLineMatch> current);
  void StopLiveWork();
  void LiveSlice();
  void ShowFound(const TFoundLine& found, bool forward);
  void ShowPattern();
  void RepaintEditor();

  TRyxEdit& FEdit;
  TMessageSink FShowMessage;
  QLabel* FReplaceLabel;
  QPushButton* FReplaceButton;
  QPushButton* FReplaceAllButton;
  QTimer* FLiveTimer;
  QTimer* FRecountTimer;
  // The pattern whose matches are framed.
  std::optional<TSearchOptions> FShownOptions;
  TLiveKind FLiveKind = TLiveKind::None;
  std::unique_ptr<TTextSearch> FLiveSearch;
  std::unique_ptr<TLineWork> FLiveWork;
  // Where the search as you type starts: the selection when the bar opened, or the last match gone to.
  TLogicalPos FOrigin;
  TMatchHighlights FHighlights;
};
