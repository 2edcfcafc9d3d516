// TIniFile over SimpleIni, with bytes kept as they are.
#include "platform/IniFile.h"

// Values are bytes, so no conversion; this is the one file that uses the
// parser, so its template definitions are compiled here rather than linked.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <algorithm>
#include <cerrno>
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

// The first line that the parser would neither read nor keep, as
// "N 行目を読めません: LINE", or an empty string. Such a line would silently
// vanish when the file is written.
std::string UnreadableLine(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  int number = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
    const std::string_view line = text.substr(pos, end - pos);
    ++number;
    pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == ';' || line[first] == '#') continue;
    const std::size_t last = line.find_last_not_of(" \t");
    const bool section = line[first] == '[' && line[last] == ']';
    const std::size_t equals = line.find('=');
    const bool entry = equals != std::string_view::npos && equals > first;
    if (!section && !entry) return std::to_string(number) + " 行目を読めません: " + std::string(line.substr(0, 80));
  }
  return {};
}

// The whole file, or false with the reason.
bool ReadBytes(const std::filesystem::path& name, std::string& bytes, std::string& problem) {
  std::ifstream in(name, std::ios::binary);
  if (!in.is_open()) {
    problem = std::string("読めません: ") + SystemErrorText(errno);
    return false;
  }
  try {
    // A folder opens but fails at the first read, which the iterator raises.
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const std::exception& e) {
    problem = std::string("読めません: ") + e.what();
    return false;
  }
  if (in.bad()) {
    problem = "読めません";
    return false;
  }
  return true;
}

// Why the bytes cannot all be parsed: a NUL byte, as in a UTF-16 file, ends
// what the parser sees.
std::string NulProblem(std::string_view text) {
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) return "UTF-16 のファイルです";
  return "NUL バイトを含んでいます";
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
  std::error_code missing;
  if (!std::filesystem::exists(FFileName, missing) && !missing) return;
  std::string text;
  if (!ReadBytes(FFileName, text, FReadProblem)) return;
  if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
    FReadProblem = NulProblem(text);
    text.resize(nul);
  }
  if (FReadProblem.empty()) FReadProblem = UnreadableLine(text);
  const std::size_t split = TrailingCommentsStart(text);
  FData->HasEntries = split > 0;
  if (text.find_first_of(";#", split) != std::string::npos) {
    FData->TrailingComments = text.substr(split);
    if (FData->TrailingComments.back() != '\n') FData->TrailingComments += '\n';
  }
  if (FData->Ini.LoadData(text.data(), split) < 0) {
    FData->Ini.Reset();
    if (FReadProblem.empty()) FReadProblem = "INI ファイルとして読めません";
  }
}

TIniFile::~TIniFile() = default;

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  const char* value = FData->Ini.GetValue(section.c_str(), key.c_str(), nullptr);
  if (!value) return def;
  std::string text(value);
  if (text.size() > MaxValueLength) text.resize(MaxValueLength);
  return text;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
  return FData->Ini.GetValue(section.c_str(), key.c_str(), nullptr) != nullptr;
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
  if (!FReadProblem.empty())
    throw EInOutError(FFileName.string() + " に書き込めません (読み切れなかったファイルです: " + FReadProblem + ")");
  std::string entries;
  // A file that began with a UTF-8 signature keeps it.
  if (FData->Ini.Save(entries, true) < 0) throw EInOutError(FFileName.string() + " に書き込めません");
  std::string bytes = FData->HasEntries ? entries + FData->TrailingComments : FData->TrailingComments + entries;
  if (FFileName.has_parent_path()) {
    std::error_code error;
    std::filesystem::create_directories(FFileName.parent_path(), error);
    if (error) throw EInOutError(FFileName.string() + " に書き込めません (フォルダを作れません: " + SystemErrorText(error.value()) + ")");
  }
  WriteFileAtomically(FFileName, bytes);
}
