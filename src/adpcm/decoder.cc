#include "adpcm/decoder.h"

#include "adpcm/tables.h"

namespace korvane {

int clampPredictor(int8_t value) {
  if (value < 0) return 0;
  if (value >= kCoefPairs) return kCoefPairs - 1;
  return value;
}

int16_t decodeSample(AdpcmState& state, unsigned code) {
  // The format's arithmetic wraps as 32-bit two's complement; doing it in uint32_t keeps that
  // exact without signed overflow.
  const uint32_t sum = static_cast<uint32_t>(state.sample1) * static_cast<uint32_t>(state.coef1) +
                       static_cast<uint32_t>(state.sample2) * static_cast<uint32_t>(state.coef2);
  const int32_t signedSum = static_cast<int32_t>(sum);
  // Round toward zero, as the reference decoder does; a plain shift would round down.
  const int32_t prediction = (signedSum < 0 ? signedSum + 255 : signedSum) >> 8;
  const int32_t signedCode =
      code < 8 ? static_cast<int32_t>(code) : static_cast<int32_t>(code) - 16;
  const int32_t value =
      static_cast<int32_t>(static_cast<uint32_t>(prediction) +
                           static_cast<uint32_t>(signedCode) * static_cast<uint32_t>(state.delta));
  const int16_t sample = value > 32767    ? 32767
                         : value < -32768 ? -32768
                                          : static_cast<int16_t>(value);
  state.sample2 = state.sample1;
  state.sample1 = sample;
  const int32_t product = static_cast<int32_t>(static_cast<uint32_t>(AdaptationTable[code]) *
                                               static_cast<uint32_t>(state.delta));
  state.delta = product >> 8;
  if (state.delta < 16) state.delta = 16;
  return sample;
}

AdpcmState startBlock(const uint8_t* block, int16_t* out) {
  const int pair = clampPredictor(static_cast<int8_t>(block[0]));
  AdpcmState state;
  state.delta = static_cast<int16_t>(block[1] | block[2] << 8);
  state.sample1 = static_cast<int16_t>(block[3] | block[4] << 8);
  state.sample2 = static_cast<int16_t>(block[5] | block[6] << 8);
  state.coef1 = kCoef1[pair];
  state.coef2 = kCoef2[pair];
  out[0] = state.sample2;
  out[1] = state.sample1;
  return state;
}

int blockSampleCount(size_t length) {
  if (length < kBlockHeaderBytes) return 0;
  const size_t used = length < kBlockBytes ? length : kBlockBytes;
  return static_cast<int>(2 + 2 * (used - kBlockHeaderBytes));
}

int decodeBlock(const uint8_t* block, size_t length, int16_t* out) {
  const int count = blockSampleCount(length);
  if (count == 0) return 0;
  AdpcmState state = startBlock(block, out);
  const uint8_t* codes = block + kBlockHeaderBytes;
  const int codeBytes = (count - 2) / 2;
  for (int i = 0; i < codeBytes; ++i) {
    out[2 + 2 * i] = decodeSample(state, codes[i] >> 4);
    out[3 + 2 * i] = decodeSample(state, codes[i] & 0x0F);
  }
  return count;
}

}  // namespace korvane
