// Settings: the settings file of the main window, its editor and the device settings.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "app/core/DeviceSettings.h"
#include "platform/Colors.h"

class TIniFile;

inline constexpr char kSettingsSection[] = "Verselet 0.3";

// The values the settings file holds, as the main window and its editor
// expose them. Setters are the ordinary property setters, clamping as those
// do; getters give the values in effect.
class TSettingsTarget {
 public:
  virtual ~TSettingsTarget() = default;

  // The main window in pixels. Width and Height are its outer size, which
  // follows the client size as soon as that is set.
  virtual int ClientWidth() const = 0;
  virtual void SetClientWidth(int value) = 0;
  virtual int ClientHeight() const = 0;
  virtual void SetClientHeight(int value) = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual int Top() const = 0;
  virtual void SetTop(int value) = 0;
  virtual int Left() const = 0;
  virtual void SetLeft(int value) = 0;
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;

  // The editor.
  virtual int TabCount() const = 0;
  virtual void SetTabCount(int value) = 0;
  virtual int LeftMargin() const = 0;
  virtual void SetLeftMargin(int value) = 0;
  virtual std::string FontName() const = 0;
  virtual void SetFontName(const std::string& value) = 0;
  virtual int FontSize() const = 0;
  virtual void SetFontSize(int points) = 0;
  virtual TColor FontColor() const = 0;
  virtual void SetFontColor(TColor value) = 0;
  virtual TColor CREOFcolor() const = 0;
  virtual void SetCREOFcolor(TColor value) = 0;
  virtual bool ShowEOF() const = 0;
  virtual void SetShowEOF(bool value) = 0;
  virtual bool ShowCR() const = 0;
  virtual void SetShowCR(bool value) = 0;
  virtual bool ShowDblSpace() const = 0;
  virtual void SetShowDblSpace(bool value) = 0;
  virtual bool ShowTAB() const = 0;
  virtual void SetShowTAB(bool value) = 0;
  virtual bool ShowLineNumber() const = 0;
  virtual void SetShowLineNumber(bool value) = 0;
  // Word wrap, with the check mark of the "折り返し" menu item that mirrors it.
  virtual bool WordWrap() const = 0;
  virtual void SetWordWrap(bool value) = 0;
  // Wrapping at the window's edge as well, with the check mark of "ウィンドウ幅で折り返す".
  virtual bool AutoWrap() const = 0;
  virtual void SetAutoWrap(bool value) = 0;

  // The program-wide device settings, and the check mark of the "タグあり"
  // menu item that mirrors ShowTagLine.
  virtual TDeviceSettings& DeviceSettings() = 0;
  virtual const TDeviceSettings& DeviceSettings() const = 0;
  virtual void SetTagLineChecked(bool value) = 0;
};

// Applies the file to target key by key, in the order WriteSettings writes
// them, each value before the next key is read, so that the default Top and
// Left centre the window at its new size. A value that is there but cannot
// be read (an integer that does not parse, a colour with an item that is no
// integer) gives its key's default, and reading goes on. Returns the report
// for the user: why the file could not be read whole and which values could
// not be read, naming key and value in that order; empty when everything
// was read. The caption is the caller's to set.
std::string ReadSettings(const TIniFile& ini, TSettingsTarget& target);

// Stores every key from target in ini and writes the file, unless the file
// could not be read whole: then nothing is written, so that what could not
// be read is not lost, and the result is false. A failure raises
// EInOutError "<path> に書き込めません" with the cause nested in it; the
// old file is then untouched. Pass a TIniFile opened at exit, so that what
// another running copy wrote to other keys survives.
bool WriteSettings(TIniFile& ini, const TSettingsTarget& target);

// Whether this process may create files in folder, and no other user may
// (its owner is this user or root, and it has no group or other write bit).
bool IsWritableFolder(const std::filesystem::path& folder);

// What decides where the settings file lives besides the executable itself.
struct TConfigEnvironment {
  // The values of XDG_CONFIG_HOME and HOME; empty when unset.
  std::string XdgConfigHome;
  std::string Home;
  std::function<bool(const std::filesystem::path&)> CanWriteFolder = IsWritableFolder;

  static TConfigEnvironment FromProcess();
};

// The executable's full path with the extension ".ini" (a portable
// install) when that file is a regular file, never a link, owned by this
// user or root, in a folder no other user may write, or when there is no
// such file and CanWriteFolder says the folder is the user's; otherwise
// verselet/verselet.ini in the user's configuration folder
// ($XDG_CONFIG_HOME, else ~/.config), which writing creates.
std::filesystem::path SettingsPath(const std::filesystem::path& executable,
                                   const TConfigEnvironment& env = TConfigEnvironment::FromProcess());
