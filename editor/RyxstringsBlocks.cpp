// The line store's byte buffers and its blocked index of lines: lookup, edits, splits and joins.
#include "editor/RyxstringsBlocks.h"

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>
#include <tuple>
#include <utility>

TLineBlocks::TLineBlocks(int blockLines) : FBlockLines(std::max(2, blockLines)) {}

std::pair<int, int> TLineBlocks::Locate(int index) const {
  const int blocks = static_cast<int>(FBlocks.size());
  if (FHint < FFirstValid) {
    const TBlock& hint = FBlocks[static_cast<std::size_t>(FHint)];
    if (index >= hint.First && index < hint.First + static_cast<int>(hint.Data.size())) return {FHint, index - hint.First};
  }
  // Renumber the blocks up to the one that holds index.
  auto endOf = [this](int b) {
    const TBlock& block = FBlocks[static_cast<std::size_t>(b)];
    return block.First + static_cast<int>(block.Data.size());
  };
  while (FFirstValid < blocks && (FFirstValid == 0 ? 0 : endOf(FFirstValid - 1)) <= index) {
    const_cast<TBlock&>(FBlocks[static_cast<std::size_t>(FFirstValid)]).First =
        FFirstValid == 0 ? 0 : endOf(FFirstValid - 1);
    ++FFirstValid;
  }
  int lo = 0;
  int hi = FFirstValid - 1;
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    if (FBlocks[static_cast<std::size_t>(mid)].First <= index)
      lo = mid;
    else
      hi = mid - 1;
  }
  FHint = lo;
  return {lo, index - FBlocks[static_cast<std::size_t>(lo)].First};
}

std::string_view TLineBlocks::Get(int index) const {
  const auto [b, i] = Locate(index);
  return View(FBlocks[static_cast<std::size_t>(b)], static_cast<std::size_t>(i));
}

std::pair<const char*, std::uint32_t> TLineBlocks::Own(std::string_view line) {
  if (line.empty()) return {nullptr, 0};
  char* bytes = new char[line.size()];
  std::memcpy(bytes, line.data(), line.size());
  return {bytes, static_cast<std::uint32_t>(line.size()) | kOwned};
}

void TLineBlocks::Release(const char* data, std::uint32_t size) {
  if (size & kOwned) {
    delete[] data;
    return;
  }
  if (data == nullptr) return;
  const auto shared = BufferHolding(FShared, data);
  if (--shared->second.Lines == 0) FShared.erase(shared);
}

void TLineBlocks::Put(int index, std::string_view line) {
  // The copy comes first: line may be a view of the line it replaces.
  const auto [data, size] = Own(line);
  const auto [b, i] = Locate(index);
  TBlock& block = FBlocks[static_cast<std::size_t>(b)];
  const auto at = static_cast<std::size_t>(i);
  block.Ends += EndsLine(data, size) - EndsLine(block.Data[at], block.Size[at]);
  Release(block.Data[at], block.Size[at]);
  block.Data[at] = data;
  block.Size[at] = size;
}

void TLineBlocks::CountEnds(TBlock& block) {
  block.Ends = 0;
  for (std::size_t i = 0; i < block.Data.size(); ++i) block.Ends += EndsLine(block.Data[i], block.Size[i]);
}

int TLineBlocks::LineEndsBefore(int index) const {
  if (index <= 0) return 0;
  if (index >= FCount) {
    int ends = 0;
    for (const TBlock& block : FBlocks) ends += block.Ends;
    return ends;
  }
  const auto [b, i] = Locate(index);
  int ends = 0;
  for (int k = 0; k < b; ++k) ends += FBlocks[static_cast<std::size_t>(k)].Ends;
  const TBlock& block = FBlocks[static_cast<std::size_t>(b)];
  for (int k = 0; k < i; ++k) ends += EndsLine(block.Data[static_cast<std::size_t>(k)], block.Size[static_cast<std::size_t>(k)]);
  return ends;
}

int TLineBlocks::IndexAfterLineEnds(int n) const {
  if (n <= 0) return 0;
  int index = 0;
  for (const TBlock& block : FBlocks) {
    if (block.Ends < n) {
      n -= block.Ends;
      index += static_cast<int>(block.Data.size());
      continue;
    }
    for (std::size_t k = 0; k < block.Data.size(); ++k)
      if ((n -= EndsLine(block.Data[k], block.Size[k])) == 0) return index + static_cast<int>(k) + 1;
  }
  return FCount;
}

