#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/native_path.h"

namespace korvane::platform {

int openInput(const std::string& path, FileInfo& info) {
  const int fd =
      open(nativePath(path).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return -1;
  struct stat status;
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    return -1;
  }
  info.size = static_cast<uint64_t>(status.st_size);
  info.mode = status.st_mode & 07777;
  info.owner = status.st_uid;
  info.group = status.st_gid;
  return fd;
}

int createOutput(const std::string& path) {
  const std::string native = nativePath(path);
  if (unlink(native.c_str()) != 0 && errno != ENOENT) return -1;
  return open(native.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
              S_IRUSR | S_IWUSR);
}

long readAt(int fd, void* buffer, size_t length, uint64_t offset) {
  char* bytes = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < length) {
    const ssize_t got = pread(fd, bytes + done, length - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<long>(done);
}

bool writeAll(int fd, const void* buffer, size_t length) {
  const char* bytes = static_cast<const char*>(buffer);
  while (length > 0) {
    const ssize_t put = write(fd, bytes, length);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += put;
    length -= static_cast<size_t>(put);
  }
  return true;
}

bool writeAt(int fd, const void* buffer, size_t length, uint64_t offset) {
  const char* bytes = static_cast<const char*>(buffer);
  while (length > 0) {
    const ssize_t put = pwrite(fd, bytes, length, static_cast<off_t>(offset));
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += put;
    offset += static_cast<uint64_t>(put);
    length -= static_cast<size_t>(put);
  }
  return true;
}

bool copyOwnerAndMode(int fd, const FileInfo& info) {
  // Changing the owner clears set-user-ID bits, so it goes first. Only the superuser may give a
  // file away; for anyone else the result stays theirs.
  (void)!fchown(fd, info.owner, info.group);
  return fchmod(fd, info.mode) == 0;
}

bool closeFile(int fd) {
  return close(fd) == 0;
}

bool removeFile(const std::string& path) {
  return unlink(nativePath(path).c_str()) == 0;
}

}  // namespace korvane::platform
