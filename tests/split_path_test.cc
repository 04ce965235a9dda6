#include "cli/split_path.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct SplitRow {
  std::string path;
  std::string drive;
  std::string directory;
  std::string name;
  std::string extension;
};

void PrintTo(const SplitRow& row, std::ostream* os) {
  *os << '"' << row.path << '"';
}

class SplitPath : public testing::TestWithParam<SplitRow> {};

TEST_P(SplitPath, GivesDriveDirectoryNameAndExtension) {
  const PathParts parts = splitPath(GetParam().path);
  EXPECT_EQ(parts.drive, GetParam().drive);
  EXPECT_EQ(parts.directory, GetParam().directory);
  EXPECT_EQ(parts.name, GetParam().name);
  EXPECT_EQ(parts.extension, GetParam().extension);
}

INSTANTIATE_TEST_SUITE_P(Paths, SplitPath,
                         testing::Values(SplitRow{"a.wav", "", "", "a", ".wav"},
                                         SplitRow{"C:/snd/*.wav", "C:", "/snd/", "*", ".wav"},
                                         SplitRow{"C:snd.wav", "C:", "", "snd", ".wav"},
                                         SplitRow{"sub\\x.wav", "", "sub\\", "x", ".wav"},
                                         SplitRow{"sub/x.wav", "", "sub/", "x", ".wav"},
                                         SplitRow{"a/b\\c/d.e.wav", "", "a/b\\c/", "d.e", ".wav"},
                                         SplitRow{"dir.v1/noext", "", "dir.v1/", "noext", ""},
                                         SplitRow{"x:y/z:w.wav", "x:", "y/", "z:w", ".wav"},
                                         SplitRow{"ab:c.wav", "", "", "ab:c", ".wav"},
                                         SplitRow{"sub/..", "", "sub/..", "", ""},
                                         SplitRow{".", "", ".", "", ""},
                                         SplitRow{"sub/.hidden", "", "sub/", "", ".hidden"},
                                         SplitRow{"sub/", "", "sub/", "", ""},
                                         SplitRow{"*.?av", "", "", "*", ".?av"},
                                         SplitRow{"", "", "", "", ""}));

TEST(SplitPath, KeepsEveryCharacterOfALongPath) {
  const std::string directory = std::string(300, 'd') + "/" + std::string(300, 'e') + "/";
  const std::string name(400, 'n');
  const PathParts parts = splitPath(directory + name + ".wav");
  EXPECT_EQ(parts.directory, directory);
  EXPECT_EQ(parts.name, name);
  EXPECT_EQ(parts.extension, ".wav");
}

TEST(SplitName, ColonsAndBackslashesBelongToTheName) {
  const PathParts parts = splitName("C:a\\b.c.wav");
  EXPECT_EQ(parts.drive, "");
  EXPECT_EQ(parts.directory, "");
  EXPECT_EQ(parts.name, "C:a\\b.c");
  EXPECT_EQ(parts.extension, ".wav");
}

}  // namespace
}  // namespace korvane
