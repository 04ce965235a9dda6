#ifndef KORVANE_PLATFORM_FILE_IO_H_
#define KORVANE_PLATFORM_FILE_IO_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvane::platform {

struct FileInfo {
  uint64_t size;
  unsigned mode;  // permission bits only
  unsigned owner;
  unsigned group;
};

// Opens a regular file for reading; never follows a symbolic link and never blocks on a FIFO
// or device. Returns the descriptor, or -1.
int openInput(const std::string& path, FileInfo& info);

// Creates `path` afresh, readable and writable by its owner only. A file already standing
// there is removed first rather than truncated, so that a hard link or symbolic link in its
// place never carries the writes into another file. Returns the descriptor, or -1.
int createOutput(const std::string& path);

// Reads up to `length` bytes at `offset`, retrying short reads; fewer only at the end of the
// file. Returns the count read, or -1 on a read error.
long readAt(int fd, void* buffer, size_t length, uint64_t offset);

bool writeAll(int fd, const void* buffer, size_t length);
bool writeAt(int fd, const void* buffer, size_t length, uint64_t offset);

// Gives the open file the owner (where allowed) and then the permission bits of `info`.
bool copyOwnerAndMode(int fd, const FileInfo& info);

bool closeFile(int fd);
bool removeFile(const std::string& path);

}  // namespace korvane::platform

#endif  // KORVANE_PLATFORM_FILE_IO_H_
