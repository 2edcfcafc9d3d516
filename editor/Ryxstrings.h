// TRyxStrings: the editor's line store, with text-file loading and saving.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "editor/RyxEditSub.h"
#include "editor/RyxstringsBlocks.h"

// An array of CP932 byte strings, one per display line. A stored
// line carries its terminator: CR LF when another logical line follows, the
// end-of-text marker NUL NUL on the last line, none on a soft-wrapped piece.
// Loading a file always produces that form, with CR LF breaks whatever the
// file used; saving writes GetText. The lines live in large buffers and
// blocks of lines, so that a document of a hundred megabytes stays near its
// size and an edit costs the lines it changes; the capacity is a number
// that follows the growth rule, not storage.
class TRyxStrings {
 public:
  static constexpr int kMaxCapacity = 134217727;
  // The largest file the loaders take: its text and the end-of-text marker
  // still count their bytes in an int, as the editor's positions do.
  static constexpr std::uint64_t kMaxFileBytes = 0x7FFFFFFD;

  // What a loader does at a NUL byte: drop it and read on, or stop reading
  // there, for an owner that refuses a file holding one as binary anyway.
  enum class TNulBytes { Drop, StopReading };

  // Lines per block of the index; tests choose tiny blocks to reach their edges.
  static constexpr int kBlockLines = 1024;

  explicit TRyxStrings(int blockLines = kBlockLines) : FList(blockLines) {}
  TRyxStrings(const TRyxStrings&) = delete;
  TRyxStrings& operator=(const TRyxStrings&) = delete;
  virtual ~TRyxStrings();

  int Count() const { return FList.Count(); }
  // Changes with every change of the lines (TLineBlocks::Revision).
  std::uint64_t Revision() const { return FList.Revision(); }
  int Capacity() const { return FCapacity; }

  // A view of the stored bytes, valid until the store changes.
  std::string_view Get(int index) const;
  virtual void Put(int index, std::string_view s);
  int Add(std::string_view s);
  void Insert(int index, std::string_view s);
  void Delete(int index);
  void Clear();
  virtual void SetCount(int n);
  virtual void SetCapacity(int n);
  [[noreturn]] virtual void Error() const;

  virtual std::string GetText() const;
  virtual void SetText(std::string_view text);
  // Takes the text out, leaving the store empty as Clear does; the lines'
  // buffers go with it rather than a copy (see TStoredText).
  TStoredText TakeText();
  // A copy of the text that shares the store's buffers (see TLineBlocks::CopyText).
  TStoredText CopyText() const { return FList.CopyText(); }
  // As SetText of the text's bytes; the lines share the text's buffers.
  void SetText(const TStoredText& text);
  // Inserts the lines of text at index, index + 1, ...; index ends at the
  // last inserted line.
  void InsertText(int& index, std::string_view text);
  void AddStrings(const TRyxStrings& list);
  void Assign(const TRyxStrings& list);
  virtual int IndexOf(std::string_view s) const;
  // Logical lines: a line that ends in CR LF ends one; a soft-wrapped piece
  // does not. The lookups go block by block, so that they cost no walk over
  // every line of a large text.
  int LogicalLineOf(int index) const { return FList.LineEndsBefore(index); }
  // The first line of logical line n; the last line when there are fewer.
  int FirstIndexOfLogicalLine(int n) const;
  // Where line index starts in GetText (its size for Count()), and the line
  // that holds a byte offset of it (Count() at or past its end); block by
  // block as well.
  std::size_t OffsetOfIndex(int index) const { return FList.BytesBefore(index); }
  int IndexAtOffset(std::size_t offset) const { return FList.IndexAtByte(offset); }
  // Calls visit(index, line) for the lines from index on, upward or
  // downward, until visit returns false or the lines end; no lookup per line.
  template <class Visit>
  void VisitLines(int index, bool forward, Visit visit) const {
    CheckIndex(index);
    FList.VisitFrom(index, forward, visit);
  }
  // All lines concatenated, the end-of-text marker included.
  TByteBuffer TextBuffer() const;
  // Replaces the lines by the pieces of text: from each point on, the next
  // piece takes pieceLength(rest of text) bytes (at least one).
  template <class PieceLength>
  void AssignPieces(TByteBuffer text, PieceLength pieceLength) {
    Clear();
    const std::string_view bytes(text.Data(), text.Size());
    CheckLength(bytes.size());
    std::size_t at = 0;
    FList.InsertShared(0, std::move(text), [&](std::string_view& line) {
      if (at >= bytes.size()) return false;
      const std::size_t n = std::max<std::size_t>(1, pieceLength(bytes.substr(at)));
      line = bytes.substr(at, n);
      at += line.size();
      return true;
    });
    FCapacity = Count();
  }

