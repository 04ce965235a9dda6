#include "wave/replace_with_backup.h"

#include <cstdio>

#include "platform/file_io.h"
#include "platform/rename.h"
#include "wave/backup_name.h"

namespace korvane {

namespace {

// The first message follows a line of dots, as " OK." does.
constexpr char kBackupExists[] = " Backup '%s' already exists!\a\n";
constexpr char kRenameFailed[] = " Rename '%s' to '%s' is failed!\a\n";
constexpr char kInputKeptAs[] = "The input is kept as '%s'.\n";

}  // namespace

int replaceWithBackup(const std::string& inPath, const std::string& outPath) {
  const std::string backup = backupName(inPath);
  // The backup must never replace anything: a file of that name may be the only copy of an
  // earlier recording.
  const platform::RenameStatus backedUp = platform::renameNoReplace(inPath, backup);
  if (backedUp != platform::RenameStatus::kRenamed) {
    if (backedUp == platform::RenameStatus::kTargetExists) {
      printf(kBackupExists, backup.c_str());
    } else {
      printf(kRenameFailed, inPath.c_str(), backup.c_str());
    }
    platform::removeFile(outPath);
    return -4;
  }
  // A rename rather than a copy: the input's name never holds a half-written file.
  if (platform::renameNoReplace(outPath, inPath) != platform::RenameStatus::kRenamed) {
    printf(kRenameFailed, outPath.c_str(), inPath.c_str());
    platform::removeFile(outPath);
    if (platform::renameNoReplace(backup, inPath) != platform::RenameStatus::kRenamed) {
      printf(kInputKeptAs, backup.c_str());
    }
    return -4;
  }
  return 0;
}

}  // namespace korvane
