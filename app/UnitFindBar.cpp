// TFindBar: the fields, the find and replace commands and their messages.
#include "app/UnitFindBar.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "app/Unit1EditActions.h"
#include "app/UnitProgress.h"
#include "app/core/TextPositions.h"
#include "editor/RyxEdit.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace {

std::u16string ToU16(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QPushButton* AddButton(QGridLayout& grid, const char* caption, int row, int column) {
  auto* button = new QPushButton(caption);
  button->setAutoDefault(false);
  grid.addWidget(button, row, column);
  return button;
}

// Bytes searched between two events while the find field is typed.
constexpr std::size_t kSliceBytes = 256 * 1024;
// A pause in the editing after which the matches are counted again.
constexpr int kRecountMilliseconds = 300;
// Backtracking (about milliseconds) a line may take while the find field is
// typed; a pattern slower than that waits for Enter, which allows more.
constexpr int kLiveTimeLimit = 100;
// A pattern that spans lines is searched as you type only in a text of so many rows at most.
constexpr int kWholeTextLiveRows = 20000;

}  // namespace

TFindBar::TFindBar(TRyxEdit& edit, TMessageSink showMessage, QWidget* parent)
    : QWidget(parent), FEdit(edit), FShowMessage(std::move(showMessage)) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 2, 4, 2);
  grid->setVerticalSpacing(2);
  grid->addWidget(new QLabel("検索:"), 0, 0);
  FindEdit = new QLineEdit;
  grid->addWidget(FindEdit, 0, 1);
  CountLabel = new QLabel;
  CountLabel->setMinimumWidth(CountLabel->fontMetrics().horizontalAdvance("99999 / 99999 件"));
  CountLabel->setAlignment(Qt::AlignCenter);
  grid->addWidget(CountLabel, 0, 2);
  QPushButton* next = AddButton(*grid, "次を検索", 0, 3);
  QPushButton* previous = AddButton(*grid, "前を検索", 0, 4);
  auto* close = new QToolButton;
  close->setText("×");
  close->setToolTip("閉じる (Esc)");
  grid->addWidget(close, 0, 5);

  FReplaceLabel = new QLabel("置換:");
  grid->addWidget(FReplaceLabel, 1, 0);
  ReplaceEdit = new QLineEdit;
  grid->addWidget(ReplaceEdit, 1, 1);
  FReplaceButton = AddButton(*grid, "置換", 1, 3);
  FReplaceAllButton = AddButton(*grid, "すべて置換", 1, 4);
  // The options get a row of their own, so that the bar fits the window's usual width.
  auto* options = new QHBoxLayout;
  RegularExpression = new QCheckBox("正規表現");
  MatchCase = new QCheckBox("大文字と小文字を区別");
  IgnoreWidth = new QCheckBox("全角/半角を区別しない");
  options->addWidget(RegularExpression);
  options->addWidget(MatchCase);
  options->addWidget(IgnoreWidth);
  options->addStretch();
  grid->addLayout(options, 2, 1, 1, 4);
  grid->setColumnStretch(1, 1);
  setTabOrder(FindEdit, ReplaceEdit);

  FLiveTimer = new QTimer(this);
  FLiveTimer->setInterval(0);
  connect(FLiveTimer, &QTimer::timeout, this, [this] { LiveSlice(); });
  FRecountTimer = new QTimer(this);
  FRecountTimer->setSingleShot(true);
  FRecountTimer->setInterval(kRecountMilliseconds);
  connect(FRecountTimer, &QTimer::timeout, this, [this] { StartCount(std::nullopt); });
  MakeProgress = [this](const QString& label) { return std::make_unique<TProgressWindow>(window(), label); };

  connect(FindEdit, &QLineEdit::textEdited, this, [this] { StartLiveFind(); });
  for (QCheckBox* option : {RegularExpression, MatchCase, IgnoreWidth})
    connect(option, &QCheckBox::toggled, this, [this] {
      if (isVisible()) StartLiveFind();
    });
  connect(FindEdit, &QLineEdit::returnPressed, this, [this] { FindNext(true); });
  connect(ReplaceEdit, &QLineEdit::returnPressed, this, [this] { ReplaceOne(); });
  connect(next, &QPushButton::clicked, this, [this] { FindNext(true); });
  connect(previous, &QPushButton::clicked, this, [this] { FindNext(false); });
  connect(FReplaceButton, &QPushButton::clicked, this, [this] { ReplaceOne(); });
  connect(FReplaceAllButton, &QPushButton::clicked, this, [this] { ReplaceAll(); });
  connect(close, &QToolButton::clicked, this, [this] { Close(); });
}

