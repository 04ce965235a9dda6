#ifndef KORVANE_ADPCM_DECODER_H_
#define KORVANE_ADPCM_DECODER_H_

#include <cstddef>
#include <cstdint>

namespace korvane {

// Block layout, mono, little-endian:
//   offset 0   1 byte    bPredictor  coefficient pair index, signed, clamped to 0..6
//   offset 1   2 bytes   iDelta      starting step size
//   offset 3   2 bytes   iSamp1      the later of the two starting samples
//   offset 5   2 bytes   iSamp2      the earlier of the two starting samples
//   offset 7   249 bytes codes       two 4-bit codes a byte, high nibble first
inline constexpr size_t kBlockBytes = 256;
inline constexpr size_t kBlockHeaderBytes = 7;
inline constexpr int kBlockSamples = 500;

struct AdpcmState {
  int16_t sample1;  // the most recent sample
  int16_t sample2;  // the one before it
  int32_t coef1;
  int32_t coef2;
  int32_t delta;
};

int clampPredictor(int8_t value);

// The state a block's header sets up; the header's two samples, the earlier one first, are the
// block's first two samples and go to out[0] and out[1].
AdpcmState startBlock(const uint8_t* block, int16_t* out);

int16_t decodeSample(AdpcmState& state, unsigned code);

// How many samples a block of `length` bytes holds: the header's two, then two per code byte,
// counting at most one full block's bytes. Fewer than a header's bytes hold none.
int blockSampleCount(size_t length);

// Decodes the first min(length, 256) bytes of `block` into `out` and returns
// blockSampleCount(length). A short block yields only what its own bytes hold.
int decodeBlock(const uint8_t* block, size_t length, int16_t* out);

}  // namespace korvane

#endif  // KORVANE_ADPCM_DECODER_H_
