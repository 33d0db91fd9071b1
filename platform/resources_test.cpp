#include "platform/resources.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include "platform/host/resource_registry.h"
#endif

namespace {

TEST(ResourcesTest, MissingResourceLeavesTheResultAlone) {
  platform::ResourceBytes found{nullptr, 77};
  EXPECT_FALSE(platform::FindResourceBytes(nullptr, platform::kArchiveResourceType, "NOSUCHARCHIVE", &found));
  EXPECT_EQ(found.data, nullptr);
  EXPECT_EQ(found.size, 77u);
}

#ifndef _WIN32
TEST(ResourcesTest, RegistryFindsByTypeAndNameIgnoringCase) {
  static const unsigned char kBase[] = {4, 0, 0, 0, 0, 0, 0, 0};
  static const unsigned char kOther[] = {1, 2, 3};
  platform::RegisterResource("ZVArc", "BASE", kBase, sizeof kBase);
  platform::RegisterResource("ZVArc", "PICTLITE", kOther, sizeof kOther);
  platform::ResourceBytes found{nullptr, 0};
  ASSERT_TRUE(platform::FindResourceBytes(nullptr, "zvarc", "base", &found));
  EXPECT_EQ(found.data, kBase);
  EXPECT_EQ(found.size, sizeof kBase);
  ASSERT_TRUE(platform::FindResourceBytes(nullptr, "ZVArc", "PictLite", &found));
  EXPECT_EQ(found.size, 3u);
  EXPECT_FALSE(platform::FindResourceBytes(nullptr, "Other", "BASE", &found));
  platform::RegisterResource("ZVARC", "base", kOther, 2);  // replaces
  ASSERT_TRUE(platform::FindResourceBytes(nullptr, "ZVArc", "BASE", &found));
  EXPECT_EQ(found.data, kOther);
  EXPECT_EQ(found.size, 2u);
  platform::ClearResources();
  EXPECT_FALSE(platform::FindResourceBytes(nullptr, "ZVArc", "BASE", &found));
}
#endif

}  // namespace
