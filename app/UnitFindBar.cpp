// TFindBar: the fields, the find and replace commands and their messages.
#include "app/UnitFindBar.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

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

}  // namespace

TFindBar::TFindBar(TRyxEdit& edit, TMessageSink showMessage, QWidget* parent)
    : QWidget(parent), FEdit(edit), FShowMessage(std::move(showMessage)) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 2, 4, 2);
  grid->setVerticalSpacing(2);
  grid->addWidget(new QLabel("検索:"), 0, 0);
  FindEdit = new QLineEdit;
  grid->addWidget(FindEdit, 0, 1);
  QPushButton* next = AddButton(*grid, "次を検索", 0, 2);
  QPushButton* previous = AddButton(*grid, "前を検索", 0, 3);
  auto* close = new QToolButton;
  close->setText("×");
  close->setToolTip("閉じる (Esc)");
  grid->addWidget(close, 0, 4);

  FReplaceLabel = new QLabel("置換:");
  grid->addWidget(FReplaceLabel, 1, 0);
  ReplaceEdit = new QLineEdit;
  grid->addWidget(ReplaceEdit, 1, 1);
  FReplaceButton = AddButton(*grid, "置換", 1, 2);
  FReplaceAllButton = AddButton(*grid, "すべて置換", 1, 3);
  // The options get a row of their own, so that the bar fits the window's usual width.
  auto* options = new QHBoxLayout;
  RegularExpression = new QCheckBox("正規表現");
  MatchCase = new QCheckBox("大文字と小文字を区別");
  IgnoreWidth = new QCheckBox("全角/半角を区別しない");
  options->addWidget(RegularExpression);
  options->addWidget(MatchCase);
  options->addWidget(IgnoreWidth);
  options->addStretch();
  grid->addLayout(options, 2, 1, 1, 3);
  grid->setColumnStretch(1, 1);
  setTabOrder(FindEdit, ReplaceEdit);

  connect(FindEdit, &QLineEdit::returnPressed, this, [this] { FindNext(true); });
  connect(ReplaceEdit, &QLineEdit::returnPressed, this, [this] { ReplaceOne(); });
  connect(next, &QPushButton::clicked, this, [this] { FindNext(true); });
  connect(previous, &QPushButton::clicked, this, [this] { FindNext(false); });
  connect(FReplaceButton, &QPushButton::clicked, this, [this] { ReplaceOne(); });
  connect(FReplaceAllButton, &QPushButton::clicked, this, [this] { ReplaceAll(); });
  connect(close, &QToolButton::clicked, this, [this] { Close(); });
}

void TFindBar::ShowFind() { Open(false); }

void TFindBar::ShowReplace() { Open(true); }

void TFindBar::Open(bool replace) {
  for (QWidget* w : {static_cast<QWidget*>(FReplaceLabel), static_cast<QWidget*>(ReplaceEdit),
                     static_cast<QWidget*>(FReplaceButton), static_cast<QWidget*>(FReplaceAllButton)})
    w->setVisible(replace);
  emit Opened();
  FindEdit->setFocus();
  FindEdit->selectAll();
}

void TFindBar::Close() { emit Closed(); }

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

bool TFindBar::Guarded(const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const EConvertError& e) {
    FShowMessage(QString::fromStdString(e.what()));
  }
  return false;
}

TTextMatch TFindBar::Selection() const {
  int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
  FEdit.GetSelBounds(startCol, startLine, endLine, endCol);
  const TTextPositions positions(FEdit.Lines());
  return {positions.OffsetOf({startLine, startCol}), positions.OffsetOf({endLine, endCol})};
}

void TFindBar::Select(const TTextMatch& match) {
  const TTextPositions positions(FEdit.Lines());
  const TRowCol start = positions.PositionOf(match.Start);
  const TRowCol end = positions.PositionOf(match.End);
  FEdit.SetSel(start.Col, start.Row, end.Row, end.Col);
}

bool TFindBar::FindNext(bool forward) {
  if (FindEdit->text().isEmpty()) {
    Open(ReplaceEdit->isVisible());
    return false;
  }
  bool found = false;
  Guarded([&] {
    TTextSearch search(Options());
    const TTextMatch selection = Selection();
    const auto hit = search.FindNext(FEdit.GetAllText(), selection.Start, selection.End, forward);
    if (!hit) {
      FShowMessage("見つかりません: " + FindEdit->text());
      return;
    }
    Select(hit->Match);
    found = true;
    if (hit->Wrapped)
      FShowMessage(forward ? "文頭に戻って検索しました" : "文末に戻って検索しました");
    else
      FShowMessage({});
  });
  return found;
}

std::optional<std::u16string> TFindBar::Replacement() {
  std::u16string replacement = ToU16(ReplaceEdit->text());
  std::size_t lossy = 0;
  UnicodeToAnsi(replacement, &lossy);
  if (lossy == 0) return replacement;
  FShowMessage("置換後の文字列に Shift-JIS で書けない文字があります");
  return std::nullopt;
}

void TFindBar::ReplaceOne() {
  if (FEdit.ReadOnly() || FindEdit->text().isEmpty()) return;
  const auto replacement = Replacement();
  if (!replacement) return;
  Guarded([&] {
    TTextSearch search(Options());
    const std::string text = FEdit.GetAllText();
    const TTextMatch selection = Selection();
    const auto bytes = search.ReplacementFor(text, selection, *replacement);
    if (bytes) {
      // The whole-text replacement is one undo step whatever the insert mode.
      FEdit.ReplaceAllText(text.substr(0, selection.Start) + *bytes + text.substr(selection.End));
      const std::size_t end = selection.Start + bytes->size();
      Select({end, end});
    }
  });
  FindNext(true);
}

std::size_t TFindBar::ReplaceAll() {
  std::size_t count = 0;
  if (FEdit.ReadOnly() || FindEdit->text().isEmpty()) return count;
  const auto replacement = Replacement();
  if (!replacement) return count;
  Guarded([&] {
    TTextSearch search(Options());
    const std::string text = search.ReplaceAll(FEdit.GetAllText(), *replacement, count);
    if (count > 0) FEdit.ReplaceAllText(text);
    FShowMessage(count > 0 ? QString("%1 個置換しました").arg(count) : "見つかりません: " + FindEdit->text());
  });
  return count;
}
