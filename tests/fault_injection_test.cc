// Fails every file-related system call of a real run, one occurrence at a time, and kills the
// process at each, then checks that no recording was lost and no failure was reported as
// success. strace does the injecting; nothing in korvane knows it is being tested.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace korvane {
namespace {

const std::vector<std::string> kTraced = {
    "openat",    "read",   "pread64",    "write",  "pwrite64",   "lseek",     "close",
    "renameat2", "rename", "link",       "linkat", "unlink",     "unlinkat",  "fchmod",
    "fchown",    "chmod",  "newfstatat", "fstat",  "getdents64", "ftruncate", "statx"};

std::string joined(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ",") + name;
  return list;
}

// LeakSanitizer cannot work under ptrace and would fail every traced run of a sanitizer build.
const int kNoLeakCheckUnderStrace = setenv("ASAN_OPTIONS", "detect_leaks=0", 1);

// The recordings of the scratch directory, and the files that must never change.
struct Scene {
  std::map<std::string, std::string> before;
  std::vector<std::string> recordings;  // base names of the MS ADPCM files, "a" for "a.wav"
  std::map<std::string, std::string> converted;  // "a" -> its correct conversion
};

Scene makeScene() {
  Scene scene;
  scene.before["a.wav"] = readFixture("sox_short.wav");
  scene.before["b.wav"] = readFixture("sox_cut.wav");  // its last block is short
  scene.before["junk.wav"] = "not a recording at all\n";
  scene.before["old.voc"] = "an unrelated file that happens to end in voc\n";
  scene.recordings = {"a", "b"};
  scene.converted["a"] = pcmHeaderFor(static_cast<uint32_t>(readFixture("sox_short.s16").size())) +
                         readFixture("sox_short.s16");
  scene.converted["b"] = pcmHeaderFor(static_cast<uint32_t>(readFixture("sox_cut.s16").size())) +
                         readFixture("sox_cut.s16");
  return scene;
}

void lay(const Scene& scene, const ScratchDir& dir) {
  for (const auto& [name, bytes] : scene.before) writeFile(dir / name, bytes);
}

// One traced call of the clean run.
struct Call {
  std::string name;
  int occurrence;  // counted per system call from the process's start, as strace counts
  bool toStdout;
};

// A fault that holds for the whole run, such as a file system without RENAME_NOREPLACE;
// empty for none.
struct Setting {
  std::string syscall;
  std::string inject;
};

std::vector<std::string> straceCommand(const Setting& setting, const std::string& output,
                                       const std::string& traced,
                                       const std::vector<std::string>& injections) {
  std::vector<std::string> command = {"strace", "-qq", "-o", output, "-e", "trace=" + traced};
  if (!setting.syscall.empty()) {
    command.insert(command.end(), {"-e", "inject=" + setting.syscall + ":" + setting.inject});
  }
  for (const std::string& injection : injections) command.insert(command.end(), {"-e", injection});
  command.insert(command.end(), {KORVANE_BINARY, "*"});
  return command;
}

std::vector<Call> traceCleanRun(const Scene& scene, const Setting& setting, int& traced) {
  ScratchDir dir;
  ScratchDir traceDir;
  lay(scene, dir);
  const std::string trace = traceDir / "trace";
  runCommand(dir.path(), straceCommand(setting, trace, joined(kTraced), {}));
  std::istringstream lines(readFile(trace));
  std::map<std::string, int> counts;
  std::vector<Call> calls;
  bool started = false;
  const std::regex callLine(R"(^([a-z0-9_]+)\((\S*?)[,)])");
  std::string line;
  while (std::getline(lines, line)) {
    std::smatch match;
    if (!std::regex_search(line, match, callLine)) continue;
    const std::string name = match[1];
    const int occurrence = ++counts[name];
    // Everything before the search of the directory is the loader and the C library starting.
    if (!started && name == "openat" && line.find("\".\"") != std::string::npos) started = true;
    // The standing fault already holds for every call of its own kind.
    if (!started || name == setting.syscall) continue;
    calls.push_back({name, occurrence, name == "write" && match[2] == "1"});
  }
  traced = static_cast<int>(calls.size());
  return calls;
}

// The console text of each file, by input name.
std::map<std::string, std::string> sections(const std::string& output) {
  std::map<std::string, std::string> result;
  const std::regex header(R"(^(\S+) -> \S+ : $)");
  std::istringstream lines(output);
  std::string line;
  std::string current;
  while (std::getline(lines, line)) {
    std::smatch match;
    if (std::regex_match(line, match, header)) {
      current = match[1];
      result[current];
    } else if (!current.empty()) {
      result[current] += line + "\n";
    }
  }
  return result;
}

