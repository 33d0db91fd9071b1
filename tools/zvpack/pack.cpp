// Archive writing: gathering inputs, parallel compression, the archive layout.
#include "tools/zvpack/pack.h"

#include "archive/archive_format.h"
#include "archive/entry_name.h"
#include "tools/zvpack/compress.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <mutex>
#include <set>
#include <thread>

namespace fs = std::filesystem;

namespace zvpack {
namespace {

constexpr uint64_t kMaxArchiveSize = std::numeric_limits<uint32_t>::max();

std::string ErrnoText() { return std::strerror(errno); }

// What a worker hands to the writer for one entry.
struct Compressed {
  bool done = false;
  std::string stream;
  uint32_t uncompressedSize = 0;
  uint32_t time1 = 0;
  uint32_t time2 = 0;
  std::string error;
};

uint32_t ClampTime(int64_t t) {
  if (t < 0) return 0;
  if (t > static_cast<int64_t>(std::numeric_limits<uint32_t>::max())) return std::numeric_limits<uint32_t>::max();
  return static_cast<uint32_t>(t);
}

// Reads and compresses one file. The whole file is held in memory; entries are
// limited to 4 GiB by the format anyway.
void CompressOne(const PackInput& input, int level, Compressed* out) {
  struct stat st;
  if (stat(input.hostPath.c_str(), &st) != 0) {
    out->error = input.hostPath + ": " + ErrnoText();
    return;
  }
  if (!S_ISREG(st.st_mode)) {
    out->error = input.hostPath + ": not a regular file";
    return;
  }
  if (static_cast<uint64_t>(st.st_size) > kMaxArchiveSize) {
    out->error = input.hostPath + ": larger than an archive can hold (4 GiB)";
    return;
  }
  out->time1 = ClampTime(st.st_mtime);
  out->time2 = ClampTime(st.st_ctime);

  std::FILE* f = std::fopen(input.hostPath.c_str(), "rb");
  if (f == nullptr) {
    out->error = input.hostPath + ": " + ErrnoText();
    return;
  }
  std::string data(static_cast<size_t>(st.st_size), '\0');
  size_t got = data.empty() ? 0 : std::fread(&data[0], 1, data.size(), f);
  bool failed = std::ferror(f) != 0;
  bool more = std::fgetc(f) != EOF;
  std::fclose(f);
  if (failed) {
    out->error = input.hostPath + ": read failed";
    return;
  }
  if (got != data.size() || more) {
    out->error = input.hostPath + ": the file changed size while it was packed";
    return;
  }

  std::string error;
  if (!CompressToZlibStream(data, level, &out->stream, &error)) {
    out->error = input.hostPath + ": " + error;
    return;
  }
  out->uncompressedSize = static_cast<uint32_t>(data.size());
}

void PutU32(std::string* out, uint32_t v) {
  char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
               static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
  out->append(b, 4);
}

bool StartsWithComment(const std::string& line) { return !line.empty() && line[0] == '#'; }

char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool CollectDirectory(const std::string& dir, std::vector<PackInput>* inputs, std::string* error) {
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    *error = dir + ": not a directory";
    return false;
  }
  std::vector<PackInput> found;
  fs::recursive_directory_iterator it(dir, fs::directory_options::follow_directory_symlink, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const fs::directory_entry& entry = *it;
    std::error_code typeEc;
    if (entry.is_directory(typeEc)) continue;
    std::string relative = fs::relative(entry.path(), dir, typeEc).generic_string();
    if (!entry.is_regular_file(typeEc)) {
      *error = entry.path().string() + ": not a regular file";
      return false;
    }
    if (relative.find('\\') != std::string::npos) {
      // The backslash would turn into a folder separator inside the archive.
      *error = entry.path().string() + ": a backslash in a host name cannot be stored";
      return false;
    }
    std::replace(relative.begin(), relative.end(), '/', '\\');
    found.push_back(PackInput{relative, entry.path().string()});
  }
  if (ec) {
    *error = dir + ": " + ec.message();
    return false;
  }
  std::sort(found.begin(), found.end(), [](const PackInput& a, const PackInput& b) { return a.name < b.name; });
  *inputs = std::move(found);
  return true;
}

bool ReadListFile(const std::string& listPath, const std::string& baseDir, std::vector<PackInput>* inputs,
                  std::string* error) {
  std::ifstream in(listPath, std::ios::binary);
  if (!in) {
    *error = listPath + ": cannot be opened";
    return false;
  }
  std::vector<PackInput> found;
  std::string line;
  unsigned lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || StartsWithComment(line)) continue;
    PackInput input;
    size_t tab = line.find('\t');
    std::string hostPath;
    if (tab == std::string::npos) {
      input.name = line;
      hostPath = line;
    } else {
      input.name = line.substr(0, tab);
      hostPath = line.substr(tab + 1);
      if (hostPath.empty()) {
        *error = listPath + ":" + std::to_string(lineNumber) + ": no host path after the tab";
        return false;
      }
    }
    std::replace(input.name.begin(), input.name.end(), '/', '\\');
    input.hostPath = fs::path(hostPath).is_absolute() ? hostPath : (fs::path(baseDir) / hostPath).string();
    found.push_back(std::move(input));
  }
  if (in.bad()) {
    *error = listPath + ": read failed";
    return false;
  }
  *inputs = std::move(found);
  return true;
}

