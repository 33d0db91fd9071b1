// The full integrity check of one archive: layout and every stream.
#include "archive/archive_verify.h"

#include "archive/archive_format.h"

#include <zlib.h>

#include <limits>
#include <vector>

namespace {

// Names are joined to this folder only to satisfy the reader's length check;
// nothing is written there.
const char kVerifyWorkDir[] = "Z:\\";

}  // namespace

std::string ArchiveEntryLabel(uint32_t index, const ArchiveEntry& entry) {
  return "entry " + std::to_string(index) + " \"" + std::string(entry.name, entry.nameLength) + "\"";
}

bool CheckArchiveDirectory(ArchiveReader* reader, size_t size, std::string* error) {
  if (size > std::numeric_limits<uint32_t>::max()) {
    *error = "larger than 4 GiB, which no archive can be";
    return false;
  }
  ArchiveError result = reader->Check();
  if (result == ArchiveError::kNone) return true;
  *error = ArchiveErrorText(result);
  // Record-level failures name the record; the name itself may be the damage.
  if (result != ArchiveError::kHeaderCut && result != ArchiveError::kDirectoryOutOfRange &&
      result != ArchiveError::kCountTooLarge) {
    *error = "entry " + std::to_string(reader->GetFailedEntry()) + ": " + *error;
  }
  return false;
}

uint32_t ArchiveSize32(size_t size) {
  return size > std::numeric_limits<uint32_t>::max() ? 0 : static_cast<uint32_t>(size);
}

bool CheckZlibStream(const unsigned char* data, uint32_t size, uint32_t expected, std::string* why) {
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) {
    *why = "inflater could not be started";
    return false;
  }
  zs.next_in = const_cast<Bytef*>(data);
  zs.avail_in = size;
  std::vector<Bytef> sink(1 << 16);
  int result;
  do {
    zs.next_out = sink.data();
    zs.avail_out = static_cast<uInt>(sink.size());
    result = inflate(&zs, Z_NO_FLUSH);
  } while (result == Z_OK);
  uint64_t inflated = zs.total_out;
  uInt left = zs.avail_in;
  std::string zlibText = zs.msg != nullptr ? zs.msg : "";
  inflateEnd(&zs);

  if (result == Z_BUF_ERROR && left == 0) {
    *why = "stream ends early, after " + std::to_string(inflated) + " inflated bytes";
    return false;
  }
  if (result == Z_DATA_ERROR && zlibText == "incorrect data check") {
    *why = "Adler-32 trailer does not match the inflated data";
    return false;
  }
  if (result != Z_STREAM_END) {
    *why = "damaged zlib stream" + (zlibText.empty() ? std::string() : " (" + zlibText + ")");
    return false;
  }
  if (left != 0) {
    *why = std::to_string(left) + " bytes follow the end of the zlib stream";
    return false;
  }
  if (inflated != expected) {
    *why = "inflates to " + std::to_string(inflated) + " bytes, the directory says " + std::to_string(expected);
    return false;
  }
  return true;
}

bool VerifyArchive(const unsigned char* base, size_t size, std::string* error) {
  ArchiveReader reader(base, ArchiveSize32(size), VxString(kVerifyWorkDir));
  if (!CheckArchiveDirectory(&reader, size, error)) return false;
  const uint32_t dirOffset = archive_format::ReadU32(base);
  uint64_t expectedOffset = archive_format::kHeaderSize;
  uint64_t directoryEnd = static_cast<uint64_t>(dirOffset) + archive_format::kCountSize;
  ArchiveEntry entry;
  for (uint32_t index = 0; reader.Next(&entry); ++index) {
    directoryEnd += archive_format::kRecordFixedSize + entry.nameLength;
    if (entry.dataOffset != expectedOffset) {
      *error = ArchiveEntryLabel(index, entry) + ": stream at offset " + std::to_string(entry.dataOffset) +
               (entry.dataOffset > expectedOffset ? ", leaving a gap; expected " : ", overlapping; expected ") +
               std::to_string(expectedOffset);
      return false;
    }
    if (entry.time3 < entry.time1 || entry.time3 < entry.time2) {
      *error = ArchiveEntryLabel(index, entry) + ": time3 is earlier than time1 or time2";
      return false;
    }
    std::string why;
    if (!CheckZlibStream(entry.data, entry.compressedSize, entry.uncompressedSize, &why)) {
      *error = ArchiveEntryLabel(index, entry) + ": " + why;
      return false;
    }
    expectedOffset += entry.compressedSize;
  }
  if (dirOffset != expectedOffset) {
    *error = "directory at offset " + std::to_string(dirOffset) + ", not right behind the last stream (" +
             std::to_string(expectedOffset) + ")";
    return false;
  }
  if (directoryEnd != size) {
    *error = "directory ends at " + std::to_string(directoryEnd) + ", not at the end of the archive (" +
             std::to_string(size) + ")";
    return false;
  }
  return true;
}

