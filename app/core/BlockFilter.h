// TBlockFilter: a text transform fed block by block, holding back what the next block decides.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Feeding a text in blocks of any sizes gives the same output as feeding it
// whole: a character, tag or line cut by a block's end is held back until
// the bytes after it arrive. Memory stays within a block and a few bytes.
class TBlockFilter {
 public:
  TBlockFilter() = default;
  TBlockFilter(const TBlockFilter&) = delete;
  TBlockFilter& operator=(const TBlockFilter&) = delete;
  virtual ~TBlockFilter() = default;

  // Appends to out the output of block that can be decided already.
  void Write(std::string_view block, std::string& out);
  // The text has ended: appends the rest of the output.
  void Finish(std::string& out);

  // Runs a whole text through the filter.
  std::string Apply(std::string_view text);

 protected:
  // Transforms data from its start, appending to out, and returns how many
  // bytes it consumed; the rest comes back at the front of the next call.
  // It stops only at a point where the bytes after data could change the
  // output, and consumes everything when final is set. It may raise, and
  // the text then has no output.
  virtual std::size_t Scan(std::string_view data, bool final, std::string& out) = 0;

 private:
  std::string FHeld;
  std::string FJoined;
};
