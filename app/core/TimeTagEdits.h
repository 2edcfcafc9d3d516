// Block filters that rewrite the time tags of lyrics lines: shift, unify the
// form, remove.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/core/LineFilter.h"

// Each filter changes only the bytes of the tags it rewrites; everything
// else, malformed tags and ID tags included, stays byte for byte.

// Moves every line and word tag by OffsetMillis, each tag keeping its own
// brackets, separator and fraction digits, and its minute digits unless the
// minutes need more. Tags with hundredths take the offset rounded to the
// nearest hundredth. A time that would fall below zero becomes zero, and one
// beyond the latest a tag of its form can hold becomes that latest time.
class TTagShiftFilter : public TLineFilter {
 public:
  explicit TTagShiftFilter(long long offsetMillis) : FOffset(offsetMillis) {}
  // The number of tags set to zero so far.
  std::size_t Clamped() const { return FClamped; }
  // The number of tags set to the latest time their form holds so far.
  std::size_t ClampedAtLatest() const { return FClampedAtLatest; }

 protected:
  void Line(std::size_t number, std::string_view line, std::string& out) override;

 private:
  const long long FOffset;
  std::size_t FClamped = 0;
  std::size_t FClampedAtLatest = 0;
};

// Writes every square-bracket time tag as "[mm:ss.xx]" (Separator '.') or
// "[mm:ss:xx]" (Separator ':'); milliseconds are rounded to the nearest
// hundredth. Word tags in angle brackets keep their form.
class TTagFormFilter : public TLineFilter {
 public:
  explicit TTagFormFilter(char separator) : FSeparator(separator) {}

 protected:
  void Line(std::size_t number, std::string_view line, std::string& out) override;

 private:
  const char FSeparator;
};

// Removes every well-formed time tag, line and word tags of every form.
class TAllTimeTagFilter : public TLineFilter {
 public:
  std::size_t Removed() const { return FRemoved; }

 protected:
  void Line(std::size_t number, std::string_view line, std::string& out) override;

 private:
  std::size_t FRemoved = 0;
};
