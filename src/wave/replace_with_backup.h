#ifndef KORVANE_WAVE_REPLACE_WITH_BACKUP_H_
#define KORVANE_WAVE_REPLACE_WITH_BACKUP_H_

#include <string>

namespace korvane {

// Puts the finished output at `outPath` in the place of `inPath`, keeping the input under
// backupName(inPath). Returns 0, or a negative status after printing why; on failure the input
// is back under its own name where that can be done, else under its backup name, and the
// output is gone.
int replaceWithBackup(const std::string& inPath, const std::string& outPath);

}  // namespace korvane

#endif  // KORVANE_WAVE_REPLACE_WITH_BACKUP_H_
