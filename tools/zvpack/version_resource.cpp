// The VS_VERSIONINFO tree: read, version fields changed, written again.
#include "tools/zvpack/version_resource.h"

#include "tools/zvpack/utf16_text.h"

#include <vector>

namespace zvpack {
namespace {

constexpr uint32_t kFixedInfoSignature = 0xFEEF04BDu;
constexpr size_t kFixedInfoSize = 52;
constexpr size_t kNodeHeaderSize = 6;  // wLength, wValueLength, wType
constexpr uint16_t kTextValue = 1;

// One node: key, value (as stored) and children.
struct Node {
  std::u16string key;
  uint16_t valueLength = 0;  // the stored field: bytes, or characters for text
  uint16_t type = 0;
  std::string value;
  std::vector<Node> children;
};

size_t Align4(size_t n) { return (n + 3) & ~size_t{3}; }
uint16_t Get16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}
void Append16(std::string* s, uint32_t v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>((v >> 8) & 0xFF));
}

// The node at [at, at + its wLength), which must lie inside [at, end).
bool Parse(const std::string& bytes, size_t at, size_t end, int depth, Node* node) {
  if (depth > 8 || end - at < kNodeHeaderSize) return false;
  size_t length = Get16(bytes, at);
  if (length < kNodeHeaderSize || length > end - at) return false;
  end = at + length;
  node->valueLength = Get16(bytes, at + 2);
  node->type = Get16(bytes, at + 4);
  size_t p = at + kNodeHeaderSize;
  for (;; p += 2) {
    if (p + 2 > end) return false;
    char16_t c = Get16(bytes, p);
    if (c == 0) break;
    node->key.push_back(c);
  }
  p = Align4(p + 2 - at) + at;
  size_t valueBytes = node->type == kTextValue ? size_t{node->valueLength} * 2 : node->valueLength;
  if (p > end || valueBytes > end - p) return false;
  node->value = bytes.substr(p, valueBytes);
  p = Align4(p + valueBytes - at) + at;
  while (p < end) {
    node->children.emplace_back();
    if (!Parse(bytes, p, end, depth + 1, &node->children.back())) return false;
    p = Align4(p + Get16(bytes, p) - at) + at;
  }
  return true;
}

void Write(const Node& node, std::string* out) {
  size_t start = out->size();
  Append16(out, 0);  // wLength, set below
  Append16(out, node.valueLength);
  Append16(out, node.type);
  for (char16_t c : node.key) Append16(out, c);
  Append16(out, 0);
  out->resize(start + Align4(out->size() - start), '\0');
  *out += node.value;
  for (const Node& child : node.children) {
    out->resize(start + Align4(out->size() - start), '\0');
    Write(child, out);
  }
  size_t length = out->size() - start;
  (*out)[start] = static_cast<char>(length & 0xFF);
  (*out)[start + 1] = static_cast<char>((length >> 8) & 0xFF);
}

void Put32(std::string* s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*s)[at + i] = static_cast<char>(v >> (8 * i));
}

void SetText(Node* node, const std::u16string& text) {
  node->value.clear();
  for (char16_t c : text) Append16(&node->value, c);
  Append16(&node->value, 0);
  node->valueLength = static_cast<uint16_t>(text.size() + 1);
  node->type = kTextValue;
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// Each string table (StringFileInfo's children) in turn.
template <typename Visit>
size_t ForEachStringTable(Node* root, Visit visit) {
  size_t tables = 0;
  for (Node& info : root->children) {
    if (info.key != u"StringFileInfo") continue;
    for (Node& table : info.children) {
      visit(&table);
      ++tables;
    }
  }
  return tables;
}

void SetInTable(Node* table, const VersionString& string) {
  const std::u16string key = Widen(string.key);
  for (Node& node : table->children) {
    if (node.key == key) return SetText(&node, string.value);
  }
  table->children.emplace_back();
  table->children.back().key = key;
  SetText(&table->children.back(), string.value);
}

// The tree written back into *resource, unless it would pass the 16-bit length.
bool WriteBack(const Node& root, std::string* resource, std::string* error) {
  std::string written;
  Write(root, &written);
  if (written.size() > 0xFFFF) {
    *error = "the version resource would pass 64 KiB";
    return false;
  }
  *resource = written;
  return true;
}

}  // namespace