bool CheckInputNames(const std::vector<PackInput>& inputs, std::string* error) {
  std::set<std::string> folded;
  for (const PackInput& input : inputs) {
    const std::string& name = input.name;
    if (name.size() > archive_format::kMaxNameLength) {
      *error = input.hostPath + ": entry name is " + std::to_string(name.size()) + " bytes, at most " +
               std::to_string(archive_format::kMaxNameLength) + " fit";
      return false;
    }
    if (!IsPlainEntryName(name.data(), name.size())) {
      *error = input.hostPath + ": entry name \"" + name +
               "\" is not a plain relative path that the launcher unpacks";
      return false;
    }
    std::string key = name;
    std::transform(key.begin(), key.end(), key.begin(), FoldCase);
    if (!folded.insert(key).second) {
      *error = input.hostPath + ": entry name \"" + name + "\" appears twice (case is ignored)";
      return false;
    }
  }
  return true;
}

bool CreateArchive(const std::string& archivePath, const std::vector<PackInput>& inputs,
                   const PackOptions& options, std::string* error) {
  if ((options.level < 0 || options.level > 9) && options.level != kBestLevel) {
    *error = "compression level must be 0 to 9, or " + std::to_string(kBestLevel) + " for the smallest streams";
    return false;
  }
  if (!CheckInputNames(inputs, error)) return false;

  const size_t count = inputs.size();
  unsigned threads = options.threads != 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  threads = static_cast<unsigned>(std::min<size_t>(threads, std::max<size_t>(count, 1)));
  // Workers may run this far ahead of the writer; it bounds the memory held by
  // finished streams waiting for their turn.
  const size_t window = static_cast<size_t>(threads) * 4;

  std::vector<Compressed> results(count);
  std::mutex mutex;
  std::condition_variable changed;
  size_t next = 0;
  size_t written = 0;
  bool stop = false;

  auto worker = [&]() {
    for (;;) {
      size_t index;
      {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return stop || next >= count || next < written + window; });
        if (stop || next >= count) return;
        index = next++;
      }
      Compressed result;
      CompressOne(inputs[index], options.level, &result);
      {
        std::lock_guard<std::mutex> lock(mutex);
        results[index] = std::move(result);
        results[index].done = true;
      }
      changed.notify_all();
    }
  };

  const std::string tempPath = archivePath + ".tmp" + std::to_string(getpid());
  std::FILE* out = std::fopen(tempPath.c_str(), "wb");
  if (out == nullptr) {
    *error = tempPath + ": " + ErrnoText();
    return false;
  }

  std::vector<std::thread> pool;
  for (unsigned i = 0; i < threads; ++i) pool.emplace_back(worker);

  std::string directory;
  PutU32(&directory, static_cast<uint32_t>(count));
  struct Times {
    uint32_t time1, time2;
  };
  std::vector<Times> times(count);
  uint64_t offset = archive_format::kHeaderSize;
  uint64_t inflatedTotal = 0;
  bool ok = std::fwrite("\0\0\0\0", 1, 4, out) == 4;
  if (!ok) *error = tempPath + ": write failed";
  std::string dirRecords;
  for (size_t i = 0; ok && i < count; ++i) {
    Compressed entry;
    {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait(lock, [&] { return results[i].done; });
      entry = std::move(results[i]);
      results[i] = Compressed();
      ++written;
    }
    changed.notify_all();
    if (!entry.error.empty()) {
      *error = entry.error;
      ok = false;
      break;
    }
    if (offset + entry.stream.size() > kMaxArchiveSize) {
      *error = archivePath + ": the archive would exceed 4 GiB at " + inputs[i].name;
      ok = false;
      break;
    }
    if (std::fwrite(entry.stream.data(), 1, entry.stream.size(), out) != entry.stream.size()) {
      *error = tempPath + ": write failed";
      ok = false;
      break;
    }
    const std::string& name = inputs[i].name;
    dirRecords.push_back(static_cast<char>(name.size()));
    dirRecords += name;
    PutU32(&dirRecords, static_cast<uint32_t>(offset));
    PutU32(&dirRecords, static_cast<uint32_t>(entry.stream.size()));
    PutU32(&dirRecords, entry.uncompressedSize);
    // time3 is filled in below, once the newest time of the archive is known.
    PutU32(&dirRecords, 0);
    PutU32(&dirRecords, 0);
    PutU32(&dirRecords, 0);
    times[i] = Times{entry.time1, entry.time2};
    offset += entry.stream.size();
    inflatedTotal += entry.uncompressedSize;
    if (options.progress) {
      std::fprintf(stderr, "\rzvpack: %zu/%zu entries, %llu MiB in, %llu MiB out", i + 1, count,
                   static_cast<unsigned long long>(inflatedTotal >> 20),
                   static_cast<unsigned long long>(offset >> 20));
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    stop = true;
  }
  changed.notify_all();
  for (std::thread& t : pool) t.join();
  if (options.progress && count != 0) std::fputc('\n', stderr);

  if (ok) {
    uint32_t packTime = 0;
    for (size_t i = 0; i < count; ++i) {
      if (options.haveEpoch) {
        times[i].time1 = std::min(times[i].time1, options.epoch);
        times[i].time2 = std::min(times[i].time2, options.epoch);
      }
      packTime = std::max({packTime, times[i].time1, times[i].time2});
    }
    if (options.haveEpoch) packTime = options.epoch;
    // Patch the three stamps of every record: they are the last 12 bytes of it.
    size_t position = 0;
    for (size_t i = 0; i < count; ++i) {
      size_t tail = position + 1 + inputs[i].name.size() + 12;
      std::string stamps;
      PutU32(&stamps, times[i].time1);
      PutU32(&stamps, times[i].time2);
      PutU32(&stamps, packTime);
      dirRecords.replace(tail, 12, stamps);
      position = tail + 12;
    }
    directory += dirRecords;
    if (offset + directory.size() > kMaxArchiveSize) {
      *error = archivePath + ": the archive would exceed 4 GiB";
      ok = false;
    }
  }
  if (ok) {
    std::string header;
    PutU32(&header, static_cast<uint32_t>(offset));
    ok = std::fwrite(directory.data(), 1, directory.size(), out) == directory.size() &&
         std::fseek(out, 0, SEEK_SET) == 0 && std::fwrite(header.data(), 1, 4, out) == 4;
    if (!ok) *error = tempPath + ": write failed";
  }
  if (std::fclose(out) != 0 && ok) {
    *error = tempPath + ": write failed";
    ok = false;
  }
  if (ok && std::rename(tempPath.c_str(), archivePath.c_str()) != 0) {
    *error = archivePath + ": " + ErrnoText();
    ok = false;
  }
  if (!ok) std::remove(tempPath.c_str());
  return ok;
}

}  // namespace zvpack
