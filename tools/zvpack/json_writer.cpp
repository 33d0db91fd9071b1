// Writing JSON text.
#include "tools/zvpack/json_writer.h"

#include <cstdio>

namespace zvpack {
namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

}  // namespace

void JsonWriter::BeforeValue() {
  if (needComma_ && !afterKey_) text_ += ",";
  afterKey_ = false;
}

void JsonWriter::Append(const std::string& raw) {
  BeforeValue();
  text_ += raw;
  needComma_ = true;
}

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue();
  text_ += "{";
  needComma_ = false;
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  text_ += "}";
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue();
  text_ += "[";
  needComma_ = false;
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  text_ += "]";
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::Key(const std::string& key) {
  if (needComma_) text_ += ",";
  text_ += Quoted(key) + ":";
  afterKey_ = true;
  needComma_ = false;
  return *this;
}

JsonWriter& JsonWriter::String(const std::string& utf8) {
  Append(Quoted(utf8));
  return *this;
}

JsonWriter& JsonWriter::Number(uint64_t value) {
  Append(std::to_string(value));
  return *this;
}

JsonWriter& JsonWriter::Decimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  Append(text);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  Append(value ? "true" : "false");
  return *this;
}

JsonWriter& JsonWriter::Null() {
  Append("null");
  return *this;
}

JsonWriter& JsonWriter::Strings(const std::vector<std::string>& values) {
  BeginArray();
  for (const std::string& v : values) String(v);
  return EndArray();
}

}  // namespace zvpack
