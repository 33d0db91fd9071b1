// Archive writing: the checks before compressing, parallel compression, the archive layout.
#include "tools/zvpack/pack.h"

#include "archive/archive_format.h"
#include "platform/tool/worker_threads.h"
#include "tools/zvpack/compress.h"
#include "tools/zvpack/stored_name.h"
#include "tools/zvpack/temp_output.h"
#include "tools/zvpack/tree_walk.h"

#include "platform/tool/input_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>

namespace zvpack {
namespace {

constexpr uint64_t kMaxArchiveSize = std::numeric_limits<uint32_t>::max();

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

// An upper bound of the zlib stream of size bytes at every level: zlib's own
// worst case (compressBound) is about size/3300 + 13 bytes more than size,
// libdeflate's (libdeflate_zlib_compress_bound) size/1000 + 20.
uint64_t StreamBound(uint64_t size) { return size + size / 256 + 64; }

// Reads the whole file, which was expectedSize bytes when the inputs were
// checked. A file that is no longer that size, or changes while it is read, is
// refused rather than packed half old and half new.
bool ReadInput(const std::string& hostPath, uint64_t expectedSize, std::string* data, platform_tool::FileFacts* facts,
               std::string* error) {
  platform_tool::InputFile file;
  std::string reason;
  if (!file.Open(hostPath, &reason)) {
    *error = hostPath + ": " + reason;
    return false;
  }
  const std::string changed = hostPath + ": the file changed while it was packed";
  bool ok = file.Facts(facts) && facts->kind == platform_tool::FileKind::kRegular && facts->size == expectedSize;
  if (!ok) *error = changed;
  size_t got = 0;
  if (ok) data->assign(static_cast<size_t>(expectedSize), '\0');
  while (ok) {
    char probe;
    // Past the expected end one more byte is asked for: there must be none.
    const int64_t n = got < data->size() ? file.Read(&(*data)[got], data->size() - got, &reason)
                                         : file.Read(&probe, 1, &reason);
    if (n < 0) {
      *error = hostPath + ": " + reason;
      ok = false;
    } else if (got == data->size()) {
      ok = n == 0;
      if (!ok) *error = changed;
      break;
    } else if (n == 0) {
      *error = changed;
      ok = false;
    } else {
      got += static_cast<size_t>(n);
    }
  }
  platform_tool::FileFacts after;
  if (ok && (!file.Facts(&after) || after.size != facts->size || after.modifiedStamp != facts->modifiedStamp)) {
    *error = changed;
    ok = false;
  }
  return ok;
}

// Reads and compresses one file. The whole file is held in memory; entries are
// below 4 GiB.
void CompressOne(const PackInput& input, uint64_t expectedSize, int level, Compressed* out) {
  std::string data;
  platform_tool::FileFacts facts;
  if (!ReadInput(input.hostPath, expectedSize, &data, &facts, &out->error)) return;
  out->time1 = ClampTime(facts.modified);
  out->time2 = ClampTime(facts.changedOrCreated);
  std::string error;
  if (!CompressToZlibStream(data, level, &out->stream, &error)) {
    out->error = input.hostPath + ": " + error;
    return;
  }
  out->uncompressedSize = static_cast<uint32_t>(data.size());
}

// The size of every input, checked before anything is compressed: each must be
// a regular file below 4 GiB, and the archive must fit the format's 32-bit
// offsets even if nothing shrinks.
bool CheckInputFiles(const std::string& label, const std::vector<PackInput>& inputs,
                     std::vector<uint64_t>* sizes, std::string* error) {
  uint64_t bound = archive_format::kHeaderSize + archive_format::kCountSize;
  sizes->clear();
  for (const PackInput& input : inputs) {
    platform_tool::FileFacts facts;
    if (!FactsFollowingLinks(input.hostPath, &facts, error)) return false;
    if (const char* kind = NotRegularKind(facts)) {
      *error = input.hostPath + ": " + kind + ", not a regular file";
      return false;
    }
    const uint64_t size = facts.size;
    if (size > std::numeric_limits<uint32_t>::max()) {
      *error = input.hostPath + ": " + std::to_string(size) + " bytes; an entry must be smaller than 4 GiB";
      return false;
    }
    sizes->push_back(size);
    bound += StreamBound(size) + archive_format::kRecordFixedSize + input.name.size();
  }
  if (bound > kMaxArchiveSize) {
    *error = label + ": the inputs may not fit the archive's 4 GiB (up to " + std::to_string(bound) +
             " bytes when packed); split them into several archives";
    return false;
  }
  return true;
}

void Warn(const PackOptions& options, const std::string& line) {
  if (options.warnings != nullptr) {
    options.warnings->push_back(line);
  } else {
    std::fprintf(stderr, "zvpack: warning: %s\n", line.c_str());
  }
}


void PutU32(std::string* out, uint32_t v) {
  char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
               static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
  out->append(b, 4);
}

// The archive's bytes as they are written: to a file or to memory.
class ArchiveSink {
 public:
  virtual ~ArchiveSink() = default;
  virtual bool Append(const std::string& bytes) = 0;
  // Puts the directory offset into the first four bytes, written as zeros.
  virtual bool SetHeader(const std::string& header) = 0;
};

class FileSink : public ArchiveSink {
 public:
  explicit FileSink(std::FILE* file) : file_(file) {}
  bool Append(const std::string& bytes) override {
    return WriteInPieces(file_, bytes.data(), bytes.size());
  }
  bool SetHeader(const std::string& header) override {
    return std::fseek(file_, 0, SEEK_SET) == 0 && std::fwrite(header.data(), 1, header.size(), file_) == header.size();
  }

