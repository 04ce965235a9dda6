// Samples per second of the one-block decoder and of the interleaved one, in the same run so
// that their ratio holds on a noisy machine.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "adpcm/decode_blocks.h"
#include "adpcm/decoder.h"

namespace {

constexpr int kBlocks = 1024;

// Real speech blocks, repeated to fill a buffer the size of one read of the converter.
std::vector<uint8_t> speechBlocks() {
  std::ifstream in(KORVANE_BENCH_FIXTURE, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string wave = bytes.str();
  const size_t data = 90;  // the sox fixture's blocks start here
  std::vector<uint8_t> blocks;
  while (blocks.size() < kBlocks * korvane::kBlockBytes) {
    for (size_t offset = data; offset + korvane::kBlockBytes <= wave.size();
         offset += korvane::kBlockBytes) {
      blocks.insert(blocks.end(), wave.begin() + static_cast<long>(offset),
                    wave.begin() + static_cast<long>(offset + korvane::kBlockBytes));
    }
  }
  blocks.resize(kBlocks * korvane::kBlockBytes);
  return blocks;
}

void OneBlockAtATime(benchmark::State& state) {
  const std::vector<uint8_t> blocks = speechBlocks();
  std::vector<int16_t> out(static_cast<size_t>(kBlocks) * korvane::kBlockSamples);
  for (auto _ : state) {
    for (int b = 0; b < kBlocks; ++b) {
      korvane::decodeBlock(blocks.data() + b * korvane::kBlockBytes, korvane::kBlockBytes,
                           out.data() + b * korvane::kBlockSamples);
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kBlocks * korvane::kBlockSamples);
}
BENCHMARK(OneBlockAtATime);

void Interleaved(benchmark::State& state) {
  const std::vector<uint8_t> blocks = speechBlocks();
  std::vector<int16_t> out(static_cast<size_t>(kBlocks) * korvane::kBlockSamples);
  for (auto _ : state) {
    korvane::decodeBlocks(blocks.data(), korvane::kBlockBytes, kBlocks, out.data());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kBlocks * korvane::kBlockSamples);
}
BENCHMARK(Interleaved);

}  // namespace

BENCHMARK_MAIN();
