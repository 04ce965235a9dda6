// Broken and hostile recordings: each is converted or refused with a clear message, and none
// crashes the run or loses its content.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "test_support.h"

namespace korvane {
namespace {

const std::string kNoWave = "No wave file.\n";
const std::string kNotAdpcm = "Wave file is not MS ADPCM format.\n";

// Samples that a block (or last piece of a block) of n bytes holds.
size_t samplesIn(size_t n) {
  return n < 7 ? 0 : 2 + 2 * ((n < 256 ? n : 256) - 7);
}

size_t pcmBytesFor(size_t dataBytes, size_t blockSize) {
  return 2 * (dataBytes / blockSize * samplesIn(blockSize) + samplesIn(dataBytes % blockSize));
}

std::string withFmtSize(std::string wave, uint32_t fmtSize) {
  return wave.replace(16, 4, le32(fmtSize));
}

struct HostileRow {
  std::string what;
  std::string content;
  std::string refusal;  // empty when the file is to be converted
};

void PrintTo(const HostileRow& row, std::ostream* os) {
  *os << row.what;
}

HostileRow blockAlignRow(uint16_t blockAlign, bool refused) {
  WaveLayout layout;
  layout.blockAlign = blockAlign;
  layout.data = soxBlocks();
  return {"BlockAlign" + std::to_string(blockAlign), makeWave(layout), refused ? kNotAdpcm : ""};
}

HostileRow fmtSizeRow(uint32_t fmtSize, const std::string& refusal) {
  WaveLayout layout;
  layout.fmtSize = fmtSize;
  layout.data = soxBlocks();
  return {"FmtSize" + std::to_string(fmtSize), makeWave(layout), refusal};
}

HostileRow blockHeaderRow(const std::string& what, uint8_t predictor, int16_t delta,
                          uint8_t codes) {
  WaveLayout layout;
  std::string block(256, static_cast<char>(codes));
  block[0] = static_cast<char>(predictor);
  block.replace(1, 2, le16(static_cast<uint16_t>(delta)));
  block.replace(3, 4, le16(30000) + le16(static_cast<uint16_t>(-30000)));
  layout.data = block + block.substr(0, 100);
  return {what, makeWave(layout), ""};
}

std::vector<HostileRow> hostileRows() {
  WaveLayout base;
  base.data = soxBlocks();
  const std::string wave = makeWave(base);
  WaveLayout pastTheEnd = base;
  pastTheEnd.between = "LIST" + le32(1000000) + "short";
  return {
      blockAlignRow(0, true),
      blockAlignRow(1, true),
      blockAlignRow(6, true),
      blockAlignRow(7, false),
      blockAlignRow(255, false),
      blockAlignRow(257, false),
      blockAlignRow(1024, false),
      blockAlignRow(1025, false),
      blockAlignRow(65535, false),
      fmtSizeRow(0, kNotAdpcm),
      fmtSizeRow(15, kNotAdpcm),
      fmtSizeRow(19, ""),
      fmtSizeRow(21, ""),
      {"FmtSize0x7FFFFFFF", withFmtSize(wave, 0x7FFFFFFF), kNoWave},
      {"FmtSize0xFFFFFFFF", withFmtSize(wave, 0xFFFFFFFF), kNoWave},
      {"ChunkRunsPastTheEnd", makeWave(pastTheEnd), kNoWave},
      blockHeaderRow("Predictor7", 7, 100, 0x17),
      blockHeaderRow("Predictor0x7F", 0x7F, 100, 0x17),
      blockHeaderRow("Predictor0x80", 0x80, 100, 0x17),
      blockHeaderRow("Predictor0xFF", 0xFF, 100, 0x17),
      blockHeaderRow("DeltaMaxGrowing", 1, 32767, 0x77),
      blockHeaderRow("DeltaMinFalling", 5, -32768, 0x88),
      blockHeaderRow("DeltaZeroAlternating", 6, 0, 0x7F),
  };
}

class HostileHeaders : public testing::TestWithParam<HostileRow> {};

TEST_P(HostileHeaders, AreConvertedOrRefusedAndNeverLost) {
  ScratchDir dir;
  const HostileRow& row = GetParam();
  writeFile(dir / "x.wav", row.content);
  const RunResult run = runKorvane(dir.path(), {"x.wav"});
  EXPECT_EQ(run.exitStatus, 0);
  const std::string head = kBanner + "x.wav -> x.pcm : \n";
  if (!row.refusal.empty()) {
    EXPECT_EQ(run.output, head + row.refusal);
    const std::map<std::string, std::string> expected = {{"x.wav", row.content}};
    EXPECT_EQ(dir.files(), expected);
    return;
  }
  const size_t data = dataOffsetOf(row.content);
  const size_t blockSize = blockAlignOf(row.content);
  const size_t dataBytes = row.content.size() - data;
  const size_t blocks = (dataBytes + blockSize - 1) / blockSize;
  EXPECT_EQ(run.output, head + "curTell=" + std::to_string(data) + ", blockSize=" +
                            std::to_string(blockSize) + "\n" + std::string(blocks, '.') + " OK.\n");
  EXPECT_EQ(readFile(dir / "x.voc"), row.content);
  const std::string result = readFile(dir / "x.wav");
  const size_t pcmBytes = pcmBytesFor(dataBytes, blockSize);
  ASSERT_EQ(result.size(), 46 + pcmBytes);
  EXPECT_EQ(result.substr(0, 46), pcmHeaderFor(static_cast<uint32_t>(pcmBytes)));
  EXPECT_EQ(dir.files().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Inputs, HostileHeaders, testing::ValuesIn(hostileRows()),
                         [](const auto& info) { return info.param.what; });

TEST(HostileHeaders, OutOfRangePredictorsSelectTheNearestPair) {
  const std::vector<HostileRow> rows = hostileRows();
  std::map<std::string, std::string> results;
  for (const HostileRow& row : rows) {
    if (row.what.rfind("Predictor", 0) != 0) continue;
    ScratchDir dir;
    writeFile(dir / "x.wav", row.content);
    runKorvane(dir.path(), {"x.wav"});
    results[row.what] = readFile(dir / "x.wav");
  }
  ScratchDir dir;
  writeFile(dir / "six.wav", blockHeaderRow("", 6, 100, 0x17).content);
  writeFile(dir / "zero.wav", blockHeaderRow("", 0, 100, 0x17).content);
  runKorvane(dir.path(), {"*.wav"});
  EXPECT_EQ(results["Predictor7"], readFile(dir / "six.wav"));
  EXPECT_EQ(results["Predictor0x7F"], readFile(dir / "six.wav"));
  EXPECT_EQ(results["Predictor0x80"], readFile(dir / "zero.wav"));
  EXPECT_EQ(results["Predictor0xFF"], readFile(dir / "zero.wav"));
  EXPECT_NE(readFile(dir / "six.wav"), readFile(dir / "zero.wav"));
}

// A real recording cut at every length, all converted in one run: a cut before the data is
// refused, any later cut converts to exactly the samples its bytes hold.
TEST(TruncationSweep, EveryCutIsConvertedOrRefusedAndNothingIsLost) {
  const std::string full = readFixture("ffmpeg_list_128.wav");
  const std::string samples = readFixture("ffmpeg_list_128.s16");
  const size_t data = dataOffsetOf(full);
  const size_t blockSize = blockAlignOf(full);
  ScratchDir dir;
  auto nameOf = [](size_t length) {
    std::string digits = std::to_string(length);
    return "cut" + std::string(5 - digits.size(), '0') + digits;
  };
  for (size_t length = 0; length <= full.size(); ++length) {
    writeFile(dir / (nameOf(length) + ".wav"), full.substr(0, length));
  }
  const RunResult run = runKorvane(dir.path(), {"cut*.wav"});
  EXPECT_EQ(run.exitStatus, 0);

  std::string expectedConsole = kBanner;
  std::map<std::string, std::string> expectedFiles;
  for (size_t length = 0; length <= full.size(); ++length) {
    const std::string name = nameOf(length);
    const std::string cut = full.substr(0, length);
    expectedConsole += name + ".wav -> " + name + ".pcm : \n";
    if (length < data) {
      expectedConsole += kNoWave;
      expectedFiles[name + ".wav"] = cut;
      continue;
    }
    const size_t dataBytes = length - data;
    const size_t pcmBytes = pcmBytesFor(dataBytes, blockSize);
    expectedConsole += "curTell=" + std::to_string(data) +
                       ", blockSize=" + std::to_string(blockSize) + "\n" +
                       std::string((dataBytes + blockSize - 1) / blockSize, '.') + " OK.\n";
    expectedFiles[name + ".voc"] = cut;
    expectedFiles[name + ".wav"] =
        pcmHeaderFor(static_cast<uint32_t>(pcmBytes)) + samples.substr(0, pcmBytes);
  }
  EXPECT_EQ(run.output, expectedConsole);
  const std::map<std::string, std::string> files = dir.files();
  EXPECT_EQ(files.size(), expectedFiles.size());
  for (const auto& [name, bytes] : expectedFiles) {
    const auto found = files.find(name);
    ASSERT_NE(found, files.end()) << name;
    EXPECT_EQ(found->second, bytes) << name;
  }
}

}  // namespace
}  // namespace korvane
