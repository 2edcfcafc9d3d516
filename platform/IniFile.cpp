// TIniFile over SimpleIni, with bytes kept as they are.
#include "platform/IniFile.h"

// Values are bytes, so no conversion; this is the one file that uses the
// parser, so its template definitions are compiled here rather than linked.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/IntegerText.h"

namespace {

bool IsEntryLine(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && line[first] != ';' && line[first] != '#';
}

// Where the run of comment and blank lines at the end of text begins: the
// parser attaches a comment to the entry after it, so a comment that no
// entry follows would be lost on writing.
std::size_t TrailingCommentsStart(std::string_view text) {
  std::size_t start = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t newline = text.find('\n', pos);
    const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
    if (IsEntryLine(text.substr(pos, next - pos))) start = next;
    pos = next;
  }
  return start;
}

}  // namespace

struct TIniFile::TData {
  CSimpleIniA Ini;
  // Comments after the last entry, written back after the entries; in a
  // file without entries they stay ahead of what is added.
  std::string TrailingComments;
  bool HasEntries = false;
};

TIniFile::TIniFile(std::filesystem::path fileName) : FFileName(std::move(fileName)), FData(std::make_unique<TData>()) {
  // Windows-style files write "key=value" without spaces around the sign.
  FData->Ini.SetSpaces(false);
  std::ifstream in(FFileName, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return;
  const std::size_t split = TrailingCommentsStart(text);
  FData->HasEntries = split > 0;
  if (text.find_first_of(";#", split) != std::string::npos) {
    FData->TrailingComments = text.substr(split);
    if (FData->TrailingComments.back() != '\n') FData->TrailingComments += '\n';
  }
  if (FData->Ini.LoadData(text.data(), split) < 0) FData->Ini.Reset();
}

TIniFile::~TIniFile() = default;

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  const char* value = FData->Ini.GetValue(section.c_str(), key.c_str(), nullptr);
  if (!value) return def;
  std::string text(value);
  if (text.size() > MaxValueLength) text.resize(MaxValueLength);
  return text;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  return ParseInteger(ReadString(section, key, std::string())).value_or(def);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  const std::string line = value.substr(0, value.find_first_of("\r\n"));
  if (FData->Ini.SetValue(section.c_str(), key.c_str(), line.c_str()) < 0) throw std::bad_alloc();
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::UpdateFile() {
  std::string entries;
  // A file that began with a UTF-8 signature keeps it.
  if (FData->Ini.Save(entries, true) < 0) throw EInOutError(FFileName.string() + " に書き込めません");
  std::string bytes = FData->HasEntries ? entries + FData->TrailingComments : FData->TrailingComments + entries;
  if (FFileName.has_parent_path()) {
    std::error_code error;
    std::filesystem::create_directories(FFileName.parent_path(), error);
    if (error) throw EInOutError(FFileName.string() + " に書き込めません (フォルダを作れません: " + error.message() + ")");
  }
  WriteFileAtomically(FFileName, bytes);
}
