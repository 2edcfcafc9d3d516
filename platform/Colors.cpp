// System-colour resolution for TColor.
#include "platform/Colors.h"

#include <array>

namespace {

TColor ClassicSystemColor(int index) {
  // The classic desktop scheme, indexed like the platform's COLOR_* values.
  static constexpr std::array<TColor, 31> kColors = {
      RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
      RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
      RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
      RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255), RGB(240, 240, 240),
      RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
      RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
      RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234),
      RGB(215, 228, 242), RGB(0, 120, 215),   RGB(240, 240, 240)};
  if (index < 0 || index >= static_cast<int>(kColors.size())) return clBlack;
  return kColors[static_cast<std::size_t>(index)];
}

TSystemColorResolver gResolver = &ClassicSystemColor;

}  // namespace

TColor ColorToRGB(TColor color) {
  if ((color & 0xFF000000) != clSystemColor) return color & 0x00FFFFFF;
  return gResolver(static_cast<int>(color & 0xFF)) & 0x00FFFFFF;
}

void SetSystemColorResolver(TSystemColorResolver resolver) {
  gResolver = resolver ? resolver : &ClassicSystemColor;
}
