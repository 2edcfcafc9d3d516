// The keys of sync mode and of the transport, with their defaults and the settings file's [SyncKeys] section that changes them.
#pragma once

#include <string>
#include <vector>

class TIniFile;

enum class TSyncAction {
  Stamp,
  EndLine,
  NudgeEarlier,
  NudgeLater,
  NudgeEarlierFine,
  NudgeLaterFine,
  NudgeEarlierCoarse,
  NudgeLaterCoarse,
  PreviousLine,
  NextLine,
  ReplayLine,
  RemoveTag,
  JoinUnits,
  SplitUnit,
  Leave,
};

struct TSyncKey {
  TSyncAction Action;
  const char* Name;     // the key of the settings file
  const char* Caption;  // what the help lists (UTF-8)
  std::string Keys;     // in the portable form "Alt+Shift+Left"
};

// Every action with its default key, in the order the help lists them.
std::vector<TSyncKey> DefaultSyncKeys();
// The defaults with what [SyncKeys] sets: "Stamp=Return" makes Return stamp.
// Whether a key text names a key is the toolkit's to tell.
std::vector<TSyncKey> ReadSyncKeys(const TIniFile& ini);
inline constexpr const char* kSyncKeysSection = "SyncKeys";
