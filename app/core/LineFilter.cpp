// TLineSplitter: splitting the blocks at LF, a cut line gathered in a buffer of its own.
#include "app/core/LineFilter.h"

void TLineSplitter::Emit(std::string_view line, bool ended, std::string& out) {
  const bool cr = !line.empty() && line.back() == '\r';
  const std::string_view lineBreak = ended ? (cr ? "\r\n" : "\n") : (cr ? "\r" : "");
  SplitLine(++FNumber, line.substr(0, line.size() - (cr ? 1 : 0)), lineBreak, out);
}

std::size_t TLineSplitter::Scan(std::string_view data, bool final, std::string& out) {
  // Everything is consumed at once: the block filter's own hold-back would
  // copy a long line again with every block.
  for (std::size_t from = 0;;) {
    const std::size_t lf = data.find('\n', from);
    if (lf == std::string_view::npos) {
      FLine.append(data.substr(from));
      if (final && !FLine.empty()) Emit(FLine, false, out);
      if (final) {
        FLine.clear();
        End(out);
      }
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

void TLineFilter::SplitLine(std::size_t number, std::string_view line, std::string_view lineBreak, std::string& out) {
  Line(number, line, out);
  out.append(lineBreak);
}
