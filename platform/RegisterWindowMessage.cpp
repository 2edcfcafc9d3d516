// Process-wide registry of named window messages.
#include "platform/RegisterWindowMessage.h"

#include <map>
#include <string>

#include "platform/Exceptions.h"

UINT RegisterWindowMessage(std::string_view name) {
  static std::map<std::string, UINT, std::less<>> registry;
  constexpr UINT kFirst = 0xC000;
  constexpr UINT kLast = 0xFFFF;
  if (auto it = registry.find(name); it != registry.end()) return it->second;
  const UINT id = kFirst + static_cast<UINT>(registry.size());
  if (id > kLast) throw ERangeError("登録できるウィンドウメッセージがありません");
  registry.emplace(std::string(name), id);
  return id;
}
