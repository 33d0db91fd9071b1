//===- progress.h - What a packing run tells while it runs and at its end ---===//
// On a terminal one line on stderr is rewritten as entries finish: the
// archive, files done, MiB done of the run's total, the rate and the time
// left. Elsewhere (a CI log) nothing is rewritten: one plain line per archive
// when it is done, without carriage returns. At the end the summary is a table
// on stdout, one row per archive and a total. Quiet drops both. Warnings and
// errors do not pass through here.
//
// Entry calls come from the one thread that writes the archive, in order.
#ifndef VX_TOOLS_ZVPACK_PROGRESS_H
#define VX_TOOLS_ZVPACK_PROGRESS_H

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zvpack {

// What one archive took and gave.
struct PackStats {
  std::string label;  // the archive as the user names it
  uint64_t files = 0;
  uint64_t bytesIn = 0;
  uint64_t bytesOut = 0;  // the whole archive as written, directory included
  double seconds = 0;
};

class Progress {
 public:
  enum class Mode { kQuiet, kLines, kTerminal };
  // The mode for stderr as it is: kTerminal on a terminal, else kLines.
  static Mode ModeForStderr(bool quiet);

  Progress(Mode mode, uint64_t totalBytes) : mode_(mode), totalBytes_(totalBytes) {}
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void BeginArchive(const std::string& label, uint64_t files);
  void EntryDone(uint64_t bytesIn);
  // Ends the archive's line and keeps its row for the summary.
  void EndArchive(const PackStats& stats);
  // Clears a half-drawn terminal line, so that an error starts a line of its own.
  void ClearLine();
  // The table on out, unless quiet.
  void PrintSummary(std::FILE* out) const;
  const std::vector<PackStats>& Archives() const { return done_; }

 private:
  using Clock = std::chrono::steady_clock;
  void Redraw(bool force);
  double Elapsed() const;

  Mode mode_;
  uint64_t totalBytes_;
  uint64_t bytesDone_ = 0;
  uint64_t filesDone_ = 0;
  uint64_t files_ = 0;
  std::string label_;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastDraw_{};
  std::vector<PackStats> done_;
};

// "1.5 MiB", "320 KiB", "12 B": a byte count for people.
std::string HumanBytes(uint64_t bytes);

}  // namespace zvpack

#endif  // VX_TOOLS_ZVPACK_PROGRESS_H
