#include "adpcm/decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace korvane {
namespace {

AdpcmState stateWith(int16_t sample1, int16_t sample2, int32_t coef1, int32_t coef2,
                     int32_t delta) {
  AdpcmState state;
  state.sample1 = sample1;
  state.sample2 = sample2;
  state.coef1 = coef1;
  state.coef2 = coef2;
  state.delta = delta;
  return state;
}

struct RoundingRow {
  int16_t sum;
  int16_t prediction;
};

void PrintTo(const RoundingRow& row, std::ostream* os) {
  *os << "sum " << row.sum;
}

class PredictionRounding : public testing::TestWithParam<RoundingRow> {};

// With coef1 = 1 and code 0 the sample is exactly sum / 256: the rounding of the prediction.
TEST_P(PredictionRounding, RoundsTowardZeroNotDown) {
  AdpcmState state = stateWith(GetParam().sum, 0, 1, 0, 16);
  EXPECT_EQ(decodeSample(state, 0), GetParam().prediction);
}

INSTANTIATE_TEST_SUITE_P(Sums, PredictionRounding,
                         testing::Values(RoundingRow{-1, 0}, RoundingRow{-255, 0},
                                         RoundingRow{-256, -1}, RoundingRow{-511, -1},
                                         RoundingRow{-512, -2}, RoundingRow{255, 0},
                                         RoundingRow{256, 1}, RoundingRow{511, 1},
                                         RoundingRow{0, 0}));

struct CodeRow {
  unsigned code;
  int16_t sample;
  int32_t nextDelta;
};

void PrintTo(const CodeRow& row, std::ostream* os) {
  *os << "code " << row.code;
}

class CodeContribution : public testing::TestWithParam<CodeRow> {};

// From a prediction of 1000 with delta 100: the code's signed value times the delta in force,
// then the delta adapted by the table.
TEST_P(CodeContribution, AddsSignedCodeTimesDeltaAndAdapts) {
  AdpcmState state = stateWith(1000, 0, 256, 0, 100);
  EXPECT_EQ(decodeSample(state, GetParam().code), GetParam().sample);
  EXPECT_EQ(state.delta, GetParam().nextDelta);
  EXPECT_EQ(state.sample1, GetParam().sample);
  EXPECT_EQ(state.sample2, 1000);
}

INSTANTIATE_TEST_SUITE_P(Codes, CodeContribution,
                         testing::Values(CodeRow{0, 1000, 89}, CodeRow{1, 1100, 89},
                                         CodeRow{7, 1700, 239}, CodeRow{8, 200, 300},
                                         CodeRow{15, 900, 89}, CodeRow{12, 600, 119}));

struct SaturationRow {
  int16_t sample1;
  unsigned code;
  int32_t delta;
  int16_t sample;
};

void PrintTo(const SaturationRow& row, std::ostream* os) {
  *os << row.sample1 << " code " << row.code << " delta " << row.delta;
}

class Saturation : public testing::TestWithParam<SaturationRow> {};

TEST_P(Saturation, ClampsAtSixteenBitsWithoutWrapping) {
  AdpcmState state = stateWith(GetParam().sample1, 0, 256, 0, GetParam().delta);
  EXPECT_EQ(decodeSample(state, GetParam().code), GetParam().sample);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, Saturation,
    testing::Values(SaturationRow{30000, 7, 1429, 32767},       // would be 40003
                    SaturationRow{-30000, 8, 1250, -32768},     // would be -40000
                    SaturationRow{32767, 1, 1, 32767},          // one past the top
                    SaturationRow{-32768, 15, 1, -32768},       // one past the bottom
                    SaturationRow{0, 7, 0x20000000, -32768}));  // 7 × 2^29 wraps negative

TEST(DecodeSample, ArithmeticWrapsAsThirtyTwoBitsThenSaturates) {
  // 7 × 0x7FFFFFFF wraps to 0x7FFFFFF9 = 2147483641, saturating high.
  AdpcmState high = stateWith(0, 0, 256, 0, 0x7FFFFFFF);
  EXPECT_EQ(decodeSample(high, 7), 32767);
  // 614 × 0x7FFFFFFF wraps to -614, shifted to -3: floored to 16.
  EXPECT_EQ(high.delta, 16);
  // -8 × 0x7FFFFFFF wraps to 8.
  AdpcmState low = stateWith(0, 0, 256, 0, 0x7FFFFFFF);
  EXPECT_EQ(decodeSample(low, 8), 8);
}

TEST(DecodeSample, StartingDeltaBelowSixteenIsUsedOnceThenFloored) {
  for (const int32_t start : {0, 3, -5, 15}) {
    AdpcmState state = stateWith(0, 0, 256, 0, start);
    EXPECT_EQ(decodeSample(state, 1), start) << start;
    EXPECT_EQ(state.delta, 16) << start;
  }
}

TEST(ClampPredictor, EveryByteValueSelectsAPair) {
  for (int byte = 0; byte < 256; ++byte) {
    const int expected = byte <= 6 ? byte : byte < 128 ? 6 : 0;
    EXPECT_EQ(clampPredictor(static_cast<int8_t>(byte)), expected) << byte;
  }
}

std::vector<uint8_t> block(uint8_t predictor, int16_t delta, int16_t sample1, int16_t sample2,
                           uint8_t code) {
  std::vector<uint8_t> bytes(kBlockBytes, code);
  bytes[0] = predictor;
  bytes[1] = static_cast<uint8_t>(delta);
  bytes[2] = static_cast<uint8_t>(static_cast<uint16_t>(delta) >> 8);
  bytes[3] = static_cast<uint8_t>(sample1);
  bytes[4] = static_cast<uint8_t>(static_cast<uint16_t>(sample1) >> 8);
  bytes[5] = static_cast<uint8_t>(sample2);
  bytes[6] = static_cast<uint8_t>(static_cast<uint16_t>(sample2) >> 8);
  return bytes;
}

TEST(DecodeBlock, StartsWithTheEarlierHeaderSample) {
  const std::vector<uint8_t> bytes = block(0, 16, 100, -100, 0);
  int16_t out[kBlockSamples];
  ASSERT_EQ(decodeBlock(bytes.data(), bytes.size(), out), 500);
  EXPECT_EQ(out[0], -100);
  EXPECT_EQ(out[1], 100);
}

TEST(DecodeBlock, PairZeroWithZeroCodesHoldsTheSampleAndShrinksDeltaToSixteen) {
  const std::vector<uint8_t> bytes = block(0, 1000, 1234, 0, 0);
  int16_t out[kBlockSamples];
  ASSERT_EQ(decodeBlock(bytes.data(), bytes.size(), out), 500);
  for (int i = 1; i < kBlockSamples; ++i) ASSERT_EQ(out[i], 1234) << i;
  // The delta left behind is visible through a final code: 230/256 per code down to 16.
  AdpcmState state = stateWith(0, 0, 256, 0, 1000);
  for (int i = 0; i < 498; ++i) decodeSample(state, 0);
  EXPECT_EQ(state.delta, 16);
}

TEST(DecodeBlock, PredictorByteSelectsPairAsClamped) {
  // Pair 6 (392, -232) and pair 0 (256, 0) differ on the first decoded sample.
  int16_t seven[kBlockSamples];
  int16_t six[kBlockSamples];
  int16_t negative[kBlockSamples];
  int16_t zero[kBlockSamples];
  decodeBlock(block(7, 16, 1000, 500, 0).data(), kBlockBytes, seven);
  decodeBlock(block(6, 16, 1000, 500, 0).data(), kBlockBytes, six);
  decodeBlock(block(0x80, 16, 1000, 500, 0).data(), kBlockBytes, negative);
  decodeBlock(block(0, 16, 1000, 500, 0).data(), kBlockBytes, zero);
  EXPECT_EQ(six[2], (1000 * 392 - 500 * 232) / 256);
  EXPECT_EQ(std::vector<int16_t>(seven, seven + kBlockSamples),
            std::vector<int16_t>(six, six + kBlockSamples));
  EXPECT_EQ(zero[2], 1000);
  EXPECT_EQ(std::vector<int16_t>(negative, negative + kBlockSamples),
            std::vector<int16_t>(zero, zero + kBlockSamples));
}

struct LengthRow {
  size_t length;
  int samples;
};

void PrintTo(const LengthRow& row, std::ostream* os) {
  *os << row.length << " bytes";
}

class BlockLength : public testing::TestWithParam<LengthRow> {};

// A short block yields only what its own bytes hold; the rest of a longer one is not decoded.
TEST_P(BlockLength, YieldsTheSamplesItsBytesHold) {
  std::vector<uint8_t> bytes = block(1, 300, 10, 20, 0x7E);
  bytes.resize(1024, 0x11);
  std::vector<int16_t> out(600, 0x5A5A);
  EXPECT_EQ(blockSampleCount(GetParam().length), GetParam().samples);
  EXPECT_EQ(decodeBlock(bytes.data(), GetParam().length, out.data()), GetParam().samples);
  for (size_t i = static_cast<size_t>(GetParam().samples); i < out.size(); ++i) {
    ASSERT_EQ(out[i], 0x5A5A) << "wrote past its samples at " << i;
  }
  if (GetParam().samples > 0) {
    std::vector<int16_t> whole(kBlockSamples);
    decodeBlock(bytes.data(), kBlockBytes, whole.data());
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + GetParam().samples, whole.begin()));
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, BlockLength,
                         testing::Values(LengthRow{0, 0}, LengthRow{6, 0}, LengthRow{7, 2},
                                         LengthRow{8, 4}, LengthRow{128, 244}, LengthRow{255, 498},
                                         LengthRow{256, 500}, LengthRow{512, 500},
                                         LengthRow{1024, 500}));

}  // namespace
}  // namespace korvane
