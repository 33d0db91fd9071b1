// Listing, verification and unpacking over the launcher's archive reader.
#include "tools/zvpack/archive_check.h"

#include "archive/archive_reader.h"
#include "archive/extract_entry.h"
#include "platform/dirs.h"
#include "platform/host/drive_map.h"
#include "stream/stream_exception.h"

#include <zlib.h>

#include <filesystem>
#include <limits>
#include <vector>

namespace zvpack {
namespace {

// Names are joined to this folder only to satisfy the reader's length check;
// nothing is written there.
const char kListWorkDir[] = "Z:\\";

std::string EntryLabel(uint32_t index, const ArchiveEntry& entry) {
  return "entry " + std::to_string(index) + " \"" + std::string(entry.name, entry.nameLength) + "\"";
}

bool CheckReader(ArchiveReader* reader, size_t size, std::string* error) {
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

uint32_t SafeSize(size_t size) {
  return size > std::numeric_limits<uint32_t>::max() ? 0 : static_cast<uint32_t>(size);
}

// A drive letter that the host view does not use yet, or 0.
char FreeDriveLetter() {
  for (char letter = 'Z'; letter > 'C'; --letter) {
    if (platform::MappedDrive(letter).empty()) return letter;
  }
  return 0;
}

}  // namespace

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

bool ListArchive(const unsigned char* base, size_t size, std::FILE* out, std::string* error) {
  ArchiveReader reader(base, SafeSize(size), VxString(kListWorkDir));
  if (!CheckReader(&reader, size, error)) return false;
  std::fprintf(out, "%10s %10s %10s  %s\n", "offset", "packed", "size", "name");
  ArchiveEntry entry;
  uint64_t packed = 0;
  uint64_t inflated = 0;
  while (reader.Next(&entry)) {
    std::fprintf(out, "%10u %10u %10u  %s\n", entry.dataOffset, entry.compressedSize, entry.uncompressedSize,
                 entry.name);
    packed += entry.compressedSize;
    inflated += entry.uncompressedSize;
  }
  std::fprintf(out, "%10s %10llu %10llu  %u entries, %zu bytes\n", "", static_cast<unsigned long long>(packed),
               static_cast<unsigned long long>(inflated), reader.GetEntryCount(), size);
  return true;
}

bool VerifyArchive(const unsigned char* base, size_t size, std::string* error) {
  ArchiveReader reader(base, SafeSize(size), VxString(kListWorkDir));
  if (!CheckReader(&reader, size, error)) return false;
  const uint32_t dirOffset = archive_format::ReadU32(base);
  uint64_t expectedOffset = archive_format::kHeaderSize;
  uint64_t directoryEnd = static_cast<uint64_t>(dirOffset) + archive_format::kCountSize;
  ArchiveEntry entry;
  for (uint32_t index = 0; reader.Next(&entry); ++index) {
    directoryEnd += archive_format::kRecordFixedSize + entry.nameLength;
    if (entry.dataOffset != expectedOffset) {
      *error = EntryLabel(index, entry) + ": stream at offset " + std::to_string(entry.dataOffset) +
               (entry.dataOffset > expectedOffset ? ", leaving a gap; expected " : ", overlapping; expected ") +
               std::to_string(expectedOffset);
      return false;
    }
    if (entry.time3 < entry.time1 || entry.time3 < entry.time2) {
      *error = EntryLabel(index, entry) + ": time3 is earlier than time1 or time2";
      return false;
    }
    std::string why;
    if (!CheckZlibStream(entry.data, entry.compressedSize, entry.uncompressedSize, &why)) {
      *error = EntryLabel(index, entry) + ": " + why;
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

bool ExtractArchive(const unsigned char* base, size_t size, const std::string& hostDir, bool verbose,
                    std::FILE* out, std::string* error) {
  if (!VerifyArchive(base, size, error)) return false;
  std::error_code ec;
  std::filesystem::create_directories(hostDir, ec);
  std::string absolute = std::filesystem::absolute(hostDir, ec).string();
  if (ec || !std::filesystem::is_directory(absolute, ec)) {
    *error = hostDir + ": cannot be made a directory";
    return false;
  }
  char letter = FreeDriveLetter();
  if (letter == 0 || !platform::MapDrive(letter, absolute)) {
    *error = "no free drive letter for " + hostDir;
    return false;
  }
  // The entries go to ".\\name" with the mapped drive current and the host's
  // own current directory on the same folder, so that the directory calls (drive
  // view) and the file opening (host path) reach the same place whichever way the
  // host file layer reads a path.
  const int previousDrive = platform::GetDrive();
  std::string previousCwd = std::filesystem::current_path(ec).string();
  bool ok = !ec && platform::ChangeDrive(letter - 'A' + 1) == 0;
  if (ok) {
    std::filesystem::current_path(absolute, ec);
    ok = !ec;
  }
  if (!ok) *error = hostDir + ": cannot be entered";
  ArchiveReader reader(base, SafeSize(size), VxString(".\\"));
  ok = ok && CheckReader(&reader, size, error);
  ArchiveEntry entry;
  CreatedDirList dirs;
  for (uint32_t index = 0; ok && reader.Next(&entry); ++index) {
    try {
      ExtractArchiveEntry(entry.data, entry.compressedSize, entry.destination, &dirs);
      if (verbose) std::fprintf(out, "%s\n", entry.name);
    } catch (VxStreamException* e) {
      *error = EntryLabel(index, entry) + ": stream error " + std::to_string(e->GetCode()) +
               (e->GetText() != nullptr ? std::string(" on ") + e->GetText() : std::string());
      delete e;
      ok = false;
    } catch (const VxStreamException& e) {
      *error = EntryLabel(index, entry) + ": inflate error " + std::to_string(e.GetCode());
      ok = false;
    }
  }
  if (!previousCwd.empty()) std::filesystem::current_path(previousCwd, ec);
  platform::ChangeDrive(previousDrive);
  platform::MapDrive(letter, "");
  return ok;
}

}  // namespace zvpack
