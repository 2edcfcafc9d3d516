// TSaveEncoding: names and the UTF-8 writers, the byte-order mark put before the first block.
#include "app/core/SaveEncoding.h"

#include "app/core/EncodingFilters.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

class TUtf8WithBomEncoder : public TUtf8Encoder {
 protected:
  std::size_t Scan(std::string_view data, bool final, std::string& out) override {
    if (FAtStart) out.append(kByteOrderMark);
    FAtStart = false;
    return TUtf8Encoder::Scan(data, final, out);
  }

 private:
  bool FAtStart = true;
};

}  // namespace

const char* SaveEncodingName(TSaveEncoding encoding) {
  switch (encoding) {
    case TSaveEncoding::Utf8:
      return "UTF-8";
    case TSaveEncoding::Utf8WithBom:
      return "UTF-8 (BOM 付き)";
    case TSaveEncoding::ShiftJis:
      break;
  }
  return "Shift-JIS";
}

std::optional<TSaveEncoding> SaveEncodingNamed(std::string_view name) {
  if (name == "sjis") return TSaveEncoding::ShiftJis;
  if (name == "utf8") return TSaveEncoding::Utf8;
  if (name == "utf8-bom") return TSaveEncoding::Utf8WithBom;
  return std::nullopt;
}

TSaveEncoding SaveEncodingOf(TFileEncoding encoding, std::string_view start) {
  switch (encoding) {
    case TFileEncoding::ShiftJis:
      return TSaveEncoding::ShiftJis;
    case TFileEncoding::Utf8:
      return start.starts_with(kByteOrderMark) ? TSaveEncoding::Utf8WithBom : TSaveEncoding::Utf8;
    case TFileEncoding::Utf16LE:
    case TFileEncoding::Utf16BE:
      break;
  }
  return TSaveEncoding::Utf8WithBom;
}

std::unique_ptr<TBlockFilter> MakeSaveEncoder(TSaveEncoding encoding) {
  switch (encoding) {
    case TSaveEncoding::Utf8:
      return std::make_unique<TUtf8Encoder>();
    case TSaveEncoding::Utf8WithBom:
      return std::make_unique<TUtf8WithBomEncoder>();
    case TSaveEncoding::ShiftJis:
      break;
  }
  return nullptr;
}
