#include "adpcm/decode_blocks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "adpcm/decoder.h"
#include "test_support.h"

namespace korvane {
namespace {

// The interleaved decoder must give exactly what the one-block decoder gives, block for block.
void expectSameAsOneAtATime(const std::vector<uint8_t>& blocks, size_t stride) {
  const int count = static_cast<int>(blocks.size() / stride);
  std::vector<int16_t> interleaved(static_cast<size_t>(count) * kBlockSamples);
  std::vector<int16_t> single(interleaved.size());
  ASSERT_EQ(decodeBlocks(blocks.data(), stride, count, interleaved.data()), count * kBlockSamples);
  for (int b = 0; b < count; ++b) {
    decodeBlock(blocks.data() + static_cast<size_t>(b) * stride, kBlockBytes,
                single.data() + static_cast<size_t>(b) * kBlockSamples);
  }
  ASSERT_EQ(interleaved, single);
}

TEST(DecodeBlocks, MatchesOneBlockAtATimeOnRandomBlocks) {
  // Random bytes reach every predictor, huge and negative deltas, saturation and wrapping.
  std::mt19937 random(12345);
  for (const size_t stride : {size_t{256}, size_t{300}, size_t{512}}) {
    for (const int count : {1, 3, 4, 5, 9, 64}) {
      std::vector<uint8_t> blocks(stride * static_cast<size_t>(count));
      for (uint8_t& byte : blocks) byte = static_cast<uint8_t>(random());
      expectSameAsOneAtATime(blocks, stride);
    }
  }
}

TEST(DecodeBlocks, MatchesOneBlockAtATimeOnEveryFixture) {
  for (const char* name : {"sox_speech.wav", "sox_short.wav", "ffmpeg_square.wav",
                           "ffmpeg_list_256.wav", "ffmpeg_list_1024.wav", "ffmpeg_16k.wav"}) {
    SCOPED_TRACE(name);
    const std::string file = readFixture(name);
    const size_t data = dataOffsetOf(file);
    const size_t stride = blockAlignOf(file);
    const size_t whole = (file.size() - data) / stride;
    ASSERT_GT(whole, 0u);
    const std::vector<uint8_t> blocks(file.begin() + static_cast<long>(data),
                                      file.begin() + static_cast<long>(data + whole * stride));
    expectSameAsOneAtATime(blocks, stride);
  }
}

}  // namespace
}  // namespace korvane
