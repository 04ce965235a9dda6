#ifndef KORVANE_WAVE_DECODE_DATA_H_
#define KORVANE_WAVE_DECODE_DATA_H_

#include <cstdint>

namespace korvane {

// The bytes of 16-bit samples that `dataBytes` bytes of blocks of `blockSize` bytes decode to.
uint64_t pcmDataBytes(uint64_t dataBytes, unsigned blockSize);

enum class DecodeStatus { kDone, kReadFailed, kWriteFailed };

// Decodes the input's blocks from `begin` to `end` and appends their samples to `outFd`,
// printing one '.' a block. `written` counts the sample bytes written.
DecodeStatus decodeData(int inFd, uint64_t begin, uint64_t end, unsigned blockSize, int outFd,
                        uint64_t& written);

}  // namespace korvane

#endif  // KORVANE_WAVE_DECODE_DATA_H_
