// The sync mode's key table and the settings that change it.
#include "app/core/SyncKeys.h"

#include "platform/IniFile.h"

std::vector<TSyncKey> DefaultSyncKeys() {
  return {
      {TSyncAction::Stamp, "Stamp", "行に今の時刻を付けて次の行へ", "Space"},
      {TSyncAction::EndLine, "EndLine", "終わりの行 (タグだけの行) を入れる", "Shift+Space"},
      {TSyncAction::NudgeEarlier, "NudgeEarlier", "タグを 0.1 秒早く", "Alt+Left"},
      {TSyncAction::NudgeLater, "NudgeLater", "タグを 0.1 秒遅く", "Alt+Right"},
      {TSyncAction::NudgeEarlierFine, "NudgeEarlierFine", "タグを 0.01 秒早く", "Alt+Shift+Left"},
      {TSyncAction::NudgeLaterFine, "NudgeLaterFine", "タグを 0.01 秒遅く", "Alt+Shift+Right"},
      {TSyncAction::NudgeEarlierCoarse, "NudgeEarlierCoarse", "タグを 1 秒早く", "Ctrl+Alt+Left"},
      {TSyncAction::NudgeLaterCoarse, "NudgeLaterCoarse", "タグを 1 秒遅く", "Ctrl+Alt+Right"},
      {TSyncAction::PreviousLine, "PreviousLine", "前の行へ移り、そのタグから再生", "Alt+Up"},
      {TSyncAction::NextLine, "NextLine", "次の行へ移り、そのタグから再生", "Alt+Down"},
      {TSyncAction::ReplayLine, "ReplayLine", "この行をもう一度再生", "Ctrl+R"},
      {TSyncAction::RemoveTag, "RemoveTag", "この行のタグを削除", "Alt+Backspace"},
      {TSyncAction::JoinUnits, "JoinUnits", "単語ごと: カーソルの単語を次の単語とつなぐ", "Alt+J"},
      {TSyncAction::SplitUnit, "SplitUnit", "単語ごと: カーソルの位置で単語を分ける", "Alt+K"},
      {TSyncAction::Leave, "Leave", "同期モードを終える", "Esc"},
  };
}

std::vector<TSyncKey> ReadSyncKeys(const TIniFile& ini) {
  std::vector<TSyncKey> keys = DefaultSyncKeys();
  for (TSyncKey& key : keys) key.Keys = ini.ReadString(kSyncKeysSection, key.Name, key.Keys);
  return keys;
}
