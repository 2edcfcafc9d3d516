// Byte buffers, their sharing between stores, packed copies of lines, and a store's text without its index.
#include "editor/RyxstringsShared.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

TByteBuffer::TByteBuffer(TByteBuffer&& other) noexcept
    : FData(std::exchange(other.FData, nullptr)),
      FSize(std::exchange(other.FSize, 0)),
      FCapacity(std::exchange(other.FCapacity, 0)) {}

TByteBuffer& TByteBuffer::operator=(TByteBuffer&& other) noexcept {
  if (this != &other) {
    std::free(FData);
    FData = std::exchange(other.FData, nullptr);
    FSize = std::exchange(other.FSize, 0);
    FCapacity = std::exchange(other.FCapacity, 0);
  }
  return *this;
}

TByteBuffer::~TByteBuffer() { std::free(FData); }

void TByteBuffer::Reserve(std::size_t capacity) {
  if (capacity <= FCapacity) return;
  void* grown = std::realloc(FData, capacity);
  if (grown == nullptr) throw std::bad_alloc();
  FData = static_cast<char*>(grown);
  FCapacity = capacity;
}

void TByteBuffer::Resize(std::size_t size) {
  Reserve(size);
  FSize = size;
}

void TByteBuffer::Append(std::string_view bytes) {
  if (FSize + bytes.size() > FCapacity) Reserve(std::max(FSize + bytes.size(), FCapacity + FCapacity / 2));
  if (!bytes.empty()) std::memcpy(FData + FSize, bytes.data(), bytes.size());
  FSize += bytes.size();
}

template <class Buffers>
static auto HoldingIn(Buffers& buffers, const char* data) {
  auto shared = buffers.upper_bound(data);
  if (shared == buffers.begin()) return buffers.end();
  --shared;
  return data < shared->first + shared->second.Bytes->Size() ? shared : buffers.end();
}

TSharedBuffers::iterator BufferHolding(TSharedBuffers& buffers, const char* data) { return HoldingIn(buffers, data); }

TSharedBuffers::const_iterator BufferHolding(const TSharedBuffers& buffers, const char* data) {
  return HoldingIn(buffers, data);
}

namespace {

// Room of a buffer for copied lines; a longer line gets a buffer of its own size.
constexpr std::size_t kCopyBuffer = std::size_t{1} << 20;

}  // namespace

std::string_view TLineCopies::Copy(std::string_view line) {
  if (FCurrent == nullptr || FCurrent->Bytes->Capacity() - FCurrent->Bytes->Size() < line.size()) {
    auto bytes = std::make_shared<TByteBuffer>(std::max(kCopyBuffer, line.size()));
    const char* key = bytes->Data();
    FCurrent = &FBuffers.emplace(key, TSharedBuffer{std::move(bytes), 0}).first->second;
  }
  TByteBuffer& bytes = *FCurrent->Bytes;
  const std::size_t at = bytes.Size();
  bytes.Append(line);
  ++FCurrent->Lines;
  return {bytes.Data() + at, line.size()};
}

void TStoredText::Append(std::string_view line) {
  FSize += line.size();
  if (!FRuns.empty() && FRuns.back().data() + FRuns.back().size() == line.data()) {
    FRuns.back() = std::string_view(FRuns.back().data(), FRuns.back().size() + line.size());
    return;
  }
  FRuns.push_back(line);
}

std::size_t BytesToLineEnd(std::string_view cut, std::string_view next) {
  if (next.empty()) return std::string_view::npos;
  // The break may start at the cut's last byte.
  if (cut.back() == '\0' || (cut.back() == '\r' && next.front() == '\n')) return 1;
  TPieceScanner scan(next);
  const std::string_view first = scan.Next();
  const bool ends = first.ends_with("\r\n") || (first.size() >= 2 && first[first.size() - 2] == '\0');
  return ends ? first.size() : std::string_view::npos;
}
