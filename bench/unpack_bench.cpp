// Unpacking the five setup archives the launcher's way, against the zlib floor and unzip.
//
// usage: unpack_bench [--runs N] [--label TEXT] ARCHIVE_DIR ZIP_FILE WORK_DIR
//
// ARCHIVE_DIR holds BASE.zva, SETUPBASE.zva, SETUPPICTLITE.zva, PICTLITE.zva and
// ZVIMAGE.zva; ZIP_FILE holds the same files (zip -6). Each run unpacks everything
// into a fresh folder below WORK_DIR, three ways:
//   launcher  ArchiveReader and ExtractArchiveEntry through the host drive view, so
//             every file goes through VxFile's 100-byte writes, as in the product;
//   floor     each entry inflated by one uncompress() into memory and written by one
//             write(), the least any unpacker of these streams can do;
//   unzip     unzip -q of ZIP_FILE, a separate process, as a user would run it;
//   copier    the launcher's inflate copier into a writer that drops the bytes: the
//             launcher's CPU work alone, without files or system calls;
//   check     the payload check the launcher runs before it writes anything: every
//             archive's directory and layout checked and every stream inflated once into
//             scratch memory (CheckArchiveDirectory and VerifyArchive).
// The archives are read into memory before timing, like resources that lie in the
// executable. The best of N runs counts; the floor's and unzip's output are
// compared with the launcher's once, so a fast but wrong path cannot win.
// Prints one line per way: seconds, MB/s of inflated bytes and the launcher's time
// over that way's time, then the check's share of the launcher's whole start: check over
// launcher (the unpack alone) and check over check plus unpack.
#include "archive/archive_reader.h"
#include "archive/archive_verify.h"
#include "archive/extract_entry.h"
#include "launcher/file_system.h"
#include "platform/host/drive_map.h"
#include "stream/inflate_copier.h"
#include "stream/mem_reader.h"
#include "stream/stream_interfaces.h"

#include <zlib.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

const char* const kArchiveNames[] = {"BASE", "SETUPBASE", "SETUPPICTLITE", "PICTLITE", "ZVIMAGE"};
// The drive letter that stands for the benchmark's work folder in the drive view.
constexpr char kDrive = 'W';

struct Archive {
  std::string name;
  std::vector<unsigned char> bytes;
};

struct Options {
  int runs = 3;
  std::string label;
  std::string archiveDir;
  std::string zipFile;
  std::string workDir;
};

[[noreturn]] void Die(const std::string& line) {
  std::fprintf(stderr, "unpack_bench: %s\n", line.c_str());
  std::exit(1);
}

bool ParseOptions(int argc, char** argv, Options* options) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      options->runs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--label" && i + 1 < argc) {
      options->label = argv[++i];
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 3) return false;
  options->archiveDir = positional[0];
  options->zipFile = positional[1];
  options->workDir = positional[2];
  return true;
}

std::vector<Archive> LoadArchives(const std::string& dir) {
  std::vector<Archive> archives;
  for (const char* name : kArchiveNames) {
    std::string path = dir + "/" + name + ".zva";
    std::ifstream in(path, std::ios::binary);
    if (!in) Die(path + ": cannot be read");
    Archive archive{name, {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}};
    archives.push_back(std::move(archive));
  }
  return archives;
}

// Walks one archive, handing every entry to unpack; refuses a damaged archive.
void ForEachEntry(const Archive& archive, const VxString& workDir,
                  const std::function<void(const ArchiveEntry&)>& unpack) {
  ArchiveReader reader(archive.bytes.data(), static_cast<uint32_t>(archive.bytes.size()), workDir);
  ArchiveError error = reader.Check();
  if (error != ArchiveError::kNone) Die(archive.name + ": " + ArchiveErrorText(error));
  ArchiveEntry entry;
  while (reader.Next(&entry)) unpack(entry);
}

