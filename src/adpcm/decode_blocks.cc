#include "adpcm/decode_blocks.h"

#include "adpcm/decoder.h"
#include "adpcm/tables.h"

namespace korvane {

namespace {

constexpr int kLanes = 4;

struct Lane {
  int32_t sample1;
  int32_t sample2;
  int32_t coef1;
  int32_t coef2;
  int32_t delta;
};

// The arithmetic of decodeSample, kept in registers; the two must agree bit for bit.
inline int16_t step(Lane& lane, unsigned code) {
  const uint32_t sum = static_cast<uint32_t>(lane.sample1) * static_cast<uint32_t>(lane.coef1) +
                       static_cast<uint32_t>(lane.sample2) * static_cast<uint32_t>(lane.coef2);
  const int32_t signedSum = static_cast<int32_t>(sum);
  const int32_t prediction = (signedSum + ((signedSum >> 31) & 255)) >> 8;
  const int32_t signedCode = static_cast<int32_t>(code << 28) >> 28;
  int32_t value =
      static_cast<int32_t>(static_cast<uint32_t>(prediction) +
                           static_cast<uint32_t>(signedCode) * static_cast<uint32_t>(lane.delta));
  value = value > 32767 ? 32767 : value;
  value = value < -32768 ? -32768 : value;
  lane.sample2 = lane.sample1;
  lane.sample1 = value;
  const int32_t delta = static_cast<int32_t>(static_cast<uint32_t>(AdaptationTable[code]) *
                                             static_cast<uint32_t>(lane.delta)) >>
                        8;
  lane.delta = delta < 16 ? 16 : delta;
  return static_cast<int16_t>(value);
}

inline void startLane(Lane& lane, const uint8_t* block, int16_t* out) {
  const int pair = clampPredictor(static_cast<int8_t>(block[0]));
  lane.delta = static_cast<int16_t>(block[1] | block[2] << 8);
  lane.sample1 = static_cast<int16_t>(block[3] | block[4] << 8);
  lane.sample2 = static_cast<int16_t>(block[5] | block[6] << 8);
  lane.coef1 = kCoef1[pair];
  lane.coef2 = kCoef2[pair];
  out[0] = static_cast<int16_t>(lane.sample2);
  out[1] = static_cast<int16_t>(lane.sample1);
}

}  // namespace

int decodeBlocks(const uint8_t* blocks, size_t stride, int count, int16_t* out) {
  constexpr int kCodeBytes = static_cast<int>(kBlockBytes - kBlockHeaderBytes);
  int done = 0;
  for (; done + kLanes <= count; done += kLanes) {
    Lane lanes[kLanes];
    const uint8_t* codes[kLanes];
    int16_t* samples[kLanes];
    for (int l = 0; l < kLanes; ++l) {
      const uint8_t* block = blocks + static_cast<size_t>(done + l) * stride;
      samples[l] = out + static_cast<size_t>(done + l) * kBlockSamples;
      startLane(lanes[l], block, samples[l]);
      codes[l] = block + kBlockHeaderBytes;
    }
    for (int i = 0; i < kCodeBytes; ++i) {
      for (int l = 0; l < kLanes; ++l) {
        const unsigned byte = codes[l][i];
        samples[l][2 + 2 * i] = step(lanes[l], byte >> 4);
        samples[l][3 + 2 * i] = step(lanes[l], byte & 0x0F);
      }
    }
  }
  for (; done < count; ++done) {
    decodeBlock(blocks + static_cast<size_t>(done) * stride, kBlockBytes,
                out + static_cast<size_t>(done) * kBlockSamples);
  }
  return count * kBlockSamples;
}

}  // namespace korvane
