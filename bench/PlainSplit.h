// The reference every load is measured against: what a programmer writes without a line store.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// One read of the file, split at CR LF into one string a line.
inline std::vector<std::string> ReadAndSplit(const std::filesystem::path& name) {
  std::ifstream in(name, std::ios::binary);
  std::string data(std::filesystem::file_size(name), '\0');
  in.read(data.data(), static_cast<std::streamsize>(data.size()));
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = data.find("\r\n", start)) != std::string::npos; start = at + 2)
    lines.emplace_back(data, start, at - start);
  lines.emplace_back(data, start);
  return lines;
}