uint64_t InflatedBytes(const std::vector<Archive>& archives) {
  uint64_t total = 0;
  for (const Archive& archive : archives) {
    ForEachEntry(archive, VxString("W:\\"), [&](const ArchiveEntry& e) { total += e.uncompressedSize; });
  }
  return total;
}

void UnpackLikeLauncher(const std::vector<Archive>& archives, const std::string& folder) {
  // The work folder as the launcher names it: a drive path ending with a backslash.
  const VxString workDir((std::string(1, kDrive) + ":\\" + folder + "\\").c_str());
  CreatedDirList dirs;
  for (const Archive& archive : archives) {
    ForEachEntry(archive, workDir, [&](const ArchiveEntry& e) {
      ExtractArchiveEntry(e.data, e.compressedSize, e.destination, &dirs);
    });
  }
}

// Takes every chunk and keeps only the count.
class DroppingWriter final : public VxWriter {
 public:
  uint32_t Write(const void*, uint32_t count) override {
    written_ += count;
    return count;
  }
  uint64_t Written() const { return written_; }

 private:
  uint64_t written_ = 0;
};

uint64_t InflateOnly(const std::vector<Archive>& archives) {
  DroppingWriter writer;
  VxInflateCopier copier;
  for (const Archive& archive : archives) {
    ForEachEntry(archive, VxString("W:\\"), [&](const ArchiveEntry& e) {
      VxMemReader reader(e.data, e.compressedSize);
      copier.Copy(writer, reader, 0);
    });
  }
  return writer.Written();
}

// The launcher refuses the whole payload when one archive fails; so does the benchmark.
void CheckLikeLauncher(const std::vector<Archive>& archives) {
  const VxString workDir("W:\\");
  for (const Archive& archive : archives) {
    ArchiveReader reader(archive.bytes.data(), static_cast<uint32_t>(archive.bytes.size()), workDir);
    ArchiveProblem why;
    if (!CheckArchiveDirectory(&reader, archive.bytes.size(), &why) ||
        !VerifyArchive(archive.bytes.data(), archive.bytes.size(), &why)) {
      Die(archive.name + ": " + why.text);
    }
  }
}

std::string HostName(const char* entryName) {
  std::string name = entryName;
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

void WriteWhole(const std::string& path, const std::vector<unsigned char>& data) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) Die(path + ": " + std::strerror(errno));
  ssize_t wrote = data.empty() ? 0 : write(fd, data.data(), data.size());
  if (wrote != static_cast<ssize_t>(data.size()) || close(fd) != 0) Die(path + ": write failed");
}

void UnpackFloor(const std::vector<Archive>& archives, const std::string& root) {
  std::vector<unsigned char> inflated;
  for (const Archive& archive : archives) {
    ForEachEntry(archive, VxString("W:\\"), [&](const ArchiveEntry& e) {
      fs::path path = fs::path(root) / HostName(e.name);
      fs::create_directories(path.parent_path());
      inflated.resize(e.uncompressedSize);
      uLongf size = e.uncompressedSize;
      int result = uncompress(inflated.data(), &size, e.data, e.compressedSize);
      if (result != Z_OK || size != e.uncompressedSize) Die(archive.name + ": " + e.name + " does not inflate");
      WriteWhole(path.string(), inflated);
    });
  }
}

void Unzip(const std::string& zipFile, const std::string& root) {
  std::vector<std::string> args = {"unzip", "-q", "-o", zipFile, "-d", root};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, "unzip", nullptr, nullptr, argv.data(), environ) != 0) Die("unzip cannot be started");
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) Die("unzip failed");
}

// One way of unpacking; run(i) unpacks everything once, into the i-th folder of its own.
// Emptying and refilling one folder would make ext4's inode allocation search the
// recently freed inodes, a cost of the benchmark, not of the unpacker.
struct Way {
  const char* name;
  std::function<void(int)> run;
  double best = 1e300;
};

