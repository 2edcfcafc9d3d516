// TTextFileReader: raw blocks from the file, their breaks widened to CR LF once the first break is seen.
#include "tools/verselet-tool/TextFileReader.h"

#include <algorithm>
#include <cstring>

#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace {

constexpr std::size_t kBlockSize = 1 << 16;

}  // namespace

TTextFileReader::TTextFileReader(const std::filesystem::path& name, TFileEncoding encoding)
    : FFile(name), FEncoding(encoding), FRaw(kBlockSize + 1) {
  FText.reserve(2 * kBlockSize);
}

void TTextFileReader::Decide(std::string_view raw) {
  const std::size_t at = raw.find_first_of("\r\n");
  if (at == std::string_view::npos) return;
  if (raw[at] == '\n') {
    FStyle = TStyle::WidenLf;
  } else {
    // A CR at the very end of the file is a lone CR.
    FStyle = at + 1 < raw.size() && raw[at + 1] == '\n' ? TStyle::AsIs : TStyle::WidenCr;
  }
}

std::string_view TTextFileReader::NextRaw() {
  std::size_t length = FFile.Read(FRaw.data(), kBlockSize);
  if (FEncoding == TFileEncoding::Utf16LE || FEncoding == TFileEncoding::Utf16BE) {
    std::string_view bytes(FRaw.data(), length);
    if (FAtStart) bytes.remove_prefix(std::min<std::size_t>(2, bytes.size()));  // the byte-order mark
    FAtStart = false;
    const bool bigEndian = FEncoding == TFileEncoding::Utf16BE;
    std::size_t i = 0;
    if (!FOddByte.empty() && !bytes.empty()) {
      const std::string pair = FOddByte + bytes[0];
      FUnits += static_cast<char16_t>(bigEndian ? static_cast<unsigned char>(pair[0]) << 8 | static_cast<unsigned char>(pair[1])
                                                : static_cast<unsigned char>(pair[1]) << 8 | static_cast<unsigned char>(pair[0]));
      FOddByte.clear();
      i = 1;
    }
    for (; i + 1 < bytes.size(); i += 2) {
      const auto first = static_cast<unsigned char>(bytes[i]);
      const auto second = static_cast<unsigned char>(bytes[i + 1]);
      FUnits += static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    if (i < bytes.size()) FOddByte = bytes.substr(i);
    const bool end = length == 0;
    if (end && !FOddByte.empty()) {
      FUnits += u'\uFFFD';  // a last byte without its pair loses nothing silently
      FOddByte.clear();
    }
    // A high surrogate waits for the low one in the next block.
    const bool held = !end && !FUnits.empty() && FUnits.back() >= 0xD800 && FUnits.back() <= 0xDBFF;
    std::string decoded = UnicodeToUtf8(std::u16string_view(FUnits).substr(0, FUnits.size() - (held ? 1 : 0)));
    FUnits.erase(0, FUnits.size() - (held ? 1 : 0));
    // As with raw blocks, a first break cut after its CR needs what follows.
    if (!end && (decoded.empty() || (FStyle == TStyle::Undecided && decoded.back() == '\r'))) decoded += NextRaw();
    FDecoded = std::move(decoded);
    return FDecoded;
  }
  // A first break cut after its CR needs the byte after it to be known.
  if (FStyle == TStyle::Undecided && length > 0 && FRaw[length - 1] == '\r') {
    length += FFile.Read(FRaw.data() + length, 1);
  }
  return {FRaw.data(), length};
}

std::string_view TTextFileReader::Next() {
  const std::string_view raw = NextRaw();
  if (std::memchr(raw.data(), '\0', raw.size()) != nullptr) {
    throw EInOutError("NUL バイトを含むのでバイナリファイルとみなし、処理しません");
  }
  if (FStyle == TStyle::Undecided) Decide(raw);
  if (FStyle != TStyle::WidenLf && FStyle != TStyle::WidenCr) return raw;
  const char breakByte = FStyle == TStyle::WidenLf ? '\n' : '\r';
  FText.clear();
  for (std::size_t from = 0; from < raw.size();) {
    const void* hit = std::memchr(raw.data() + from, breakByte, raw.size() - from);
    const std::size_t end = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - raw.data()) : raw.size();
    FText.append(raw.data() + from, end - from);
    if (!hit) break;
    FText.append("\r\n");
    from = end + 1;
  }
  return FText;
}
