// The archive directory walk and its checks.
#include "archive/archive_reader.h"

#include "archive/entry_name.h"

#include <cstring>

using archive_format::ReadU32;

const char* ArchiveErrorText(ArchiveError error) {
  switch (error) {
    case ArchiveError::kNone: return "no error";
    case ArchiveError::kHeaderCut: return "archive shorter than its header";
    case ArchiveError::kDirectoryOutOfRange: return "directory offset outside the archive";
    case ArchiveError::kCountTooLarge: return "entry count larger than the directory holds";
    case ArchiveError::kRecordCut: return "directory record cut off at the end of the archive";
    case ArchiveError::kDataOutOfRange: return "entry data outside the archive's data area";
    case ArchiveError::kBadName: return "entry name not a plain relative path";
    case ArchiveError::kDestinationTooLong: return "entry path longer than 511 characters";
  }
  return "unknown archive error";
}

ArchiveReader::ArchiveReader(const unsigned char* base, uint32_t size, const VxString& workDir)
    : base_(base), size_(size), workDir_(workDir) {
  destination_[0] = '\0';
}

ArchiveReader::~ArchiveReader() { ReleaseName(); }

void ArchiveReader::ReleaseName() {
  delete[] name_;
  name_ = nullptr;
}

ArchiveError ArchiveReader::Fail(ArchiveError error, uint32_t entry) {
  error_ = error;
  failedEntry_ = entry;
  return error;
}

ArchiveError ArchiveReader::Check() {
  using namespace archive_format;
  if (checked_) return ArchiveError::kNone;
  if (error_ != ArchiveError::kNone) return error_;
  // Every sum below is taken in 64 bits: no 32-bit field can wrap it around.
  if (base_ == nullptr || size_ < kHeaderSize) return Fail(ArchiveError::kHeaderCut, 0);
  uint32_t dirOffset = ReadU32(base_);
  if (dirOffset < kHeaderSize || uint64_t{dirOffset} + kCountSize > size_) {
    return Fail(ArchiveError::kDirectoryOutOfRange, 0);
  }
  uint32_t count = ReadU32(base_ + dirOffset);
  uint64_t recordBytes = uint64_t{size_} - dirOffset - kCountSize;
  if (count > recordBytes / kRecordFixedSize) return Fail(ArchiveError::kCountTooLarge, count);

  size_t workLength = static_cast<size_t>(workDir_.GetLength());
  uint64_t position = uint64_t{dirOffset} + kCountSize;
  for (uint32_t k = 0; k < count; ++k) {
    if (position + kRecordFixedSize > size_) return Fail(ArchiveError::kRecordCut, k);
    uint32_t nameLength = base_[position];
    if (position + kRecordFixedSize + nameLength > size_) return Fail(ArchiveError::kRecordCut, k);
    const char* name = reinterpret_cast<const char*>(base_ + position + 1);
    const unsigned char* tail = base_ + position + 1 + nameLength;
    uint32_t dataOffset = ReadU32(tail);
    uint32_t compressedSize = ReadU32(tail + 4);
    // The streams lie between the header and the directory.
    if (dataOffset < kHeaderSize || uint64_t{dataOffset} + compressedSize > dirOffset) {
      return Fail(ArchiveError::kDataOutOfRange, k);
    }
    if (!IsPlainEntryName(name, nameLength)) return Fail(ArchiveError::kBadName, k);
    if (workLength + nameLength > kMaxDestinationLength) {
      return Fail(ArchiveError::kDestinationTooLong, k);
    }
    position += kRecordFixedSize + nameLength;
  }
  count_ = count;
  position_ = dirOffset + kCountSize;
  taken_ = 0;
  failedEntry_ = count;
  checked_ = true;
  return ArchiveError::kNone;
}

bool ArchiveReader::Next(ArchiveEntry* entry) {
  using namespace archive_format;
  ReleaseName();
  if (!checked_ || taken_ >= count_) return false;
  // Check has proved every read below to lie inside the resource.
  uint32_t n = base_[position_];
  name_ = new char[n + 1];
  std::memcpy(name_, base_ + position_ + 1, n);
  name_[n] = '\0';
  position_ += 1 + n;
  const unsigned char* tail = base_ + position_;
  entry->name = name_;
  entry->nameLength = n;
  entry->dataOffset = ReadU32(tail);
  entry->compressedSize = ReadU32(tail + 4);
  entry->uncompressedSize = ReadU32(tail + 8);
  entry->time1 = ReadU32(tail + 12);
  entry->time2 = ReadU32(tail + 16);
  entry->time3 = ReadU32(tail + 20);
  position_ += kRecordTailSize;
  entry->data = base_ + entry->dataOffset;

  size_t workLength = static_cast<size_t>(workDir_.GetLength());
  std::memcpy(destination_, static_cast<const char*>(workDir_), workLength);
  std::memcpy(destination_ + workLength, name_, n + 1);
  entry->destination = destination_;
  ++taken_;
  return true;
}
