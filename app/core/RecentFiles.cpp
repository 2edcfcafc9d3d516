// TRecentFiles: the list's order and its keys File1 to File8.
#include "app/core/RecentFiles.h"

#include <algorithm>

#include "platform/IniFile.h"

namespace {

std::string Key(std::size_t index) { return "File" + std::to_string(index + 1); }

bool Storable(const std::string& name) {
  return !name.empty() && name.size() <= TIniFile::MaxValueLength && name.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

void TRecentFiles::Add(const std::string& name) {
  if (!Storable(name)) return;
  std::erase(FNames, name);
  FNames.insert(FNames.begin(), name);
  if (FNames.size() > MaxCount) FNames.resize(MaxCount);
}

void TRecentFiles::Read(const TIniFile& ini) {
  FNames.clear();
  for (std::size_t i = 0; i < MaxCount; ++i) {
    const std::string name = ini.ReadString(Section, Key(i), "");
    if (Storable(name) && std::find(FNames.begin(), FNames.end(), name) == FNames.end()) FNames.push_back(name);
  }
}

void TRecentFiles::Write(TIniFile& ini) const {
  for (std::size_t i = 0; i < MaxCount; ++i) ini.WriteString(Section, Key(i), i < FNames.size() ? FNames[i] : "");
}
