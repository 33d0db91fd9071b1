// sequence_run: the launcher's whole unpacking sequence on the host at scale.
//   sequence_run ENTRIES BYTES [ARCHIVES]
// Builds ARCHIVES (1 to 5, default 5) payload archives holding ENTRIES files of BYTES in all
// between them, runs the sequence into a scratch temporary folder and checks that every file
// arrived whole and the script names each; prints the peak resident memory that the run
// added on top of what building the images took (Linux: VmHWM after resetting it). Exit 0
// when everything arrived, 1 otherwise. Meant for large payloads and for memory checkers.
#include "archive/testing/archive_writer.h"
#include "launcher/exit_codes.h"
#include "launcher/file_system.h"
#include "launcher/setup_sequence.h"
#include "platform/host/resource_registry.h"
#include "platform/process.h"
#include "platform/resources.h"
#include "platform/testing/scratch_dir.h"
#include "platform/testing/process_recorder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using archive_testing::ArchiveWriter;
using platform_testing::ScratchDir;

// Text-like contents that compress about as well as documents do, varied by seed so that no
// two files are the same.
std::string Contents(uint64_t size, uint32_t seed) {
  static const char* const kWords[] = {"setup ", "picture ", "album ", "Zelvora ", "export ",
                                       "\r\n", "colour ", "1024 ", "frame ", "light "};
  std::string text;
  text.reserve(size);
  uint32_t state = seed * 2654435761u + 1;
  while (text.size() < size) {
    state = state * 1103515245u + 12345u;
    text += kWords[(state >> 16) % 10];
  }
  text.resize(size);
  return text;
}

long ReadStatusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::string(key).size());
  }
  return -1;
}

void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: sequence_run ENTRIES BYTES [ARCHIVES]\n");
    return 2;
  }
  const uint32_t entries = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10));
  const uint64_t bytes = std::strtoull(argv[2], nullptr, 10);
  const int archiveCount = argc > 3 ? std::atoi(argv[3]) : kPayloadArchiveCount;
  if (entries == 0 || archiveCount < 1 || archiveCount > kPayloadArchiveCount) return 2;

  std::vector<std::string> images(archiveCount);
  std::vector<ArchiveWriter> writers(archiveCount);
  for (uint32_t i = 0; i < entries; ++i) {
    const uint64_t size = bytes / entries + (i < bytes % entries ? 1 : 0);
    // Three levels of folders, as the payload has them, a hundred files a folder.
    const std::string name = "D" + std::to_string(i / 10000) + "\\S" + std::to_string(i / 100 % 100) +
                             "\\f" + std::to_string(i) + ".dat";
    writers[i % archiveCount].AddFile(name, Contents(size, i));
  }
  size_t imageBytes = 0;
  for (int a = 0; a < archiveCount; ++a) {
    images[a] = writers[a].Build();
    writers[a] = ArchiveWriter();
    imageBytes += images[a].size();
    platform::RegisterResource(platform::kArchiveResourceType, kPayloadArchives[a], images[a].data(),
                               static_cast<uint32_t>(images[a].size()));
  }

  ScratchDir scratch;
  const std::string temp = scratch.Path() + "\\";
  platform::RecordCommandsForTesting(true);
  const long before = ReadStatusKb("VmRSS:");
  ResetPeakMemory();
  const auto start = std::chrono::steady_clock::now();
  SetupOutcome outcome = RunSetupSequence(temp.c_str(), "");
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long peak = ReadStatusKb("VmHWM:");

  bool ok = outcome.exitCode == kExitSuccess;
  if (!ok) std::fprintf(stderr, "sequence_run: exit code %d: %s\n", outcome.exitCode, outcome.detail);
  std::string script;
  ok = ok && ScratchDir::ReadFile(temp + "0.bat", &script);
  size_t delLines = 0;
  for (size_t at = script.find("\r\ndel "); at != std::string::npos; at = script.find("\r\ndel ", at + 1)) {
    ++delLines;
  }
  // One line per entry and the script's own.
  if (ok && delLines != entries + 1) {
    std::fprintf(stderr, "sequence_run: the script deletes %zu files, expected %u\n", delLines, entries + 1);
    ok = false;
  }
  std::printf("entries=%u bytes=%llu images=%zu seconds=%.2f MB/s=%.1f rss_before_kb=%ld peak_added_kb=%ld %s\n",
              entries, static_cast<unsigned long long>(bytes), imageBytes, seconds,
              static_cast<double>(bytes) / 1e6 / seconds, before, peak - before, ok ? "ok" : "FAILED");
  platform::ClearResources();
  return ok ? 0 : 1;
}
