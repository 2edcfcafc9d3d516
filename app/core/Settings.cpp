// Settings: the keys of the settings file in their order, and its location.
#include "app/core/Settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "app/core/FuncUnit.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "platform/IntegerText.h"

namespace {

const std::string kSection = kSettingsSection;

// Halved toward zero, also when the window is larger than the screen; the
// difference is taken in 64 bits since a size read from the file may be any int.
int CentredPosition(int screen, int window) {
  return static_cast<int>((static_cast<std::int64_t>(screen) - window) / 2);
}

// Reads the keys of the section, each value that is there but cannot be
// read giving its default and a line of the report.
class TSettingsReader {
 public:
  explicit TSettingsReader(const TIniFile& ini) : FIni(ini) {}

  int Integer(const char* key, int def) {
    if (!FIni.ValueExists(kSection, key)) return def;
    const std::string value = FIni.ReadString(kSection, key, "");
    if (const std::optional<int> number = ParseInteger(value)) return *number;
    Bad(key, value, "整数ではありません");
    return def;
  }

  bool Boolean(const char* key, bool def) { return Integer(key, def ? 1 : 0) != 0; }

  TColor Colour(const char* key, const char* def) {
    const std::string value = FIni.ReadString(kSection, key, def);
    try {
      return StrToColorDef(value, ' ');
    } catch (const EConvertError& e) {
      Bad(key, value, e.what());
      return StrToColorDef(def, ' ');
    }
  }

  // Empty when the whole file was read and every value in it could be used.
  std::string Report() const {
    std::string report;
    const std::string file = FIni.FileName().string();
    if (!FIni.ReadProblem().empty())
      report = "設定ファイル " + file + " を読み切れません (" + FIni.ReadProblem() +
               ")。終了時にこのファイルは書き換えません。";
    if (!FBadValues.empty()) {
      if (!report.empty()) report += "\n";
      report += "設定ファイル " + file + " の次の値は読めないため、既定値を使います:" + FBadValues;
    }
    return report;
  }

 private:
  // A value may be up to 2047 bytes long; the report shows enough to find it.
  void Bad(const char* key, const std::string& value, const std::string& reason) {
    constexpr std::size_t kShown = 80;
    const std::string shown = value.size() > kShown ? value.substr(0, kShown) + "..." : value;
    // Appended piece by piece: a chain of operator+ trips a false -Wrestrict of GCC 12 at -O2.
    for (const std::string_view part : {std::string_view("\n"), std::string_view(key), std::string_view("="),
                                        std::string_view(shown), std::string_view(" ("), std::string_view(reason),
                                        std::string_view(")")})
      FBadValues += part;
  }

  const TIniFile& FIni;
  std::string FBadValues;
};

std::string GetEnv(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::string ReadSettings(const TIniFile& ini, TSettingsTarget& target) {
  TSettingsReader read(ini);
  target.SetClientWidth(read.Integer("ClientWidth", target.ClientWidth()));
  target.SetClientHeight(read.Integer("ClientHeight", target.ClientHeight()));
  target.SetTop(read.Integer("Top", CentredPosition(target.ScreenHeight(), target.Height())));
  target.SetLeft(read.Integer("Left", CentredPosition(target.ScreenWidth(), target.Width())));

  const TDeviceSettings defaults;
  TDeviceSettings& device = target.DeviceSettings();
  device.HalfCount = read.Integer("HalfCount", defaults.HalfCount);
  device.LineCount = read.Integer("LineCount", defaults.LineCount);

  target.SetTabCount(read.Integer("TabWidth", 4));
  target.SetLeftMargin(read.Integer("LeftMargin", 2));
  target.SetFontName(ini.ReadString(kSection, "FontName", "FixedSys"));
  target.SetFontSize(read.Integer("FontSize", 14));
  target.SetFontColor(read.Colour("FontColor", "0 0 0"));
  target.SetCREOFcolor(read.Colour("EOFColor", "0 128 128"));
  target.SetShowEOF(read.Boolean("ShowEOF", true));
  target.SetShowCR(read.Boolean("ShowCR", false));
  target.SetShowDblSpace(read.Boolean("ShowDblSpace", false));
  target.SetShowTAB(read.Boolean("ShowTAB", true));
  target.SetShowLineNumber(read.Boolean("ShowLineNumber", false));

  device.Model = read.Integer("Model", defaults.Model);
  device.ShowTagLine = read.Boolean("ShowTagLine", defaults.ShowTagLine);
  target.SetTagLineChecked(device.ShowTagLine);
  target.SetAutoWrap(read.Boolean("AutoWrap", false));
  target.SetWordWrap(read.Boolean("WordWrap", false));
  return read.Report();
}

bool WriteSettings(TIniFile& ini, const TSettingsTarget& target) {
  if (!ini.ReadProblem().empty()) return false;
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
  ini.WriteBool(kSection, "WordWrap", target.WordWrap());
  ini.WriteBool(kSection, "AutoWrap", target.AutoWrap());
  try {
    ini.UpdateFile();
  } catch (const EInOutError&) {
    // The user is told which file; the platform's reason stays nested for a log.
    std::throw_with_nested(EInOutError(ini.FileName().string() + " に書き込めません"));
  }
  return true;
}

namespace {

// Whether only its owner, this user or root, may write folder.
bool NoOtherUserMayWrite(const std::filesystem::path& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return false;
  return (st.st_uid == ::geteuid() || st.st_uid == 0) && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// A settings file that nobody but this user or root can have put there or
// changed: a regular file, never a link, owned by one of them, in a folder
// no other user may write.
bool IsTrustedSettingsFile(const std::filesystem::path& file) {
  struct stat st {};
  return ::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_uid == ::geteuid() || st.st_uid == 0) &&
         NoOtherUserMayWrite(file.parent_path());
}

}  // namespace

bool IsWritableFolder(const std::filesystem::path& folder) {
  return ::access(folder.c_str(), W_OK) == 0 && NoOtherUserMayWrite(folder);
}

TConfigEnvironment TConfigEnvironment::FromProcess() { return {GetEnv("XDG_CONFIG_HOME"), GetEnv("HOME")}; }

std::filesystem::path SettingsPath(const std::filesystem::path& executable, const TConfigEnvironment& env) {
  std::filesystem::path beside = executable;
  beside.replace_extension(".ini");
  std::error_code ignored;
  if (std::filesystem::is_symlink(beside, ignored) || std::filesystem::exists(beside, ignored)) {
    if (IsTrustedSettingsFile(beside)) return beside;
  } else if (env.CanWriteFolder(beside.parent_path())) {
    return beside;
  }

  // The base directory rules ignore a relative XDG_CONFIG_HOME.
  std::filesystem::path config;
  if (std::filesystem::path(env.XdgConfigHome).is_absolute()) config = env.XdgConfigHome;
  else if (!env.Home.empty()) config = std::filesystem::path(env.Home) / ".config";
  else return beside;
  return config / "verselet" / "verselet.ini";
}
