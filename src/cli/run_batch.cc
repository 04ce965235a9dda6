#include "cli/run_batch.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/match_pattern.h"
#include "cli/split_path.h"
#include "platform/directory.h"
#include "wave/convert_file.h"

namespace korvane {

namespace {

constexpr char kBanner[] = "Korvane 1.0 - MS ADPCM to 16-bit linear PCM wave converter\n";
constexpr char kUsage1[] = "\aUsage: Korvane filename\n";
constexpr char kUsage2[] = "\tOutput 16bit 8000Hz linear PCM wave-file\n";
constexpr char kUsage3[] = "Example: Korvane *.wav\n";
constexpr char kSearchFailed[] = "Search '%s' is failed!\a\n";
constexpr char kTemporaryExtension[] = ".pcm";
// For a match that already ends in ".pcm", whose temporary name would be its own.
constexpr char kSecondTemporaryExtension[] = ".pcm.tmp";

}  // namespace

int runBatch(int argc, char** argv) {
  printf(kBanner);
  if (argc < 2) {
    printf(kUsage1);
    printf(kUsage2);
    printf(kUsage3);
    return 0;
  }
  const std::string pattern = argv[1];
  const PathParts parts = splitPath(pattern);
  // On this platform a drive such as "C:" is ordinary text: with no directory after it, it
  // belongs to the names searched for in the current directory.
  const std::string prefix = parts.directory.empty() ? "" : parts.drive + parts.directory;
  const std::string mask = pattern.substr(prefix.size());

  std::vector<std::string> names;
  if (platform::listPlainFiles(prefix, names) == platform::ListStatus::kFailed) {
    printf(kSearchFailed, pattern.c_str());
  }
  // Every match is known before the first conversion, so the backups, results and temporaries
  // that the run makes are never taken for matches themselves.
  names.erase(std::remove_if(names.begin(), names.end(),
                             [&](const std::string& name) { return !matchPattern(mask, name); }),
              names.end());
  std::sort(names.begin(), names.end());

  for (const std::string& name : names) {
    const std::string inPath = prefix + name;
    const std::string stem = prefix + splitName(name).name;
    std::string outPath = stem + kTemporaryExtension;
    if (outPath == inPath) outPath = stem + kSecondTemporaryExtension;
    convertFile(inPath, outPath);
    fflush(stdout);
  }
  return 0;
}

}  // namespace korvane
