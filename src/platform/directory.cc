#include "platform/directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/native_path.h"

namespace korvane::platform {

namespace {

bool isPlainFile(int directoryFd, const dirent& entry) {
  if (entry.d_type != DT_UNKNOWN) return entry.d_type == DT_REG;
  struct stat info;
  if (fstatat(directoryFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
  return S_ISREG(info.st_mode);
}

}  // namespace

ListStatus listPlainFiles(const std::string& directory, std::vector<std::string>& names) {
  const std::string native = directory.empty() ? "." : nativePath(directory);
  DIR* dir = opendir(native.c_str());
  if (dir == nullptr) {
    return errno == ENOENT || errno == ENOTDIR ? ListStatus::kNoDirectory : ListStatus::kFailed;
  }
  ListStatus status = ListStatus::kListed;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (entry == nullptr) {
      if (errno != 0) status = ListStatus::kFailed;
      break;
    }
    if (entry->d_name[0] == '.' || std::strchr(entry->d_name, '\\') != nullptr) continue;
    if (isPlainFile(dirfd(dir), *entry)) names.emplace_back(entry->d_name);
  }
  closedir(dir);
  return status;
}

}  // namespace korvane::platform