 private:
  std::FILE* file_;
};

class MemorySink : public ArchiveSink {
 public:
  explicit MemorySink(std::string* bytes) : bytes_(bytes) { bytes_->clear(); }
  bool Append(const std::string& bytes) override {
    bytes_->append(bytes);
    return true;
  }
  bool SetHeader(const std::string& header) override {
    bytes_->replace(0, header.size(), header);
    return true;
  }

 private:
  std::string* bytes_;
};

// Fills in the three stamps of every record, the last 12 bytes of it, once the
// archive's newest time is known.
void PatchTimes(const std::vector<PackInput>& inputs, std::vector<std::pair<uint32_t, uint32_t>> times,
                const PackOptions& options, std::string* records) {
  uint32_t packTime = 0;
  for (auto& t : times) {
    if (options.haveEpoch) {
      t.first = std::min(t.first, options.epoch);
      t.second = std::min(t.second, options.epoch);
    }
    packTime = std::max({packTime, t.first, t.second});
  }
  if (options.haveEpoch) packTime = options.epoch;
  size_t position = 0;
  for (size_t i = 0; i < inputs.size(); ++i) {
    const size_t tail = position + 1 + inputs[i].name.size() + 12;
    std::string stamps;
    PutU32(&stamps, times[i].first);
    PutU32(&stamps, times[i].second);
    PutU32(&stamps, packTime);
    records->replace(tail, 12, stamps);
    position = tail + 12;
  }
}

// Compresses the inputs on the options' threads and writes them, in order,
// with the directory to sink. label names the archive in messages.
bool WriteArchive(const std::string& label, const std::vector<PackInput>& inputs, const std::vector<uint64_t>& sizes,
                  const PackOptions& options, ArchiveSink* sink, PackStats* stats, std::string* error);

}  // namespace

namespace {

bool CheckLevel(int level, std::string* error) {
  if ((level >= 0 && level <= 9) || level == kBestLevel) return true;
  *error = "compression level must be 0 to 9, or " + std::to_string(kBestLevel) + " for the smallest streams";
  return false;
}

// The checks made before anything is compressed, and the name warnings.
bool Prepare(const std::string& label, const std::vector<PackInput>& inputs, const PackOptions& options,
             std::vector<uint64_t>* sizes, std::string* error) {
  if (!CheckLevel(options.level, error) || !CheckInputNames(inputs, error) ||
      !CheckInputFiles(label, inputs, sizes, error)) {
    return false;
  }
  for (const std::string& warning : NameWarnings(label, inputs)) Warn(options, warning);
  return true;
}

bool WriteArchive(const std::string& label, const std::vector<PackInput>& inputs, const std::vector<uint64_t>& sizes,
                  const PackOptions& options, ArchiveSink* sink, PackStats* stats, std::string* error) {
  const auto start = std::chrono::steady_clock::now();
  const size_t count = inputs.size();
  unsigned threads = options.threads != 0 ? options.threads : platform_tool::ProcessorCount();
  threads = static_cast<unsigned>(std::min<size_t>(threads, std::max<size_t>(count, 1)));
  // Workers may run this far ahead of the writer; it bounds the memory held by
  // finished streams waiting for their turn.
  const size_t window = static_cast<size_t>(threads) * 4;

  std::vector<Compressed> results(count);
  platform_tool::WorkLock lock;
  platform_tool::WorkCondition changed;
  size_t next = 0;
  size_t written = 0;
  bool stop = false;

  auto worker = [&]() {
    for (;;) {
      size_t index;
      {
        platform_tool::LockHold hold(lock);
        changed.WaitUntil(lock, [&] { return stop || next >= count || next < written + window; });
        if (stop || next >= count) return;
        index = next++;
      }
      Compressed result;
      CompressOne(inputs[index], sizes[index], options.level, &result);
      {
        platform_tool::LockHold hold(lock);
        results[index] = std::move(result);
        results[index].done = true;
      }
      changed.NotifyAll();
    }
  };

  if (options.progress != nullptr) options.progress->BeginArchive(label, count);
  platform_tool::WorkerThreads pool;
  // Fewer threads than asked for only make the packing slower; none would leave it waiting.
  bool ok = pool.Start(threads, worker) != 0;
  if (!ok) *error = label + ": cannot start a compression thread";

  std::vector<std::pair<uint32_t, uint32_t>> times(count);
  uint64_t offset = archive_format::kHeaderSize;
  uint64_t inflatedTotal = 0;
  if (ok && !sink->Append(std::string(4, '\0'))) {
    *error = label + ": write failed";
    ok = false;
  }
  std::string records;
  for (size_t i = 0; ok && i < count; ++i) {
    Compressed entry;
    {
      platform_tool::LockHold hold(lock);
      changed.WaitUntil(lock, [&] { return results[i].done; });
      entry = std::move(results[i]);
      results[i] = Compressed();
      ++written;
    }
    changed.NotifyAll();
    if (!entry.error.empty()) {
      *error = entry.error;
      ok = false;
      break;
    }
    if (offset + entry.stream.size() > kMaxArchiveSize) {
      *error = label + ": the archive would exceed 4 GiB at " + DisplayName(inputs[i].name);
      ok = false;
      break;
    }
    if (!sink->Append(entry.stream)) {
      *error = label + ": write failed";
      ok = false;
      break;
    }
    const std::string& name = inputs[i].name;
    records.push_back(static_cast<char>(name.size()));
    records += name;
    PutU32(&records, static_cast<uint32_t>(offset));
    PutU32(&records, static_cast<uint32_t>(entry.stream.size()));
    PutU32(&records, entry.uncompressedSize);
    // The three time stamps are filled in once the newest time of the archive is known.
    records.append(12, '\0');
    times[i] = {entry.time1, entry.time2};
    offset += entry.stream.size();
    inflatedTotal += entry.uncompressedSize;
    if (options.progress != nullptr) options.progress->EntryDone(entry.uncompressedSize);
  }
  {
    platform_tool::LockHold hold(lock);
    stop = true;
  }
  changed.NotifyAll();
  pool.JoinAll();
  if (!ok && options.progress != nullptr) options.progress->ClearLine();
  if (!ok) return false;

  PatchTimes(inputs, std::move(times), options, &records);
  std::string directory;
  PutU32(&directory, static_cast<uint32_t>(count));
  directory += records;
  if (offset + directory.size() > kMaxArchiveSize) {
    *error = label + ": the archive would exceed 4 GiB";
    return false;
  }
  std::string header;
  PutU32(&header, static_cast<uint32_t>(offset));
  if (!sink->Append(directory) || !sink->SetHeader(header)) {
    *error = label + ": write failed";
    return false;
  }
  PackStats done;
  done.label = label;
  done.files = count;
  done.bytesIn = inflatedTotal;
  done.bytesOut = offset + directory.size();
  done.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (options.progress != nullptr) options.progress->EndArchive(done);
  if (stats != nullptr) *stats = done;
  return true;
}

}  // namespace

bool CheckInputFiles(const std::string& label, const std::vector<PackInput>& inputs, std::string* error) {
  std::vector<uint64_t> sizes;
  return CheckInputFiles(label, inputs, &sizes, error);
}

bool CreateArchive(const std::string& archivePath, const std::vector<PackInput>& inputs,
                   const PackOptions& options, std::string* error, PackStats* stats) {
  const std::string label = options.label.empty() ? archivePath : options.label;
  std::vector<uint64_t> sizes;
  if (!Prepare(label, inputs, options, &sizes, error)) return false;
  TempOutput temp(archivePath);
  if (!temp.Open(error)) return false;
  FileSink sink(temp.File());
  return WriteArchive(label, inputs, sizes, options, &sink, stats, error) && temp.Commit(error);
}

bool PackArchive(const std::vector<PackInput>& inputs, const PackOptions& options, std::string* archive,
                 std::string* error, PackStats* stats) {
  std::vector<uint64_t> sizes;
  if (!Prepare(options.label, inputs, options, &sizes, error)) return false;
  MemorySink sink(archive);
  return WriteArchive(options.label, inputs, sizes, options, &sink, stats, error);
}

}  // namespace zvpack
