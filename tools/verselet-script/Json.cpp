// TJsonWriter and the two ways of writing strings.
#include "tools/verselet-script/Json.h"

#include <cstdio>

namespace {

void AppendEscape(std::string& out, unsigned char byte) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04x", byte);
  out += buffer;
}

}  // namespace

std::string JsonBytes(std::string_view bytes) {
  std::string out = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else {
      AppendEscape(out, byte);
    }
  }
  return out + '"';
}

std::string JsonUtf8(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      AppendEscape(out, byte);
    } else {
      out += c;
    }
  }
  return out + '"';
}

void TJsonWriter::BeforeValue() {
  if (FAfterKey) {
    FAfterKey = false;
    return;
  }
  if (!FHasMember.empty()) {
    if (FHasMember.back()) FText += ',';
    FHasMember.back() = true;
  }
}

TJsonWriter& TJsonWriter::BeginObject() {
  BeforeValue();
  FText += '{';
  FHasMember.push_back(false);
  return *this;
}

TJsonWriter& TJsonWriter::EndObject() {
  FHasMember.pop_back();
  FText += '}';
  return *this;
}

TJsonWriter& TJsonWriter::BeginArray() {
  BeforeValue();
  FText += '[';
  FHasMember.push_back(false);
  return *this;
}

TJsonWriter& TJsonWriter::EndArray() {
  FHasMember.pop_back();
  FText += ']';
  return *this;
}

TJsonWriter& TJsonWriter::Key(std::string_view name) {
  BeforeValue();
  FText += JsonUtf8(name);
  FText += ':';
  FAfterKey = true;
  return *this;
}

TJsonWriter& TJsonWriter::Int(std::int64_t value) { return Raw(std::to_string(value)); }

TJsonWriter& TJsonWriter::Bool(bool value) { return Raw(value ? "true" : "false"); }

TJsonWriter& TJsonWriter::Null() { return Raw("null"); }

TJsonWriter& TJsonWriter::Bytes(std::string_view bytes) { return Raw(JsonBytes(bytes)); }

TJsonWriter& TJsonWriter::Utf8(std::string_view utf8) { return Raw(JsonUtf8(utf8)); }

TJsonWriter& TJsonWriter::Raw(std::string_view json) {
  BeforeValue();
  FText += json;
  return *this;
}

TJsonWriter& TJsonWriter::Pair(std::int64_t a, std::int64_t b) { return BeginArray().Int(a).Int(b).EndArray(); }