bool ParseFileVersion(const std::string& text, FileVersion* version) {
  size_t p = 0;
  for (size_t i = 0; i < 4; ++i) {
    if (i > 0 && (p >= text.size() || text[p++] != '.')) return false;
    uint32_t value = 0;
    size_t digits = 0;
    for (; p < text.size() && text[p] >= '0' && text[p] <= '9' && digits < 6; ++p, ++digits) {
      value = value * 10 + static_cast<uint32_t>(text[p] - '0');
    }
    if (digits == 0 || value > 0xFFFF) return false;
    (*version)[i] = static_cast<uint16_t>(value);
  }
  return p == text.size();
}

namespace {

// The root node of a VS_VERSIONINFO with its fixed part; false for other bytes.
bool ParseVersionInfo(const std::string& resource, Node* root) {
  return Parse(resource, 0, resource.size(), 0, root) && root->key == u"VS_VERSION_INFO" &&
         root->value.size() >= kFixedInfoSize && Get16(root->value, 0) == (kFixedInfoSignature & 0xFFFF) &&
         Get16(root->value, 2) == kFixedInfoSignature >> 16;
}

}  // namespace

std::string FileVersionText(const FileVersion& version) {
  return std::to_string(version[0]) + "." + std::to_string(version[1]) + "." + std::to_string(version[2]) + "." +
         std::to_string(version[3]);
}

bool GetFileVersion(const std::string& resource, FileVersion* version) {
  Node root;
  if (!ParseVersionInfo(resource, &root)) return false;
  // The file version's two 32-bit halves at 8 and 12: A.B, then C.D, each half high word first.
  *version = {Get16(root.value, 10), Get16(root.value, 8), Get16(root.value, 14), Get16(root.value, 12)};
  return true;
}

bool SetFileVersion(std::string* resource, const FileVersion& version, std::string* error) {
  Node root;
  if (!ParseVersionInfo(*resource, &root)) {
    *error = "the version resource is not a VS_VERSIONINFO";
    return false;
  }
  uint32_t high = static_cast<uint32_t>(version[0]) << 16 | version[1];
  uint32_t low = static_cast<uint32_t>(version[2]) << 16 | version[3];
  for (size_t at : {8u, 16u}) {  // file version, product version
    Put32(&root.value, at, high);
    Put32(&root.value, at + 4, low);
  }
  const std::u16string text = Widen(FileVersionText(version));
  ForEachStringTable(&root, [&](Node* table) {
    for (Node& string : table->children) {
      if (string.key == u"FileVersion" || string.key == u"ProductVersion") SetText(&string, text);
    }
  });
  return WriteBack(root, resource, error);
}

bool ParseVersionString(const std::string& text, VersionString* string, std::string* error) {
  const size_t equals = text.find('=');
  string->key = text.substr(0, equals);
  const bool keyGood = equals != std::string::npos && !string->key.empty() &&
                       string->key.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789") ==
                           std::string::npos;
  if (!keyGood) {
    *error = "--version-info needs KEY=VALUE with a key of letters and digits (CompanyName=...), not " + text;
    return false;
  }
  std::string problem;
  if (!Utf8ToUtf16(text.substr(equals + 1), &string->value, &problem)) {
    *error = "--version-info " + string->key + ": the value is " + problem;
    return false;
  }
  return true;
}

bool SetVersionStrings(std::string* resource, const std::vector<VersionString>& strings, std::string* error) {
  Node root;
  if (!ParseVersionInfo(*resource, &root)) {
    *error = "the version resource is not a VS_VERSIONINFO";
    return false;
  }
  const size_t tables = ForEachStringTable(&root, [&](Node* table) {
    for (const VersionString& string : strings) SetInTable(table, string);
  });
  if (tables == 0) {
    *error = "the version resource has no string table to set --version-info in";
    return false;
  }
  return WriteBack(root, resource, error);
}

bool GetVersionString(const std::string& resource, const std::string& key, std::u16string* value) {
  Node root;
  if (!ParseVersionInfo(resource, &root)) return false;
  bool found = false;
  ForEachStringTable(&root, [&](Node* table) {
    for (const Node& string : table->children) {
      if (found || string.key != Widen(key) || string.type != kTextValue) continue;
      std::u16string text;
      for (size_t at = 0; at + 1 < string.value.size(); at += 2) text.push_back(Get16(string.value, at));
      *value = text.substr(0, text.find(u'\0'));
      found = true;
    }
  });
  return found;
}

}  // namespace zvpack
