// TRyxStrings: loading text files in the three break styles, saving, and streams.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <istream>
#include <iterator>
#include <ostream>
#include <string>

#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"
#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"

namespace {


// Files are read in steps of this size, so that a load can stop at a NUL.
constexpr std::size_t kReadStep = std::size_t{1} << 20;

// The break expansion searches blocks of this size.
constexpr std::size_t kScanBlock = 16384;

[[noreturn]] void RefuseLargeFile(const std::filesystem::path& name, std::uint64_t size) {
  throw EInOutError("ファイル " + name.string() + " は大きすぎて開けません: " + std::to_string(size) +
                    " バイトあります (開けるのは " + std::to_string(TRyxStrings::kMaxFileBytes) + " バイトまで)");
}

// Opened for a loader: a file the store cannot hold is refused before any
// of it is read.
void CheckLoadable(const TReadOnlyFile& file, const std::filesystem::path& name) {
  if (file.Size() > TRyxStrings::kMaxFileBytes) RefuseLargeFile(name, file.Size());
}

// The style of the first line break among bytes, wherever it lies; none
// gives CR LF, no bytes lbEmpty. A NUL before any break (at endsAtNul when
// the bytes were cut there) means a binary file, which the CR loader takes,
// as one sniffed from its first bytes would be.
TLineBreakStyle FirstLineBreak(std::string_view bytes, bool endsAtNul) {
  if (bytes.empty() && !endsAtNul) return lbEmpty;
  const std::size_t lf = bytes.find('\n');
  const std::string_view before = bytes.substr(0, lf);
  const std::size_t cr = before.find('\r');
  const std::size_t nul = before.substr(0, cr).find('\0');
  if (nul != std::string_view::npos) return lbCR;
  if (cr != std::string_view::npos) return cr + 1 < bytes.size() && bytes[cr + 1] == '\n' ? lbCRLF : lbCR;
  if (lf != std::string_view::npos) return lbLF;
  return endsAtNul ? lbCR : lbCRLF;
}

// Turns every breakByte of the first size bytes into CR LF, in place from
// the end; the buffer grows by one byte per break.
void ExpandBreaks(TByteBuffer& bytes, char breakByte) {
  char* data = bytes.Data();
  const std::size_t size = bytes.Size();
  const auto breaks = static_cast<std::size_t>(std::count(data, data + size, breakByte));
  bytes.Resize(size + breaks);
  data = bytes.Data();
  std::size_t src = size;
  std::size_t dst = size + breaks;
  while (src > 0) {
    // Searched a block at a time: a checked build inspects the whole range
    // of every search.
    const std::size_t low = src > kScanBlock ? src - kScanBlock : 0;
    const void* hit = ::memrchr(data + low, breakByte, src - low);
    const std::size_t from = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) + 1 : low;
    const std::size_t run = src - from;
    dst -= run;
    std::memmove(data + dst, data + from, run);
    src = from;
    if (hit == nullptr) continue;
    --src;
    data[--dst] = '\n';
    data[--dst] = '\r';
  }
}

}  // namespace

void TRyxStrings::LoadFromFile(const std::filesystem::path& name) { LoadFromFile(name, TNulBytes::Drop); }

// The file is read once: the style comes from the bytes read.
void TRyxStrings::LoadFromFile(const std::filesystem::path& name, TNulBytes nulBytes) {
  TLineBreakStyle style = lbEmpty;
  TByteBuffer bytes = OpenAndRead(name, nulBytes, &style);
  switch (style) {
    case lbCRLF:
      TakeBytes(std::move(bytes), '\0');
      break;
    case lbLF:
      TakeBytes(std::move(bytes), '\n');
      break;
    case lbCR:
      TakeBytes(std::move(bytes), '\r');
      break;
    case lbEmpty:
      Add(kEndMarker);
      break;
  }
}

