// TTextFileReader: raw blocks from the file, their breaks widened to CR LF.
#include "tools/verselet-tool/TextFileReader.h"

#include <cstring>

#include "platform/Exceptions.h"

namespace {

constexpr std::size_t kBlockSize = 1 << 16;

void CheckText(std::string_view raw) {
  if (std::memchr(raw.data(), '\0', raw.size()) != nullptr) {
    throw EInOutError("NUL バイトを含むのでバイナリファイルとみなし、処理しません");
  }
}

}  // namespace

TTextFileReader::TTextFileReader(const std::filesystem::path& name)
    : FStyle(DetectLineBreak(name)), FFile(name), FRaw(kBlockSize) {
  FText.reserve(2 * kBlockSize);
}

std::string_view TTextFileReader::Next() {
  const std::string_view raw(FRaw.data(), FFile.Read(FRaw.data(), FRaw.size()));
  CheckText(raw);
  if (FStyle != lbLF && FStyle != lbCR) return raw;
  const char breakByte = FStyle == lbLF ? '\n' : '\r';
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
