// TRecentFiles: the last files opened or saved, newest first, kept in a section of the settings file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class TIniFile;

// Names are file-system bytes. A name the settings file cannot hold as one
// value (a line break in it, or longer than a value may be) is not kept.
class TRecentFiles {
 public:
  static constexpr std::size_t MaxCount = 8;
  static constexpr const char* Section = "RecentFiles";

  const std::vector<std::string>& Names() const { return FNames; }
  // Puts the name first; a name already listed moves up, the ninth goes.
  void Add(const std::string& name);
  // Removes every name for which gone is true; the number removed.
  template <class Predicate>
  std::size_t RemoveIf(Predicate gone) {
    const std::size_t before = FNames.size();
    std::erase_if(FNames, gone);
    return before - FNames.size();
  }

  void Read(const TIniFile& ini);
  // Writes all MaxCount keys, empty ones included, so that no older name survives.
  void Write(TIniFile& ini) const;

 private:
  std::vector<std::string> FNames;
};