struct Fault {
  Call call;
  std::string action;  // strace's inject action, e.g. "error=EIO"
  bool fromHereOn;
  bool kill;
};

std::string describe(const Fault& fault) {
  return fault.call.name + " #" + std::to_string(fault.call.occurrence) +
         (fault.fromHereOn ? "+" : "") + " " + fault.action;
}

// Runs korvane with one fault and returns what went wrong, one line a violation.
std::vector<std::string> violations(const Scene& scene, const Setting& setting, const Fault& fault,
                                    bool stdoutWriteFailed) {
  ScratchDir dir;
  lay(scene, dir);
  const std::string when = std::to_string(fault.call.occurrence) + (fault.fromHereOn ? "+" : "");
  const std::string traced =
      fault.call.name + (setting.syscall.empty() ? "" : "," + setting.syscall);
  const RunResult run = runCommand(dir.path(), straceCommand(setting, "/dev/null", traced,
                                                             {"inject=" + fault.call.name + ":" +
                                                              fault.action + ":when=" + when}));
  const std::map<std::string, std::string> after = dir.files();
  const std::map<std::string, std::string> console = sections(run.output);
  std::vector<std::string> found;
  auto fail = [&](const std::string& what) { found.push_back(describe(fault) + ": " + what); };
  auto content = [&](const std::string& name) -> const std::string* {
    const auto it = after.find(name);
    return it == after.end() ? nullptr : &it->second;
  };

  std::set<std::string> accounted;
  for (const std::string& base : scene.recordings) {
    const std::string wav = base + ".wav";
    const std::string voc = base + ".voc";
    const std::string pcm = base + ".pcm";
    const std::string& original = scene.before.at(wav);
    const std::string* atName = content(wav);
    const std::string* atBackup = content(voc);
    const bool keptAtName = atName != nullptr && *atName == original;
    const bool keptAtBackup = atBackup != nullptr && *atBackup == original;
    if (!keptAtName && !keptAtBackup) fail("the content of " + wav + " is lost");
    if (atName != nullptr && !keptAtName && *atName != scene.converted.at(base)) {
      fail(wav + " holds neither the recording nor its conversion");
    }
    if (atBackup != nullptr && !keptAtBackup) fail(voc + " holds something else");
    accounted.insert(wav);
    accounted.insert(voc);
    if (content(pcm) != nullptr) {
      accounted.insert(pcm);
      if (!fault.kill && fault.call.name != "unlink") fail(pcm + " is left behind");
    }
    if (stdoutWriteFailed) continue;
    const auto section = console.find(wav);
    const bool reportedOk = section != console.end() && section->second.size() >= 5 &&
                            section->second.compare(section->second.size() - 5, 5, " OK.\n") == 0;
    if (reportedOk && !(atName != nullptr && *atName == scene.converted.at(base) && keptAtBackup)) {
      fail(wav + " was reported OK but is not converted");
    }
    const bool converted = atName != nullptr && *atName == scene.converted.at(base);
    if (!fault.kill && !converted) {
      // A search that fails reports itself; the files it never reached stay as they were.
      const bool searchReported = run.output.find("Search '*' is failed!") != std::string::npos;
      if (section == console.end()) {
        if (!searchReported || !keptAtName) fail(wav + " failed without a word");
      } else if (section->second.find('!') == std::string::npos &&
                 section->second.find("No wave") == std::string::npos &&
                 section->second.find("not MS ADPCM") == std::string::npos) {
        fail(wav + " failed without a message: " + section->second);
      }
    }
  }
  for (const auto& [name, bytes] : scene.before) {
    if (accounted.count(name) != 0) continue;
    accounted.insert(name);
    const std::string* now = content(name);
    if (now == nullptr || *now != bytes) fail(name + " was changed or removed");
  }
  for (const auto& [name, bytes] : after) {
    if (accounted.count(name) == 0) fail("unexpected file " + name);
  }
  if (!fault.kill && run.exitStatus != 0) {
    fail("exit status " + std::to_string(run.exitStatus));
  }
  return found;
}

