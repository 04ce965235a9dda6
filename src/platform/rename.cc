#include "platform/rename.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "platform/native_path.h"

namespace korvane::platform {

namespace {

RenameStatus failure() {
  return errno == EEXIST ? RenameStatus::kTargetExists : RenameStatus::kFailed;
}

RenameStatus linkThenUnlink(const char* from, const char* to) {
  if (link(from, to) != 0) return failure();
  if (unlink(from) != 0) {
    const int unlinkError = errno;
    unlink(to);
    errno = unlinkError;
    return RenameStatus::kFailed;
  }
  return RenameStatus::kRenamed;
}

}  // namespace

RenameStatus renameNoReplace(const std::string& from, const std::string& to) {
  const std::string nativeFrom = nativePath(from);
  const std::string nativeTo = nativePath(to);
  if (syscall(SYS_renameat2, AT_FDCWD, nativeFrom.c_str(), AT_FDCWD, nativeTo.c_str(),
              RENAME_NOREPLACE) == 0) {
    return RenameStatus::kRenamed;
  }
  if (errno == EINVAL || errno == ENOSYS) {
    return linkThenUnlink(nativeFrom.c_str(), nativeTo.c_str());
  }
  return failure();
}

}  // namespace korvane::platform
