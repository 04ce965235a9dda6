#include "test_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace korvane {

namespace fs = std::filesystem;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

bool fileExists(const std::string& path) {
  std::error_code ignored;
  return fs::symlink_status(path, ignored).type() != fs::file_type::not_found;
}

std::string readFixture(const std::string& name) {
  return readFile(std::string(KORVANE_TEST_DATA) + "/" + name);
}

std::string soxBlocks() {
  const std::string wave = readFixture("sox_short.wav");
  return wave.substr(dataOffsetOf(wave));
}

ScratchDir::ScratchDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/korvane-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  // A test may leave read-only directories behind; make them removable first.
  for (auto it = fs::recursive_directory_iterator(path_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(path_, ignored);
}

std::map<std::string, std::string> ScratchDir::files() const {
  std::map<std::string, std::string> result;
  for (const auto& entry : fs::recursive_directory_iterator(path_)) {
    if (entry.is_regular_file() && !entry.is_symlink()) {
      result[fs::relative(entry.path(), path_).string()] = readFile(entry.path().string());
    }
  }
  return result;
}

RunResult runCommand(const std::string& directory, const std::vector<std::string>& args,
                     std::optional<rlim_t> fileSizeLimit) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    if (chdir(directory.c_str()) != 0) _exit(126);
    if (fileSizeLimit) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{*fileSizeLimit, *fileSizeLimit};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<std::string> copies = args;
    std::vector<char*> argv;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  RunResult result;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    result.output.append(buffer, static_cast<size_t>(got));
  }
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

RunResult runKorvane(const std::string& directory, const std::vector<std::string>& args,
                     std::optional<rlim_t> fileSizeLimit) {
  std::vector<std::string> argv = {KORVANE_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  return runCommand(directory, argv, fileSizeLimit);
}

namespace {

uint32_t readLe32(const std::string& bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = value << 8 | static_cast<uint8_t>(bytes.at(offset + static_cast<size_t>(i)));
  }
  return value;
}

}  // namespace

size_t dataOffsetOf(const std::string& wave) {
  size_t offset = 12;
  while (offset + 8 <= wave.size()) {
    const uint32_t size = readLe32(wave, offset + 4);
    if (wave.compare(offset, 4, "data") == 0) return offset + 8;
    offset += 8 + size + (size & 1);
  }
  throw std::runtime_error("no data chunk");
}

size_t blockAlignOf(const std::string& wave) {
  return static_cast<uint8_t>(wave.at(32)) | static_cast<uint8_t>(wave.at(33)) << 8;
}

std::string le16(uint16_t value) {
  return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string le32(uint32_t value) {
  return le16(static_cast<uint16_t>(value)) + le16(static_cast<uint16_t>(value >> 16));
}

std::string pcmHeaderFor(uint32_t dataBytes, uint16_t channels) {
  return "RIFF" + le32(dataBytes + 38) + "WAVE" + "fmt " + le32(18) + le16(1) + le16(channels) +
         le32(8000) + le32(16000) + le16(2) + le16(16) + le16(0) + "data" + le32(dataBytes);
}

std::string chunk(const std::string& id, const std::string& body) {
  std::string bytes = id + le32(static_cast<uint32_t>(body.size())) + body;
  if (body.size() % 2 == 1) bytes += '\0';
  return bytes;
}

std::string makeWave(const WaveLayout& layout) {
  std::string fmt = le16(layout.formatTag) + le16(layout.channels) + le32(layout.sampleRate) +
                    le32(layout.sampleRate * layout.blockAlign / 500) + le16(layout.blockAlign) +
                    le16(layout.bitsPerSample) + le16(32) + le16(500);
  fmt.resize(layout.fmtSize, '\0');
  std::string body = "WAVE" + std::string("fmt ") + le32(layout.fmtSize) + fmt;
  if (layout.fmtSize % 2 == 1) body += '\0';
  body += layout.between + "data" + le32(static_cast<uint32_t>(layout.data.size())) + layout.data;
  return "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
}

}  // namespace korvane
