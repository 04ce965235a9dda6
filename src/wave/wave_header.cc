#include "wave/wave_header.h"

#include <cstring>

#include "adpcm/decoder.h"
#include "platform/file_io.h"

namespace korvane {

namespace {

constexpr size_t kRiffGroupBytes = 20;
constexpr size_t kFmtGroupBytes = 20;
constexpr size_t kChunkHeaderBytes = 8;
constexpr uint16_t kMsAdpcmTag = 2;
constexpr uint16_t kPcmTag = 1;
// A format chunk shorter than this cannot hold wBitsPerSample.
constexpr uint32_t kMinFmtSize = 16;
constexpr uint32_t kPcmFmtSize = 18;

uint16_t le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
  put16(p, static_cast<uint16_t>(v));
  put16(p + 2, static_cast<uint16_t>(v >> 16));
}

// Reads exactly `length` bytes at `offset`: kFound when all were there, kNoWave when the file
// ends first.
HeaderStatus readExactly(int fd, uint8_t* buffer, size_t length, uint64_t offset) {
  const long got = platform::readAt(fd, buffer, length, offset);
  if (got < 0) return HeaderStatus::kReadFailed;
  return static_cast<size_t>(got) == length ? HeaderStatus::kFound : HeaderStatus::kNoWave;
}

// RIFF pads every chunk body to an even length.
uint64_t paddedSize(uint32_t size) {
  return static_cast<uint64_t>(size) + (size & 1u);
}

}  // namespace

HeaderStatus readWaveHeaders(int fd, WaveHeader& header, uint64_t& dataOffset) {
  header = WaveHeader{};
  uint8_t bytes[kRiffGroupBytes];
  HeaderStatus status = readExactly(fd, bytes, kRiffGroupBytes, 0);
  if (status != HeaderStatus::kFound) return status;
  std::memcpy(header.riffId, bytes, 4);
  header.riffSize = le32(bytes + 4);
  std::memcpy(header.waveId, bytes + 8, 4);
  std::memcpy(header.fmtId, bytes + 12, 4);
  header.fmtSize = le32(bytes + 16);
  if (std::memcmp(header.riffId, "RIFF", 4) != 0 || std::memcmp(header.waveId, "WAVE", 4) != 0) {
    return HeaderStatus::kNoWave;
  }

  status = readExactly(fd, bytes, kFmtGroupBytes, kRiffGroupBytes);
  if (status != HeaderStatus::kFound) return status;
  header.wFormatTag = le16(bytes);
  header.nChannels = le16(bytes + 2);
  header.nSamplesPerSec = le32(bytes + 4);
  header.nAvgBytesPerSec = le32(bytes + 8);
  header.nBlockAlign = le16(bytes + 12);
  header.wBitsPerSample = le16(bytes + 14);
  header.cbSize = le16(bytes + 16);
  header.wSamplesPerBlock = le16(bytes + 18);

  // Every chunk up to "data" is skipped, however many there are; each step moves forward by at
  // least a chunk header, so the walk ends at the end of the file at the latest.
  uint64_t offset = kRiffGroupBytes + paddedSize(header.fmtSize);
  for (;;) {
    status = readExactly(fd, bytes, kChunkHeaderBytes, offset);
    if (status != HeaderStatus::kFound) return status;
    std::memcpy(header.chunkId, bytes, 4);
    header.chunkSize = le32(bytes + 4);
    offset += kChunkHeaderBytes;
    if (std::memcmp(header.chunkId, "data", 4) == 0) break;
    offset += paddedSize(header.chunkSize);
  }
  dataOffset = offset;
  return HeaderStatus::kFound;
}

bool isMsAdpcm(const WaveHeader& header) {
  return header.wFormatTag == kMsAdpcmTag && header.wBitsPerSample == 4 &&
         header.fmtSize >= kMinFmtSize && header.nBlockAlign >= kBlockHeaderBytes;
}

void pcmHeader(const WaveHeader& input, uint32_t riffSize, uint32_t dataBytes,
               uint8_t out[kPcmHeaderBytes]) {
  constexpr uint16_t kFrameBytes = 2;
  std::memcpy(out, "RIFF", 4);
  put32(out + 4, riffSize);
  std::memcpy(out + 8, "WAVE", 4);
  std::memcpy(out + 12, input.fmtId, 4);
  put32(out + 16, kPcmFmtSize);
  put16(out + 20, kPcmTag);
  put16(out + 22, input.nChannels);
  put32(out + 24, kPcmSampleRate);
  put32(out + 28, kFrameBytes * kPcmSampleRate);
  put16(out + 32, kFrameBytes);
  put16(out + 34, 16);
  put16(out + 36, 0);
  std::memcpy(out + 38, "data", 4);
  put32(out + 42, dataBytes);
}

}  // namespace korvane
