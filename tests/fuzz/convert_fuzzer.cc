// Feeds one input file through the whole conversion of a file: header reading, the chunk walk,
// the block loop, the decoder and the replacement. Whatever the bytes, the run must neither
// crash nor lose them: a converted input is kept whole as the backup, a refused one is left
// whole under its own name, and no temporary stays behind.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "wave/convert_file.h"

namespace {

std::string scratch;

bool sameContent(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::string bytes;
  char buffer[65536];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  fclose(file);
  return bytes.size() == size && (size == 0 || memcmp(bytes.data(), data, size) == 0);
}

bool exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

void check(bool holds, const char* what) {
  if (!holds) {
    fprintf(stderr, "violated: %s\n", what);
    abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string pattern = std::string(base) + "/korvane-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) abort();
  scratch = pattern;
  // The conversion's progress would drown libFuzzer's own report.
  if (freopen("/dev/null", "w", stdout) == nullptr) abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in = scratch + "/in.wav";
  const std::string out = scratch + "/in.pcm";
  const std::string backup = scratch + "/in.voc";
  unlink(in.c_str());
  unlink(out.c_str());
  unlink(backup.c_str());
  FILE* file = fopen(in.c_str(), "wb");
  if (file == nullptr) abort();
  if (size > 0 && fwrite(data, 1, size, file) != size) abort();
  fclose(file);

  const int status = korvane::convertFile(in, out);
  fflush(stdout);
  check(!exists(out), "a temporary is left");
  if (status == 0) {
    check(sameContent(backup, data, size), "the backup differs from the input");
    struct stat result;
    check(stat(in.c_str(), &result) == 0 && result.st_size >= 46, "the result is missing");
  } else {
    check(sameContent(in, data, size), "a refused input was changed");
    check(!exists(backup), "a refused input has a backup");
  }
  return 0;
}