TFindBar::~TFindBar() = default;

void TFindBar::ShowFind() { Open(false); }

void TFindBar::ShowReplace() { Open(true); }

void TFindBar::Open(bool replace) {
  for (QWidget* w : {static_cast<QWidget*>(FReplaceLabel), static_cast<QWidget*>(ReplaceEdit),
                     static_cast<QWidget*>(FReplaceButton), static_cast<QWidget*>(FReplaceAllButton)})
    w->setVisible(replace);
  FOrigin = Selection().Start;
  emit Opened();
  FindEdit->setFocus();
  FindEdit->selectAll();
}

void TFindBar::Close() {
  StopLiveWork();
  FRecountTimer->stop();
  CountLabel->clear();
  FShownOptions.reset();
  FHighlights.SetSearch(nullptr);
  RepaintEditor();
  emit Closed();
}

void TFindBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    Close();
    return;
  }
  QWidget::keyPressEvent(event);
}

TSearchOptions TFindBar::Options() const {
  return {ToU16(FindEdit->text()), RegularExpression->isChecked(), MatchCase->isChecked(), IgnoreWidth->isChecked()};
}

bool TFindBar::Guarded(const QString& label, const std::function<void(TWorkProgress*)>& step) {
  StopLiveWork();
  try {
    const std::unique_ptr<TWorkProgress> progress = MakeProgress ? MakeProgress(label) : nullptr;
    step(progress.get());
    return true;
  } catch (const EAbort&) {
    FShowMessage("中止しました");
  } catch (const ERegExpTimeOut& e) {
    FShowMessage(QString::fromUtf8(e.what()));
  } catch (const EConvertError& e) {
    FShowMessage(QString::fromStdString(e.what()));
  }
  return false;
}

TLineMatch TFindBar::Selection() const {
  int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
  FEdit.GetSelBounds(startCol, startLine, endLine, endCol);
  return {FEdit.ToLogical({startLine, startCol}), FEdit.ToLogical({endLine, endCol})};
}

void TFindBar::Select(const TLineMatch& match) {
  const TDisplayPos start = FEdit.ToDisplay(match.Start);
  const TDisplayPos end = FEdit.ToDisplay(match.End);
  FEdit.SetSel(start.Col, start.Line, end.Line, end.Col);
}

std::optional<TFoundLine> TFindBar::FindAcrossLines(TTextSearch& search, bool forward, TWorkProgress* progress) {
  if (!search.SpansLines()) {
    TLineFinder finder(search, FEdit.Lines(), Selection(), forward);
    RunWithProgress(search, finder, progress);
    return finder.Found();
  }
  // A match may take in line breaks: the whole text at once.
  int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
  FEdit.GetSelBounds(startCol, startLine, endLine, endCol);
  std::optional<TFoundMatch> hit;
  RunInterruptible(search, progress, [&] {
    const TTextPositions positions(FEdit.Lines());
    hit = search.FindNext(FEdit.GetAllText(), positions.OffsetOf({startLine, startCol}),
                          positions.OffsetOf({endLine, endCol}), forward);
  });
  if (!hit) return std::nullopt;
  const TTextPositions positions(FEdit.Lines());
  const TRowCol start = positions.PositionOf(hit->Match.Start);
  const TRowCol end = positions.PositionOf(hit->Match.End);
  return TFoundLine{{FEdit.ToLogical({start.Row, start.Col}), FEdit.ToLogical({end.Row, end.Col})}, hit->Wrapped};
}

void TFindBar::ShowFound(const TFoundLine& found, bool forward) {
  Select(found.Match);
  if (found.Wrapped)
    FShowMessage(forward ? "文頭に戻って検索しました" : "文末に戻って検索しました");
  else
    FShowMessage({});
}

