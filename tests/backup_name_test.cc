#include "wave/backup_name.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct BackupRow {
  std::string path;
  std::string backup;
};

void PrintTo(const BackupRow& row, std::ostream* os) {
  *os << '"' << row.path << '"';
}

class BackupName : public testing::TestWithParam<BackupRow> {};

TEST_P(BackupName, ReplacesTheLastThreeCharactersOfTheName) {
  EXPECT_EQ(backupName(GetParam().path), GetParam().backup);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, BackupName,
    testing::Values(BackupRow{"a.wav", "a.voc"}, BackupRow{"sub\\a.wav", "sub\\a.voc"},
                    BackupRow{"sub/a.wav", "sub/a.voc"}, BackupRow{"a.WAV", "a.voc"},
                    BackupRow{"a.wave", "a.wvoc"}, BackupRow{"noext", "novoc"},
                    BackupRow{"abc", "voc"}, BackupRow{"ab", "ab.voc"},
                    BackupRow{"sub/ab", "sub/ab.voc"}, BackupRow{"dir.wav/x", "dir.wav/x.voc"},
                    BackupRow{"d\\ab", "d\\ab.voc"}, BackupRow{"a.voc", "a.voc"}));

TEST(BackupName, WorksForPathsOfAnyLength) {
  const std::string path = std::string(600, 'd') + "/" + std::string(300, 'n') + ".wav";
  EXPECT_EQ(backupName(path), path.substr(0, path.size() - 3) + "voc");
}

}  // namespace
}  // namespace korvane
