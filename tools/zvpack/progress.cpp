// The progress line, the per-archive lines of a log and the summary table.
#include "tools/zvpack/progress.h"

#include "platform/tool/terminal.h"

#include <algorithm>

namespace zvpack {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;
// A terminal line is redrawn at most this often.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

std::string MinutesSeconds(double seconds) {
  const long whole = seconds < 0 ? 0 : static_cast<long>(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}

// Packed size as a share of the input; "-" for an empty input.
std::string Ratio(uint64_t in, uint64_t out) {
  if (in == 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f%%", 100.0 * static_cast<double>(out) / static_cast<double>(in));
  return text;
}

void PrintRow(std::FILE* out, int width, const PackStats& s) {
  std::fprintf(out, "%-*s %7llu %14llu %14llu %7s %8.1f\n", width, s.label.c_str(), static_cast<unsigned long long>(s.files),
               static_cast<unsigned long long>(s.bytesIn), static_cast<unsigned long long>(s.bytesOut),
               Ratio(s.bytesIn, s.bytesOut).c_str(), s.seconds);
}

}  // namespace

std::string HumanBytes(uint64_t bytes) {
  char text[32];
  if (bytes >= (uint64_t{1} << 20)) {
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / kMiB);
  } else if (bytes >= 1024) {
    std::snprintf(text, sizeof text, "%.1f KiB", static_cast<double>(bytes) / 1024.0);
  } else {
    std::snprintf(text, sizeof text, "%llu B", static_cast<unsigned long long>(bytes));
  }
  return text;
}

Progress::Mode Progress::ModeForStderr(bool quiet) {
  if (quiet) return Mode::kQuiet;
  return platform_tool::StderrIsTerminal() ? Mode::kTerminal : Mode::kLines;
}

double Progress::Elapsed() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

void Progress::BeginArchive(const std::string& label, uint64_t files) {
  label_ = label;
  files_ = files;
  filesDone_ = 0;
  Redraw(true);
}

void Progress::EntryDone(uint64_t bytesIn) {
  bytesDone_ += bytesIn;
  ++filesDone_;
  Redraw(false);
}

void Progress::Redraw(bool force) {
  if (mode_ != Mode::kTerminal) return;
  const Clock::time_point now = Clock::now();
  if (!force && now - lastDraw_ < kRedrawInterval) return;
  lastDraw_ = now;
  const double elapsed = Elapsed();
  const double rate = elapsed > 0 ? static_cast<double>(bytesDone_) / elapsed : 0;
  std::string left = "?";
  if (rate > 0 && totalBytes_ >= bytesDone_) left = MinutesSeconds(static_cast<double>(totalBytes_ - bytesDone_) / rate);
  // \033[K clears what a longer line before left behind.
  std::fprintf(stderr, "\rzvpack: %s %llu/%llu files, %.1f of %.1f MiB, %.1f MiB/s, %s left\033[K", label_.c_str(),
               static_cast<unsigned long long>(filesDone_), static_cast<unsigned long long>(files_),
               static_cast<double>(bytesDone_) / kMiB, static_cast<double>(totalBytes_) / kMiB, rate / kMiB,
               left.c_str());
  std::fflush(stderr);
}

void Progress::EndArchive(const PackStats& stats) {
  done_.push_back(stats);
  if (mode_ == Mode::kQuiet) return;
  if (mode_ == Mode::kTerminal) std::fputs("\r\033[K", stderr);
  std::fprintf(stderr, "zvpack: %s: %llu %s, %s in, %s out (%s), %.1f s\n", stats.label.c_str(),
               static_cast<unsigned long long>(stats.files), stats.files == 1 ? "file" : "files",
               HumanBytes(stats.bytesIn).c_str(),
               HumanBytes(stats.bytesOut).c_str(), Ratio(stats.bytesIn, stats.bytesOut).c_str(), stats.seconds);
  std::fflush(stderr);
}

void Progress::ClearLine() {
  if (mode_ == Mode::kTerminal) std::fputs("\r\033[K", stderr);
}

void Progress::PrintSummary(std::FILE* out) const {
  if (mode_ == Mode::kQuiet) return;
  int width = 13;  // the longest of the setup's archive names
  for (const PackStats& s : done_) width = std::max(width, static_cast<int>(s.label.size()));
  std::fprintf(out, "%-*s %7s %14s %14s %7s %8s\n", width, "archive", "files", "bytes in", "bytes out", "ratio",
               "seconds");
  PackStats total;
  total.label = "total";
  for (const PackStats& s : done_) {
    PrintRow(out, width, s);
    total.files += s.files;
    total.bytesIn += s.bytesIn;
    total.bytesOut += s.bytesOut;
    total.seconds += s.seconds;
  }
  PrintRow(out, width, total);
  std::fflush(out);
}

}  // namespace zvpack
