#ifndef KORVANE_CLI_SPLIT_PATH_H_
#define KORVANE_CLI_SPLIT_PATH_H_

#include <string>

namespace korvane {

struct PathParts {
  std::string drive;      // "C:" when the second character is ':', else empty
  std::string directory;  // up to and including the last '\' or '/'
  std::string name;       // the final component up to its last '.'
  std::string extension;  // from that '.' on
};

// Splits a path of any length; '*' and '?' are ordinary characters here. A path whose last
// component is "." or ".." is all directory.
PathParts splitPath(const std::string& path);

// The name and extension of a bare file name, which has no drive or directory; on this
// platform a ':' or '\' in it is part of the name.
PathParts splitName(const std::string& bareName);

}  // namespace korvane

#endif  // KORVANE_CLI_SPLIT_PATH_H_
