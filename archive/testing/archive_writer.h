//===- archive_writer.h - Builds archive images for tests (tests only) ----===//
// Lays entries out as every stored archive is laid out: the first stream at
// offset 4, each further one right behind the one before, the directory right
// behind the last stream and ending at the end of the image. Fields can be
// overridden per entry to build damaged archives.
#ifndef VX_ARCHIVE_TESTING_ARCHIVE_WRITER_H
#define VX_ARCHIVE_TESTING_ARCHIVE_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

namespace archive_testing {

// contents as one zlib stream at zlib's default level (header 78 9C).
std::string Deflate(const std::string& contents);

// contents as one zlib stream of stored blocks (header 78 01): the same bytes
// with every zlib version.
std::string StoredStream(const std::string& contents);

struct TestEntry {
  std::string name;
  std::string stream;         // the zlib stream as it goes into the image
  uint32_t uncompressedSize;
  uint32_t time1 = 0x3C000000;
  uint32_t time2 = 0x3C000000;
  uint32_t time3 = 0x3C000001;
  // When set, written instead of the offset and size that the layout gives.
  bool overrideData = false;
  uint32_t dataOffset = 0;
  uint32_t compressedSize = 0;
};

class ArchiveWriter {
 public:
  // Deflates contents.
  TestEntry& AddFile(const std::string& name, const std::string& contents);
  // Takes stream as it is, with its stated inflated size.
  TestEntry& AddStream(const std::string& name, const std::string& stream, uint32_t uncompressedSize);

  std::vector<TestEntry>& Entries() { return entries_; }

  // The image. The directory starts at DirOffset().
  std::string Build() const;
  uint32_t DirOffset() const;

 private:
  std::vector<TestEntry> entries_;
};

void PutU32(std::string* out, uint32_t value);

}  // namespace archive_testing

#endif  // VX_ARCHIVE_TESTING_ARCHIVE_WRITER_H
