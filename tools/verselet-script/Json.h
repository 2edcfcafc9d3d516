// TJsonWriter: one-line JSON output, with code page 932 byte strings written byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Byte strings of the editor are not UTF-8, so they are written so that
// every byte can be read back: printable ASCII stands as itself (with " and
// \ escaped) and every other byte is \u00NN with its value (lower-case hex).
std::string JsonBytes(std::string_view bytes);
// UTF-8 text (file names, font names, message boxes) as a JSON string.
std::string JsonUtf8(std::string_view utf8);

// Builds one JSON value; commas between members and elements come by themselves.
class TJsonWriter {
 public:
  TJsonWriter& BeginObject();
  TJsonWriter& EndObject();
  TJsonWriter& BeginArray();
  TJsonWriter& EndArray();
  TJsonWriter& Key(std::string_view name);
  TJsonWriter& Int(std::int64_t value);
  TJsonWriter& Bool(bool value);
  TJsonWriter& Null();
  TJsonWriter& Bytes(std::string_view bytes);
  TJsonWriter& Utf8(std::string_view utf8);
  // A value already written as JSON.
  TJsonWriter& Raw(std::string_view json);
  // Shorthands for [a, b].
  TJsonWriter& Pair(std::int64_t a, std::int64_t b);

  const std::string& Text() const { return FText; }

 private:
  void BeforeValue();

  std::string FText;
  // One entry per open object or array: whether it has a member yet.
  std::vector<bool> FHasMember;
  bool FAfterKey = false;
};
