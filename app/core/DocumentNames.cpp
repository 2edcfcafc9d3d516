// The main window's naming rules: window title, Save As extension and filter, file dialog filters.
#include "app/core/DocumentNames.h"

#include <cctype>

namespace {

constexpr char kSeparators[] = "/\\:";

std::vector<std::string> Split(const std::string& text, char delimiter) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(delimiter, start);
    items.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return items;
    start = end + 1;
  }
}

std::string NamePatterns(const std::string& pattern) {
  std::string patterns;
  for (const std::string& item : Split(pattern, ';')) {
    if (item.empty()) continue;
    if (!patterns.empty()) patterns += ' ';
    patterns += item == "*.*" ? "*" : item;
  }
  return patterns;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::string ExtractFileName(const std::string& fileName) {
  const std::size_t separator = fileName.rfind('/');
  return separator == std::string::npos ? fileName : fileName.substr(separator + 1);
}

std::string WindowTitle(const std::string& currentFileName, bool modified) {
  const std::string name = currentFileName.empty() ? std::string(UntitledName) : ExtractFileName(currentFileName);
  const std::string title = name + " - " + ApplicationTitle;
  return modified ? "*" + title : title;
}

int FilterIndexForFileName(const std::string& fileName) {
  const std::string name = ExtractFileName(fileName);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return 0;
  std::string ext = name.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".txt") return 1;
  if (ext == ".lrc") return 2;
  if (ext == ".kra") return 3;
  return 0;
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext) {
  const std::size_t separator = fileName.find_last_of(kSeparators);
  const std::size_t dot = fileName.rfind('.');
  const bool hasExt = dot != std::string::npos && (separator == std::string::npos || dot > separator);
  return (hasExt ? fileName.substr(0, dot) : fileName) + ext;
}

std::string ChangeFileExtForFilter(const std::string& fileName, int filterIndex) {
  switch (filterIndex) {
    case 2:
      return ChangeFileExt(fileName, ".lrc");
    case 3:
      return ChangeFileExt(fileName, ".kra");
    default:
      return ChangeFileExt(fileName, ".txt");
  }
}

std::vector<std::string> NameFiltersFromFilter(const std::string& filter) {
  const std::vector<std::string> items = Split(filter, '|');
  std::vector<std::string> nameFilters;
  for (std::size_t i = 0; i + 1 < items.size(); i += 2) {
    std::string description = items[i];
    const std::string shown = "(" + items[i + 1] + ")";
    if (EndsWith(description, shown)) {
      description.erase(description.size() - shown.size());
    } else {
      description += ' ';
    }
    nameFilters.push_back(description + "(" + NamePatterns(items[i + 1]) + ")");
  }
  return nameFilters;
}
