// System colours from the Qt palette.
#include "platform/qt/QtSystemColors.h"

#include <QGuiApplication>

#include "platform/qt/QtConvert.h"

namespace {

TColor ResolveFromApplicationPalette(int index) {
  return SystemColorFromPalette(QGuiApplication::palette(), index);
}

}  // namespace

TColor SystemColorFromPalette(const QPalette& palette, int index) {
  const auto color = [&](QPalette::ColorRole role, QPalette::ColorGroup group = QPalette::Active) {
    return ColorFromQColor(palette.color(group, role));
  };
  // Indexed like the platform's COLOR_* values.
  switch (index) {
    case 0: return color(QPalette::Mid);                    // scroll bar
    case 1: return color(QPalette::Dark);                   // desktop
    case 2:                                                 // active caption
    case 27: return color(QPalette::Highlight);             // gradient active caption
    case 3:                                                 // inactive caption
    case 28: return color(QPalette::Highlight, QPalette::Inactive);
    case 4:                                                 // menu
    case 30: return color(QPalette::Window);                // menu bar
    case 5: return color(QPalette::Base);                   // window
    case 6: return color(QPalette::Shadow);                 // window frame
    case 7: return color(QPalette::WindowText);             // menu text
    case 8: return color(QPalette::Text);                   // window text
    case 9: return color(QPalette::HighlightedText);        // caption text
    case 10:                                                // active border
    case 11: return color(QPalette::Button);                // inactive border
    case 12: return color(QPalette::Dark);                  // application workspace
    case 13:                                                // highlight
    case 29: return color(QPalette::Highlight);             // menu highlight
    case 14: return color(QPalette::HighlightedText);
    case 15: return color(QPalette::Button);                // button face
    case 16: return color(QPalette::Mid);                   // button shadow
    case 17: return color(QPalette::Text, QPalette::Disabled);  // grey text
    case 18: return color(QPalette::ButtonText);
    case 19: return color(QPalette::HighlightedText, QPalette::Inactive);  // inactive caption text
    case 20: return color(QPalette::Light);                 // button highlight
    case 21: return color(QPalette::Shadow);                // 3D dark shadow
    case 22: return color(QPalette::Midlight);              // 3D light
    case 23: return color(QPalette::ToolTipText);           // info text
    case 24: return color(QPalette::ToolTipBase);           // info background
    case 26: return color(QPalette::Link);                  // hot light
    default: return clBlack;
  }
}

void InstallSystemColorResolver() {
  static bool installed = false;
  QCoreApplication* app = QGuiApplication::instance();
  if (!app || installed) return;
  installed = true;
  SetSystemColorResolver(&ResolveFromApplicationPalette);
  QObject::connect(app, &QObject::destroyed, [] {
    SetSystemColorResolver(nullptr);
    installed = false;
  });
}
