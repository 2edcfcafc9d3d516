// TMatchHighlights: a frame round every match in view, the matches of each line kept until the text or pattern changes.
#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "app/core/TextSearch.h"

class ICanvas;
class TRyxEdit;

// Drawn over the rows after the editor painted them (its OnUserClientDraw),
// so a row repainted for any reason gets its frames again. A pattern too
// slow for a line in view gets no frames rather than holding the paint.
class TMatchHighlights {
 public:
  // The pattern to show; none hides the frames.
  void SetSearch(std::unique_ptr<TTextSearch> search);
  bool Active() const { return FSearch != nullptr; }
  // The text changed: the matches are looked for again.
  void Forget() { FLines.clear(); }
  void Draw(ICanvas& canvas, const TRyxEdit& edit, int L1, int L2);

 private:
  using TSpans = std::vector<std::pair<int, int>>;
  const TSpans& MatchesOf(const TRyxEdit& edit, int line);

  std::unique_ptr<TTextSearch> FSearch;
  std::map<int, TSpans> FLines;
  bool FGaveUp = false;
};
