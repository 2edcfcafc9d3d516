// The loaders' check: the split rule of SetText, the conversion of LoadFromFile, and saving that gives back GetText.
#include <string>
#include <vector>

#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"
#include "tests/PlainSplit.h"
#include "tests/TempDir.h"
#include "tests/fuzz/FuzzChecks.h"

namespace {

// What LoadFromFile makes of a file read in the given style: NUL bytes
// dropped, every break byte of that style turned into CR LF.
std::string Converted(std::string_view file, TLineBreakStyle style) {
  std::string text;
  for (const char c : file) {
    if (c == '\0') continue;
    if ((style == lbLF && c == '\n') || (style == lbCR && c == '\r'))
      text += "\r\n";
    else
      text += c;
  }
  return text;
}

// Lengths around the 16 KB reading window and the point at which it slides;
// an input starting with 0xF0 to 0xFF has its body repeated to one of them.
std::string Stretched(std::string_view input) {
  if (input.size() < 2 || static_cast<unsigned char>(input[0]) < 0xF0) return std::string(input);
  const std::string_view body = input.substr(1);
  const std::size_t length = 15360 + (static_cast<unsigned char>(input[0]) & 0x0F) * 128u;
  std::string out;
  while (out.size() < length) out += body;
  out.resize(length);
  return out;
}

const TTempDir& Folder() {
  static const TTempDir folder;
  return folder;
}

std::string CheckSetText(std::string_view text) {
  TRyxStrings store;
  store.SetText(text);
  const std::vector<std::string> expected = PlainSplit(text);
  if (store.Count() != static_cast<int>(expected.size()))
    return "SetText made " + std::to_string(store.Count()) + " lines, the split rule " +
           std::to_string(expected.size());
  for (int i = 0; i < store.Count(); ++i)
    if (store.Get(i) != expected[static_cast<std::size_t>(i)])
      return "SetText line " + std::to_string(i) + " is \"" + PrintableBytes(store.Get(i)) + "\", the split rule \"" +
             PrintableBytes(expected[static_cast<std::size_t>(i)]) + "\"";
  return {};
}

std::string CheckLoadAndSave(const std::string& file) {
  const std::filesystem::path name = Folder().WriteFile("input.txt", file);
  const TLineBreakStyle style = DetectLineBreak(name);
  TRyxStrings store;
  store.LoadFromFile(name);
  if (std::string fault = CheckLineForm(store, false); !fault.empty()) return "LoadFromFile: " + fault;
  if (store.LoadedNulBytes() != (file.find('\0') != std::string::npos))
    return "LoadedNulBytes does not tell whether the file holds a NUL";
  const std::string text = store.GetText();
  if (const std::string expected = Converted(file, style); text != expected)
    return "LoadFromFile in style " + std::to_string(style) + " gave \"" + PrintableBytes(text) + "\", not \"" +
           PrintableBytes(expected) + "\"";
  // What was loaded splits back into the same lines.
  TRyxStrings again;
  again.SetText(text + std::string(2, '\0'));
  for (int i = 0; i < store.Count(); ++i)
    if (i >= again.Count() || again.Get(i) != store.Get(i))
      return "the loaded text does not split back into its lines at line " + std::to_string(i);
  const std::filesystem::path saved = Folder().Path() / "saved.txt";
  store.SaveToFile(saved);
  if (TTempDir::ReadFile(saved) != text) return "SaveToFile did not write GetText";
  return {};
}

}  // namespace

std::string CheckLoaders(std::string_view input) {
  const std::string file = Stretched(input);
  try {
    if (std::string fault = CheckSetText(file); !fault.empty()) return fault;
    return CheckLoadAndSave(file);
  } catch (const std::exception& e) {
    return std::string("exception: ") + e.what();
  }
}
