// TUselessLineFilter: drops the lines of a code page 932 text that hold nothing but blanks.
#pragma once

#include <cstddef>
#include <string>

#include "app/core/BlockFilter.h"

// CR LF, a lone CR and a lone LF each end a line; a break at the very end
// makes no extra line. A line goes when TrimFullWidth would leave it empty;
// every other line stays as it is and is followed by CR LF, the last one
// too. Of a line still undecided only its blanks are held, so memory grows
// only with a run of blanks at a line's start.
class TUselessLineFilter : public TBlockFilter {
 public:
  // The number of lines removed so far.
  std::size_t Removed() const { return FRemoved; }

 protected:
  std::size_t Scan(std::string_view data, bool final, std::string& out) override;

 private:
  // Where the line so far stands against the form
  // blanks, [full-width space, [spaces, full-width space]...], blanks
  // (blanks are bytes up to 0x20), which is exactly what trims to nothing.
  enum class TState {
    Leading,       // blanks only
    HalfSpace,     // then the lead byte of a full-width space
    AfterSpace,    // a full-width space ended, perhaps half-width spaces after it
    Trailing,      // a blank other than a space after the last full-width space
    Kept,          // the line holds something else: it stays
  };

  void EndLine(std::string& out);

  TState FState = TState::Leading;
  std::string FLine;           // the undecided line's bytes
  bool FAfterCr = false;       // an LF now completes a CR LF break
  std::size_t FRemoved = 0;
};
