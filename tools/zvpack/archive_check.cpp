// Listing, verification and unpacking over the launcher's archive reader.
#include "tools/zvpack/archive_check.h"

#include "archive/archive_reader.h"
#include "archive/archive_verify.h"
#include "archive/extract_entry.h"
#include "platform/tool/extraction_folder.h"
#include "stream/stream_exception.h"

namespace zvpack {
namespace {

// Names are joined to this folder only to satisfy the reader's length check;
// nothing is written there.
const char kListWorkDir[] = "Z:\\";

// The directory check with its reason as a string.
bool CheckDirectory(ArchiveReader* reader, size_t size, std::string* error) {
  ArchiveProblem problem;
  if (CheckArchiveDirectory(reader, size, &problem)) return true;
  *error = problem.text;
  return false;
}

}  // namespace

bool VerifyArchive(const unsigned char* base, size_t size, std::string* error) {
  ArchiveProblem problem;
  if (::VerifyArchive(base, size, &problem)) return true;
  *error = problem.text;
  return false;
}

bool CheckZlibStream(const unsigned char* data, uint32_t size, uint32_t expected, std::string* why) {
  ArchiveProblem problem;
  if (::CheckZlibStream(data, size, expected, &problem)) return true;
  *why = problem.text;
  return false;
}

bool ListArchive(const unsigned char* base, size_t size, std::FILE* out, std::string* error) {
  ArchiveReader reader(base, ArchiveSize32(size), VxString(kListWorkDir));
  if (!CheckDirectory(&reader, size, error)) return false;
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

bool ExtractArchive(const unsigned char* base, size_t size, const std::string& hostDir, bool verbose,
                    std::FILE* out, std::string* error) {
  if (!VerifyArchive(base, size, error)) return false;
  using Problem = platform_tool::ExtractionFolder::Problem;
  platform_tool::ExtractionFolder folder;
  const Problem entered = folder.Enter(hostDir);
  if (entered == Problem::kNotMade) {
    *error = hostDir + ": cannot be made a directory";
    return false;
  }
  if (entered == Problem::kNoDrive) {
    *error = "no free drive letter for " + hostDir;
    return false;
  }
  bool ok = entered == Problem::kNone;
  if (!ok) *error = hostDir + ": cannot be entered";
  ArchiveReader reader(base, ArchiveSize32(size), VxString(".\\"));
  ok = ok && CheckDirectory(&reader, size, error);
  ArchiveEntry entry;
  CreatedDirList dirs;
  for (uint32_t index = 0; ok && reader.Next(&entry); ++index) {
    try {
      ExtractArchiveEntry(entry.data, entry.compressedSize, entry.destination, &dirs);
      if (verbose) std::fprintf(out, "%s\n", entry.name);
    } catch (VxStreamException* e) {
      ArchiveProblem problem;
      SetEntryProblem(&problem, index, entry, "stream error %d%s%s", static_cast<int>(e->GetCode()),
                      e->GetText() != nullptr ? " on " : "", e->GetText() != nullptr ? e->GetText() : "");
      *error = problem.text;
      delete e;
      ok = false;
    } catch (const VxStreamException& e) {
      ArchiveProblem problem;
      SetEntryProblem(&problem, index, entry, "inflate error %d", static_cast<int>(e.GetCode()));
      *error = problem.text;
      ok = false;
    }
  }
  return ok;
}

}  // namespace zvpack
