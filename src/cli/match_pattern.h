#ifndef KORVANE_CLI_MATCH_PATTERN_H_
#define KORVANE_CLI_MATCH_PATTERN_H_

#include <string>

namespace korvane {

// Whether a file name matches a pattern in which '*' stands for any run of characters and '?'
// for any one character. ASCII letters match regardless of case, so '*.wav' finds 'REC.WAV';
// every other character, '[' included, stands for itself.
bool matchPattern(const std::string& pattern, const std::string& name);

}  // namespace korvane

#endif  // KORVANE_CLI_MATCH_PATTERN_H_
