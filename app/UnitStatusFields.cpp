// TStatusFields: building the fields and filling them from the editor.
#include "app/UnitStatusFields.h"

#include <QStatusBar>

#include "app/core/LogicalLines.h"
#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/LeadByte.h"

namespace {

TSteadyLabel* AddField(QStatusBar& bar, const QString& widest) {
  // Sized for its widest text, so that the fields do not jump while the caret moves.
  auto* label = new TSteadyLabel(widest);
  label->setAlignment(Qt::AlignCenter);
  bar.addPermanentWidget(label);
  return label;
}

// Characters in [start, end) of Shift-JIS text, line breaks counted as one.
std::size_t CharacterCount(std::string_view text, std::size_t start, std::size_t end) {
  std::size_t count = 0;
  for (std::size_t i = start; i < end; ++count) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool pair = i + 1 < end && (IsDBCSLeadByte(byte) || (byte == '\r' && text[i + 1] == '\n'));
    i += pair ? 2 : 1;
  }
  return count;
}

// The characters from (startLine, startCol) to (endLine, endCol), a CR LF
// counting as one. Only the selected rows are read: the field is updated on
// every keystroke.
std::size_t SelectedCharacters(const TRyxStrings& lines, int startLine, int startCol, int endLine, int endCol) {
  std::size_t count = 0;
  for (int row = startLine; row <= endLine; ++row) {
    const std::string_view text = lines.Get(row);
    const std::size_t from = row == startLine ? static_cast<std::size_t>(std::max(startCol, 0)) : 0;
    const std::size_t to =
        row == endLine ? std::min(static_cast<std::size_t>(std::max(endCol, 0)), text.size()) : text.size();
    if (from < to) count += CharacterCount(text, from, to);
  }
  return count;
}

}  // namespace

TStatusFields::TStatusFields(QStatusBar& bar, const TRyxEdit& edit) : QObject(&bar), FEdit(edit) {
  Position = AddField(bar, "999 行, 99 桁");
  Selection = AddField(bar, {});
  Mode = AddField(bar, "上書");
  Encoding = AddField(bar, "UTF-8 (BOM 付き)");
  LineBreak = AddField(bar, "CRLF");
  State = AddField(bar, "変更あり");
  // The text is written with CR LF line breaks, in the encoding the window sets here.
  Encoding->ShowText("Shift-JIS");
  LineBreak->ShowText("CRLF");
  Update();
}

void TStatusFields::Update() {
  const TLinePlace place = TLogicalLines(FEdit.Lines(), FEdit.TabCount(), FEdit.WordWrap(), &FRowTabs)
                               .PlaceOf(FEdit.CaretLine(), FEdit.CaretCol());
  Position->ShowText(QString("%1 行, %2 桁").arg(place.Line).arg(place.Column));
  int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
  std::size_t selected = 0;
  const TRyxStrings& lines = FEdit.Lines();
  if (FEdit.SelAll()) {
    const int last = lines.Count() - 1;
    selected = SelectedCharacters(lines, 0, 0, last, ContentLength(lines.Get(last)));
  } else if (FEdit.GetSelBounds(startCol, startLine, endLine, endCol)) {
    selected = SelectedCharacters(lines, startLine, startCol, endLine, endCol);
  }
  // Without a selection the field gives its room to the passing messages.
  Selection->ShowText(QString("%1 文字選択").arg(selected));
  Selection->setVisible(selected > 0);
  Mode->ShowText(FEdit.InsertMode() ? "挿入" : "上書");
  State->ShowText(FEdit.Modified() ? "変更あり" : "");
}
