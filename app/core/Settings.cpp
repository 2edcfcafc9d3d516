// Settings: the table of the settings file's keys in their order, read and written from it, and its location.
#include "app/core/Settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

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

  // An int, a bool (any integer but 0 is true), a colour or a text, as V is.
  template <class V>
  V Value(const char* key, const V& def) {
    if constexpr (std::is_same_v<V, bool>) return Integer(key, def ? 1 : 0) != 0;
    else if constexpr (std::is_same_v<V, int>) return Integer(key, def);
    else if constexpr (std::is_same_v<V, TColor>) return Colour(key, def);
    else return FIni.ReadString(kSection, key, def);
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
  int Integer(const char* key, int def) {
    if (!FIni.ValueExists(kSection, key)) return def;
    const std::string value = FIni.ReadString(kSection, key, "");
    if (const std::optional<int> number = ParseInteger(value)) return *number;
    Bad(key, value, "整数ではありません");
    return def;
  }

  // Red, green and blue separated by spaces.
  TColor Colour(const char* key, TColor def) {
    if (!FIni.ValueExists(kSection, key)) return def;
    const std::string value = FIni.ReadString(kSection, key, "");
    try {
      return StrToColorDef(value, ' ');
    } catch (const EConvertError& e) {
      Bad(key, value, e.what());
      return def;
    }
  }

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

// Stores value under key in the form the reader takes back.
template <class V>
void WriteValue(TIniFile& ini, const char* key, const V& value) {
  if constexpr (std::is_same_v<V, bool>) ini.WriteBool(kSection, key, value);
  else if constexpr (std::is_same_v<V, int>) ini.WriteInteger(kSection, key, value);
  else if constexpr (std::is_same_v<V, TColor>) ini.WriteString(kSection, key, ColorToRGBString(value));
  else ini.WriteString(kSection, key, value);
}

// One key of the section: how its value goes from the file into the target,
// and from the target into the file.
struct TSettingsKey {
  const char* Name;
  std::function<void(TSettingsReader& read, TSettingsTarget& target)> Read;
  std::function<void(TIniFile& ini, const TSettingsTarget& target)> Write;
};

// A value of the target, V, as the key's default, getter and setter see it.
template <class V>
using TFromTarget = std::function<V(const TSettingsTarget&)>;
template <class V>
using TIntoTarget = std::function<void(TSettingsTarget&, V)>;

// A key whose default may depend on what the keys before it set.
template <class V>
TSettingsKey Key(const char* name, TFromTarget<V> def, TFromTarget<V> get, TIntoTarget<V> set) {
  return {name,
          [name, def, set](TSettingsReader& read, TSettingsTarget& target) {
            set(target, read.Value<V>(name, def(target)));
          },
          [name, get](TIniFile& ini, const TSettingsTarget& target) { WriteValue<V>(ini, name, get(target)); }};
}

// A key of a property of the target with a fixed default.
template <class V, class TSetterArgument>
TSettingsKey PropertyKey(const char* name, V def, V (TSettingsTarget::*get)() const,
                         void (TSettingsTarget::*set)(TSetterArgument)) {
  return Key<V>(name, [def](const TSettingsTarget&) { return def; }, get, set);
}

// A key of a field of the device settings, whose own default it has; then,
// when given, tells the target of the value read.
template <class V>
TSettingsKey DeviceKey(const char* name, V TDeviceSettings::*field,
                       void (TSettingsTarget::*then)(V) = nullptr) {
  return Key<V>(
      name, [field](const TSettingsTarget&) { return TDeviceSettings().*field; },
      [field](const TSettingsTarget& target) { return target.DeviceSettings().*field; },
      [field, then](TSettingsTarget& target, V value) {
        target.DeviceSettings().*field = value;
        if (then) (target.*then)(value);
      });
}

// The window's position: centred on the screen at the size read just before.
int CentredTop(const TSettingsTarget& target) { return CentredPosition(target.ScreenHeight(), target.Height()); }
int CentredLeft(const TSettingsTarget& target) { return CentredPosition(target.ScreenWidth(), target.Width()); }

// Every key of the section in the order the file holds them. Reading
// applies each before the next is read, so that the default Top and Left
// centre the window at the size just read; the window's size defaults to
// the one it has.
const std::vector<TSettingsKey>& SettingsKeys() {
  using Target = TSettingsTarget;
  static const std::vector<TSettingsKey> keys = {
      Key<int>("ClientWidth", &Target::ClientWidth, &Target::ClientWidth, &Target::SetClientWidth),
      Key<int>("ClientHeight", &Target::ClientHeight, &Target::ClientHeight, &Target::SetClientHeight),
      Key<int>("Top", CentredTop, &Target::Top, &Target::SetTop),
      Key<int>("Left", CentredLeft, &Target::Left, &Target::SetLeft),
      DeviceKey("HalfCount", &TDeviceSettings::HalfCount),
      DeviceKey("LineCount", &TDeviceSettings::LineCount),
      PropertyKey("TabWidth", 4, &Target::TabCount, &Target::SetTabCount),
      PropertyKey("LeftMargin", 2, &Target::LeftMargin, &Target::SetLeftMargin),
      PropertyKey("FontName", std::string("FixedSys"), &Target::FontName, &Target::SetFontName),
      PropertyKey("FontSize", 14, &Target::FontSize, &Target::SetFontSize),
      PropertyKey("FontColor", clBlack, &Target::FontColor, &Target::SetFontColor),
      PropertyKey("EOFColor", RGB(0, 128, 128), &Target::CREOFcolor, &Target::SetCREOFcolor),
      PropertyKey("ShowEOF", true, &Target::ShowEOF, &Target::SetShowEOF),
      PropertyKey("ShowCR", false, &Target::ShowCR, &Target::SetShowCR),
      PropertyKey("ShowDblSpace", false, &Target::ShowDblSpace, &Target::SetShowDblSpace),
      PropertyKey("ShowTAB", true, &Target::ShowTAB, &Target::SetShowTAB),
      PropertyKey("ShowLineNumber", false, &Target::ShowLineNumber, &Target::SetShowLineNumber),
      DeviceKey("Model", &TDeviceSettings::Model),
      // The "タグあり" menu item mirrors it.
      DeviceKey("ShowTagLine", &TDeviceSettings::ShowTagLine, &Target::SetTagLineChecked),
      PropertyKey("WordWrap", false, &Target::WordWrap, &Target::SetWordWrap),
      PropertyKey("AutoWrap", false, &Target::AutoWrap, &Target::SetAutoWrap),
  };
  return keys;
}

std::string GetEnv(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::string ReadSettings(const TIniFile& ini, TSettingsTarget& target) {
  TSettingsReader read(ini);
  for (const TSettingsKey& key : SettingsKeys()) key.Read(read, target);
  return read.Report();
}

bool WriteSettings(TIniFile& ini, const TSettingsTarget& target) {
  if (!ini.ReadProblem().empty()) return false;
  for (const TSettingsKey& key : SettingsKeys()) key.Write(ini, target);
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
