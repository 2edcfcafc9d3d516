// TIniFile: an INI file read whole into memory and written back atomically.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

// Sections, keys and values are bytes as the file holds them (no code page
// conversion); section and key names match without regard to ASCII case.
// Writing keeps everything else the file holds (other sections, other keys,
// comments) and the order of the keys; a new key goes to the end of its
// section, a new section to the end of the file.
class TIniFile {
 public:
  // A missing file is an empty one. A file that cannot be read whole is
  // read as far as it can be, and ReadProblem says why.
  explicit TIniFile(std::filesystem::path fileName);
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;
  ~TIniFile();

  const std::filesystem::path& FileName() const { return FFileName; }
  // Why the file could not be read whole (it cannot be opened or read, it
  // holds a NUL byte as a UTF-16 file does, or a line is neither a section,
  // an entry nor a comment); empty when it was read whole or is missing.
  const std::string& ReadProblem() const { return FReadProblem; }

  bool ValueExists(const std::string& section, const std::string& key) const;

  // At most MaxValueLength bytes of a stored value are seen.
  static constexpr std::size_t MaxValueLength = 2047;
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // A value that is not an integer by ParseInteger gives def.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  // Read as an integer; any value other than 0 is true.
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;

  // A value ends at its first line break, since a value is one line of the file.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

  // Writes the contents to the file through a temporary file, creating the
  // file's folder when it is missing; the old file survives any failure.
  // Raises EInOutError, also without writing anything when the file could
  // not be read whole, since what could not be read would be lost.
  void UpdateFile();

 private:
  struct TData;
  std::filesystem::path FFileName;
  std::string FReadProblem;
  std::unique_ptr<TData> FData;
};
