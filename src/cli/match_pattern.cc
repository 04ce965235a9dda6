#include "cli/match_pattern.h"

namespace korvane {

namespace {

char lowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool matchPattern(const std::string& pattern, const std::string& name) {
  // Greedy matching with one remembered star: on a mismatch the last '*' takes one more
  // character. Linear in practice, and never exponential however many stars there are.
  size_t p = 0;
  size_t n = 0;
  size_t starP = std::string::npos;
  size_t starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace korvane
