// TDeviceSettings: the player display the guides and the settings dialog describe.
#pragma once

// One instance lives in the main window, which hands it to whoever reads or
// changes it.
struct TDeviceSettings {
  // Half-width characters per display line of the player.
  int HalfCount = 16;
  // Display lines of the player.
  int LineCount = 3;
  // Index of the player model in the settings dialog's list; 5 is the custom entry.
  int Model = 0;
  // The guides leave room for a 10-character time tag at the start of each line.
  bool ShowTagLine = false;

  friend bool operator==(const TDeviceSettings&, const TDeviceSettings&) = default;
};
