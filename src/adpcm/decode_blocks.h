#ifndef KORVANE_ADPCM_DECODE_BLOCKS_H_
#define KORVANE_ADPCM_DECODE_BLOCKS_H_

#include <cstddef>
#include <cstdint>

namespace korvane {

// Decodes `count` whole blocks that start `stride` bytes apart (stride >= 256) into
// 500 samples each, the same samples decodeBlock gives, several blocks at a time: each block's
// samples depend on each other, but blocks do not, so interleaving them keeps the processor
// busy. Returns 500 × count.
int decodeBlocks(const uint8_t* blocks, size_t stride, int count, int16_t* out);

}  // namespace korvane

#endif  // KORVANE_ADPCM_DECODE_BLOCKS_H_
