// Markup for the wrap's counting hook, as the tests use it.
#pragma once

#include <cctype>
#include <string_view>

#include "editor/RyxEditWrapRule.h"
#include "platform/LeadByte.h"

// "<" and up to sixteen letters or digits and ">", found from a character
// start; a line that starts with "#" and holds no "!" is silent, so that an
// edit anywhere in it may end its silence.
class TAngleMarkup final : public IColumnCounting {
 public:
  TMarkup NextMarkup(std::string_view text, std::size_t from) const override {
    for (std::size_t i = from; i < text.size(); ++i) {
      if (IsDBCSLeadByte(static_cast<unsigned char>(text[i]))) {
        ++i;
        continue;
      }
      if (text[i] != '<') continue;
      std::size_t j = i + 1;
      while (j < text.size() && j - i <= 16 && std::isalnum(static_cast<unsigned char>(text[j]))) ++j;
      if (j < text.size() && text[j] == '>') return {i, j + 1 - i};
    }
    return {text.size(), 0};
  }
  bool IsSilentLine(std::string_view line) const override {
    return line.starts_with('#') && line.find('!') == std::string_view::npos;
  }
};
