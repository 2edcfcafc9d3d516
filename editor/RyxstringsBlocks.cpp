// The line store's byte buffers and its blocked index of lines: lookup, edits, splits and joins.
#include "editor/RyxstringsBlocks.h"

#include <atomic>
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

void TLineBlocks::Touch() {
  // One counter for every store, so that a store that takes another's lines never shows a revision it had before.
  static std::atomic<std::uint64_t> next{0};
  FRevision = ++next;
}

void TLineBlocks::Put(int index, std::string_view line) {
  Touch();
  // The copy comes first: line may be a view of the line it replaces.
  const auto [data, size] = Own(line);
  const auto [b, i] = Locate(index);
  TBlock& block = FBlocks[static_cast<std::size_t>(b)];
  const auto at = static_cast<std::size_t>(i);
  Recount(b, 0, EndsLine(data, size) - EndsLine(block.Data[at], block.Size[at]),
          static_cast<std::int64_t>(size & ~kOwned) - static_cast<std::int64_t>(block.Size[at] & ~kOwned));
  Release(block.Data[at], block.Size[at]);
  block.Data[at] = data;
  block.Size[at] = size;
}

void TLineBlocks::CountEnds(TBlock& block) {
  block.Ends = 0;
  block.Bytes = 0;
  for (std::size_t i = 0; i < block.Data.size(); ++i) {
    block.Ends += EndsLine(block.Data[i], block.Size[i]);
    block.Bytes += block.Size[i] & ~kOwned;
  }
}

void TLineBlocks::Recount(int b, int lines, int ends, std::int64_t bytes) {
  TBlock& block = FBlocks[static_cast<std::size_t>(b)];
  block.Ends += ends;
  block.Bytes += bytes;
  if (!FTreeValid) return;
  for (std::size_t k = static_cast<std::size_t>(b) + 1; k < FTree.size(); k += k & (~k + 1)) {
    FTree[k].Lines += lines;
    FTree[k].Ends += ends;
    FTree[k].Bytes += bytes;
  }
}

void TLineBlocks::BuildTree() const {
  if (FTreeValid) return;
  FTree.assign(FBlocks.size() + 1, TSums{});
  for (std::size_t k = 1; k < FTree.size(); ++k) {
    const TBlock& block = FBlocks[k - 1];
    FTree[k].Lines += static_cast<int>(block.Data.size());
    FTree[k].Ends += block.Ends;
    FTree[k].Bytes += block.Bytes;
    if (const std::size_t up = k + (k & (~k + 1)); up < FTree.size()) {
      FTree[up].Lines += FTree[k].Lines;
      FTree[up].Ends += FTree[k].Ends;
      FTree[up].Bytes += FTree[k].Bytes;
    }
  }
  FTreeValid = true;
}

TLineBlocks::TSums TLineBlocks::SumsBefore(int b) const {
  BuildTree();
  TSums sums;
  for (auto k = static_cast<std::size_t>(b); k > 0; k &= k - 1) {
    sums.Lines += FTree[k].Lines;
    sums.Ends += FTree[k].Ends;
    sums.Bytes += FTree[k].Bytes;
  }
  return sums;
}

template <class Part>
int TLineBlocks::BlockReaching(std::int64_t target, Part part, TSums& before) const {
  BuildTree();
  before = TSums{};
  std::size_t at = 0;
  std::size_t step = 1;
  while (step * 2 < FTree.size()) step *= 2;
  for (; step > 0; step /= 2) {
    if (at + step >= FTree.size() || part(before) + part(FTree[at + step]) >= target) continue;
    at += step;
    before.Lines += FTree[at].Lines;
    before.Ends += FTree[at].Ends;
    before.Bytes += FTree[at].Bytes;
  }
  return static_cast<int>(at);
}

int TLineBlocks::LineEndsBefore(int index) const {
  if (index <= 0) return 0;
  if (index >= FCount) return SumsBefore(static_cast<int>(FBlocks.size())).Ends;
  const auto [b, i] = Locate(index);
  int ends = SumsBefore(b).Ends;
  const TBlock& block = FBlocks[static_cast<std::size_t>(b)];
  for (int k = 0; k < i; ++k) ends += EndsLine(block.Data[static_cast<std::size_t>(k)], block.Size[static_cast<std::size_t>(k)]);
  return ends;
}

int TLineBlocks::IndexAfterLineEnds(int n) const {
  if (n <= 0) return 0;
  TSums before;
  const int b = BlockReaching(n, [](const TSums& sums) { return std::int64_t{sums.Ends}; }, before);
  if (b >= static_cast<int>(FBlocks.size())) return FCount;
  const TBlock& block = FBlocks[static_cast<std::size_t>(b)];
  n -= before.Ends;
  for (std::size_t k = 0; k < block.Data.size(); ++k)
    if ((n -= EndsLine(block.Data[k], block.Size[k])) == 0) return before.Lines + static_cast<int>(k) + 1;
  return FCount;
}

