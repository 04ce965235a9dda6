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

// Reads and tests the input's headers; prints why and returns a negative status when the file
// is not to be converted.
int checkInput(int inFd, const std::string& inPath, const std::string& outPath,
               const platform::FileInfo& info, WaveHeader& header, uint64_t& dataOffset) {
  const HeaderStatus found = readWaveHeaders(inFd, header, dataOffset);
  if (found == HeaderStatus::kReadFailed) {
    printf(kReadFailed, inPath.c_str());
    return -1;
  }
  // A "data" header past the size seen at opening means the file grew meanwhile: judged as the
  // file it was.
  if (found == HeaderStatus::kNoWave || dataOffset > info.size) {
    printf(kNoWave);
    return -2;
  }
  if (!isMsAdpcm(header)) {
    printf(kNotMsAdpcm);
    return -3;
  }
  // Both would leave no copy of the input: its backup would be itself, or its output would be
  // written over it.
  if (backupName(inPath) == inPath) {
    printf(kOwnBackup, inPath.c_str());
    return -5;
  }
  if (outPath == inPath) {
    printf(kOpenFailed, outPath.c_str());
    return -2;
  }
  if (pcmDataBytes(info.size - dataOffset, header.nBlockAlign) + kRiffSizeOverData > kMaxRiffSize) {
    printf(kTooLarge, inPath.c_str());
    return -4;
  }
  return 0;
}

// Writes the whole PCM file to `outPath` and closes it; on failure removes it again.
int writeOutput(int inFd, const std::string& inPath, const std::string& outPath,
                const platform::FileInfo& info, const WaveHeader& header, uint64_t dataOffset) {
  const int outFd = platform::createOutput(outPath);
  if (outFd < 0) {
    printf(kOpenFailed, outPath.c_str());
    return -2;
  }
  printf(kCurTell, dataOffset, static_cast<unsigned>(header.nBlockAlign));
  uint8_t pcm[kPcmHeaderBytes];
  pcmHeader(header, header.riffSize, 0, pcm);
  if (!platform::writeAll(outFd, pcm, sizeof pcm)) {
    return abandonOutput(outFd, outPath, kWriteFailed, outPath, -4);
  }
  uint64_t written = 0;
  const DecodeStatus decoded =
      decodeData(inFd, dataOffset, info.size, header.nBlockAlign, outFd, written);
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
  return 0;
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
  int status = checkInput(inFd, inPath, outPath, info, header, dataOffset);
  if (status == 0) status = writeOutput(inFd, inPath, outPath, info, header, dataOffset);
  platform::closeFile(inFd);
  if (status != 0) return status;
  status = replaceWithBackup(inPath, outPath);
  if (status != 0) return status;
  printf(kOk);
  return 0;
}

}  // namespace korvane
