// Tests of the version resource's strings over a VS_VERSIONINFO built here: values set and
// added in every string table, UTF-8 stored as UTF-16 (surrogate pairs included), the file
// version kept, and the refusals of a bad KEY=VALUE.
#include "tools/zvpack/version_resource.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

void Append16(std::string* s, uint32_t v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>(v >> 8));
}
void Pad4(std::string* s, size_t start) { s->resize(start + ((s->size() - start + 3) & ~size_t{3}), '\0'); }

// One node of the tree: wLength, wValueLength, wType, the key, the value and the children.
std::string Node(const std::u16string& key, uint16_t type, const std::string& value, uint16_t valueLength,
                 std::initializer_list<std::string> children = {}) {
  std::string node;
  Append16(&node, 0);
  Append16(&node, valueLength);
  Append16(&node, type);
  for (char16_t c : key) Append16(&node, c);
  Append16(&node, 0);
  Pad4(&node, 0);
  node += value;
  for (const std::string& child : children) {
    Pad4(&node, 0);
    node += child;
  }
  node[0] = static_cast<char>(node.size() & 0xFF);
  node[1] = static_cast<char>(node.size() >> 8);
  return node;
}

std::string Text(const std::u16string& key, const std::string& ascii) {
  std::string value;
  for (char c : ascii) Append16(&value, static_cast<unsigned char>(c));
  Append16(&value, 0);
  return Node(key, 1, value, static_cast<uint16_t>(ascii.size() + 1));
}

// Two string tables (English and German), as a stub may carry.
std::string VersionInfo() {
  std::string fixed;
  for (uint32_t word : {0xFEEF04BDu, 0x10000u, 0x10002u, 0x30004u}) {
    Append16(&fixed, word & 0xFFFF);
    Append16(&fixed, word >> 16);
  }
  fixed.resize(52, '\0');
  return Node(u"VS_VERSION_INFO", 0, fixed, 52,
              {Node(u"StringFileInfo", 1, "", 0,
                    {Node(u"040904B0", 1, "", 0, {Text(u"CompanyName", "Stub Co"), Text(u"FileVersion", "2.1.4.3")}),
                     Node(u"040704B0", 1, "", 0, {Text(u"CompanyName", "Stub GmbH")})})});
}

zvpack::VersionString Parsed(const std::string& text) {
  zvpack::VersionString string;
  std::string error;
  EXPECT_TRUE(zvpack::ParseVersionString(text, &string, &error)) << text << ": " << error;
  return string;
}

TEST(VersionStringsTest, SetAndAddedInEveryTableKeepingTheRest) {
  std::string resource = VersionInfo(), error;
  ASSERT_TRUE(zvpack::SetVersionStrings(
      &resource, {Parsed("CompanyName=Zelvora Café"), Parsed("LegalCopyright=© 2026 Zelvora 📷"), Parsed("Empty=")},
      &error))
      << error;
  std::u16string value;
  ASSERT_TRUE(zvpack::GetVersionString(resource, "CompanyName", &value));
  EXPECT_EQ(u"Zelvora Café", value);
  ASSERT_TRUE(zvpack::GetVersionString(resource, "LegalCopyright", &value));
  EXPECT_EQ(u"\u00A9 2026 Zelvora \U0001F4F7", value);
  EXPECT_EQ(u'\xD83D', value[value.size() - 2]);
  ASSERT_TRUE(zvpack::GetVersionString(resource, "Empty", &value));
  EXPECT_EQ(u"", value);
  ASSERT_TRUE(zvpack::GetVersionString(resource, "FileVersion", &value));
  EXPECT_EQ(u"2.1.4.3", value);
  zvpack::FileVersion version{};
  ASSERT_TRUE(zvpack::GetFileVersion(resource, &version));
  EXPECT_EQ((zvpack::FileVersion{1, 2, 3, 4}), version);
  // The German table got the same values, in place of its own.
  std::string utf16;
  for (char c : std::string("Zelvora Caf")) Append16(&utf16, static_cast<unsigned char>(c));
  size_t tables = 0;
  for (size_t at = resource.find(utf16); at != std::string::npos; at = resource.find(utf16, at + 1)) ++tables;
  EXPECT_EQ(2u, tables);
  EXPECT_EQ(std::string::npos, resource.find(std::string("S\0t\0u\0b\0", 8)));
}

TEST(VersionStringsTest, BadKeysAndValuesAndResourcesAreRefused) {
  zvpack::VersionString string;
  std::string error;
  for (const char* bad : {"", "=x", "CompanyName", "Company Name=x", "Café=x", "CompanyName=\xC3", "CompanyName=\xC3\x28",
                          "CompanyName=\xC0\xAF", "CompanyName=\xED\xA0\x80", "CompanyName=\xF4\x90\x80\x80",
                          "CompanyName=\x80"}) {
    EXPECT_FALSE(zvpack::ParseVersionString(bad, &string, &error)) << bad;
  }
  EXPECT_NE(std::string::npos, error.find("not valid UTF-8 at byte 1"));
  EXPECT_EQ(u"a=b", Parsed("Comments=a=b").value);
  std::string noTables = Node(u"VS_VERSION_INFO", 0, VersionInfo().substr(40, 52), 52);
  const std::string kept = noTables;
  EXPECT_FALSE(zvpack::SetVersionStrings(&noTables, {Parsed("CompanyName=x")}, &error));
  EXPECT_EQ(kept, noTables);
  std::string huge = VersionInfo();
  EXPECT_FALSE(zvpack::SetVersionStrings(&huge, {Parsed("Comments=" + std::string(40000, 'x'))}, &error));
  EXPECT_EQ("the version resource would pass 64 KiB", error);
}

}  // namespace
