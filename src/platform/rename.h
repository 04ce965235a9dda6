#ifndef KORVANE_PLATFORM_RENAME_H_
#define KORVANE_PLATFORM_RENAME_H_

#include <string>

namespace korvane::platform {

enum class RenameStatus { kRenamed, kTargetExists, kFailed };

// Renames `from` to `to` without ever replacing a file that stands at `to`. Where the file
// system cannot do that in one step, it links and then unlinks, undoing the link if the
// unlink fails, so both names never end up as the only trace of a failed move.
RenameStatus renameNoReplace(const std::string& from, const std::string& to);

}  // namespace korvane::platform

#endif  // KORVANE_PLATFORM_RENAME_H_
