// TTagCounting: the editor counts columns as a lyrics player does, passing over time tags and the lines it does not show.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "editor/RyxEditWrapRule.h"

class TRyxStrings;

// Every well-formed time tag (line, word and inline karaoke tags, as
// ParseTaggedLine finds them) is markup; ID tag lines and karaoke metadata
// lines are silent.
class TTagCounting final : public IColumnCounting {
 public:
  TMarkup NextMarkup(std::string_view text, std::size_t from) const override;
  bool IsSilentLine(std::string_view line) const override;
};

// Where the rows of a text start when a reader of halfCount columns a row
// shows it as counting says: the bytes of text at which its rows after the
// first start, at most `most` of them, and the counted columns of the last
// row found (of the row that the most-th break starts when there are so many).
struct TCountedRows {
  std::vector<std::size_t> Breaks;
  int LastColumns = 0;
};
TCountedRows CountedRows(std::string_view text, int halfCount, const IColumnCounting& counting, std::size_t most);

// Whether row lies in a logical line that counting finds silent; only the
// line's first kLongestSilentLine bytes are read.
bool RowInSilentLine(const TRyxStrings& lines, int row, const IColumnCounting& counting);