std::size_t TLineBlocks::BytesBefore(int index) const {
  if (index <= 0) return 0;
  if (index >= FCount) return static_cast<std::size_t>(SumsBefore(static_cast<int>(FBlocks.size())).Bytes);
  const auto [b, i] = Locate(index);
  auto bytes = static_cast<std::size_t>(SumsBefore(b).Bytes);
  const TBlock& block = FBlocks[static_cast<std::size_t>(b)];
  for (int k = 0; k < i; ++k) bytes += block.Size[static_cast<std::size_t>(k)] & ~kOwned;
  return bytes;
}

int TLineBlocks::IndexAtByte(std::size_t offset) const {
  TSums before;
  const int b = BlockReaching(static_cast<std::int64_t>(offset) + 1, [](const TSums& sums) { return sums.Bytes; }, before);
  if (b >= static_cast<int>(FBlocks.size())) return FCount;
  const TBlock& block = FBlocks[static_cast<std::size_t>(b)];
  std::size_t at = static_cast<std::size_t>(before.Bytes);
  for (std::size_t k = 0; k < block.Data.size(); ++k) {
    at += block.Size[k] & ~kOwned;
    if (offset < at) return before.Lines + static_cast<int>(k);
  }
  return FCount;
}

void TLineBlocks::Insert(int index, std::string_view line) {
  Touch();
  const auto [data, size] = Own(line);
  if (index == FCount) {
    if (FBlocks.empty() || static_cast<int>(FBlocks.back().Data.size()) >= FBlockLines) {
      FBlocks.emplace_back();
      FBlocks.back().First = FCount;
      FTreeValid = false;
    }
    FBlocks.back().Data.push_back(data);
    FBlocks.back().Size.push_back(size);
    Recount(static_cast<int>(FBlocks.size()) - 1, 1, EndsLine(data, size), size & ~kOwned);
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
  Recount(b, 1, EndsLine(data, size), size & ~kOwned);
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
  block.Bytes -= tail.Bytes;
  FBlocks.insert(FBlocks.begin() + b + 1, std::move(tail));
  Invalidate(b + 1);
  FTreeValid = false;
}

void TLineBlocks::Delete(int index) {
  Touch();
  const auto [b, i] = Locate(index);
  TBlock& block = FBlocks[static_cast<std::size_t>(b)];
  const auto at = static_cast<std::size_t>(i);
  Recount(b, -1, -EndsLine(block.Data[at], block.Size[at]), -static_cast<std::int64_t>(block.Size[at] & ~kOwned));
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
    FTreeValid = false;
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
  target.Bytes += source.Bytes;
  FBlocks.erase(FBlocks.begin() + b);
  Invalidate(into + 1);
  FHint = 0;
  FTreeValid = false;
}

void TLineBlocks::Truncate(int index) {
  Touch();
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
  FTreeValid = false;
}

void TLineBlocks::Clear() {
  Touch();
  for (const TBlock& block : FBlocks)
    for (std::size_t i = 0; i < block.Data.size(); ++i)
      if (block.Size[i] & kOwned) delete[] block.Data[i];
  FBlocks.clear();
  FBlocks.shrink_to_fit();
  FShared.clear();
  FCount = 0;
  FFirstValid = 0;
  FHint = 0;
  FTreeValid = false;
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
  blocks.back().Bytes += size & ~kOwned;
}

void TLineBlocks::AppendLine(const char* data, std::uint32_t size) {
  Touch();
  if (FBlocks.empty() || static_cast<int>(FBlocks.back().Data.size()) >= FBlockLines) {
    FBlocks.emplace_back();
    FBlocks.back().First = FCount;
    FBlocks.back().Data.reserve(static_cast<std::size_t>(FBlockLines));
    FBlocks.back().Size.reserve(static_cast<std::size_t>(FBlockLines));
  }
  FBlocks.back().Data.push_back(data);
  FBlocks.back().Size.push_back(size);
  FBlocks.back().Ends += EndsLine(data, size);
  FBlocks.back().Bytes += size & ~kOwned;
  ++FCount;
  FTreeValid = false;
}

void TLineBlocks::Splice(int index, TByteBuffer text, std::vector<TBlock> fresh, std::size_t lines) {
  if (lines == 0) return;
  Touch();
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
      block.Bytes -= tail.Bytes;
      FBlocks.insert(FBlocks.begin() + b + 1, std::move(tail));
      at = b + 1;
    }
  }
  FBlocks.insert(FBlocks.begin() + at, std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
  FCount += static_cast<int>(lines);
  Invalidate(at);
  FHint = 0;
  FTreeValid = false;
}

void TLineBlocks::Swap(TLineBlocks& other) noexcept {
  Touch();
  other.Touch();
  std::swap(FCount, other.FCount);
  FBlocks.swap(other.FBlocks);
  FShared.swap(other.FShared);
  std::swap(FFirstValid, other.FFirstValid);
  std::swap(FHint, other.FHint);
  FTree.swap(other.FTree);
  std::swap(FTreeValid, other.FTreeValid);
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