bool TFindBar::FindNext(bool forward) {
  if (FindEdit->text().isEmpty()) {
    Open(ReplaceEdit->isVisible());
    return false;
  }
  std::optional<TLineMatch> current;
  Guarded("検索しています...", [&](TWorkProgress* progress) {
    TTextSearch search(Options());
    const auto hit = FindAcrossLines(search, forward, progress);
    if (!hit) {
      FShowMessage("見つかりません: " + FindEdit->text());
      return;
    }
    ShowFound(*hit, forward);
    current = hit->Match;
    FOrigin = hit->Match.Start;
  });
  ShowPattern();
  if (current) StartCount(current);
  return current.has_value();
}

std::optional<std::u16string> TFindBar::Replacement() {
  std::u16string replacement = ToU16(ReplaceEdit->text());
  std::size_t lossy = 0;
  UnicodeToAnsi(replacement, &lossy);
  if (lossy == 0) return replacement;
  FShowMessage("置換後の文字列に Shift-JIS で書けない文字があります");
  return std::nullopt;
}

void TFindBar::Replace(const TLineMatch& match, const std::string& bytes) {
  Select(match);
  ReplaceSelection(FEdit, bytes);
}

void TFindBar::ReplaceOne() {
  if (FEdit.ReadOnly() || FindEdit->text().isEmpty()) return;
  const auto replacement = Replacement();
  if (!replacement) return;
  Guarded("置換しています...", [&](TWorkProgress* progress) {
    TTextSearch search(Options());
    const TLineMatch selection = Selection();
    std::optional<std::string> bytes;
    if (search.SpansLines()) {
      RunInterruptible(search, progress, [&] {
        int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
        FEdit.GetSelBounds(startCol, startLine, endLine, endCol);
        const TTextPositions positions(FEdit.Lines());
        bytes = search.ReplacementFor(
            FEdit.GetAllText(), {positions.OffsetOf({startLine, startCol}), positions.OffsetOf({endLine, endCol})},
            *replacement);
      });
    } else if (selection.Start.Line == selection.End.Line) {
      TLineReader reader(FEdit.Lines());
      const int line = selection.Start.Line;
      const auto matches =
          LineMatches(search, reader.Read(line), line == reader.Count() - 1 && line > 0, &*replacement);
      for (const TRegExpMatch& m : matches)
        if (static_cast<int>(m.Start) == selection.Start.Col && static_cast<int>(m.End) == selection.End.Col)
          bytes = TTextSearch::Bytes(m.Replacement);
    }
    if (bytes) Replace(selection, *bytes);
  });
  FindNext(true);
}

std::size_t TFindBar::ReplaceAll() {
  std::size_t count = 0;
  if (FEdit.ReadOnly() || FindEdit->text().isEmpty()) return count;
  const auto replacement = Replacement();
  if (!replacement) return count;
  Guarded("置換しています...", [&](TWorkProgress* progress) {
    TTextSearch search(Options());
    if (search.SpansLines()) {
      std::string text;
      std::size_t found = 0;
      RunInterruptible(search, progress, [&] { text = search.ReplaceAll(FEdit.GetAllText(), *replacement, found); });
      if (found > 0) FEdit.ReplaceAllText(text);
      count = found;
    } else {
      // The new text is made while the old one stays as it is, so that a
      // stop changes nothing; then it goes in as one step, piece by piece.
      TLineReplacer replacer(search, FEdit.Lines(), *replacement);
      RunWithProgress(search, replacer, progress);
      std::vector<std::string> pieces = replacer.TakePieces();
      if (replacer.Count() > 0) {
        FEdit.ReplaceAllText([&pieces](const TStoredText&, TRyxStringsWriter& out) {
          for (std::string& piece : pieces) {
            out.Write(piece);
            std::string().swap(piece);
          }
        });
      }
      count = replacer.Count();
    }
    FShowMessage(count > 0 ? QString("%1 個置換しました").arg(count) : "見つかりません: " + FindEdit->text());
  });
  if (isVisible()) StartCount(std::nullopt);
  return count;
}

void TFindBar::TextChanged() {
  FHighlights.Forget();
  if (FLiveKind == TLiveKind::None && CountLabel->text().isEmpty()) return;
  // The lines the work had reached are no longer where they were.
  StopLiveWork();
  CountLabel->setText("…");
  FRecountTimer->start();
}

