#ifndef KORVANE_PLATFORM_DIRECTORY_H_
#define KORVANE_PLATFORM_DIRECTORY_H_

#include <string>
#include <vector>

namespace korvane::platform {

enum class ListStatus { kListed, kNoDirectory, kFailed };

// The names of the plain files in `directory` ("" is the current one), in no set order.
// Plain means a regular file as it stands, not through a symbolic link, and not hidden (a
// leading '.'). Names holding '\' are left out: no path of the tool could name them.
ListStatus listPlainFiles(const std::string& directory, std::vector<std::string>& names);

}  // namespace korvane::platform

#endif  // KORVANE_PLATFORM_DIRECTORY_H_
