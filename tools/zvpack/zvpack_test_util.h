//===- zvpack_test_util.h - Temporary folders and files for the tests (tests only) -===//
#ifndef VX_TOOLS_ZVPACK_ZVPACK_TEST_UTIL_H
#define VX_TOOLS_ZVPACK_ZVPACK_TEST_UTIL_H

#include "archive/archive_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace zvpack_testing {

// A fresh host folder, removed with everything in it on destruction. Paths are
// UTF-8, as zvpack takes them on every system.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::filesystem::path candidate =
          std::filesystem::temp_directory_path() / ("zvpack-test-" + std::to_string(random()));
      std::error_code ec;
      if (std::filesystem::create_directory(candidate, ec)) path_ = candidate.u8string();
    }
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(std::filesystem::u8path(path_), ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& contents) {
  const std::filesystem::path file = std::filesystem::u8path(path);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Bytes that zlib cannot shrink, the same on every run.
inline std::string NoiseBytes(size_t size, uint32_t seed) {
  std::string out(size, '\0');
  uint64_t x = 0x9E3779B97F4A7C15ull ^ seed;
  for (char& c : out) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    c = static_cast<char>(x >> 24);
  }
  return out;
}

// Text-like bytes that shrink well.
inline std::string TextBytes(size_t size) {
  static const char kWords[] = "lorem ipsum dolor sit amet zelvora photo setup ";
  std::string out;
  out.reserve(size);
  for (size_t i = 0; out.size() < size; ++i) out += kWords[(i * 7) % (sizeof kWords - 1)];
  out.resize(size);
  return out;
}

// The stored names of an archive, in directory order; empty when it does not
// pass the reader's checks.
inline std::vector<std::string> StoredNames(const std::string& archive) {
  ArchiveReader reader(reinterpret_cast<const unsigned char*>(archive.data()), static_cast<uint32_t>(archive.size()),
                       VxString("C:\\"));
  std::vector<std::string> names;
  if (reader.Check() != ArchiveError::kNone) return names;
  ArchiveEntry entry;
  while (reader.Next(&entry)) names.push_back(entry.name);
  return names;
}

// The names in a host folder (not below it), sorted.
inline std::vector<std::string> FolderListing(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(std::filesystem::u8path(dir))) {
    names.push_back(item.path().filename().u8string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace zvpack_testing

#endif  // VX_TOOLS_ZVPACK_ZVPACK_TEST_UTIL_H
