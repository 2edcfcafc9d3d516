// TRowFlags: locating rows by block sizes, splitting full blocks and dropping empty ones.
#include "app/core/RowFlags.h"

#include <algorithm>
#include <stdexcept>

std::pair<std::size_t, std::size_t> TRowFlags::Locate(int row) const {
  if (row < 0 || row > FCount) throw std::out_of_range("TRowFlags: row out of range");
  auto rest = static_cast<std::size_t>(row);
  for (std::size_t block = 0; block < FBlocks.size(); ++block) {
    if (rest < FBlocks[block].size()) return {block, rest};
    rest -= FBlocks[block].size();
  }
  return {FBlocks.size(), 0};
}

bool TRowFlags::Get(int row) const {
  if (row >= FCount) throw std::out_of_range("TRowFlags: row out of range");
  const auto [block, at] = Locate(row);
  return FBlocks[block][at] != 0;
}

void TRowFlags::Set(int row, bool value) {
  if (row >= FCount) throw std::out_of_range("TRowFlags: row out of range");
  const auto [block, at] = Locate(row);
  FBlocks[block][at] = value ? 1 : 0;
}

int TRowFlags::CountSet(int first, int last) const {
  if (first > last) return 0;
  if (last >= FCount) throw std::out_of_range("TRowFlags: row out of range");
  auto [block, at] = Locate(first);
  int set = 0;
  for (int left = last - first + 1; left > 0; ++block, at = 0) {
    const std::vector<std::uint8_t>& flags = FBlocks[block];
    const std::size_t take = std::min(flags.size() - at, static_cast<std::size_t>(left));
    set += static_cast<int>(std::count(flags.begin() + static_cast<std::ptrdiff_t>(at),
                                       flags.begin() + static_cast<std::ptrdiff_t>(at + take), 1));
    left -= static_cast<int>(take);
  }
  return set;
}

int TRowFlags::Find(int from, int last, bool value) const {
  if (from > last) return last + 1;
  if (last >= FCount) throw std::out_of_range("TRowFlags: row out of range");
  auto [block, at] = Locate(from);
  const std::uint8_t wanted = value ? 1 : 0;
  for (int row = from; row <= last; ++block, at = 0) {
    const std::vector<std::uint8_t>& flags = FBlocks[block];
    const auto begin = flags.begin() + static_cast<std::ptrdiff_t>(at);
    const std::size_t take = std::min(flags.size() - at, static_cast<std::size_t>(last - row + 1));
    const auto end = begin + static_cast<std::ptrdiff_t>(take);
    const auto found = std::find(begin, end, wanted);
    if (found != end) return row + static_cast<int>(found - begin);
    row += static_cast<int>(end - begin);
  }
  return last + 1;
}

void TRowFlags::Write(int first, const std::vector<std::uint8_t>& flags) {
  if (first < 0 || first > FCount || static_cast<std::size_t>(FCount - first) < flags.size())
    throw std::out_of_range("TRowFlags: rows out of range");
  if (flags.empty()) return;
  auto [block, at] = Locate(first);
  for (const std::uint8_t flag : flags) {
    if (at == FBlocks[block].size()) {
      ++block;
      at = 0;
    }
    FBlocks[block][at++] = flag != 0 ? 1 : 0;
  }
}

void TRowFlags::Splice(int first, int removed, int inserted) {
  if (first < 0 || removed < 0 || inserted < 0 || removed > FCount - first)
    throw std::out_of_range("TRowFlags: rows out of range");
  Erase(first, removed);
  Insert(first, inserted);
}

void TRowFlags::Erase(int first, int count) {
  if (count == 0) return;
  auto [block, at] = Locate(first);
  for (int left = count; left > 0;) {
    std::vector<std::uint8_t>& flags = FBlocks[block];
    const std::size_t take = std::min(flags.size() - at, static_cast<std::size_t>(left));
    flags.erase(flags.begin() + static_cast<std::ptrdiff_t>(at), flags.begin() + static_cast<std::ptrdiff_t>(at + take));
    left -= static_cast<int>(take);
    if (flags.empty()) {
      FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(block));
    } else {
      ++block;
    }
    at = 0;
  }
  FCount -= count;
}

void TRowFlags::Insert(int at, int count) {
  if (count == 0) return;
  auto [block, offset] = Locate(at);
  if (block == FBlocks.size()) {
    // At the end: into the last block while it has room, then into new ones.
    if (!FBlocks.empty() && FBlocks.back().size() < kBlockRows) {
      block = FBlocks.size() - 1;
      offset = FBlocks.back().size();
    } else {
      FBlocks.emplace_back();
      offset = 0;
    }
  }
  std::vector<std::uint8_t>& flags = FBlocks[block];
  flags.insert(flags.begin() + static_cast<std::ptrdiff_t>(offset), static_cast<std::size_t>(count), 0);
  FCount += count;
  // A grown block is cut into blocks of kBlockRows, so that no block gets large.
  if (flags.size() <= 2 * kBlockRows) return;
  std::vector<std::vector<std::uint8_t>> pieces;
  for (std::size_t start = 0; start < flags.size(); start += kBlockRows) {
    const std::size_t end = std::min(flags.size(), start + kBlockRows);
    pieces.emplace_back(flags.begin() + static_cast<std::ptrdiff_t>(start), flags.begin() + static_cast<std::ptrdiff_t>(end));
  }
  FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(block));
  FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(block), std::make_move_iterator(pieces.begin()),
                 std::make_move_iterator(pieces.end()));
}