void TLineBlocks::Insert(int index, std::string_view line) {
  const auto [data, size] = Own(line);
  if (index == FCount) {
    if (FBlocks.empty() || static_cast<int>(FBlocks.back().Data.size()) >= FBlockLines) {
      FBlocks.emplace_back();
      FBlocks.back().First = FCount;
    }
    FBlocks.back().Data.push_back(data);
    FBlocks.back().Size.push_back(size);
    FBlocks.back().Ends += EndsLine(data, size);
    ++FCount;
    return;
  }
  auto [b, i] = Locate(index);
  if (static_cast<int>(FBlocks[static_cast<std::size_t>(b)].Data.size()) >= FBlockLines) {
    SplitIfFull(b);
    std::tie(b, i) = Locate(index);
  }
  TBlock& block = FBlocks[static_cast<std::size_t>(b)];
  block.Data.insert(block.Data.begin() + i, data);
  block.Size.insert(block.Size.begin() + i, size);
  block.Ends += EndsLine(data, size);
  ++FCount;
  Invalidate(b + 1);
}

void TLineBlocks::SplitIfFull(int b) {
  TBlock& block = FBlocks[static_cast<std::size_t>(b)];
  const std::size_t half = block.Data.size() / 2;
  TBlock tail;
  tail.Data.assign(block.Data.begin() + static_cast<std::ptrdiff_t>(half), block.Data.end());
  tail.Size.assign(block.Size.begin() + static_cast<std::ptrdiff_t>(half), block.Size.end());
  block.Data.resize(half);
  block.Size.resize(half);
  CountEnds(tail);
  block.Ends -= tail.Ends;
  FBlocks.insert(FBlocks.begin() + b + 1, std::move(tail));
  Invalidate(b + 1);
}

void TLineBlocks::Delete(int index) {
  const auto [b, i] = Locate(index);
  TBlock& block = FBlocks[static_cast<std::size_t>(b)];
  const auto at = static_cast<std::size_t>(i);
  block.Ends -= EndsLine(block.Data[at], block.Size[at]);
  Release(block.Data[at], block.Size[at]);
  block.Data.erase(block.Data.begin() + i);
  block.Size.erase(block.Size.begin() + i);
  --FCount;
  Invalidate(b + 1);
  JoinIfSmall(b);
}

void TLineBlocks::JoinIfSmall(int b) {
  const auto size = [this](int k) { return static_cast<int>(FBlocks[static_cast<std::size_t>(k)].Data.size()); };
  if (size(b) == 0) {
    FBlocks.erase(FBlocks.begin() + b);
    Invalidate(b);
    FHint = 0;
    return;
  }
  if (size(b) >= FBlockLines / 4) return;
  // Joined into the block before it, so that the surviving block's First stays right.
  int into = b - 1;
  if (b + 1 < static_cast<int>(FBlocks.size()) && size(b) + size(b + 1) <= FBlockLines) {
    into = b;
    ++b;
  } else if (b == 0 || size(b - 1) + size(b) > FBlockLines) {
    return;
  }
  TBlock& target = FBlocks[static_cast<std::size_t>(into)];
  TBlock& source = FBlocks[static_cast<std::size_t>(b)];
  target.Data.insert(target.Data.end(), source.Data.begin(), source.Data.end());
  target.Size.insert(target.Size.end(), source.Size.begin(), source.Size.end());
  target.Ends += source.Ends;
  FBlocks.erase(FBlocks.begin() + b);
  Invalidate(into + 1);
  FHint = 0;
}

void TLineBlocks::Truncate(int index) {
  while (FCount > index) {
    TBlock& last = FBlocks.back();
    const int keep = std::max(0, index - (FCount - static_cast<int>(last.Data.size())));
    for (std::size_t i = static_cast<std::size_t>(keep); i < last.Data.size(); ++i) Release(last.Data[i], last.Size[i]);
    FCount -= static_cast<int>(last.Data.size()) - keep;
    last.Data.resize(static_cast<std::size_t>(keep));
    last.Size.resize(static_cast<std::size_t>(keep));
    CountEnds(last);
    if (keep == 0) FBlocks.pop_back();
  }
  Invalidate(static_cast<int>(FBlocks.size()));
  FHint = 0;
}

void TLineBlocks::Clear() {
  for (const TBlock& block : FBlocks)
    for (std::size_t i = 0; i < block.Data.size(); ++i)
      if (block.Size[i] & kOwned) delete[] block.Data[i];
  FBlocks.clear();
  FBlocks.shrink_to_fit();
  FShared.clear();
  FCount = 0;
  FFirstValid = 0;
  FHint = 0;
}

void TLineBlocks::AppendEntry(std::vector<TBlock>& blocks, const char* data, std::uint32_t size) const {
  if (blocks.empty() || static_cast<int>(blocks.back().Data.size()) >= FBlockLines) {
    blocks.emplace_back();
    blocks.back().Data.reserve(static_cast<std::size_t>(FBlockLines));
    blocks.back().Size.reserve(static_cast<std::size_t>(FBlockLines));
  }
  blocks.back().Data.push_back(data);
  blocks.back().Size.push_back(size);
  blocks.back().Ends += EndsLine(data, size);
}

