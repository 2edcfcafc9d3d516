// TLineSplitter and TLineFilter: block filters that hand their text on line
// by line, each line whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/core/BlockFilter.h"

// An LF ends a line, and a CR right before it belongs to the break; the
// last line may have no break. A line cut by a block's end is gathered
// until its break arrives, so memory grows with the longest line, and time
// stays in proportion to the text however long its lines are.
class TLineSplitter : public TBlockFilter {
 protected:
  // Receives each line without its break, and the break ("\r\n", "\n" or,
  // for a last line without one, ""); appends the output to out. number
  // counts from 1.
  virtual void SplitLine(std::size_t number, std::string_view line, std::string_view lineBreak, std::string& out) = 0;
  // The text has ended after its last line: appends what is still held.
  virtual void End(std::string&) {}

  std::size_t Scan(std::string_view data, bool final, std::string& out) final;

 private:
  void Emit(std::string_view line, bool ended, std::string& out);

  std::size_t FNumber = 0;
  std::string FLine;  // the start of a line cut by a block's end
};

// A line splitter that keeps every line's break as it was.
class TLineFilter : public TLineSplitter {
 protected:
  // Receives each line without its break and appends its output to out;
  // the filter then appends the break as it was. number counts from 1.
  virtual void Line(std::size_t number, std::string_view line, std::string& out) = 0;

  void SplitLine(std::size_t number, std::string_view line, std::string_view lineBreak, std::string& out) final;
};
