#include "cli/match_pattern.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct MatchRow {
  std::string pattern;
  std::string name;
  bool matches;
};

void PrintTo(const MatchRow& row, std::ostream* os) {
  *os << '"' << row.pattern << "\" on \"" << row.name << '"';
}

class MatchPattern : public testing::TestWithParam<MatchRow> {};

TEST_P(MatchPattern, MatchesAsTheWildcardsSay) {
  EXPECT_EQ(matchPattern(GetParam().pattern, GetParam().name), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, MatchPattern,
    testing::Values(MatchRow{"*.wav", "a.wav", true}, MatchRow{"*.wav", "REC001.WAV", true},
                    MatchRow{"*.WAV", "rec.wav", true}, MatchRow{"*.wav", "a.wave", false},
                    MatchRow{"*.wav", "a.wav.bak", false}, MatchRow{"*.wav", ".wav", true},
                    MatchRow{"a.wav", "a.wav", true}, MatchRow{"a.wav", "b.wav", false},
                    MatchRow{"?.wav", "a.wav", true}, MatchRow{"?.wav", "ab.wav", false},
                    MatchRow{"?.wav", ".wav", false}, MatchRow{"*", "anything", true},
                    MatchRow{"*", "", true}, MatchRow{"", "a", false},
                    MatchRow{"a*b*c", "aXbYbZc", true}, MatchRow{"a*b*c", "aXbYc.d", false},
                    MatchRow{"**a", "a", true}, MatchRow{"*a*", "bab", true},
                    MatchRow{"[ab].wav", "a.wav", false}, MatchRow{"[ab].wav", "[ab].wav", true},
                    MatchRow{"*.*", "noext", false}, MatchRow{"\xC4*", "\xC4x", true},
                    MatchRow{"\xE4*", "\xC4x", false}));

TEST(MatchPattern, ManyStarsStayFast) {
  // Exponential backtracking would take ages here; the greedy matcher answers at once.
  const std::string name(2000, 'a');
  EXPECT_FALSE(matchPattern(std::string(30, '*') + std::string(30, 'a') + "b", name));
}

}  // namespace
}  // namespace korvane
