// TTextFileReader: raw blocks from the file, their breaks widened to CR LF once the first break is seen.
#include "tools/verselet-tool/TextFileReader.h"

#include <cstring>

#include "platform/Exceptions.h"

namespace {

constexpr std::size_t kBlockSize = 1 << 16;

}  // namespace

TTextFileReader::TTextFileReader(const std::filesystem::path& name) : FFile(name), FRaw(kBlockSize + 1) {
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

std::string_view TTextFileReader::Next() {
  std::size_t length = FFile.Read(FRaw.data(), kBlockSize);
  // A first break cut after its CR needs the byte after it to be known.
  if (FStyle == TStyle::Undecided && length > 0 && FRaw[length - 1] == '\r') {
    length += FFile.Read(FRaw.data() + length, 1);
  }
  const std::string_view raw(FRaw.data(), length);
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
