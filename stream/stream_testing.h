//===- stream_testing.h - Helpers of the stream tests (internal) ---------===//
// Temporary folders, zlib input, recording readers and writers, and catching the two
// forms in which the layer raises. For the *_test.cpp files of stream/ only.
#ifndef VX_STREAM_STREAM_TESTING_H
#define VX_STREAM_STREAM_TESTING_H

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/file.h"
#include "stream/stream_exception.h"
#include "stream/stream_interfaces.h"
#include "platform/testing/file_faults.h"

namespace vxtest {

constexpr int32_t kNothingRaised = INT32_MIN;

// The code of the VxStreamException* that f raises (the exception is deleted), or
// kNothingRaised.
template <class F>
int32_t FileErrorOf(F&& f) {
  try {
    f();
  } catch (VxStreamException* e) {
    std::unique_ptr<VxStreamException> owned(e);
    return e->GetCode();
  }
  return kNothingRaised;
}

// The code of the VxStreamException that f raises by value; checks its text.
template <class F>
int32_t InflateErrorOf(F&& f) {
  try {
    f();
  } catch (const VxStreamException& e) {
    EXPECT_STREQ(e.GetText(), "Zlib-Fehler");
    return e.GetCode();
  }
  return kNothingRaised;
}

// A fresh folder under the system's temporary folder, removed with everything in it.
// Also clears the platform's file faults on both ends, so that no test leaks one.
class TempDirTest : public ::testing::Test {
 protected:
  TempDirTest() {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
      dir = std::filesystem::temp_directory_path() /
            ("vxstream-" + std::to_string(stamp) + "-" + std::to_string(counter++));
      if (std::filesystem::create_directory(dir)) break;
    }
    platform::FileFaults::Clear();
  }
  ~TempDirTest() override {
    platform::FileFaults::Clear();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }

  std::string Path(const std::string& name) const { return (dir / name).string(); }

  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

  std::filesystem::path dir;
};

// Repetitive text with a pseudo-random sprinkle, so that each level compresses it
// differently; the same size and seed give the same bytes.
inline std::string Sample(size_t size, uint32_t seed = 1) {
  static const std::string kWords[] = {"zelvora ", "setup ", "photo ", "archive ", "\n", std::string(2, '\0')};
  std::string out;
  while (out.size() < size) {
    seed = seed * 1103515245u + 12345u;
    if ((seed >> 28) < 3) out += static_cast<char>(seed >> 16);
    else out += kWords[(seed >> 16) % 6];
  }
  out.resize(size);
  return out;
}

// A complete zlib stream of `content` made at `level`.
inline std::string Deflate(const std::string& content, int level) {
  uLongf size = compressBound(static_cast<uLong>(content.size()));
  std::string out(size, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(content.data()),
                      static_cast<uLong>(content.size()), level),
            Z_OK);
  out.resize(size);
  return out;
}

// Keeps every write and its size.
class RecordingWriter final : public VxWriter {
 public:
  uint32_t Write(const void* buffer, uint32_t count) override {
    sizes.push_back(count);
    bytes.append(static_cast<const char*>(buffer), count);
    return count;
  }
  std::vector<uint32_t> sizes;
  std::string bytes;
};

// Serves `bytes`, at most `trickle` bytes per Read (0: as many as asked), and keeps the
// count of every request. `onRead` runs before each request is served.
class RecordingReader final : public VxReader {
 public:
  explicit RecordingReader(std::string content, uint32_t trickleLimit = 0)
      : bytes(std::move(content)), trickle(trickleLimit) {}
  uint32_t Read(void* buffer, uint32_t count) override {
    if (onRead) onRead();
    asked.push_back(count);
    size_t n = std::min<size_t>({count, bytes.size() - served, trickle ? trickle : count});
    bytes.copy(static_cast<char*>(buffer), n, served);
    served += n;
    return static_cast<uint32_t>(n);
  }
  std::string bytes;
  uint32_t trickle;
  size_t served = 0;
  std::vector<uint32_t> asked;
  std::function<void()> onRead;
};

// Checks the chunking rule: every write but the last exactly `chunk` bytes, none empty.
inline void ExpectChunked(const std::vector<uint32_t>& sizes, uint32_t chunk) {
  for (size_t i = 0; i < sizes.size(); ++i) {
    EXPECT_GT(sizes[i], 0u) << "write " << i;
    if (i + 1 < sizes.size()) {
      EXPECT_EQ(sizes[i], chunk) << "write " << i;
    } else {
      EXPECT_LE(sizes[i], chunk) << "last write";
    }
  }
}

}  // namespace vxtest

#endif  // VX_STREAM_STREAM_TESTING_H
