#ifndef KORVANE_PLATFORM_NATIVE_PATH_H_
#define KORVANE_PLATFORM_NATIVE_PATH_H_

#include <string>

namespace korvane::platform {

// The tool's paths end directories in '\' as well as '/'; the file system knows only '/'.
std::string nativePath(const std::string& path);

}  // namespace korvane::platform

#endif  // KORVANE_PLATFORM_NATIVE_PATH_H_
