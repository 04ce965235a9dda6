#include "wave/convert_file.h"

#include <cinttypes>
#include <cstdio>

#include "platform/file_io.h"
#include "wave/backup_name.h"
#include "wave/decode_data.h"
#include "wave/replace_with_backup.h"
#include "wave/wave_header.h"

namespace korvane {

namespace {

constexpr char kConverting[] = "%s -> %s : \n";
constexpr char kOpenFailed[] = "Open '%s' is failed!\a\n";
constexpr char kReadFailed[] = "Read '%s' is failed!\a\n";
constexpr char kWriteFailed[] = "Write '%s' is failed!\a\n";
constexpr char kNoWave[] = "No wave file.\n";
constexpr char kNotMsAdpcm[] = "Wave file is not MS ADPCM format.\n";
constexpr char kOwnBackup[] = "Backup of '%s' would be the file itself!\a\n";
constexpr char kTooLarge[] = "Output of '%s' is too large for a wave file!\a\n";
constexpr char kCurTell[] = "curTell=%" PRIu64 ", blockSize=%u\n";
// Once blocks are being decoded, the outcome follows the line of dots.
constexpr char kAfterDots[] = " ";
constexpr char kOk[] = " OK.\n";

constexpr uint64_t kMaxRiffSize = UINT32_MAX;
constexpr uint32_t kRiffSizeOverData = kPcmHeaderBytes - 8;

// Closes (unless already closed, -1) and removes an output that will not be used, and prints
// why.
int abandonOutput(int outFd, const std::string& outPath, const char* message,
                  const std::string& subject, int status) {
  if (outFd >= 0) platform::closeFile(outFd);
  platform::removeFile(outPath);
  printf(kAfterDots);
  printf(message, subject.c_str());
  return status;
}

}  // namespace

int convertFile(const std::string& inPath, const std::string& outPath) {
  printf(kConverting, inPath.c_str(), outPath.c_str());
  platform::FileInfo info;
  const int inFd = platform::openInput(inPath, info);
  if (inFd < 0) {
    printf(kOpenFailed, inPath.c_str());
    return -1;
  }

  WaveHeader header;
  uint64_t dataOffset = 0;
  const HeaderStatus found = readWaveHeaders(inFd, header, dataOffset);
  if (found != HeaderStatus::kFound) {
    platform::closeFile(inFd);
    if (found == HeaderStatus::kReadFailed) {
      printf(kReadFailed, inPath.c_str());
      return -1;
    }
    printf(kNoWave);
    return -2;
  }
  if (!isMsAdpcm(header)) {
    platform::closeFile(inFd);
    printf(kNotMsAdpcm);
    return -3;
  }
  // Both would leave no copy of the input: its backup would be itself, or its output would be
  // written over it.
  if (backupName(inPath) == inPath) {
    platform::closeFile(inFd);
    printf(kOwnBackup, inPath.c_str());
    return -5;
  }
  if (outPath == inPath) {
    platform::closeFile(inFd);
    printf(kOpenFailed, outPath.c_str());
    return -2;
  }
  const unsigned blockSize = header.nBlockAlign;
  // The walk read the "data" header, so the data starts inside the file unless it has shrunk.
  const uint64_t dataEnd = info.size > dataOffset ? info.size : dataOffset;
  if (pcmDataBytes(dataEnd - dataOffset, blockSize) + kRiffSizeOverData > kMaxRiffSize) {
    platform::closeFile(inFd);
    printf(kTooLarge, inPath.c_str());
    return -4;
  }

  const int outFd = platform::createOutput(outPath);
  if (outFd < 0) {
    platform::closeFile(inFd);
    printf(kOpenFailed, outPath.c_str());
    return -2;
  }
  printf(kCurTell, dataOffset, blockSize);
  uint8_t pcm[kPcmHeaderBytes];
  pcmHeader(header, header.riffSize, 0, pcm);
  if (!platform::writeAll(outFd, pcm, sizeof pcm)) {
    platform::closeFile(inFd);
    return abandonOutput(outFd, outPath, kWriteFailed, outPath, -4);
  }
  uint64_t written = 0;
  const DecodeStatus decoded = decodeData(inFd, dataOffset, dataEnd, blockSize, outFd, written);
  platform::closeFile(inFd);
  if (decoded == DecodeStatus::kReadFailed) {
    return abandonOutput(outFd, outPath, kReadFailed, inPath, -1);
  }
  if (decoded == DecodeStatus::kWriteFailed) {
    return abandonOutput(outFd, outPath, kWriteFailed, outPath, -4);
  }
  pcmHeader(header, static_cast<uint32_t>(written + kRiffSizeOverData),
            static_cast<uint32_t>(written), pcm);
  if (!platform::writeAt(outFd, pcm, sizeof pcm, 0) || !platform::copyOwnerAndMode(outFd, info)) {
    return abandonOutput(outFd, outPath, kWriteFailed, outPath, -4);
  }
  if (!platform::closeFile(outFd)) return abandonOutput(-1, outPath, kWriteFailed, outPath, -4);
  const int replaced = replaceWithBackup(inPath, outPath);
  if (replaced != 0) return replaced;
  printf(kOk);
  return 0;
}

}  // namespace korvane
