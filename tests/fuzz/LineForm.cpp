// The stored line form and the caret's place, which every operation of the store and the editor must leave behind.
#include <string>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"
#include "tests/fuzz/FuzzChecks.h"

std::string PrintableBytes(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes.substr(0, 80)) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && b != '\\') {
      out += c;
    } else {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  }
  return bytes.size() > 80 ? out + "..." : out;
}

std::string CheckLineForm(const TRyxStrings& lines, bool softWrap) {
  const int count = lines.Count();
  if (count == 0) return "the store holds no line";
  for (int i = 0; i < count; ++i) {
    const std::string_view line = lines.Get(i);
    const bool last = i == count - 1;
    const std::size_t nul = line.find('\0');
    bool good = false;
    if (last)
      good = line.size() >= 2 && nul == line.size() - 2 && line.back() == '\0';
    else if (line.ends_with("\r\n"))
      good = nul == std::string_view::npos;
    else
      good = softWrap && !HasLineEnd(line) && nul == std::string_view::npos;
    if (!good) return "line " + std::to_string(i) + " of " + std::to_string(count) + " breaks the stored form: \"" +
                      PrintableBytes(line) + "\"";
  }
  return {};
}

std::string CheckCaretPlace(const TRyxEdit& edit) {
  const TRyxStrings& lines = edit.Lines();
  const int line = edit.CaretLine();
  const int col = edit.CaretCol();
  if (line < 0 || line >= lines.Count())
    return "the caret is on line " + std::to_string(line) + " of " + std::to_string(lines.Count());
  // A lead byte cut off by the line end is a character of its own.
  const std::string content = StripLineEnd(lines.Get(line));
  if (col < 0 || col > static_cast<int>(content.size()) ||
      TByteTypes(content, edit.SingleByteMode()).At(col + 1) == kTrailByte)
    return "the caret is at column " + std::to_string(col) + " of \"" + PrintableBytes(content) + "\"";
  return {};
}