  // Exchanges the lines, the capacity and the load result with other.
  void Swap(TRyxStrings& other) noexcept;

  // Chooses the loader by the first line break of the file, wherever it
  // lies; a file without one is read as CR LF. The file is read once.
  virtual void LoadFromFile(const std::filesystem::path& name);
  void LoadFromFile(const std::filesystem::path& name, TNulBytes nulBytes);
  // Turns the text's bytes into the file's, piece by piece in order, then
  // once more with final set and no bytes; it may hold bytes back until then.
  using TSaveEncoder = std::function<void(std::string_view bytes, bool final, std::string& out)>;
  // A read-only file is refused unless overwriteReadOnly is given. Without
  // encode the bytes are written as they are.
  virtual void SaveToFile(const std::filesystem::path& name, bool overwriteReadOnly = false,
                          const TSaveEncoder& encode = {}) const;
  virtual void LoadFromStream(std::istream& stream);
  virtual void SaveToStream(std::ostream& stream) const;
  virtual std::string GetCommaText() const;
  virtual void SetCommaText(std::string_view text);

  // Each loader refuses a file larger than kMaxFileBytes before reading it.
  void LoadCRLFFile(const std::filesystem::path& name) { LoadCRLFFile(name, TNulBytes::Drop); }
  void LoadLFFile(const std::filesystem::path& name) { LoadLFFile(name, TNulBytes::Drop); }
  void LoadCRFile(const std::filesystem::path& name) { LoadCRFile(name, TNulBytes::Drop); }
  void LoadCRLFFile(const std::filesystem::path& name, TNulBytes nulBytes);
  void LoadLFFile(const std::filesystem::path& name, TNulBytes nulBytes);
  void LoadCRFile(const std::filesystem::path& name, TNulBytes nulBytes);

  // Whether the file of the last load held NUL bytes; the loaders drop them
  // or stop there, and the editor refuses such a file as binary.
  bool LoadedNulBytes() const { return FLoadedNulBytes; }

 private:
  friend class TRyxStringsWriter;

  void CheckIndex(int index) const;
  void CheckLength(std::size_t length) const;
  void Grow();
  void CheckRoomFor(std::string_view text) const;
  // Inserts the pieces of text at index and sets the capacity to the count,
  // as every bulk operation ends.
  void InsertPieces(int index, std::string_view text);
  void InsertPieces(int index, TByteBuffer text);
  // Refuses a file too large before the store is touched, then empties the
  // store and reads the file's bytes, NUL bytes dropped or read up to.
  // style, when given, receives the style of the first line break among
  // the bytes as read, NUL bytes included.
  TByteBuffer OpenAndRead(const std::filesystem::path& name, TNulBytes nulBytes, TLineBreakStyle* style = nullptr);
  void LoadWithBreak(const std::filesystem::path& name, char breakByte, TNulBytes nulBytes);
  // Lines from the bytes of a file, every breakByte made CR LF (NUL: none).
  void TakeBytes(TByteBuffer bytes, char breakByte);
  // Writes the lines in order, the last without its end-of-text marker.
  template <class Write>
  void WriteText(Write write) const {
    const int last = Count() - 1;
    int i = 0;
    FList.ForEach([&](std::string_view line) {
      if (i++ == last && HasEndMarker(line)) line.remove_suffix(2);
      write(line);
    });
  }

  TLineBlocks FList;
  int FCapacity = 0;
  bool FLoadedNulBytes = false;
};
