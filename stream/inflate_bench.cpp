// Inflating an archive entry the launcher's way (VxInflateCopier, 100-byte writes into a
// VxFile) against the fastest plain way (zlib's uncompress into memory, then one write).
// The second benchmark reports both throughputs and their ratio as counters.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "stream/file_stream.h"
#include "stream/inflate_copier.h"
#include "stream/mem_reader.h"

namespace {

constexpr size_t kContentSize = 10 * 1000 * 1000;

// Text-like content that compresses about as well as the application's files (3-4x).
const std::string& Content() {
  static const std::string content = [] {
    static const char* const kWords[] = {"zelvora ", "photo ", "setup ", "<entry id=", "\r\n", "archive "};
    std::string out;
    out.reserve(kContentSize);
    uint32_t seed = 12345;
    while (out.size() < kContentSize) {
      seed = seed * 1103515245u + 12345u;
      if ((seed >> 29) < 3) out += static_cast<char>(seed >> 16);
      else out += kWords[(seed >> 16) % 6];
    }
    out.resize(kContentSize);
    return out;
  }();
  return content;
}

const std::string& Compressed() {
  static const std::string compressed = [] {
    const std::string& content = Content();
    uLongf size = compressBound(static_cast<uLong>(content.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(content.data()),
              static_cast<uLong>(content.size()), 9);
    out.resize(size);
    return out;
  }();
  return compressed;
}

std::string OutputPath() {
  return (std::filesystem::temp_directory_path() / "vxstream-bench.bin").string();
}

double copierSecondsPerRun = 0;

void BM_InflateCopierIntoFile(benchmark::State& state) {
  const std::string& stream = Compressed();
  const std::string path = OutputPath();
  double seconds = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    VxMemReader reader(stream.data(), static_cast<uint32_t>(stream.size()));
    VxFile file(path.c_str(), 0x1001);
    VxInflateCopier copier;
    benchmark::DoNotOptimize(copier.Copy(file, reader, 0));
    file.Close();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  copierSecondsPerRun = seconds / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kContentSize));
  state.counters["MB_per_s"] = kContentSize / copierSecondsPerRun / 1e6;
  state.counters["compressed_bytes"] = static_cast<double>(stream.size());
  std::filesystem::remove(path);
}

void BM_UncompressThenOneWrite(benchmark::State& state) {
  const std::string& stream = Compressed();
  const std::string path = OutputPath();
  double seconds = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    std::vector<Bytef> out(kContentSize);
    uLongf size = static_cast<uLongf>(out.size());
    uncompress(out.data(), &size, reinterpret_cast<const Bytef*>(stream.data()), static_cast<uLong>(stream.size()));
    VxFile file(path.c_str(), 0x1001);
    file.Write(out.data(), static_cast<uint32_t>(size));
    file.Close();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const double perRun = seconds / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kContentSize));
  state.counters["MB_per_s"] = kContentSize / perRun / 1e6;
  if (copierSecondsPerRun > 0) {
    state.counters["copier_MB_per_s"] = kContentSize / copierSecondsPerRun / 1e6;
    // How many times longer the launcher's way takes.
    state.counters["copier_time_ratio"] = copierSecondsPerRun / perRun;
  }
  std::filesystem::remove(path);
}

// Registered in this order so that the second sees the first's figure.
BENCHMARK(BM_InflateCopierIntoFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_UncompressThenOneWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
