// The commands of verselet-tool: each one a lyric clean-up command of the editor, as a block filter.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/BlockFilter.h"
#include "app/core/EncodingFilters.h"
#include "app/core/KanaWidthConversion.h"
#include "app/core/PlayerLayout.h"
#include "app/core/PlayerPrepare.h"
#include "app/core/SaveEncoding.h"

// What the options of the command line tell the filters.
struct TFilterSettings {
  // Lets to-sjis write "?" for the characters code page 932 cannot hold
  // instead of refusing the file.
  bool Lossy = false;
  // shift-tags: how far to move the tags.
  long long ShiftMillis = 0;
  // normalize-tags: '.' for "[mm:ss.xx]", ':' for "[mm:ss:xx]".
  char TagSeparator = '.';
  // check and prepare: the player display each line must fit on, if any.
  std::optional<TPlayerDisplay> Display;
  // convert: what the characters become.
  TKanaWidthTarget Target = TKanaWidthTarget::Halfwidth;
  // prepare: what it changes, and the encoding it writes.
  TPrepareOptions Prepare;
  TSaveEncoding Encoding = TSaveEncoding::ShiftJis;
};

// The option a command cannot run without.
enum class TCommandNeeds { Nothing, Offset, TagForm, Target, Display };

struct TToolCommand {
  const char* Name;
  const char* Summary;
  // A fresh filter for one file.
  std::unique_ptr<TBlockFilter> (*MakeFilter)(const TFilterSettings& settings);
  // A remark for the user about the finished filter, or "".
  std::string (*Note)(const TBlockFilter& filter);
  TCommandNeeds Needs = TCommandNeeds::Nothing;
  // The filter is a TTagCheckFilter: the file is only read, and its
  // problems are the result.
  bool Checks = false;
  // The command converts between encodings, so it reads the file in the
  // encoding it names instead of taking it for Shift-JIS.
  bool Converts = false;
  // The command moves lines, which a UTF-8 file cannot pass through as
  // UTF-8: a Unicode file is converted to Shift-JIS before it, as with
  // --from-utf8, and the result written in the encoding asked for.
  bool Prepares = false;
};

// Raised by to-sjis, at the end of the text, when characters would become
// "?" and that was not allowed.
class EUnwritableText : public ETextEncodingError {
 public:
  EUnwritableText(std::size_t count, std::vector<TUnwritableCharacter> first);
  // The characters as "LINE: message" lines, the first few of them.
  std::vector<std::string> Details() const;

 private:
  std::vector<TUnwritableCharacter> FFirst;
};

std::span<const TToolCommand> ToolCommands();
// The filter --from-utf8 puts before a command: to-sjis, refusing the
// characters code page 932 cannot hold unless settings allow "?".
std::unique_ptr<TShiftJisEncoder> MakeFromUtf8Filter(const TFilterSettings& settings);
// The remark of to-sjis (its filter is a TShiftJisEncoder) about the
// characters folded to a look-alike and those that became "?", or "".
std::string ReplacedNote(const TBlockFilter& filter);
// The command of that name, or nullptr.
const TToolCommand* FindToolCommand(std::string_view name);
