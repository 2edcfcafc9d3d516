// Settings: the keys of the settings file in their order, and its location.
#include "app/Settings.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <exception>

#include "app/FuncUnit.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"

namespace {

const std::string kSection = kSettingsSection;

// Halved toward zero, also when the window is larger than the screen; the
// difference is taken in 64 bits since a size read from the file may be any int.
int CentredPosition(int screen, int window) {
  return static_cast<int>((static_cast<std::int64_t>(screen) - window) / 2);
}

std::string GetEnv(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

void ReadSettings(const TIniFile& ini, TSettingsTarget& target) {
  target.SetClientWidth(ini.ReadInteger(kSection, "ClientWidth", target.ClientWidth()));
  target.SetClientHeight(ini.ReadInteger(kSection, "ClientHeight", target.ClientHeight()));
  target.SetTop(ini.ReadInteger(kSection, "Top", CentredPosition(target.ScreenHeight(), target.Height())));
  target.SetLeft(ini.ReadInteger(kSection, "Left", CentredPosition(target.ScreenWidth(), target.Width())));

  const TDeviceSettings defaults;
  TDeviceSettings& device = target.DeviceSettings();
  device.HalfCount = ini.ReadInteger(kSection, "HalfCount", defaults.HalfCount);
  device.LineCount = ini.ReadInteger(kSection, "LineCount", defaults.LineCount);

  target.SetTabCount(ini.ReadInteger(kSection, "TabWidth", 4));
  target.SetLeftMargin(ini.ReadInteger(kSection, "LeftMargin", 2));
  target.SetFontName(ini.ReadString(kSection, "FontName", "FixedSys"));
  target.SetFontSize(ini.ReadInteger(kSection, "FontSize", 14));
  target.SetFontColor(StrToColorDef(ini.ReadString(kSection, "FontColor", "0 0 0"), ' '));
  target.SetCREOFcolor(StrToColorDef(ini.ReadString(kSection, "EOFColor", "0 128 128"), ' '));
  target.SetShowEOF(ini.ReadBool(kSection, "ShowEOF", true));
  target.SetShowCR(ini.ReadBool(kSection, "ShowCR", false));
  target.SetShowDblSpace(ini.ReadBool(kSection, "ShowDblSpace", false));
  target.SetShowTAB(ini.ReadBool(kSection, "ShowTAB", true));
  target.SetShowLineNumber(ini.ReadBool(kSection, "ShowLineNumber", false));

  device.Model = ini.ReadInteger(kSection, "Model", defaults.Model);
  device.ShowTagLine = ini.ReadBool(kSection, "ShowTagLine", defaults.ShowTagLine);
  target.SetTagLineChecked(device.ShowTagLine);
}

void WriteSettings(TIniFile& ini, const TSettingsTarget& target) {
  const TDeviceSettings& device = target.DeviceSettings();
  ini.WriteInteger(kSection, "ClientWidth", target.ClientWidth());
  ini.WriteInteger(kSection, "ClientHeight", target.ClientHeight());
  ini.WriteInteger(kSection, "Top", target.Top());
  ini.WriteInteger(kSection, "Left", target.Left());
  ini.WriteInteger(kSection, "HalfCount", device.HalfCount);
  ini.WriteInteger(kSection, "LineCount", device.LineCount);
  ini.WriteInteger(kSection, "TabWidth", target.TabCount());
  ini.WriteInteger(kSection, "LeftMargin", target.LeftMargin());
  ini.WriteString(kSection, "FontName", target.FontName());
  ini.WriteInteger(kSection, "FontSize", target.FontSize());
  ini.WriteString(kSection, "FontColor", ColorToRGBString(target.FontColor()));
  ini.WriteString(kSection, "EOFColor", ColorToRGBString(target.CREOFcolor()));
  ini.WriteBool(kSection, "ShowEOF", target.ShowEOF());
  ini.WriteBool(kSection, "ShowCR", target.ShowCR());
  ini.WriteBool(kSection, "ShowDblSpace", target.ShowDblSpace());
  ini.WriteBool(kSection, "ShowTAB", target.ShowTAB());
  ini.WriteBool(kSection, "ShowLineNumber", target.ShowLineNumber());
  ini.WriteInteger(kSection, "Model", device.Model);
  ini.WriteBool(kSection, "ShowTagLine", device.ShowTagLine);
  try {
    ini.UpdateFile();
  } catch (const EInOutError&) {
    // The user is told which file; the platform's reason stays nested for a log.
    std::throw_with_nested(EInOutError(ini.FileName().string() + " に書き込めません"));
  }
}

bool IsWritableFolder(const std::filesystem::path& folder) { return ::access(folder.c_str(), W_OK) == 0; }

TConfigEnvironment TConfigEnvironment::FromProcess() { return {GetEnv("XDG_CONFIG_HOME"), GetEnv("HOME")}; }

std::filesystem::path SettingsPath(const std::filesystem::path& executable, const TConfigEnvironment& env) {
  std::filesystem::path beside = executable;
  beside.replace_extension(".ini");
  std::error_code ignored;
  if (std::filesystem::exists(beside, ignored) || env.CanWriteFolder(beside.parent_path())) return beside;

  // The base directory rules ignore a relative XDG_CONFIG_HOME.
  std::filesystem::path config;
  if (std::filesystem::path(env.XdgConfigHome).is_absolute()) config = env.XdgConfigHome;
  else if (!env.Home.empty()) config = std::filesystem::path(env.Home) / ".config";
  else return beside;
  return config / "verselet" / "verselet.ini";
}