// Fails each call of a clean run in turn, and from there on, and kills the run at each; returns
// the violations found and prints the figures.
std::vector<std::string> sweep(const Setting& setting, const std::string& label) {
  const Scene scene = makeScene();
  int traced = 0;
  const std::vector<Call> calls = traceCleanRun(scene, setting, traced);
  EXPECT_GT(traced, 20) << "the clean run traced too little; is strace working?";

  std::vector<Fault> faults;
  for (const Call& call : calls) {
    faults.push_back({call, "error=EIO", false, false});
    faults.push_back({call, "error=EIO", true, false});
    if (call.name == "write" || call.name == "pwrite64") {
      faults.push_back({call, "error=ENOSPC", false, false});
    }
    faults.push_back({call, "signal=KILL", false, true});
  }
  int injected = 0;
  int kills = 0;
  std::vector<std::string> found;
  for (const Fault& fault : faults) {
    bool stdoutWriteFailed = false;
    if (fault.call.name == "write") {
      for (const Call& call : calls) {
        if (call.name == "write" && call.toStdout &&
            (call.occurrence == fault.call.occurrence ||
             (fault.fromHereOn && call.occurrence > fault.call.occurrence))) {
          stdoutWriteFailed = true;
        }
      }
    }
    const std::vector<std::string> more = violations(scene, setting, fault, stdoutWriteFailed);
    found.insert(found.end(), more.begin(), more.end());
    (fault.kill ? kills : injected) += 1;
  }
  printf("fault injection%s: %d calls traced, %d faults injected, %d kill points, %zu violations\n",
         label.c_str(), traced, injected, kills, found.size());
  return found;
}

TEST(FaultInjection, NoFailureOfAnyCallLosesAFileOrReportsSuccess) {
  for (const std::string& violation : sweep({}, "")) ADD_FAILURE() << violation;
}

TEST(FaultInjection, NoFailureLosesAFileWhereRenameCannotRefuseToReplace) {
  // EINVAL is what renameat2 answers on a file system without RENAME_NOREPLACE; every rename
  // then goes through link and unlink, and those are failed in turn.
  for (const std::string& violation :
       sweep({"renameat2", "error=EINVAL"}, " (link and unlink in place of renameat2)")) {
    ADD_FAILURE() << violation;
  }
}

TEST(FaultInjection, RenameFallbackNeverReplacesAnExistingBackup) {
  // EINVAL is what renameat2 answers on a file system without RENAME_NOREPLACE.
  ScratchDir dir;
  const std::string original = readFixture("sox_short.wav");
  writeFile(dir / "a.wav", original);
  writeFile(dir / "a.voc", "an earlier recording");
  writeFile(dir / "b.wav", original);
  const RunResult run =
      runCommand(dir.path(), {"strace", "-qq", "-o", "/dev/null", "-e", "trace=renameat2", "-e",
                              "inject=renameat2:error=EINVAL", KORVANE_BINARY, "*.wav"});
  EXPECT_NE(run.output.find(" Backup 'a.voc' already exists!\a\n"), std::string::npos)
      << run.output;
  const std::map<std::string, std::string> expected = {
      {"a.wav", original},
      {"a.voc", "an earlier recording"},
      {"b.wav", pcmHeaderFor(5000) + readFixture("sox_short.s16")},
      {"b.voc", original}};
  EXPECT_EQ(dir.files(), expected);
}

TEST(FaultInjection, FullDiskLeavesTheRecordingThatDoesNotFit) {
  ScratchDir dir;
  ScratchDir mount;
  writeFile(dir / "a.wav", readFixture("sox_speech.wav"));  // 38 KB of output: does not fit
  writeFile(dir / "b.wav", readFixture("sox_short.wav"));   // 5 KB of output: fits
  ASSERT_EQ(system(("mkdir -p " + dir.path() + "/after").c_str()), 0);
  // A tiny tmpfs in a private mount namespace; the files are copied out before it goes.
  const std::string script =
      "set -e; mount -t tmpfs -o size=32k tmpfs \"$1\"; cp \"$2\"/a.wav \"$2\"/b.wav \"$1\"; "
      "cd \"$1\"; \"$3\" '*.wav'; cp -p \"$1\"/* \"$2\"/after/";
  const RunResult run = runCommand(dir.path(), {"unshare", "-rm", "sh", "-c", script, "sh",
                                                mount.path(), dir.path(), KORVANE_BINARY});
  if (run.exitStatus != 0 && run.output.find("a.wav") == std::string::npos) {
    GTEST_SKIP() << "no user namespace with tmpfs here; the RLIMIT_FSIZE test covers this";
  }
  EXPECT_NE(run.output.find(" Write 'a.pcm' is failed!\a\n"), std::string::npos) << run.output;
  const std::map<std::string, std::string> expected = {
      {"a.wav", readFixture("sox_speech.wav")},
      {"b.wav", pcmHeaderFor(5000) + readFixture("sox_short.s16")},
      {"b.voc", readFixture("sox_short.wav")}};
  std::map<std::string, std::string> after;
  for (const auto& [name, bytes] : dir.files()) {
    if (name.rfind("after/", 0) == 0) after[name.substr(6)] = bytes;
  }
  EXPECT_EQ(after, expected);
}

}  // namespace
}  // namespace korvane
