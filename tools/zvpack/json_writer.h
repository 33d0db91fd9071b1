//===- json_writer.h - One JSON document for the --json outputs -----------===//
// Builds the text of one JSON value: objects, arrays, strings (UTF-8, escaped
// as JSON requires), integers and booleans. Keys and values are added in
// order; the caller keeps objects and arrays balanced. Not for untrusted
// input: it writes, never reads.
#ifndef VX_TOOLS_ZVPACK_JSON_WRITER_H
#define VX_TOOLS_ZVPACK_JSON_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

namespace zvpack {

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  // The key of the next value inside an object.
  JsonWriter& Key(const std::string& key);
  JsonWriter& String(const std::string& utf8);
  JsonWriter& Number(uint64_t value);
  JsonWriter& Decimal(double value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();
  JsonWriter& Strings(const std::vector<std::string>& values);

  // The document, ending with a line break.
  std::string Text() const { return text_ + "\n"; }

 private:
  void BeforeValue();
  void Append(const std::string& raw);

  std::string text_;
  bool needComma_ = false;
  bool afterKey_ = false;
};

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_JSON_WRITER_H
