// TPlayerPrepareFilter: makes a lyrics text ready for a player in one pass:
// repeated lines written out, [offset:] applied, word tags, tag forms and ID
// lines as the player wants them.
#pragma once

#include <cstddef>
#include <optional>
#include <queue>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/EncodingFilters.h"
#include "app/core/LineFilter.h"
#include "app/core/PlayerLayout.h"
#include "app/core/TimeTags.h"

struct TPrepareOptions {
  // A line with several line tags ("[00:10.00][01:20.00]サビ") becomes one
  // line per tag.
  bool ExpandLines = true;
  // Word tags go (for players that show whole lines); otherwise they stay.
  bool RemoveWordTags = true;
  // Every tag is written with hundredths after a ".": "[mm:ss.xx]", "<mm:ss.xx>".
  bool Hundredths = true;
  // ID tag lines ("[ti:…]", "@Title=…") go; otherwise they stay. The
  // [offset:] line always goes once applied.
  bool RemoveIdLines = false;

  friend bool operator==(const TPrepareOptions&, const TPrepareOptions&) = default;
};

// What a run changed, for the summary shown before and after it.
struct TPrepareCounts {
  std::size_t LinesAdded = 0;       // lines written out for the extra line tags
  std::optional<long long> Offset;  // the [offset:] applied, milliseconds
  std::size_t TagsShifted = 0;      // tags moved by the offset
  std::size_t TagsClamped = 0;      // of those, held at zero (or the latest time a tag holds)
  std::size_t WordTagsRemoved = 0;
  std::size_t TagsRewritten = 0;    // tags whose form changed to hundredths
  std::size_t IdLinesRemoved = 0;
  std::size_t Overflowing = 0;      // lines of the result that still need more than one page
  std::vector<std::size_t> FirstOverflowing;  // their line numbers in the result, the first few

  bool ChangesNothing() const {
    return LinesAdded == 0 && !Offset && WordTagsRemoved == 0 && TagsRewritten == 0 && IdLinesRemoved == 0;
  }
};

// One line per change that counts and one for the lines that still
// overflow, for the dialog and the command line alike:
// "繰り返しの行を書き出す: 2 行", "[offset:-500] を適用: 6 個のタグ", ...
std::vector<std::string> DescribePrepareCounts(const TPrepareCounts& counts, bool withDisplay);

// The [offset:] tag is milliseconds, and a positive one makes the lyrics
// come sooner: every tag's time less the offset. It must stand before the
// first time tag, as it does in the head of a file; a second one, or one
// after a time tag, raises ETextEncodingError naming its line, and so does
// a value that is not a whole number.
//
// The copies of a repeated line go where their time falls: each one waits
// until a later line's time passes it, so lines already in time order stay
// in order, while memory holds only the copies still waiting. Lines
// without a time and ID lines stay where they stand. Word tags of a copy
// move with its line tag. Line breaks stay as they were.
class TPlayerPrepareFilter : public TLineSplitter {
 public:
  static constexpr std::size_t kKeptOverflowing = 20;

  // display, when given, counts the lines of the result that overflow it.
  TPlayerPrepareFilter(const TPrepareOptions& options, std::optional<TPlayerDisplay> display)
      : FOptions(options), FDisplay(display) {}

  const TPrepareCounts& Counts() const { return FCounts; }

 protected:
  void SplitLine(std::size_t number, std::string_view line, std::string_view lineBreak, std::string& out) override;
  void End(std::string& out) override;

 private:
  struct TWaiting {
    long long Millis;
    std::size_t Order;
    std::string Text;
    std::string Break;
    bool operator>(const TWaiting& other) const {
      return Millis != other.Millis ? Millis > other.Millis : Order > other.Order;
    }
  };

  void TakeOffset(std::size_t number, std::string_view value);
  // The time of a tag with the offset applied, held at zero and at the latest its form holds.
  long long Shifted(const TTimeTag& form, long long millis);
  // The time that orders the lines: the offset applied, held at zero.
  long long TimeAfterOffset(long long millis) const;
  // Appends the tag as the options want it, at millis.
  void AppendTag(std::string& out, const TTimeTag& tag, long long millis);
  // Appends the text after the line tags, its word tags moved by delta or removed.
  void AppendText(std::string& out, std::string_view line, long long delta);
  // Writes the waiting copies timed at or before millis.
  void Release(long long millis, std::string& out);
  void Emit(std::string_view text, std::string_view lineBreak, bool shown, std::string& out);

  const TPrepareOptions FOptions;
  const std::optional<TPlayerDisplay> FDisplay;
  TPrepareCounts FCounts;
  TTaggedLine FParsed;
  std::vector<long long> FTimes;
  std::priority_queue<TWaiting, std::vector<TWaiting>, std::greater<>> FWaiting;
  std::size_t FOrder = 0;
  std::size_t FOutputLine = 0;
  bool FSeenTime = false;
  bool FOpenEnd = false;  // the last line written had no break
  std::string FBreakStyle = "\r\n";
  std::string FLine;
};
