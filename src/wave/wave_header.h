#ifndef KORVANE_WAVE_WAVE_HEADER_H_
#define KORVANE_WAVE_WAVE_HEADER_H_

#include <cstddef>
#include <cstdint>

namespace korvane {

// The fields of an input's RIFF header, its format chunk and its "data" chunk header, under the
// names the WAVE format gives them.
struct WaveHeader {
  char riffId[4];
  uint32_t riffSize;
  char waveId[4];
  char fmtId[4];  // the first chunk, taken as the format chunk whatever it is called
  uint32_t fmtSize;

  uint16_t wFormatTag;
  uint16_t nChannels;
  uint32_t nSamplesPerSec;
  uint32_t nAvgBytesPerSec;
  uint16_t nBlockAlign;
  uint16_t wBitsPerSample;
  uint16_t cbSize;
  uint16_t wSamplesPerBlock;

  char chunkId[4];
  uint32_t chunkSize;
};

enum class HeaderStatus { kFound, kNoWave, kReadFailed };

// Reads the headers of the open input and walks its chunks to "data". On kFound,
// `dataOffset` is where the first block begins.
HeaderStatus readWaveHeaders(int fd, WaveHeader& header, uint64_t& dataOffset);

// Whether the format chunk describes 4-bit MS ADPCM whose blocks can hold a block header.
bool isMsAdpcm(const WaveHeader& header);

inline constexpr size_t kPcmHeaderBytes = 46;
inline constexpr uint32_t kPcmSampleRate = 8000;

// The 46-byte header of the 16-bit PCM output made from `input`.
void pcmHeader(const WaveHeader& input, uint32_t riffSize, uint32_t dataBytes,
               uint8_t out[kPcmHeaderBytes]);

}  // namespace korvane

#endif  // KORVANE_WAVE_WAVE_HEADER_H_