// Runs the ways in turn, runs times over, so that a change of the machine's load
// falls on all of them alike, and keeps each way's best wall time.
void TimeInTurn(int runs, std::vector<Way>* ways) {
  for (int i = 0; i < runs; ++i) {
    for (Way& way : *ways) {
      auto start = std::chrono::steady_clock::now();
      way.run(i);
      std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      way.best = std::min(way.best, took.count());
    }
  }
}

std::string RunFolder(const std::string& way, int run) { return way + "-" + std::to_string(run); }

bool SameFile(const fs::path& a, const fs::path& b) {
  std::ifstream ia(a, std::ios::binary);
  std::ifstream ib(b, std::ios::binary);
  return ia && ib &&
         std::equal(std::istreambuf_iterator<char>(ia), std::istreambuf_iterator<char>(),
                    std::istreambuf_iterator<char>(ib), std::istreambuf_iterator<char>());
}

// Every file under expected is also under actual with the same bytes.
void CheckSameTree(const std::string& expected, const std::string& actual, const std::string& what) {
  size_t files = 0;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(expected)) {
    if (!e.is_regular_file()) continue;
    fs::path other = fs::path(actual) / fs::relative(e.path(), expected);
    if (!SameFile(e.path(), other)) Die(what + " differs from the launcher's output at " + other.string());
    ++files;
  }
  if (files == 0) Die("the launcher unpacked nothing");
}

void PrintRow(const char* way, double seconds, uint64_t bytes, double launcherSeconds) {
  std::printf("  %-10s %9.3f s %9.1f MB/s   launcher/%-8s %6.2f\n", way, seconds, bytes / seconds / 1e6, way,
              launcherSeconds / seconds);
}

void PrintCheckShare(double checkSeconds, double launcherSeconds) {
  std::printf("  payload check before unpacking: check/launcher %.2f, check/(check+launcher) %.2f\n",
              checkSeconds / launcherSeconds, checkSeconds / (checkSeconds + launcherSeconds));
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fputs("usage: unpack_bench [--runs N] [--label TEXT] ARCHIVE_DIR ZIP_FILE WORK_DIR\n", stderr);
    return 1;
  }
  std::vector<Archive> archives = LoadArchives(options.archiveDir);
  const uint64_t bytes = InflatedBytes(archives);

  fs::create_directories(options.workDir);
  if (!platform::MapDrive(kDrive, options.workDir)) Die(options.workDir + ": cannot be mapped as a drive");
  const std::string root = options.workDir + "/";

  uint64_t copied = 0;
  std::vector<Way> ways = {
      {"launcher", [&](int i) { UnpackLikeLauncher(archives, RunFolder("launcher", i)); }},
      {"floor", [&](int i) { UnpackFloor(archives, root + RunFolder("floor", i)); }},
      {"unzip", [&](int i) { Unzip(options.zipFile, root + RunFolder("unzip", i)); }},
      {"copier", [&](int) { copied = InflateOnly(archives); }},
      {"check", [&](int) { CheckLikeLauncher(archives); }},
  };
  TimeInTurn(options.runs, &ways);
  if (copied != bytes) Die("the inflate copier gave " + std::to_string(copied) + " bytes");
  CheckSameTree(root + RunFolder("launcher", 0), root + RunFolder("floor", 0), "the floor's output");
  CheckSameTree(root + RunFolder("launcher", 0), root + RunFolder("unzip", 0), "unzip's output");

  std::printf("unpack %s: 5 archives, %.2f MB inflated, best of %d runs\n", options.label.c_str(), bytes / 1e6,
              options.runs);
  for (const Way& way : ways) PrintRow(way.name, way.best, bytes, ways[0].best);
  PrintCheckShare(ways.back().best, ways[0].best);
  for (const char* way : {"launcher", "floor", "unzip"}) {
    for (int i = 0; i < options.runs; ++i) fs::remove_all(root + RunFolder(way, i));
  }
  return 0;
}
