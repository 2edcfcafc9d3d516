// The property table: every published property of the control, and read-only state, by name.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "editor/RyxEdit.h"
#include "tools/verselet-script/ScriptArgs.h"

enum class TPropKind {
  Int,
  Bool,
  // 0x00BBGGRR, or 0xFF000000 plus a system colour index; shown in decimal.
  Color,
  // Code page 932 bytes.
  Text,
  // A UTF-8 name (font face, file error).
  Utf8,
  // One of the names in TProperty::EnumNames, or its index.
  Enum,
};

struct TPropValue {
  std::int64_t Number = 0;
  std::string Text;
};

struct TProperty {
  std::string_view Name;
  TPropKind Kind;
  std::span<const std::string_view> EnumNames;
  TPropValue (*Get)(const TRyxEdit&);
  // Null for state that can only be read.
  void (*Set)(TRyxEdit&, const TPropValue&);
};

// Case-insensitive; throws TScriptError for an unknown name.
const TProperty& FindProperty(std::string_view name);
// Reads a value of the property's kind from argument i; throws TScriptError.
TPropValue ParsePropertyValue(const TProperty& property, const TArgs& args, std::size_t i);
// The value as `get` prints it after "NAME=".
std::string FormatPropertyValue(const TProperty& property, const TPropValue& value);