TByteBuffer TRyxStrings::OpenAndRead(const std::filesystem::path& name, TNulBytes nulBytes, TLineBreakStyle* style) {
  TReadOnlyFile file(name);
  CheckLoadable(file, name);
  // The old lines go first, so that the old and the new text are never
  // held together.
  Clear();
  FLoadedNulBytes = false;
  const bool stopAtNul = nulBytes == TNulBytes::StopReading;
  // Room for the marker, and for a file that grew after it was opened.
  TByteBuffer bytes(file.Size() + kEndMarker.size());
  for (;;) {
    const std::size_t at = bytes.Size();
    if (bytes.Capacity() - at < kReadStep) bytes.Reserve(std::max(bytes.Capacity(), at + kReadStep));
    const std::size_t n = file.Read(bytes.Data() + at, std::min(kReadStep, bytes.Capacity() - at));
    bytes.Resize(at + n);
    if (n == 0) break;
    if (bytes.Size() > kMaxFileBytes) RefuseLargeFile(name, bytes.Size());
    if (!stopAtNul) continue;
    const void* nul = std::memchr(bytes.Data() + at, '\0', n);
    if (nul == nullptr) continue;
    FLoadedNulBytes = true;
    bytes.Resize(static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.Data()));
    break;
  }
  if (style != nullptr) *style = FirstLineBreak(std::string_view(bytes.Data(), bytes.Size()), FLoadedNulBytes);
  if (!stopAtNul && std::memchr(bytes.Data(), '\0', bytes.Size()) != nullptr) {
    // Dropped rather than cutting lines there, so that the lines around
    // them stay whole.
    FLoadedNulBytes = true;
    bytes.Resize(static_cast<std::size_t>(std::remove(bytes.Data(), bytes.Data() + bytes.Size(), '\0') - bytes.Data()));
  }
  return bytes;
}

void TRyxStrings::LoadCRLFFile(const std::filesystem::path& name, TNulBytes nulBytes) {
  LoadWithBreak(name, '\0', nulBytes);
}

void TRyxStrings::LoadLFFile(const std::filesystem::path& name, TNulBytes nulBytes) {
  LoadWithBreak(name, '\n', nulBytes);
}

void TRyxStrings::LoadCRFile(const std::filesystem::path& name, TNulBytes nulBytes) {
  LoadWithBreak(name, '\r', nulBytes);
}

// The text of a file, with every break made CR LF and the end-of-text marker
// after it, cuts into the loader's lines by the split rule: an LF file
// keeps no LF of its own and a CR file no CR, and a CR LF file is taken
// as it is (breakByte NUL: none is left to expand). The lines are ranges of
// that one buffer.
void TRyxStrings::LoadWithBreak(const std::filesystem::path& name, char breakByte, TNulBytes nulBytes) {
  TakeBytes(OpenAndRead(name, nulBytes), breakByte);
}

void TRyxStrings::TakeBytes(TByteBuffer bytes, char breakByte) {
  try {
    if (breakByte != '\0') ExpandBreaks(bytes, breakByte);
    bytes.Append(kEndMarker);
    InsertPieces(0, std::move(bytes));
  } catch (...) {
    Clear();
    throw;
  }
}

void TRyxStrings::SaveToFile(const std::filesystem::path& name, bool overwriteReadOnly,
                             const TSaveEncoder& encode) const {
  TAtomicFile file(name, overwriteReadOnly);
  if (!encode) {
    WriteText([&file](std::string_view bytes) { file.Write(bytes); });
  } else {
    std::string out;
    WriteText([&file, &encode, &out](std::string_view bytes) {
      out.clear();
      encode(bytes, false, out);
      file.Write(out);
    });
    out.clear();
    encode({}, true, out);
    file.Write(out);
  }
  file.Commit();
}

void TRyxStrings::LoadFromStream(std::istream& stream) {
  Clear();
  const std::string bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
  if (stream.bad()) throw EInOutError("ストリームを読めません");
  if (!bytes.empty()) SetText(bytes);
}

void TRyxStrings::SaveToStream(std::ostream& stream) const {
  WriteText([&stream](std::string_view bytes) { stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); });
  if (!stream) throw EInOutError("ストリームに書き込めません");
}