void TLineBlocks::AppendLine(const char* data, std::uint32_t size) {
  if (FBlocks.empty() || static_cast<int>(FBlocks.back().Data.size()) >= FBlockLines) {
    FBlocks.emplace_back();
    FBlocks.back().First = FCount;
    FBlocks.back().Data.reserve(static_cast<std::size_t>(FBlockLines));
    FBlocks.back().Size.reserve(static_cast<std::size_t>(FBlockLines));
  }
  FBlocks.back().Data.push_back(data);
  FBlocks.back().Size.push_back(size);
  FBlocks.back().Ends += EndsLine(data, size);
  ++FCount;
}

void TLineBlocks::Splice(int index, TByteBuffer text, std::vector<TBlock> fresh, std::size_t lines) {
  if (lines == 0) return;
  const char* key = text.Data();
  FShared.emplace(key, TSharedBuffer{std::make_shared<TByteBuffer>(std::move(text)), lines});
  // The block at index splits there, and the new blocks go in between.
  int at = static_cast<int>(FBlocks.size());
  if (index < FCount) {
    const auto [b, i] = Locate(index);
    at = b;
    if (i > 0) {
      TBlock& block = FBlocks[static_cast<std::size_t>(b)];
      TBlock tail;
      tail.Data.assign(block.Data.begin() + i, block.Data.end());
      tail.Size.assign(block.Size.begin() + i, block.Size.end());
      block.Data.resize(static_cast<std::size_t>(i));
      block.Size.resize(static_cast<std::size_t>(i));
      CountEnds(tail);
      block.Ends -= tail.Ends;
      FBlocks.insert(FBlocks.begin() + b + 1, std::move(tail));
      at = b + 1;
    }
  }
  FBlocks.insert(FBlocks.begin() + at, std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
  FCount += static_cast<int>(lines);
  Invalidate(at);
  FHint = 0;
}

void TLineBlocks::Swap(TLineBlocks& other) noexcept {
  std::swap(FCount, other.FCount);
  FBlocks.swap(other.FBlocks);
  FShared.swap(other.FShared);
  std::swap(FFirstValid, other.FFirstValid);
  std::swap(FHint, other.FHint);
}

TStoredText TLineBlocks::TakeText() {
  TStoredText text = CopyText();
  Clear();
  return text;
}

TStoredText TLineBlocks::CopyText() const {
  TStoredText text;
  // The runs counted first, at most one per line, so that their array is
  // made once at its size: lines cut at their start (a tag removed) each
  // start a run of their own.
  std::size_t runs = 0;
  const char* end = nullptr;
  for (const TBlock& block : FBlocks) {
    for (std::size_t i = 0; i < block.Data.size(); ++i) {
      runs += block.Data[i] != end || (block.Size[i] & kOwned) ? 1 : 0;
      end = block.Data[i] + (block.Size[i] & ~kOwned);
    }
  }
  text.FRuns.reserve(runs);
  TLineCopies copies(text.FBuffers);
  // The buffer of the line before: most lines follow on in it.
  const char* from = nullptr;
  const char* to = nullptr;
  for (const TBlock& block : FBlocks) {
    for (std::size_t i = 0; i < block.Data.size(); ++i) {
      const std::string_view line = View(block, i);
      if (line.empty()) continue;
      if (block.Size[i] & kOwned) {
        text.Append(copies.Copy(line));
        continue;
      }
      if (line.data() < from || line.data() + line.size() > to) {
        const auto shared = BufferHolding(FShared, line.data());
        text.FBuffers.try_emplace(shared->first, TSharedBuffer{shared->second.Bytes, 0});
        from = shared->first;
        to = from + shared->second.Bytes->Size();
      }
      text.Append(line);
    }
  }
  return text;
}

void TLineAppender::Append(std::string_view line) {
  if (line.empty()) {
    FTarget.AppendLine(nullptr, 0);
    return;
  }
  if (AppendShared(line)) return;
  const std::string_view copy = FCopies.Copy(line);
  FTarget.AppendLine(copy.data(), static_cast<std::uint32_t>(copy.size()));
}

bool TLineAppender::AppendShared(std::string_view line) {
  const char* data = line.data();
  if (data < FSharedFrom || data + line.size() > FSharedTo) {
    const auto source = BufferHolding(FSource, data);
    if (source == FSource.end() || data + line.size() > source->first + source->second.Bytes->Size()) return false;
    FShared = &FTarget.FShared.try_emplace(source->first, TSharedBuffer{source->second.Bytes, 0}).first->second;
    FSharedFrom = source->first;
    FSharedTo = source->first + source->second.Bytes->Size();
  }
  ++FShared->Lines;
  FTarget.AppendLine(data, static_cast<std::uint32_t>(line.size()));
  return true;
}
