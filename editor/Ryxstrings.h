// TRyxStrings: the editor's line store, with text-file loading and saving.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// A growable array of CP932 byte strings, one per display line. A stored
// line carries its terminator: CR LF when another logical line follows, the
// end-of-text marker NUL NUL on the last line, none on a soft-wrapped piece.
// Loading a file always produces that form, with CR LF breaks whatever the
// file used; saving writes GetText.
class TRyxStrings {
 public:
  static constexpr int kMaxCapacity = 134217727;

  TRyxStrings() = default;
  TRyxStrings(const TRyxStrings&) = delete;
  TRyxStrings& operator=(const TRyxStrings&) = delete;
  virtual ~TRyxStrings();

  int Count() const { return FCount; }
  int Capacity() const { return FCapacity; }

  const std::string& Get(int index) const;
  virtual void Put(int index, std::string s);
  int Add(std::string s);
  void Insert(int index, std::string s);
  void Delete(int index);
  void Clear();
  virtual void SetCount(int n);
  virtual void SetCapacity(int n);
  [[noreturn]] virtual void Error() const;

  virtual std::string GetText() const;
  virtual void SetText(std::string_view text);
  // Inserts the lines of text at index, index + 1, ...; index ends at the
  // last inserted line.
  void InsertText(int& index, std::string_view text);
  void AddStrings(const TRyxStrings& list);
  // Exchanges the whole content with other, so that a file can be loaded
  // aside and taken only when the load succeeded.
  void Swap(TRyxStrings& other) noexcept;
  void Assign(const TRyxStrings& list);
  virtual int IndexOf(std::string_view s) const;

  virtual void LoadFromFile(const std::filesystem::path& name);
  // A read-only file is refused unless overwriteReadOnly is given.
  virtual void SaveToFile(const std::filesystem::path& name, bool overwriteReadOnly = false) const;
  virtual void LoadFromStream(std::istream& stream);
  virtual void SaveToStream(std::ostream& stream) const;
  virtual std::string GetCommaText() const;
  virtual void SetCommaText(std::string_view text);

  void LoadCRLFFile(const std::filesystem::path& name);
  void LoadLFFile(const std::filesystem::path& name);
  void LoadCRFile(const std::filesystem::path& name);

  // Whether the file of the last load held NUL bytes; the loaders drop them,
  // and the editor refuses such a file as binary.
  bool LoadedNulBytes() const { return FLoadedNulBytes; }

 private:
  void CheckIndex(int index) const;
  void Grow();
  void ReserveFor(std::size_t inputLength);
  void AddPieces(std::string_view text);
  void LoadWindowed(const std::filesystem::path& name, char breakByte);
  template <class Write>
  void WriteText(Write write) const;

  // FList holds exactly FCount lines and room for FCapacity; the slots
  // beyond FCount are unused storage.
  std::vector<std::string> FList;
  int FCount = 0;
  int FCapacity = 0;
  bool FLoadedNulBytes = false;
};
