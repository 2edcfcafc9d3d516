// TLineFilter: splitting the blocks at LF.
#include "app/LineFilter.h"

std::size_t TLineFilter::Scan(std::string_view data, bool final, std::string &out) {
  std::size_t from = 0;
  for (;;) {
    const std::size_t lf = data.find('\n', from);
    if (lf == std::string_view::npos && (!final || from == data.size())) return from;
    const std::size_t end = lf == std::string_view::npos ? data.size() : lf;
    const std::size_t content = end > from && data[end - 1] == '\r' ? end - 1 : end;
    Line(++FNumber, data.substr(from, content - from), out);
    out.append(data.substr(content, end - content + (lf == std::string_view::npos ? 0 : 1)));
    from = end + (lf == std::string_view::npos ? 0 : 1);
    if (lf == std::string_view::npos) return from;
  }
}
