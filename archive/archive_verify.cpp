// The full integrity check of one archive: layout and every stream.
#include "archive/archive_verify.h"

#include "archive/archive_format.h"

#include <zlib.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace {

// Names are joined to this folder only to satisfy the reader's length check;
// nothing is written there.
const char kVerifyWorkDir[] = "Z:\\";

// The stream check inflates into this much scratch memory at a time.
constexpr uInt kSinkSize = 1 << 16;

void SetProblemV(ArchiveProblem* problem, size_t start, const char* format, va_list args) {
  std::vsnprintf(problem->text + start, ArchiveProblem::kSize - start, format, args);
}

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void SetProblem(ArchiveProblem* problem, const char* format, ...) {
  va_list args;
  va_start(args, format);
  SetProblemV(problem, 0, format, args);
  va_end(args);
}

// The archive's sizes all fit 32 bits once its size does; printed as such.
unsigned long Number(uint64_t value) {
  return static_cast<unsigned long>(value);
}

}  // namespace

void SetEntryProblem(ArchiveProblem* problem, uint32_t index, const ArchiveEntry& entry, const char* format, ...) {
  int label = std::snprintf(problem->text, ArchiveProblem::kSize, "entry %u \"%.*s\": ", index,
                            static_cast<int>(entry.nameLength), entry.name);
  if (label < 0 || static_cast<size_t>(label) >= ArchiveProblem::kSize) return;
  va_list args;
  va_start(args, format);
  SetProblemV(problem, static_cast<size_t>(label), format, args);
  va_end(args);
}

bool CheckArchiveDirectory(ArchiveReader* reader, size_t size, ArchiveProblem* problem) {
  if (size > std::numeric_limits<uint32_t>::max()) {
    SetProblem(problem, "larger than 4 GiB, which no archive can be");
    return false;
  }
  ArchiveError result = reader->Check();
  if (result == ArchiveError::kNone) return true;
  // Record-level failures name the record; the name itself may be the damage.
  if (result != ArchiveError::kHeaderCut && result != ArchiveError::kDirectoryOutOfRange &&
      result != ArchiveError::kCountTooLarge) {
    SetProblem(problem, "entry %u: %s", reader->GetFailedEntry(), ArchiveErrorText(result));
  } else {
    SetProblem(problem, "%s", ArchiveErrorText(result));
  }
  return false;
}

uint32_t ArchiveSize32(size_t size) {
  return size > std::numeric_limits<uint32_t>::max() ? 0 : static_cast<uint32_t>(size);
}

bool CheckZlibStream(const unsigned char* data, uint32_t size, uint32_t expected, ArchiveProblem* why) {
  // Made before the inflater, which would leak if the sink's allocation raised after it.
  std::unique_ptr<Bytef[]> sink(new Bytef[kSinkSize]);
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) {
    SetProblem(why, "inflater could not be started");
    return false;
  }
  zs.next_in = const_cast<Bytef*>(data);
  zs.avail_in = size;
  // Counted here in 64 bits: zlib's total_out is a uLong, 32 bits on Windows, and a
  // stream of 4 GiB more than expected would wrap to the expected size. The check stops
  // as soon as the stream has given more than expected.
  uint64_t inflated = 0;
  int result;
  do {
    zs.next_out = sink.get();
    zs.avail_out = kSinkSize;
    result = inflate(&zs, Z_NO_FLUSH);
    inflated += kSinkSize - zs.avail_out;
  } while (result == Z_OK && inflated <= expected);
  const uInt left = zs.avail_in;
  char zlibText[128] = "";
  if (zs.msg != nullptr) std::snprintf(zlibText, sizeof zlibText, "%s", zs.msg);
  inflateEnd(&zs);

  if (result == Z_OK) {
    SetProblem(why, "inflates to more than the %u bytes the directory says", expected);
    return false;
  }
  if (result == Z_BUF_ERROR && left == 0) {
    SetProblem(why, "stream ends early, after %lu inflated bytes", Number(inflated));
    return false;
  }
  if (result == Z_DATA_ERROR && std::strcmp(zlibText, "incorrect data check") == 0) {
    SetProblem(why, "Adler-32 trailer does not match the inflated data");
    return false;
  }
  if (result != Z_STREAM_END) {
    if (zlibText[0] == '\0') {
      SetProblem(why, "damaged zlib stream");
    } else {
      SetProblem(why, "damaged zlib stream (%s)", zlibText);
    }
    return false;
  }
  if (left != 0) {
    SetProblem(why, "%u bytes follow the end of the zlib stream", left);
    return false;
  }
  if (inflated != expected) {
    SetProblem(why, "inflates to %lu bytes, the directory says %u", Number(inflated), expected);
    return false;
  }
  return true;
}

bool VerifyArchive(const unsigned char* base, size_t size, ArchiveProblem* problem) {
  ArchiveReader reader(base, ArchiveSize32(size), VxString(kVerifyWorkDir));
  if (!CheckArchiveDirectory(&reader, size, problem)) return false;
  const uint32_t dirOffset = archive_format::ReadU32(base);
  uint64_t expectedOffset = archive_format::kHeaderSize;
  uint64_t directoryEnd = static_cast<uint64_t>(dirOffset) + archive_format::kCountSize;
  ArchiveEntry entry;
  for (uint32_t index = 0; reader.Next(&entry); ++index) {
    directoryEnd += archive_format::kRecordFixedSize + entry.nameLength;
    if (entry.dataOffset != expectedOffset) {
      SetEntryProblem(problem, index, entry, "stream at offset %u, %s; expected %lu", entry.dataOffset,
                      entry.dataOffset > expectedOffset ? "leaving a gap" : "overlapping", Number(expectedOffset));
      return false;
    }
    if (entry.time3 < entry.time1 || entry.time3 < entry.time2) {
      SetEntryProblem(problem, index, entry, "time3 is earlier than time1 or time2");
      return false;
    }
    ArchiveProblem why;
    if (!CheckZlibStream(entry.data, entry.compressedSize, entry.uncompressedSize, &why)) {
      SetEntryProblem(problem, index, entry, "%s", why.text);
      return false;
    }
    expectedOffset += entry.compressedSize;
  }
  if (dirOffset != expectedOffset) {
    SetProblem(problem, "directory at offset %u, not right behind the last stream (%lu)", dirOffset,
               Number(expectedOffset));
    return false;
  }
  if (directoryEnd != size) {
    SetProblem(problem, "directory ends at %lu, not at the end of the archive (%lu)", Number(directoryEnd),
               Number(size));
    return false;
  }
  return true;
}
