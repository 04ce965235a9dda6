#include "wave/decode_data.h"

#include <cstdio>

#include "adpcm/decode_blocks.h"
#include "adpcm/decoder.h"
#include "platform/file_io.h"

namespace korvane {

namespace {

// Many blocks a read and a write, so that a long recording costs few system calls. The output
// buffer holds what a full input buffer decodes to whatever the block size: a block of n bytes
// gives at most 2 × n samples.
constexpr size_t kInputBytes = 256 * 1024;
constexpr size_t kOutputSamples = 2 * kInputBytes;

static_assert(kInputBytes >= 65535, "a read must hold the largest block");

uint8_t inputBuffer[kInputBytes];
int16_t outputBuffer[kOutputSamples];

constexpr char kDots[] =
    "................................................................"
    "................................................................";

void printDots(uint64_t count) {
  constexpr uint64_t kChunk = sizeof kDots - 1;
  for (; count > kChunk; count -= kChunk) fwrite(kDots, 1, kChunk, stdout);
  fwrite(kDots, 1, count, stdout);
}

// Samples go to the file little-endian whatever the host's byte order.
const void* littleEndian(const int16_t* samples, size_t count) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  (void)count;
  return samples;
#else
  static uint8_t outputBytes[2 * kOutputSamples];
  for (size_t i = 0; i < count; ++i) {
    const uint16_t v = static_cast<uint16_t>(samples[i]);
    outputBytes[2 * i] = static_cast<uint8_t>(v);
    outputBytes[2 * i + 1] = static_cast<uint8_t>(v >> 8);
  }
  return outputBytes;
#endif
}

}  // namespace

uint64_t pcmDataBytes(uint64_t dataBytes, unsigned blockSize) {
  const uint64_t whole = dataBytes / blockSize;
  const uint64_t rest = dataBytes % blockSize;
  return 2 * (whole * static_cast<uint64_t>(blockSampleCount(blockSize)) +
              static_cast<uint64_t>(blockSampleCount(rest)));
}

DecodeStatus decodeData(int inFd, uint64_t begin, uint64_t end, unsigned blockSize, int outFd,
                        uint64_t& written) {
  // Whole blocks a read, so that a block never straddles two reads.
  const size_t readBytes = kInputBytes / blockSize * blockSize;
  written = 0;
  uint64_t offset = begin;
  while (offset < end) {
    const size_t want = end - offset < readBytes ? static_cast<size_t>(end - offset) : readBytes;
    const long got = platform::readAt(inFd, inputBuffer, want, offset);
    if (got < 0) return DecodeStatus::kReadFailed;
    if (got == 0) break;
    const size_t bytes = static_cast<size_t>(got);
    const size_t whole = bytes / blockSize;
    const size_t rest = bytes % blockSize;
    size_t samples = 0;
    if (blockSize >= kBlockBytes) {
      samples = static_cast<size_t>(
          decodeBlocks(inputBuffer, blockSize, static_cast<int>(whole), outputBuffer));
    } else {
      for (size_t b = 0; b < whole; ++b) {
        samples += static_cast<size_t>(
            decodeBlock(inputBuffer + b * blockSize, blockSize, outputBuffer + samples));
      }
    }
    if (rest > 0) {
      samples += static_cast<size_t>(
          decodeBlock(inputBuffer + whole * blockSize, rest, outputBuffer + samples));
    }
    if (samples > 0 &&
        !platform::writeAll(outFd, littleEndian(outputBuffer, samples), 2 * samples)) {
      return DecodeStatus::kWriteFailed;
    }
    written += 2 * samples;
    printDots(whole + (rest > 0 ? 1 : 0));
    offset += bytes;
    if (bytes < want) break;
  }
  return DecodeStatus::kDone;
}

}  // namespace korvane
