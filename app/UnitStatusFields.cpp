// TStatusFields: building the fields and filling them from the editor.
#include "app/UnitStatusFields.h"

#include <QLabel>
#include <QStatusBar>

#include "app/LogicalLines.h"
#include "app/TextPositions.h"
#include "editor/RyxEdit.h"
#include "platform/LeadByte.h"

namespace {

QLabel* AddField(QStatusBar& bar, const QString& widest) {
  auto* label = new QLabel;
  label->setAlignment(Qt::AlignCenter);
  // Sized for its widest text, so that the fields do not jump while the caret moves.
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) + 8);
  bar.addPermanentWidget(label);
  return label;
}

// Characters in [start, end) of Shift-JIS text, line breaks counted as one.
std::size_t CharacterCount(const std::string& text, std::size_t start, std::size_t end) {
  std::size_t count = 0;
  for (std::size_t i = start; i < end; ++count) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool pair = i + 1 < end && (IsDBCSLeadByte(byte) || (byte == '\r' && text[i + 1] == '\n'));
    i += pair ? 2 : 1;
  }
  return count;
}

}  // namespace

TStatusFields::TStatusFields(QStatusBar& bar, const TRyxEdit& edit) : QObject(&bar), FEdit(edit) {
  Position = AddField(bar, "999 行, 99 桁");
  Selection = AddField(bar, {});
  Mode = AddField(bar, "上書");
  Encoding = AddField(bar, "Shift-JIS");
  LineBreak = AddField(bar, "CRLF");
  State = AddField(bar, "変更あり");
  // The text is always written as Shift-JIS with CR LF line breaks.
  Encoding->setText("Shift-JIS");
  LineBreak->setText("CRLF");
  Update();
}

void TStatusFields::Update() {
  const TLinePlace place = TLogicalLines(FEdit.Lines(), FEdit.TabCount()).PlaceOf(FEdit.CaretLine(), FEdit.CaretCol());
  Position->setText(QString("%1 行, %2 桁").arg(place.Line).arg(place.Column));
  int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
  std::size_t selected = 0;
  if (FEdit.SelAll()) {
    const std::string text = FEdit.GetAllText();
    selected = CharacterCount(text, 0, text.size());
  } else if (FEdit.GetSelBounds(startCol, startLine, endLine, endCol)) {
    const TTextPositions positions(FEdit.Lines());
    selected = CharacterCount(FEdit.GetAllText(), positions.OffsetOf({startLine, startCol}),
                              positions.OffsetOf({endLine, endCol}));
  }
  // Without a selection the field gives its room to the passing messages.
  Selection->setText(QString("%1 文字選択").arg(selected));
  Selection->setVisible(selected > 0);
  Mode->setText(FEdit.InsertMode() ? "挿入" : "上書");
  State->setText(FEdit.Modified() ? "変更あり" : "");
}
