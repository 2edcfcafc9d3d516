// TLineFilter: splitting the blocks at LF, a cut line gathered in a buffer of its own.
#include "app/core/LineFilter.h"

void TLineFilter::Emit(std::string_view line, bool ended, std::string& out) {
  const bool cr = !line.empty() && line.back() == '\r';
  Line(++FNumber, line.substr(0, line.size() - (cr ? 1 : 0)), out);
  if (cr) out.push_back('\r');
  if (ended) out.push_back('\n');
}

std::size_t TLineFilter::Scan(std::string_view data, bool final, std::string& out) {
  // Everything is consumed at once: the block filter's own hold-back would
  // copy a long line again with every block.
  for (std::size_t from = 0;;) {
    const std::size_t lf = data.find('\n', from);
    if (lf == std::string_view::npos) {
      FLine.append(data.substr(from));
      if (final && !FLine.empty()) Emit(FLine, false, out);
      if (final) FLine.clear();
      return data.size();
    }
    if (FLine.empty()) {
      Emit(data.substr(from, lf - from), true, out);
    } else {
      FLine.append(data.substr(from, lf - from));
      Emit(FLine, true, out);
      FLine.clear();
    }
    from = lf + 1;
  }
}
