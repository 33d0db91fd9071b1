// Counting and checking a packed archive.
#include "next_stage/archive_summary.h"

#include "archive/archive_reader.h"
#include "archive/archive_verify.h"
#include "platform/resources.h"
#include "stream/inflate_copier.h"
#include "stream/mem_reader.h"
#include "stream/stream_exception.h"

#include <string>

namespace {

// The reader checks names against a destination; the summary unpacks nowhere,
// so the shortest folder stands in.
const char kNoWorkDir[] = "C:\\";

class CountingWriter final : public VxWriter {
 public:
  uint32_t Write(const void* /*buffer*/, uint32_t count) override {
    total += count;
    return count;
  }
  uint64_t total = 0;
};

// Every entry through the copier that the launcher unpacks with. Damaged data
// ends an entry quietly, as it does for the launcher; the check reports it.
uint64_t InflateAll(ArchiveReader* reader, std::string* problem) {
  CountingWriter counter;
  ArchiveEntry entry;
  try {
    VxInflateCopier copier;
    while (reader->Next(&entry)) {
      VxMemReader source(entry.data, entry.compressedSize);
      copier.Copy(counter, source, 0);
    }
  } catch (const VxStreamException& e) {
    *problem = "the inflater failed with code " + std::to_string(e.GetCode());
  }
  return counter.total;
}

}  // namespace

void SummariseArchiveBytes(const unsigned char* base, uint32_t size, ArchiveSummary* summary) {
  ArchiveReader reader(base, size, VxString(kNoWorkDir));
  std::string inflateProblem;
  if (reader.Check() == ArchiveError::kNone) {
    summary->entries = reader.GetEntryCount();
    summary->inflatedBytes = InflateAll(&reader, &inflateProblem);
  }
  ArchiveProblem problem;
  summary->sound = VerifyArchive(base, size, &problem);
  if (!summary->sound) summary->problem = problem.text;
  if (summary->sound && !inflateProblem.empty()) {
    summary->sound = false;
    summary->problem = inflateProblem;
  }
}

ArchiveSummary SummariseArchive(void* module, const char* name) {
  ArchiveSummary summary;
  summary.name = name;
  platform::ResourceBytes bytes;
  if (!platform::FindResourceBytes(module, platform::kArchiveResourceType, name, &bytes)) {
    summary.problem = "no such resource";
    return summary;
  }
  summary.found = true;
  SummariseArchiveBytes(bytes.data, bytes.size, &summary);
  return summary;
}
