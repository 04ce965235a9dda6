#ifndef KORVANE_TESTS_TEST_SUPPORT_H_
#define KORVANE_TESTS_TEST_SUPPORT_H_

#include <sys/resource.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);
std::string readFixture(const std::string& name);

// The banner korvane prints first on every run.
inline const std::string kBanner = "Korvane 1.0 - MS ADPCM to 16-bit linear PCM wave converter\n";

// The block data of a real sox recording (sox_short.wav), for hand-made containers.
std::string soxBlocks();

// A fresh directory under TMPDIR, removed with everything in it when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // Every file below the directory, by relative path, with its bytes.
  std::map<std::string, std::string> files() const;

 private:
  std::string path_;
};

struct RunResult {
  std::string output;
  int exitStatus;  // -1 when the process did not exit normally
};

// Runs `argv` (argv[0] a path, or a name looked up in PATH) in `directory` and collects its
// standard output. A file-size limit, when given, is set in the child only, with SIGXFSZ
// ignored so that a write past it fails instead of killing the process.
RunResult runCommand(const std::string& directory, const std::vector<std::string>& argv,
                     std::optional<rlim_t> fileSizeLimit = std::nullopt);

// Runs the built korvane with `args`.
RunResult runKorvane(const std::string& directory, const std::vector<std::string>& args,
                     std::optional<rlim_t> fileSizeLimit = std::nullopt);

// Offsets in a well-formed WAVE file, found by a plain chunk walk of the test's own.
size_t dataOffsetOf(const std::string& wave);
size_t blockAlignOf(const std::string& wave);

// The 46-byte header korvane writes in front of `dataBytes` bytes of samples.
std::string pcmHeaderFor(uint32_t dataBytes, uint16_t channels = 1);

// Little-endian field writers for hand-made inputs.
std::string le16(uint16_t value);
std::string le32(uint32_t value);

// An MS ADPCM WAVE file: a RIFF header, a format chunk of `fmtSize` body bytes (50 for MS
// ADPCM; its fields are cut or zero-padded to that), the chunks in `between`, then "data" with
// `data`.
struct WaveLayout {
  uint16_t formatTag = 2;
  uint16_t channels = 1;
  uint32_t sampleRate = 8000;
  uint16_t blockAlign = 256;
  uint16_t bitsPerSample = 4;
  uint32_t fmtSize = 50;
  std::string between;
  std::string data;
};
std::string makeWave(const WaveLayout& layout);
std::string chunk(const std::string& id, const std::string& body);

}  // namespace korvane

#endif  // KORVANE_TESTS_TEST_SUPPORT_H_