void TFindBar::DrawHighlights(ICanvas& canvas, int L1, int L2) { FHighlights.Draw(canvas, FEdit, L1, L2); }

bool TFindBar::LiveWorkPending() const { return FLiveKind != TLiveKind::None || FRecountTimer->isActive(); }

void TFindBar::RepaintEditor() {
  if (FEdit.HandleAllocated()) FEdit.Paint();
}

void TFindBar::ShowPattern() {
  const TSearchOptions options = Options();
  if (FShownOptions == options) return;
  FShownOptions = options;
  FHighlights.SetSearch(options.Pattern.empty() ? nullptr : std::make_unique<TTextSearch>(options));
  RepaintEditor();
}

void TFindBar::StopLiveWork() {
  FLiveTimer->stop();
  FLiveKind = TLiveKind::None;
  FLiveWork.reset();
  FLiveSearch.reset();
}

void TFindBar::StartLiveFind() {
  StopLiveWork();
  FRecountTimer->stop();
  ShowPattern();
  if (FindEdit->text().isEmpty()) {
    CountLabel->clear();
    FShowMessage({});
    return;
  }
  FLiveSearch = std::make_unique<TTextSearch>(Options());
  FLiveSearch->SetTimeLimit(kLiveTimeLimit);
  if (FLiveSearch->SpansLines()) {
    // Such a pattern is searched in the whole text at once: only a short text is searched as it is typed.
    FLiveSearch.reset();
    if (FEdit.Lines().Count() <= kWholeTextLiveRows) {
      const TLogicalPos origin = FOrigin;
      Select({origin, origin});
      FindNext(true);
      FOrigin = origin;
    } else {
      CountLabel->setText("Enter で検索");
    }
    return;
  }
  FLiveWork = std::make_unique<TLineFinder>(*FLiveSearch, FEdit.Lines(), TLineMatch{FOrigin, FOrigin}, true);
  FLiveKind = TLiveKind::Find;
  CountLabel->setText("…");
  FLiveTimer->start();
}

void TFindBar::StartCount(std::optional<TLineMatch> current) {
  StopLiveWork();
  FRecountTimer->stop();
  if (FindEdit->text().isEmpty()) return;
  FLiveSearch = std::make_unique<TTextSearch>(Options());
  FLiveSearch->SetTimeLimit(kLiveTimeLimit);
  if (FLiveSearch->SpansLines()) {
    FLiveSearch.reset();
    CountLabel->clear();
    return;
  }
  FLiveWork = std::make_unique<TMatchCounter>(*FLiveSearch, FEdit.Lines(), current);
  FLiveKind = TLiveKind::Count;
  CountLabel->setText("…");
  FLiveTimer->start();
}

void TFindBar::LiveSlice() {
  if (!FLiveWork) return;
  try {
    const bool done = FLiveWork->Step(kSliceBytes);
    // Between slices the rows may be rewrapped; the text itself cannot change without TextChanged.
    FLiveWork->RowsChanged();
    if (!done) {
      const auto percent = FLiveWork->Done() * 100 / std::max<std::uint64_t>(1, FLiveWork->Total());
      CountLabel->setText(QString("… %1%").arg(percent));
      return;
    }
    if (FLiveKind == TLiveKind::Find) {
      const std::optional<TFoundLine> found = static_cast<TLineFinder&>(*FLiveWork).Found();
      if (found)
        ShowFound(*found, true);
      else
        FShowMessage("見つかりません: " + FindEdit->text());
      StartCount(found ? std::optional(found->Match) : std::nullopt);
      return;
    }
    const auto& counter = static_cast<const TMatchCounter&>(*FLiveWork);
    if (counter.Count() == 0)
      CountLabel->setText("0 件");
    else if (counter.CurrentIndex() > 0)
      CountLabel->setText(QString("%1 / %2 件").arg(counter.CurrentIndex()).arg(counter.Count()));
    else
      CountLabel->setText(QString("%1 件").arg(counter.Count()));
    StopLiveWork();
  } catch (const Exception& e) {
    StopLiveWork();
    CountLabel->clear();
    FShowMessage(QString::fromStdString(e.what()));
  }
}
