// Runs the built korvane in scratch directories and checks the console text and every file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>

#include "test_support.h"

namespace korvane {
namespace {

const std::string kBanner = "Korvane 1.0 - MS ADPCM to 16-bit linear PCM wave converter\n";

std::string converting(const std::string& in, const std::string& out) {
  return in + " -> " + out + " : \n";
}

std::string dots(size_t count) {
  return std::string(count, '.');
}

// What korvane should make of a fixture: its header, then ffmpeg's decode.
std::string expectedOutput(const std::string& fixture, uint16_t channels = 1) {
  const std::string samples = readFixture(fixture + ".s16");
  return pcmHeaderFor(static_cast<uint32_t>(samples.size()), channels) + samples;
}

TEST(EndToEnd, NoArgumentPrintsBannerAndUsage) {
  ScratchDir dir;
  writeFile(dir / "a.wav", readFixture("sox_short.wav"));
  const RunResult run = runKorvane(dir.path(), {});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.output, kBanner +
                            "\aUsage: Korvane filename\n"
                            "\tOutput 16bit 8000Hz linear PCM wave-file\n"
                            "Example: Korvane *.wav\n");
  EXPECT_EQ(dir.files().size(), 1u);
}

TEST(EndToEnd, TypicalFileIsReplacedByItsConversionAndKeptAsBackup) {
  ScratchDir dir;
  ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
  const std::string original = readFixture("sox_speech.wav");
  writeFile(dir / "sub/a.wav", original);
  const RunResult run = runKorvane(dir.path(), {"sub/*.wav"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.output, kBanner + converting("sub/a.wav", "sub/a.pcm") +
                            "curTell=90, blockSize=256\n" + dots(38) + " OK.\n");
  const std::map<std::string, std::string> expected = {{"sub/a.wav", expectedOutput("sox_speech")},
                                                       {"sub/a.voc", original}};
  EXPECT_EQ(dir.files(), expected);
}

}  // namespace
}  // namespace korvane
