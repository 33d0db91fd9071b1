// Benchmarks of VxString's text scans over large texts: Replace, Find and TrimRight should
// grow linearly with the text (64 KB, 256 KB, 1 MB), also when Replace meets thousands of
// occurrences.
#include <benchmark/benchmark.h>

#include <string>

#include "string/vx_string.h"

namespace {

// A text of `size` bytes: short words, spaces and "ab" every 16 bytes, with neither a NUL
// nor trailing whitespace.
VxString MakeText(int size) {
  static const char kPattern[] = "lorem ab ipsum, ";  // 16 bytes
  std::string text;
  text.reserve(static_cast<size_t>(size));
  while (static_cast<int>(text.size()) < size) text += kPattern;
  text.resize(static_cast<size_t>(size));
  text.back() = '.';
  return VxString(text.data(), size);
}

// Each round copies the text (sharing its block) and replaces in the copy, which first
// unshares it: one copy and two passes, every occurrence growing by one byte.
void BM_ReplaceGrowing(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const VxString source = MakeText(size);
  for (auto _ : state) {
    VxString text(source);
    benchmark::DoNotOptimize(text.Replace("ab", "xyz"));
    benchmark::DoNotOptimize(static_cast<const char*>(text));
  }
  state.SetBytesProcessed(state.iterations() * size);
  state.SetComplexityN(size);
}

void BM_ReplaceShrinking(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const VxString source = MakeText(size);
  for (auto _ : state) {
    VxString text(source);
    benchmark::DoNotOptimize(text.Replace("ab", "a"));
    benchmark::DoNotOptimize(static_cast<const char*>(text));
  }
  state.SetBytesProcessed(state.iterations() * size);
  state.SetComplexityN(size);
}

// A text that does not occur: the whole string is scanned.
void BM_FindText(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const VxString text = MakeText(size);
  for (auto _ : state) {
    benchmark::DoNotOptimize(text.Find("zelvora"));
  }
  state.SetBytesProcessed(state.iterations() * size);
  state.SetComplexityN(size);
}

void BM_FindChar(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const VxString text = MakeText(size);
  for (auto _ : state) {
    benchmark::DoNotOptimize(text.Find('#'));
  }
  state.SetBytesProcessed(state.iterations() * size);
  state.SetComplexityN(size);
}

// A private string with spaces throughout but none at its end: every round scans it all
// and trims nothing.
void BM_TrimRight(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  VxString text = MakeText(size);
  for (auto _ : state) {
    text.TrimRight();
    benchmark::DoNotOptimize(static_cast<const char*>(text));
  }
  state.SetBytesProcessed(state.iterations() * size);
  state.SetComplexityN(size);
}

#define VX_TEXT_SIZES RangeMultiplier(4)->Range(64 << 10, 1 << 20)->Complexity(benchmark::oN)

BENCHMARK(BM_ReplaceGrowing)->VX_TEXT_SIZES;
BENCHMARK(BM_ReplaceShrinking)->VX_TEXT_SIZES;
BENCHMARK(BM_FindText)->VX_TEXT_SIZES;
BENCHMARK(BM_FindChar)->VX_TEXT_SIZES;
BENCHMARK(BM_TrimRight)->VX_TEXT_SIZES;

}  // namespace

BENCHMARK_MAIN();
