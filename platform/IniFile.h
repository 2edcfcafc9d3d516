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
  // A file that is missing or cannot be read is an empty one.
  explicit TIniFile(std::filesystem::path fileName);
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;
  ~TIniFile();

  const std::filesystem::path& FileName() const { return FFileName; }

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
  // Raises EInOutError.
  void UpdateFile();

 private:
  struct TData;
  std::filesystem::path FFileName;
  std::unique_ptr<TData> FData;
};
