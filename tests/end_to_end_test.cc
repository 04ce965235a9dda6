// Runs the built korvane in scratch directories and checks the console text and every file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "test_support.h"

namespace korvane {
namespace {

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

std::string curTell(size_t offset, size_t blockSize) {
  return "curTell=" + std::to_string(offset) + ", blockSize=" + std::to_string(blockSize) + "\n";
}

size_t blocksIn(size_t bytes, size_t blockSize) {
  return (bytes + blockSize - 1) / blockSize;
}

// The console lines of one converted file.
std::string convertedLines(const std::string& in, const std::string& out,
                           const std::string& original) {
  const size_t data = dataOffsetOf(original);
  const size_t blockSize = blockAlignOf(original);
  return converting(in, out) + curTell(data, blockSize) +
         dots(blocksIn(original.size() - data, blockSize)) + " OK.\n";
}

struct FixtureRow {
  std::string name;
  std::string what;
};

void PrintTo(const FixtureRow& row, std::ostream* os) {
  *os << row.name;
}

class RealEncoders : public testing::TestWithParam<FixtureRow> {};

// Every fixture is a real encoder's output; its expected samples are ffmpeg's decode.
TEST_P(RealEncoders, DecodeIsBitExactWithTheReferenceDecoder) {
  SCOPED_TRACE(GetParam().what);
  ScratchDir dir;
  const std::string original = readFixture(GetParam().name + ".wav");
  writeFile(dir / "rec.wav", original);
  const RunResult run = runKorvane(dir.path(), {"rec.wav"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.output, kBanner + convertedLines("rec.wav", "rec.pcm", original));
  const std::map<std::string, std::string> expected = {{"rec.wav", expectedOutput(GetParam().name)},
                                                       {"rec.voc", original}};
  EXPECT_EQ(dir.files(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, RealEncoders,
    testing::Values(FixtureRow{"sox_short", "sox: fact chunk, 256-byte blocks"},
                    FixtureRow{"ffmpeg_list_256", "ffmpeg: LIST chunk before data"},
                    FixtureRow{"ffmpeg_list_128", "128-byte blocks decode as short blocks"},
                    FixtureRow{"ffmpeg_square", "overshooting square wave saturates"},
                    FixtureRow{"ffmpeg_16k", "16 kHz input is labelled 8000 Hz, not resampled"},
                    FixtureRow{"sox_cut", "short last block yields only its own samples"}));

TEST(EndToEnd, LargeBlocksDecodeOnlyTheirFirst256Bytes) {
  ScratchDir dir;
  const std::string original = readFixture("ffmpeg_list_1024.wav");
  writeFile(dir / "rec.wav", original);
  // ffmpeg decodes all 2036 samples of each 1024-byte block; korvane only the first 500.
  const std::string full = readFixture("ffmpeg_list_1024.s16");
  std::string samples;
  for (size_t offset = 0; offset < full.size(); offset += 2 * 2036) {
    samples += full.substr(offset, 2 * 500);
  }
  const RunResult run = runKorvane(dir.path(), {"rec.wav"});
  EXPECT_EQ(run.output, kBanner + convertedLines("rec.wav", "rec.pcm", original));
  EXPECT_EQ(readFile(dir / "rec.wav"),
            pcmHeaderFor(static_cast<uint32_t>(samples.size())) + samples);
}

// The expected decode of soxBlocks().
std::string soxSamples() {
  return readFixture("sox_short.s16");
}

TEST(EndToEnd, EveryChunkBeforeDataIsSkippedWithItsPadByte) {
  ScratchDir dir;
  WaveLayout layout;
  layout.data = soxBlocks();
  layout.between = chunk("fact", le32(2500)) + chunk("odd ", "abc") + chunk("LIST", "INFOxyz!");
  for (int i = 0; i < 30; ++i)
    layout.between += chunk("junk", std::string(static_cast<size_t>(i), 'j'));
  const std::string original = makeWave(layout);
  writeFile(dir / "a.wav", original);
  const RunResult run = runKorvane(dir.path(), {"a.wav"});
  EXPECT_EQ(run.output, kBanner + convertedLines("a.wav", "a.pcm", original));
  EXPECT_EQ(readFile(dir / "a.wav"), pcmHeaderFor(5000) + soxSamples());
}

TEST(EndToEnd, ChunksAfterDataAreDecodedAsBlocksToo) {
  ScratchDir dir;
  WaveLayout layout;
  layout.data = soxBlocks();
  const std::string original = makeWave(layout) + chunk("LIST", std::string(300, 'x'));
  writeFile(dir / "a.wav", original);
  const RunResult run = runKorvane(dir.path(), {"a.wav"});
  EXPECT_EQ(run.output, kBanner + convertedLines("a.wav", "a.pcm", original));
  // 308 trailing bytes: one whole block and a short one of 52 bytes (92 samples).
  const std::string result = readFile(dir / "a.wav");
  ASSERT_EQ(result.size(), 46u + 5000 + 1000 + 2 * 92);
  EXPECT_EQ(result.substr(0, 46), pcmHeaderFor(5000 + 1000 + 2 * 92));
  EXPECT_EQ(result.substr(46, 5000), soxSamples());
}

TEST(EndToEnd, EmptyDataGivesAHeaderOnly) {
  ScratchDir dir;
  const std::string original = makeWave(WaveLayout{});
  writeFile(dir / "a.wav", original);
  const RunResult run = runKorvane(dir.path(), {"a.wav"});
  EXPECT_EQ(run.output, kBanner + converting("a.wav", "a.pcm") + curTell(78, 256) + " OK.\n");
  EXPECT_EQ(readFile(dir / "a.wav"), pcmHeaderFor(0));
  EXPECT_EQ(readFile(dir / "a.voc"), original);
}

TEST(EndToEnd, StereoKeepsItsChannelCountAndDecodesAsMonoBlocks) {
  ScratchDir dir;
  WaveLayout layout;
  layout.channels = 2;
  layout.data = soxBlocks();
  writeFile(dir / "a.wav", makeWave(layout));
  runKorvane(dir.path(), {"a.wav"});
  EXPECT_EQ(readFile(dir / "a.wav"), pcmHeaderFor(5000, 2) + soxSamples());
}

TEST(EndToEnd, BlockAlign512DecodesTheFirstHalfOfEachBlock) {
  ScratchDir dir;
  WaveLayout layout;
  layout.blockAlign = 512;
  const std::string blocks = soxBlocks();
  for (size_t offset = 0; offset < blocks.size(); offset += 256) {
    layout.data += blocks.substr(offset, 256) + std::string(256, '\x5A');
  }
  const std::string original = makeWave(layout);
  writeFile(dir / "a.wav", original);
  const RunResult run = runKorvane(dir.path(), {"a.wav"});
  EXPECT_EQ(run.output, kBanner + convertedLines("a.wav", "a.pcm", original));
  EXPECT_EQ(readFile(dir / "a.wav"), pcmHeaderFor(5000) + soxSamples());
}

struct RefusalRow {
  std::string what;
  std::string content;
  std::string message;
};

void PrintTo(const RefusalRow& row, std::ostream* os) {
  *os << row.what;
}

std::vector<RefusalRow> refusals() {
  const std::string sox = readFixture("sox_short.wav");
  const std::string noWave = "No wave file.\n";
  const std::string notAdpcm = "Wave file is not MS ADPCM format.\n";
  WaveLayout pcm;
  pcm.formatTag = 1;
  pcm.bitsPerSample = 16;
  pcm.fmtSize = 16;
  pcm.blockAlign = 2;
  pcm.data = std::string(100, '\0');
  WaveLayout ima;
  ima.formatTag = 0x11;
  ima.fmtSize = 20;
  ima.data = soxBlocks();
  WaveLayout tinyBlocks;
  tinyBlocks.blockAlign = 6;
  tinyBlocks.data = soxBlocks();
  WaveLayout noData;
  noData.data = "";
  std::string withoutData = makeWave(noData);
  withoutData.resize(withoutData.size() - 8);
  return {
      {"TextFile", "just some text, not a recording\n", noWave},
      {"EmptyFile", "", noWave},
      {"Rifx", "RIFX" + sox.substr(4), noWave},
      {"LowerCaseRiff", "riff" + sox.substr(4), noWave},
      {"Avi", sox.substr(0, 8) + "AVI " + sox.substr(12), noWave},
      {"EndsInsideRiffHeader", sox.substr(0, 19), noWave},
      {"EndsInsideFormatFields", sox.substr(0, 39), noWave},
      {"EndsBeforeDataHeader", sox.substr(0, 85), noWave},
      {"NoDataChunk", withoutData, noWave},
      {"Pcm", makeWave(pcm), notAdpcm},
      {"ImaAdpcm", makeWave(ima), notAdpcm},
      {"BlockAlignBelowAHeader", makeWave(tinyBlocks), notAdpcm},
  };
}

class Refusals : public testing::TestWithParam<RefusalRow> {};

TEST_P(Refusals, AreReportedAndLeaveTheFileAlone) {
  ScratchDir dir;
  writeFile(dir / "x.wav", GetParam().content);
  const RunResult run = runKorvane(dir.path(), {"x.wav"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.output, kBanner + converting("x.wav", "x.pcm") + GetParam().message);
  const std::map<std::string, std::string> expected = {{"x.wav", GetParam().content}};
  EXPECT_EQ(dir.files(), expected);
}

INSTANTIATE_TEST_SUITE_P(Inputs, Refusals, testing::ValuesIn(refusals()),
                         [](const auto& info) { return info.param.what; });

TEST(EndToEnd, TruncatedFileAfterAGoodOneIsNotJudgedByTheFirst) {
  ScratchDir dir;
  const std::string good = readFixture("sox_short.wav");
  writeFile(dir / "a.wav", good);
  writeFile(dir / "b.wav", good.substr(0, 30));
  const RunResult run = runKorvane(dir.path(), {"*.wav"});
  EXPECT_EQ(run.output, kBanner + convertedLines("a.wav", "a.pcm", good) +
                            converting("b.wav", "b.pcm") + "No wave file.\n");
  EXPECT_EQ(readFile(dir / "b.wav"), good.substr(0, 30));
}

TEST(EndToEnd, SecondRunChangesNoFile) {
  ScratchDir dir;
  writeFile(dir / "a.wav", readFixture("sox_short.wav"));
  runKorvane(dir.path(), {"*.wav"});
  const std::map<std::string, std::string> before = dir.files();
  const RunResult run = runKorvane(dir.path(), {"*.wav"});
  EXPECT_EQ(run.output,
            kBanner + converting("a.wav", "a.pcm") + "Wave file is not MS ADPCM format.\n");
  EXPECT_EQ(dir.files(), before);
}

TEST(EndToEnd, BackupNameTakenKeepsInput) {
  ScratchDir dir;
  const std::string original = readFixture("sox_short.wav");
  writeFile(dir / "a.wav", original);
  writeFile(dir / "a.voc", "an earlier recording");
  const std::map<std::string, std::string> before = dir.files();
  const RunResult run = runKorvane(dir.path(), {"a.wav"});
  EXPECT_EQ(run.output, kBanner + converting("a.wav", "a.pcm") + curTell(90, 256) + dots(5) +
                            " Backup 'a.voc' already exists!\a\n");
  EXPECT_EQ(dir.files(), before);
}

TEST(EndToEnd, NameEndingInVocIsRefusedBeforeAnythingIsWritten) {
  ScratchDir dir;
  const std::string original = readFixture("sox_short.wav");
  writeFile(dir / "take.voc", original);
  const RunResult run = runKorvane(dir.path(), {"*.voc"});
  EXPECT_EQ(run.output, kBanner + converting("take.voc", "take.pcm") +
                            "Backup of 'take.voc' would be the file itself!\a\n");
  const std::map<std::string, std::string> expected = {{"take.voc", original}};
  EXPECT_EQ(dir.files(), expected);
}

struct NamingRow {
  std::string what;
  std::string file;     // where the recording lies
  std::string pattern;  // what korvane is given
  std::string in;       // the paths it prints
  std::string out;
  std::string backup;  // where the original is kept
};

void PrintTo(const NamingRow& row, std::ostream* os) {
  *os << row.what;
}

class Naming : public testing::TestWithParam<NamingRow> {};

TEST_P(Naming, ResultTakesTheNameAndTheOriginalItsBackupName) {
  ScratchDir dir;
  ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
  const std::string original = readFixture("sox_short.wav");
  writeFile(dir / GetParam().file, original);
  const RunResult run = runKorvane(dir.path(), {GetParam().pattern});
  EXPECT_EQ(run.output, kBanner + convertedLines(GetParam().in, GetParam().out, original));
  const std::map<std::string, std::string> expected = {
      {GetParam().file, expectedOutput("sox_short")}, {GetParam().backup, original}};
  EXPECT_EQ(dir.files(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, Naming,
    testing::Values(
        // Its temporary name would be its own, so it goes through another.
        NamingRow{"PcmMatch", "x.pcm", "x.pcm", "x.pcm", "x.pcm.tmp", "x.voc"},
        // '\' ends a directory on the file system too, and is printed as typed.
        NamingRow{"Backslash", "sub/x.wav", "sub\\x.wav", "sub\\x.wav", "sub\\x.pcm", "sub/x.voc"},
        NamingRow{"DriveLikePrefixIsText", "C:snd.wav", "C:snd.wav", "C:snd.wav", "C:snd.pcm",
                  "C:snd.voc"},
        NamingRow{"DotsInName", "sub/a.b.wav", "sub/*.WAV", "sub/a.b.wav", "sub/a.b.pcm",
                  "sub/a.b.voc"},
        NamingRow{"NoExtension", "noext", "noext", "noext", "noext.pcm", "novoc"},
        NamingRow{"ShortName", "ab", "a?", "ab", "ab.pcm", "ab.voc"}),
    [](const auto& info) { return info.param.what; });

TEST(EndToEnd, FileAtTheTemporaryPathIsReplacedWithoutTouchingWhatItLinksTo) {
  ScratchDir dir;
  const std::string original = readFixture("sox_short.wav");
  writeFile(dir / "a.wav", original);
  writeFile(dir / "b.wav", original);
  writeFile(dir / "keep.txt", "linked twice");
  ASSERT_EQ(link((dir / "keep.txt").c_str(), (dir / "a.pcm").c_str()), 0);
  ASSERT_EQ(symlink("keep.txt", (dir / "b.pcm").c_str()), 0);
  runKorvane(dir.path(), {"*.wav"});
  EXPECT_EQ(readFile(dir / "keep.txt"), "linked twice");
  EXPECT_FALSE(fileExists(dir / "a.pcm"));
  EXPECT_FALSE(fileExists(dir / "b.pcm"));
  EXPECT_EQ(readFile(dir / "a.wav"), expectedOutput("sox_short"));
  EXPECT_EQ(readFile(dir / "b.wav"), expectedOutput("sox_short"));
}

TEST(EndToEnd, ResultTakesTheInputsPermissionBits) {
  for (const mode_t mode : {0600, 0640, 0644, 0444, 0400}) {
    ScratchDir dir;
    writeFile(dir / "a.wav", readFixture("sox_short.wav"));
    ASSERT_EQ(chmod((dir / "a.wav").c_str(), mode), 0);
    runKorvane(dir.path(), {"a.wav"});
    struct stat result;
    struct stat backup;
    ASSERT_EQ(stat((dir / "a.wav").c_str(), &result), 0);
    ASSERT_EQ(stat((dir / "a.voc").c_str(), &backup), 0);
    EXPECT_EQ(result.st_mode & 07777, mode) << std::oct << mode;
    EXPECT_EQ(backup.st_mode & 07777, mode) << std::oct << mode;
    EXPECT_EQ(readFile(dir / "a.wav"), expectedOutput("sox_short"));
  }
}

TEST(EndToEnd, FailedWriteLeavesTheInputAndReportsNoSuccess) {
  // One limit stops the provisional header, the other the samples.
  for (const rlim_t limit : {rlim_t{30}, rlim_t{2000}}) {
    ScratchDir dir;
    const std::string original = readFixture("sox_speech.wav");
    writeFile(dir / "a.wav", original);
    const RunResult run = runKorvane(dir.path(), {"a.wav"}, limit);
    EXPECT_EQ(run.exitStatus, 0);
    const std::string head = kBanner + converting("a.wav", "a.pcm") + curTell(90, 256);
    const std::string tail = " Write 'a.pcm' is failed!\a\n";
    ASSERT_GE(run.output.size(), head.size() + tail.size()) << run.output;
    EXPECT_EQ(run.output.substr(0, head.size()), head);
    EXPECT_EQ(run.output.substr(run.output.size() - tail.size()), tail);
    EXPECT_EQ(run.output.find("OK"), std::string::npos);
    const std::map<std::string, std::string> expected = {{"a.wav", original}};
    EXPECT_EQ(dir.files(), expected);
  }
}

TEST(EndToEnd, OutputBeyondTheWaveSizeLimitIsRefused) {
  ScratchDir dir;
  // A sparse input of 1.2 GB would decode to more than 4 GiB of samples.
  WaveLayout layout;
  const std::string head = makeWave(layout);
  writeFile(dir / "big.wav", head);
  ASSERT_EQ(truncate((dir / "big.wav").c_str(), 1200000000), 0);
  const RunResult run = runKorvane(dir.path(), {"big.wav"});
  EXPECT_EQ(run.output, kBanner + converting("big.wav", "big.pcm") +
                            "Output of 'big.wav' is too large for a wave file!\a\n");
  EXPECT_FALSE(fileExists(dir / "big.pcm"));
  EXPECT_FALSE(fileExists(dir / "big.voc"));
}

TEST(EndToEnd, OnlyPlainFilesMatchInNameOrder) {
  ScratchDir dir;
  const std::string original = readFixture("sox_short.wav");
  for (const char* name : {"b.wav", "A.WAV", "c.Wav", ".hidden.wav", "other.txt"}) {
    writeFile(dir / name, original);
  }
  ASSERT_EQ(mkdir((dir / "dir.wav").c_str(), 0755), 0);
  ASSERT_EQ(symlink("other.txt", (dir / "link.wav").c_str()), 0);
  ASSERT_EQ(mkfifo((dir / "pipe.wav").c_str(), 0644), 0);
  const RunResult run = runKorvane(dir.path(), {"*.wav"});
  EXPECT_EQ(run.output, kBanner + convertedLines("A.WAV", "A.pcm", original) +
                            convertedLines("b.wav", "b.pcm", original) +
                            convertedLines("c.Wav", "c.pcm", original));
  EXPECT_EQ(readFile(dir / ".hidden.wav"), original);
  EXPECT_EQ(readFile(dir / "other.txt"), original);
  EXPECT_FALSE(fileExists(dir / "dir.voc"));
  EXPECT_FALSE(fileExists(dir / "link.voc"));
  EXPECT_FALSE(fileExists(dir / "pipe.voc"));
}

TEST(EndToEnd, OnlyTheFirstArgumentIsUsed) {
  ScratchDir dir;
  const std::string original = readFixture("sox_short.wav");
  writeFile(dir / "one.wav", original);
  writeFile(dir / "two.wav", original);
  const RunResult run = runKorvane(dir.path(), {"one.wav", "two.wav"});
  EXPECT_EQ(run.output, kBanner + convertedLines("one.wav", "one.pcm", original));
  EXPECT_EQ(readFile(dir / "two.wav"), original);
}

TEST(EndToEnd, MissingDirectoryEndsSilently) {
  ScratchDir dir;
  const RunResult run = runKorvane(dir.path(), {"nowhere/*.wav"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.output, kBanner);
}

TEST(EndToEnd, LongPathsWork) {
  ScratchDir dir;
  const std::string first(200, 'd');
  const std::string second(200, 'e');
  ASSERT_EQ(mkdir((dir / first).c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir / (first + "/" + second)).c_str(), 0755), 0);
  const std::string name = first + "/" + second + "/" + std::string(200, 'n');
  const std::string original = readFixture("sox_short.wav");
  writeFile(dir / (name + ".wav"), original);
  const RunResult run = runKorvane(dir.path(), {first + "/" + second + "/*.wav"});
  EXPECT_EQ(run.output, kBanner + convertedLines(name + ".wav", name + ".pcm", original));
  EXPECT_EQ(readFile(dir / (name + ".voc")), original);
}

}  // namespace
}  // namespace korvane
