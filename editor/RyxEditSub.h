// Helpers on Shift-JIS byte strings and stored lines, and the read-only file the loaders use.
#pragma once

#include "platform/LeadByte.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Line-break style of a text file, as sniffed from its first bytes.
enum TLineBreakStyle { lbCRLF = 0, lbCR = 1, lbLF = 2, lbEmpty = 4 };

// Kinds returned by ByteTypeAt.
constexpr int kSingleByte = 0;
constexpr int kLeadByte = 1;
constexpr int kTrailByte = 2;


// Kind of the byte at the 1-based position pos of s: kSingleByte, kLeadByte
// or kTrailByte. Outside the string, and always when singleByte is set, the
// byte counts as a single-byte character.
int ByteTypeAt(std::string_view s, int pos, bool singleByte);

// Kind of the byte at the 0-based column col of a stored line. The terminator
// is never part of a character: a lead byte whose trail would be the
// terminator's first byte is a single-byte character, and the terminator's
// own bytes count as single bytes.
int StoredByteTypeAt(std::string_view row, int col, bool singleByte);

// The kinds of every byte of one string, found in a single walk from its
// start in which a lead byte takes the byte after it as its trail. At(pos)
// answers exactly as ByteTypeAt(s, pos, singleByte) does, but ByteTypeAt has
// to look back over the whole run of lead-byte values before pos, and in a
// line of kanji such as 0x8E 0x9A, whose trail byte is a lead-byte value as
// well, that run is the line: a caller asking about many positions of one
// string takes the kinds from here instead.
class TByteTypes {
 public:
  TByteTypes(std::string_view s, bool singleByte);
  int At(int pos) const;

 private:
  // The kind of byte i + 1.
  std::vector<std::uint8_t> FKinds;
};

// Reads at most the first 1024 bytes of the file; raises EInOutError when it
// cannot be read.
TLineBreakStyle DetectLineBreak(const std::filesystem::path& name);

// Whether a stored line ends in its two-byte terminator, CR LF or the
// end-of-text marker NUL NUL. A soft-wrapped piece may end in a CR and one
// more content byte; that is no terminator.
bool HasLineEnd(std::string_view s);
// The first byte where a and b differ; the shorter size when one starts the other.
std::size_t FirstDifference(std::string_view a, std::string_view b);
// The largest value of a 16-bit signed field, which the platform's scroll
// bars, a packed position's line and the pixel width of drawn text keep to.
inline constexpr int kScrollRangeLimit = 32767;
inline constexpr int kPackedLineLimit = 32767;
inline constexpr int kTextPixelLimit = 32767;
// The view keeps a fifth of its rows below the caret (the over-scroll), and
// a horizontal scroll steps by a fifth of the text area's width.
inline constexpr int kOverScrollDivisor = 5;
inline constexpr int kHScrollStepDivisor = 5;
// The gutter: the room beside the widest line number, and the steps by
// which the text's left edge moves when the numbers need more or less room.
inline constexpr int kGutterPadding = 7;
inline constexpr int kGutterStep = 10;
// The end-of-text marker that ends the last stored line.
inline constexpr std::string_view kEndMarker("\0\0", 2);
// What the view shows in place of that marker when ShowEOF is on.
inline constexpr std::string_view kEndOfTextLabel = "[EOF]";
// Bytes of a stored line before its terminator.
int ContentLength(std::string_view row);
// Whether the second-to-last byte is NUL, the first byte of the end-of-text marker.
bool HasEndMarker(std::string_view s);
std::string StripLineEnd(std::string_view s);
std::string StripEndMarker(std::string_view s);

// A regular file opened read-only. Anything else (a directory, a pipe, a
// device) is refused at once, so that a load can never block or read
// forever. Every failure raises EInOutError naming the file and the reason.
class TReadOnlyFile {
 public:
  explicit TReadOnlyFile(std::filesystem::path name);
  TReadOnlyFile(const TReadOnlyFile&) = delete;
  TReadOnlyFile& operator=(const TReadOnlyFile&) = delete;
  ~TReadOnlyFile();

  // Size when opened; the file may change while it is read.
  std::uint64_t Size() const { return FSize; }
  // Fills buffer up to size bytes; fewer only at the end of the file.
  std::size_t Read(char* buffer, std::size_t size);

 private:
  [[noreturn]] void Fail(const char* what, const std::string& reason);

  std::filesystem::path FName;
  std::uint64_t FSize = 0;
  int FFd = -1;
};
