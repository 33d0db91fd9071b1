// Test-only writer of archive images.
#include "archive/testing/archive_writer.h"

#include <zlib.h>

#include <stdexcept>

namespace archive_testing {

void PutU32(std::string* out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::string Deflate(const std::string& contents) {
  uLongf length = compressBound(static_cast<uLong>(contents.size()));
  std::string out(length, '\0');
  if (compress2(reinterpret_cast<Bytef*>(&out[0]), &length,
                reinterpret_cast<const Bytef*>(contents.data()), static_cast<uLong>(contents.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK) {
    throw std::runtime_error("compress2 failed");
  }
  out.resize(length);
  return out;
}

std::string StoredStream(const std::string& contents) {
  std::string out("\x78\x01", 2);
  size_t done = 0;
  do {
    size_t chunk = contents.size() - done;
    if (chunk > 0xFFFF) chunk = 0xFFFF;
    bool last = done + chunk == contents.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<char>(chunk & 0xFF));
    out.push_back(static_cast<char>(chunk >> 8));
    out.push_back(static_cast<char>(~chunk & 0xFF));
    out.push_back(static_cast<char>((~chunk >> 8) & 0xFF));
    out.append(contents, done, chunk);
    done += chunk;
  } while (done < contents.size());
  uint32_t adler = static_cast<uint32_t>(
      adler32(1, reinterpret_cast<const Bytef*>(contents.data()), static_cast<uInt>(contents.size())));
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((adler >> shift) & 0xFF));
  return out;
}

TestEntry& ArchiveWriter::AddFile(const std::string& name, const std::string& contents) {
  return AddStream(name, Deflate(contents), static_cast<uint32_t>(contents.size()));
}

TestEntry& ArchiveWriter::AddStream(const std::string& name, const std::string& stream,
                                    uint32_t uncompressedSize) {
  TestEntry entry;
  entry.name = name;
  entry.stream = stream;
  entry.uncompressedSize = uncompressedSize;
  entries_.push_back(entry);
  return entries_.back();
}

uint32_t ArchiveWriter::DirOffset() const {
  size_t offset = 4;
  for (const TestEntry& entry : entries_) offset += entry.stream.size();
  return static_cast<uint32_t>(offset);
}

std::string ArchiveWriter::Build() const {
  std::string image;
  PutU32(&image, DirOffset());
  for (const TestEntry& entry : entries_) image += entry.stream;
  PutU32(&image, static_cast<uint32_t>(entries_.size()));
  uint32_t offset = 4;
  for (const TestEntry& entry : entries_) {
    image.push_back(static_cast<char>(entry.name.size()));
    image += entry.name;
    PutU32(&image, entry.overrideData ? entry.dataOffset : offset);
    PutU32(&image, entry.overrideData ? entry.compressedSize : static_cast<uint32_t>(entry.stream.size()));
    PutU32(&image, entry.uncompressedSize);
    PutU32(&image, entry.time1);
    PutU32(&image, entry.time2);
    PutU32(&image, entry.time3);
    offset += static_cast<uint32_t>(entry.stream.size());
  }
  return image;
}

}  // namespace archive_testing
