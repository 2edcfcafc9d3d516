// Block filters between word timing and line timing: word tags taken back to line tags, and spread evenly from them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/core/LineFilter.h"
#include "app/core/TimeTags.h"
#include "app/core/WordTags.h"

// Takes every word tag out; a line keeps its first time: one without a line
// tag gets its first word tag's time as one, at its start.
class TWordTagsToLineTagsFilter : public TLineFilter {
 public:
  // The lines that had word tags so far.
  std::size_t Lines() const { return FLines; }

 protected:
  void Line(std::size_t number, std::string_view line, std::string& out) override;

 private:
  TTaggedLine FParsed;
  std::size_t FLines = 0;
};

// Gives each line that has one line tag and no word tags a word tag for each
// unit, the line's time up to the next line's tag spread evenly over them,
// in the form given. A line whose next time is missing or not later stays as
// it was. The lines after a timed line wait for the next line tag.
class TSpreadWordTagsFilter : public TLineSplitter {
 public:
  explicit TSpreadWordTagsFilter(TWordFormat format) : FFormat(std::move(format)) {}
  // The lines given word tags so far.
  std::size_t Lines() const { return FLines; }

 protected:
  void SplitLine(std::size_t number, std::string_view line, std::string_view lineBreak, std::string& out) override;
  void End(std::string& out) override;

 private:
  // The held line, spread up to next when it comes later, and the lines held after it.
  void Release(std::optional<long long> next, std::string& out);

  const TWordFormat FFormat;
  TTaggedLine FParsed;
  std::optional<long long> FHeldTime;
  std::string FHeldLine;
  std::string FHeldBreak;
  std::string FAfter;  // the lines after the held one, with their breaks
  std::size_t FLines = 0;
};
